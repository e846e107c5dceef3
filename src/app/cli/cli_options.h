#pragma once
// The command line of kestrova-cli.

#include <optional>
#include <string>
#include <vector>

namespace kestrova::cli {

struct CliOptions {
    std::string host;    // UTF-8, "HOST" or "HOST:PORT"; empty for the built-in host
    std::string outDir;  // UTF-8; where the results file goes
    std::string keyword; // UTF-8, as typed
    bool help = false;
};

struct ParsedCommandLine {
    std::optional<CliOptions> options;
    std::string error;  // set when options is empty
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);
const char* usageText();

}  // namespace kestrova::cli
