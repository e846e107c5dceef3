#include "platform/fake/fake_host.h"

#include <algorithm>

namespace kestrova::fake {

Text FakeHost::executablePath() {
    std::lock_guard lock(mutex_);
    return executablePath_;
}

DateTime FakeHost::localTime() {
    std::lock_guard lock(mutex_);
    return time_;
}

platform::FileHandle FakeHost::createFileForWriting(const Text& path) {
    std::lock_guard lock(mutex_);
    const std::string& name = path.bytes();
    const bool held = std::any_of(open_.begin(), open_.end(), [&](const auto& entry) { return entry.second == name; });
    if (name.empty() || failCreation_ || held) {
        calls_.push_back("create " + name + " failed");
        return platform::INVALID_FILE;
    }
    const platform::FileHandle handle = nextHandle_++;
    open_[handle] = name;
    files_[name] = Bytes();
    calls_.push_back("create " + name);
    return handle;
}

bool FakeHost::writeToFile(platform::FileHandle file, const unsigned char* data, size_t size) {
    std::lock_guard lock(mutex_);
    const std::string call = "write " + std::to_string(file) + " " + std::to_string(size);
    const auto entry = open_.find(file);
    const bool allowed = !writesLeft_.has_value() || *writesLeft_ > 0;
    if (entry == open_.end() || !allowed) {
        calls_.push_back(call + " failed");
        return false;
    }
    if (writesLeft_.has_value()) {
        --*writesLeft_;
    }
    files_[entry->second].append(data, size);
    calls_.push_back(call);
    return true;
}

bool FakeHost::closeFile(platform::FileHandle file) {
    std::lock_guard lock(mutex_);
    const std::string call = "close " + std::to_string(file);
    const bool known = open_.erase(file) == 1;
    if (!known || failClosing_) {
        calls_.push_back(call + " failed");
        return false;
    }
    calls_.push_back(call);
    return true;
}

void FakeHost::setExecutablePath(const Text& path) {
    std::lock_guard lock(mutex_);
    executablePath_ = path;
}

void FakeHost::setTime(const DateTime& time) {
    std::lock_guard lock(mutex_);
    time_ = time;
}

void FakeHost::failCreation(bool fail) {
    std::lock_guard lock(mutex_);
    failCreation_ = fail;
}

void FakeHost::failWritesAfter(std::optional<int> successes) {
    std::lock_guard lock(mutex_);
    writesLeft_ = successes;
}

void FakeHost::failClosing(bool fail) {
    std::lock_guard lock(mutex_);
    failClosing_ = fail;
}

void FakeHost::putFile(const Text& path, const Bytes& content) {
    std::lock_guard lock(mutex_);
    files_[path.bytes()] = content;
}

std::optional<Bytes> FakeHost::file(const Text& path) const {
    std::lock_guard lock(mutex_);
    const auto entry = files_.find(path.bytes());
    if (entry == files_.end()) {
        return std::nullopt;
    }
    return entry->second;
}

int32_t FakeHost::fileCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int32_t>(files_.size());
}

bool FakeHost::isOpen(const Text& path) const {
    std::lock_guard lock(mutex_);
    return std::any_of(open_.begin(), open_.end(), [&](const auto& entry) { return entry.second == path.bytes(); });
}

std::vector<std::string> FakeHost::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

}  // namespace kestrova::fake
