#include "app/cli/cli_options.h"

namespace kestrova::cli {

const char* usageText() {
    return "Usage: kestrova-cli [--host HOST[:PORT]] [--out-dir DIR] KEYWORD\n"
           "\n"
           "Walks the search engine's result pages for KEYWORD, resolves every result\n"
           "link to the host it redirects to and keeps the distinct hosts.\n"
           "\n"
           "  --host HOST[:PORT]  fetch result pages from https://HOST[:PORT]/s instead of\n"
           "                      the built-in search host\n"
           "  --out-dir DIR       write the results file into DIR (default: the current\n"
           "                      directory)\n"
           "  --help              show this text\n"
           "\n"
           "Status texts go to stderr, one per line, the final status last; every host\n"
           "found goes to stdout as it is found. Ctrl-C stops the run after the current\n"
           "page (no file is written); a second Ctrl-C exits at once.\n"
           "\n"
           "Exit status: 0 the run ended by itself, 1 the results file could not be\n"
           "written, 2 a usage error, 130 stopped by Ctrl-C or SIGTERM.\n";
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CliOptions options;
    options.outDir = ".";
    std::optional<std::string> keyword;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            return {options, {}};
        }
        if (argument == "--host" || argument == "--out-dir") {
            if (i + 1 == arguments.size()) {
                return {std::nullopt, argument + " needs a value"};
            }
            const std::string& value = arguments[++i];
            if (value.empty()) {
                return {std::nullopt, argument + " needs a value"};
            }
            (argument == "--host" ? options.host : options.outDir) = value;
            continue;
        }
        if (argument == "--") {
            if (i + 2 != arguments.size() || keyword) {
                return {std::nullopt, "exactly one KEYWORD is expected"};
            }
            keyword = arguments[i + 1];
            break;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            return {std::nullopt, "unknown option " + argument};
        }
        if (keyword) {
            return {std::nullopt, "exactly one KEYWORD is expected"};
        }
        keyword = argument;
    }
    if (!keyword) {
        return {std::nullopt, "a KEYWORD is expected"};
    }
    options.keyword = *keyword;
    return {options, {}};
}

}  // namespace kestrova::cli
