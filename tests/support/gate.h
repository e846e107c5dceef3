#pragma once
// A one-way gate between a test and a harvest thread: it opens once, and
// waiting on an open gate returns at once.

#include <condition_variable>
#include <mutex>

namespace kestrova::test_support {

class Gate {
public:
    void open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }
    // For a thread that must keep serving events while it waits.
    bool isOpen() {
        const std::lock_guard lock(mutex_);
        return open_;
    }
    void wait() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

}  // namespace kestrova::test_support
