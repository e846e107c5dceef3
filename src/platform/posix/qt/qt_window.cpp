#include "platform/posix/qt/qt_window.h"

#include <QMessageBox>
#include <QThread>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/posix/qt/control_text.h"

namespace kestrova::qt {

QtWindow::QtWindow(const Text& caption, Handlers handlers) {
    std::function<bool()> closeQuery = std::move(handlers.closeQuery);
    handlers.closeQuery = [this, closeQuery = std::move(closeQuery)] {
        if (closed_) {
            return true;
        }
        // Once closed, a harvest thread still finishing its page finds every
        // window operation refused instead of a window that is going away.
        if (closeQuery && closeQuery()) {
            closed_ = true;
        }
        return closed_.load();
    };
    window_ = std::make_unique<MainWindow>(caption, std::move(handlers));
}

QtWindow::~QtWindow() = default;

void QtWindow::setMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }

Text QtWindow::readControlText(const Text& control) {
    const QWidget* widget = window_->control(control);
    return widget != nullptr ? controlText(*widget) : Text();
}

void QtWindow::writeControlText(const Text& control, const Text& text) {
    if (QWidget* widget = window_->control(control)) {
        setControlText(*widget, text);
    }
}

bool QtWindow::isControlDisabled(const Text& control) {
    const QWidget* widget = window_->control(control);
    return widget != nullptr && !widget->isEnabled();
}

void QtWindow::setControlDisabled(const Text& control, bool disabled) {
    if (QWidget* widget = window_->control(control)) {
        widget->setDisabled(disabled);
    }
}

void QtWindow::appendControlText(const Text& control, const Text& text) {
    if (QWidget* widget = window_->control(control)) {
        appendToControl(*widget, text);
    }
}

int32_t QtWindow::messageBox(const Text& text, int32_t flags, const Text& title) {
    QMessageBox box(window_.get());
    box.setWindowTitle(toQString(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(toQString(text));
    box.setIcon((flags & 0xF0) == platform::MB_ICONEXCLAMATION ? QMessageBox::Warning : QMessageBox::NoIcon);
    box.setStandardButtons((flags & 0x0F) == platform::MB_YESNO ? QMessageBox::Yes | QMessageBox::No
                                                                : QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    if (messageBoxHook_) {
        messageBoxHook_(box);
    }
    // exec() runs a nested event loop, which keeps serving harvest threads.
    switch (box.exec()) {
        case QMessageBox::Ok:
            return platform::IDOK;
        case QMessageBox::Yes:
            return platform::IDYES;
        case QMessageBox::No:
            return platform::IDNO;
        default:
            return 0;
    }
}

void QtWindow::startThread(std::function<void()> routine) {
    try {
        std::thread(std::move(routine)).detach();
    } catch (const std::system_error&) {
        // A thread that cannot be started is not reported.
    }
}

bool QtWindow::runOnWindowThread(const std::function<void()>& work) {
    if (closed_) {
        return false;
    }
    // A blocking queued call to one's own thread would never return.
    if (QThread::currentThread() == handOff_.thread()) {
        work();
        return true;
    }
    // The window may close while this call waits its turn.
    bool ran = false;
    const bool served = handOff_.call([&] {
        if (!closed_) {
            work();
            ran = true;
        }
    });
    return served && ran;
}

}  // namespace kestrova::qt
