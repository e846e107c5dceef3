#pragma once
// The host system of kestrova-cli: the results file goes into the directory
// the user chose, and a failed file is explained.

#include <string>

#include "platform/posix/host_posix.h"

namespace kestrova::cli {

class OutDirHost final : public platform::Host {
public:
    // `outDir` in code page 936, as the system builds its paths.
    explicit OutDirHost(Text outDir);

    // A file name inside the out directory, so the run directory is that directory.
    Text executablePath() override;
    DateTime localTime() override;
    platform::FileHandle createFileForWriting(const Text& path) override;
    bool writeToFile(platform::FileHandle file, const unsigned char* data, size_t size) override;
    bool closeFile(platform::FileHandle file) override;

    // Why the last file operation failed, in the C library's words.
    const std::string& lastFailure() const { return lastFailure_; }

private:
    void noteFailure();

    Text outDir_;
    posix::PosixHost host_;
    std::string lastFailure_;
};

}  // namespace kestrova::cli
