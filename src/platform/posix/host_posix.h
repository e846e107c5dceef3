#pragma once
// The Linux host system: /proc/self/exe, localtime_r, and files named in code
// page 936 that reach the file system in UTF-8.

#include "platform/host.h"

namespace kestrova::posix {

class PosixHost final : public platform::Host {
public:
    Text executablePath() override;
    DateTime localTime() override;
    platform::FileHandle createFileForWriting(const Text& path) override;
    bool writeToFile(platform::FileHandle file, const unsigned char* data, size_t size) override;
    bool closeFile(platform::FileHandle file) override;
};

}  // namespace kestrova::posix
