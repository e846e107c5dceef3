#include "platform/fake/headless_window.h"

#include <system_error>
#include <thread>
#include <utility>

#include "app/controls.h"

namespace kestrova::fake {

HeadlessWindow::HeadlessWindow() {
    controls_ = {
        {controls::groupBox.bytes(), {Kind::groupBox, "", false}},
        {controls::prompt.bytes(), {Kind::label, "搜索关键词：", false}},
        {controls::keyword.bytes(), {Kind::lineEdit, "", false}},
        {controls::start.bytes(), {Kind::button, "开始采集", false}},
        {controls::stop.bytes(), {Kind::button, "停止采集", true}},
        {controls::results.bytes(), {Kind::multiLineEdit, "", false}},
        {controls::status.bytes(), {Kind::label, "", false}},
    };
}

HeadlessWindow::~HeadlessWindow() { waitForThreads(); }

Text HeadlessWindow::readControlText(const Text& control) {
    std::lock_guard lock(mutex_);
    const auto found = controls_.find(control.bytes());
    return found == controls_.end() ? Text() : found->second.text;
}

void HeadlessWindow::writeControlText(const Text& control, const Text& text) {
    std::lock_guard lock(mutex_);
    if (const auto found = controls_.find(control.bytes()); found != controls_.end()) {
        found->second.text = text;
    }
}

bool HeadlessWindow::isControlDisabled(const Text& control) {
    std::lock_guard lock(mutex_);
    const auto found = controls_.find(control.bytes());
    return found != controls_.end() && found->second.disabled;
}

void HeadlessWindow::setControlDisabled(const Text& control, bool disabled) {
    std::lock_guard lock(mutex_);
    if (const auto found = controls_.find(control.bytes()); found != controls_.end()) {
        found->second.disabled = disabled;
    }
}

void HeadlessWindow::appendControlText(const Text& control, const Text& text) {
    std::lock_guard lock(mutex_);
    const auto found = controls_.find(control.bytes());
    if (found != controls_.end() &&
        (found->second.kind == Kind::lineEdit || found->second.kind == Kind::multiLineEdit)) {
        found->second.text += text;
    }
}

int32_t HeadlessWindow::messageBox(const Text& text, int32_t flags, const Text& title) {
    std::lock_guard lock(mutex_);
    int32_t answer = (flags & 0x0F) == platform::MB_YESNO ? platform::IDNO : platform::IDOK;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    shown_.push_back({text, flags, title, answer});
    return answer;
}

void HeadlessWindow::startThread(std::function<void()> routine) {
    try {
        std::thread thread(std::move(routine));
        const std::lock_guard lock(threadsMutex_);
        threads_.push_back(std::move(thread));
    } catch (const std::system_error&) {
        // A thread that cannot be started is not reported.
    }
}

bool HeadlessWindow::runOnWindowThread(const std::function<void()>& work) {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return false;
    }
    work();
    return true;
}

void HeadlessWindow::scriptMessageBoxAnswer(int32_t answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::vector<MessageBoxCall> HeadlessWindow::messageBoxes() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

void HeadlessWindow::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
}

bool HeadlessWindow::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

void HeadlessWindow::waitForThreads() {
    // Joined, not just finished with their routines: a thread's own clean-up
    // (the thread-local state of the libraries it used) must be over before
    // whoever waited goes on, e.g. to end the process.
    for (;;) {
        std::vector<std::thread> started;
        {
            const std::lock_guard lock(threadsMutex_);
            started.swap(threads_);
        }
        if (started.empty()) {
            return;
        }
        for (std::thread& thread : started) {
            thread.join();
        }
    }
}

}  // namespace kestrova::fake
