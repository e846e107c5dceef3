#include "platform/posix/host_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include "platform/posix/gbk.h"

namespace kestrova::posix {

Text PosixHost::executablePath() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) {
        return Text();
    }
    path.resize(static_cast<size_t>(length));
    return Text(utf8ToGbk(path));
}

DateTime PosixHost::localTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour,        local.tm_min,     local.tm_sec};
}

platform::FileHandle PosixHost::createFileForWriting(const Text& path) {
    const std::string name = gbkToUtf8(path.bytes());
    if (name.empty()) {
        return platform::INVALID_FILE;
    }
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return platform::INVALID_FILE;
    }
    // Truncate only once the lock is ours, so a refused second writer leaves
    // the first writer's file intact.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return platform::INVALID_FILE;
    }
    return fd;
}

bool PosixHost::writeToFile(platform::FileHandle file, const unsigned char* data, size_t size) {
    const int fd = static_cast<int>(file);
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool PosixHost::closeFile(platform::FileHandle file) { return ::close(static_cast<int>(file)) == 0; }

}  // namespace kestrova::posix
