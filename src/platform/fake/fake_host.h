#pragma once
// A host system for tests: a settable executable path and clock, files kept
// in memory, switches that make file operations fail, and a log of every file
// call in order.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"

namespace kestrova::fake {

class FakeHost final : public platform::Host {
public:
    Text executablePath() override;
    DateTime localTime() override;
    platform::FileHandle createFileForWriting(const Text& path) override;
    bool writeToFile(platform::FileHandle file, const unsigned char* data, size_t size) override;
    bool closeFile(platform::FileHandle file) override;

    void setExecutablePath(const Text& path);
    void setTime(const DateTime& time);

    // Every creation fails while set, as for a missing directory.
    void failCreation(bool fail);
    // The next `successes` writes succeed, every later one fails and writes
    // nothing; std::nullopt lets every write succeed again.
    void failWritesAfter(std::optional<int> successes);
    // Every close reports failure while set (the handle is released all the same).
    void failClosing(bool fail);

    // Puts a file in place, as if written earlier.
    void putFile(const Text& path, const Bytes& content);
    // The content of `path`, or std::nullopt when no such file exists.
    std::optional<Bytes> file(const Text& path) const;
    int32_t fileCount() const;
    bool isOpen(const Text& path) const;
    // "create <path>", "write <handle> <size>", "close <handle>", with
    // refused or failed calls ending in " failed".
    std::vector<std::string> calls() const;

private:
    mutable std::mutex mutex_;
    Text executablePath_;
    DateTime time_;
    bool failCreation_ = false;
    std::optional<int> writesLeft_;
    bool failClosing_ = false;
    std::map<std::string, Bytes> files_;
    std::map<platform::FileHandle, std::string> open_;
    platform::FileHandle nextHandle_ = 1;
    std::vector<std::string> calls_;
};

}  // namespace kestrova::fake
