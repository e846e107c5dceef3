#pragma once
// The window seam over Qt Widgets. The control operations and message boxes
// run on the GUI thread; a harvest thread reaches them through
// runOnWindowThread, a blocking queued call that the GUI thread serves from
// its event loop, a message box's loop included.

#include <atomic>
#include <functional>
#include <memory>

#include "platform/posix/qt/hand_off.h"
#include "platform/posix/qt/main_window.h"
#include "platform/window.h"

class QMessageBox;

namespace kestrova::qt {

// Sees every message box just before it runs modally; a test answers it by
// scheduling a click on one of its buttons.
using MessageBoxHook = std::function<void(QMessageBox& box)>;

class QtWindow final : public platform::Window {
public:
    // Builds the main window (hidden) on the calling thread, which becomes the
    // window's thread. `handlers.closeQuery` decides whether it may close.
    QtWindow(const Text& caption, Handlers handlers);
    ~QtWindow() override;
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    MainWindow& mainWindow() { return *window_; }
    void setMessageBoxHook(MessageBoxHook hook);
    // True once the close query has let the window close.
    bool closed() const { return closed_; }

    Text readControlText(const Text& control) override;
    void writeControlText(const Text& control, const Text& text) override;
    bool isControlDisabled(const Text& control) override;
    void setControlDisabled(const Text& control, bool disabled) override;
    void appendControlText(const Text& control, const Text& text) override;
    int32_t messageBox(const Text& text, int32_t flags, const Text& title) override;

    void startThread(std::function<void()> routine) override;
    bool runOnWindowThread(const std::function<void()>& work) override;

private:
    std::atomic<bool> closed_{false};
    // Lives on the window's thread, which serves its calls.
    HandOff handOff_;
    std::unique_ptr<MainWindow> window_;
    MessageBoxHook messageBoxHook_;
};

}  // namespace kestrova::qt
