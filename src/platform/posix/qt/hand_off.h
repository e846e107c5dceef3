#pragma once
// Runs work on the thread a QObject lives on while the calling thread waits:
// a blocking queued call, as a cross-thread window message is.

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>

namespace kestrova::qt {

class HandOff final : public QObject {
    Q_OBJECT

public:
    // Called from any thread but this object's own (where a blocking queued
    // call would never return). False when the call could not be delivered.
    bool call(const std::function<void()>& work);

private:
    struct Call {
        const std::function<void()>* work;
        std::atomic<bool> served{false};
    };

    Q_INVOKABLE void serve();

    // One caller at a time, so that one slot holds the pending call.
    std::mutex callers_;
    // The call is handed over through these atomics rather than through a
    // functor Qt copies and frees: their release and acquire pairs state the
    // order of the two threads in C++ terms, where race checkers (which do not
    // see inside the Qt libraries) can follow it.
    std::atomic<Call*> pending_{nullptr};
};

}  // namespace kestrova::qt
