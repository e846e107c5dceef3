#include "foundation/files.h"

#include <algorithm>

#include "platform/host.h"

namespace kestrova {

Text runDirectory() {
    const Text path = platform::host().executablePath();
    // The character walk keeps a backslash that is the second byte of a
    // double-byte character from counting as a separator. Windows answers
    // backslashes, the Linux host slashes; the later of the two ends the
    // directory either way.
    const int32_t separator = std::max(findTextReverse(path, "\\"), findTextReverse(path, "/"));
    if (separator < 1) {
        return Text();
    }
    return leftText(path, separator - 1);
}

bool writeFile(const Text& path, std::initializer_list<Bytes> parts) {
    if (path.empty()) {
        return false;
    }
    platform::Host& host = platform::host();
    const platform::FileHandle file = host.createFileForWriting(path);
    if (file == platform::INVALID_FILE) {
        return false;
    }
    bool written = true;
    for (const Bytes& part : parts) {
        if (part.empty()) {
            continue;
        }
        if (!host.writeToFile(file, part.data().data(), part.data().size())) {
            written = false;
            break;
        }
    }
    // A failed close can mean the data never reached the disk.
    const bool closed = host.closeFile(file);
    return written && closed;
}

}  // namespace kestrova
