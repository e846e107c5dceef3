#include "platform/posix/qt/hand_off.h"

#include <QMetaObject>

namespace kestrova::qt {

bool HandOff::call(const std::function<void()>& work) {
    const std::lock_guard lock(callers_);
    Call call{&work};
    pending_.store(&call, std::memory_order_release);
    const bool delivered = QMetaObject::invokeMethod(this, "serve", Qt::BlockingQueuedConnection);
    pending_.store(nullptr, std::memory_order_relaxed);
    return delivered && call.served.load(std::memory_order_acquire);
}

void HandOff::serve() {
    Call* call = pending_.load(std::memory_order_acquire);
    (*call->work)();
    call->served.store(true, std::memory_order_release);
}

}  // namespace kestrova::qt
