#pragma once
// The main window without a screen: its controls as plain state, for tests and
// the command line. Every operation is serialised under one lock, so a thread
// calling runOnWindowThread waits as it would for a real window's thread.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "foundation/text.h"
#include "platform/window.h"

namespace kestrova::fake {

struct MessageBoxCall {
    Text text;
    int32_t flags = 0;
    Text title;
    int32_t answer = 0;

    friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
};

class HeadlessWindow final : public platform::Window {
public:
    // The controls of the main window in their initial (idle) state.
    HeadlessWindow();
    // Waits for the threads it started, which may still be using it.
    ~HeadlessWindow() override;
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // Controls the main window does not have read as empty and enabled; writes
    // to them, and appends to anything but an edit box, change nothing.
    Text readControlText(const Text& control) override;
    void writeControlText(const Text& control, const Text& text) override;
    bool isControlDisabled(const Text& control) override;
    void setControlDisabled(const Text& control, bool disabled) override;
    void appendControlText(const Text& control, const Text& text) override;
    // Answered from the script, in order; a box the script has no answer for
    // is answered as its Escape key would: IDNO for Yes/No, IDOK otherwise.
    int32_t messageBox(const Text& text, int32_t flags, const Text& title) override;

    void startThread(std::function<void()> routine) override;
    bool runOnWindowThread(const std::function<void()>& work) override;

    void scriptMessageBoxAnswer(int32_t answer);
    // Every box shown so far, in order, with the answer it got.
    std::vector<MessageBoxCall> messageBoxes() const;

    // The window is gone: runOnWindowThread answers false from now on.
    void close();
    bool closed() const;

    // Returns once every thread started so far, and any it started, has ended.
    void waitForThreads();

private:
    enum class Kind { groupBox, label, lineEdit, multiLineEdit, button };
    struct Control {
        Kind kind;
        Text text;
        bool disabled;
    };

    // Recursive: work running on the "window's thread" calls the operations.
    mutable std::recursive_mutex mutex_;
    std::map<std::string, Control> controls_;  // by the name's bytes
    std::deque<int32_t> answers_;
    std::vector<MessageBoxCall> shown_;
    bool closed_ = false;

    std::mutex threadsMutex_;
    std::vector<std::thread> threads_;
};

}  // namespace kestrova::fake
