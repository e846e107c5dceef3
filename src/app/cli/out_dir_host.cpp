#include "app/cli/out_dir_host.h"

#include <cerrno>
#include <cstring>

namespace kestrova::cli {

OutDirHost::OutDirHost(Text outDir) : outDir_(std::move(outDir)) {}

Text OutDirHost::executablePath() { return concatText(outDir_, "/kestrova-cli"); }

DateTime OutDirHost::localTime() { return host_.localTime(); }

platform::FileHandle OutDirHost::createFileForWriting(const Text& path) {
    errno = 0;
    const platform::FileHandle file = host_.createFileForWriting(path);
    if (file == platform::INVALID_FILE) {
        noteFailure();
    }
    return file;
}

bool OutDirHost::writeToFile(platform::FileHandle file, const unsigned char* data, size_t size) {
    errno = 0;
    const bool written = host_.writeToFile(file, data, size);
    if (!written) {
        noteFailure();
    }
    return written;
}

bool OutDirHost::closeFile(platform::FileHandle file) {
    errno = 0;
    const bool closed = host_.closeFile(file);
    if (!closed) {
        noteFailure();
    }
    return closed;
}

void OutDirHost::noteFailure() {
    // The adapter refuses a second writer without an errno of its own.
    lastFailure_ = errno != 0 ? std::strerror(errno) : "the file is held by another writer";
}

}  // namespace kestrova::cli
