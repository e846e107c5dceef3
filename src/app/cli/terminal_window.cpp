#include "app/cli/terminal_window.h"

#include <cstdio>

#include "app/controls.h"

namespace kestrova::cli {

TerminalWindow::TerminalWindow(std::function<std::string(const Text&)> toUtf8) : toUtf8_(std::move(toUtf8)) {}

Text TerminalWindow::readControlText(const Text& control) { return window_.readControlText(control); }

void TerminalWindow::writeControlText(const Text& control, const Text& text) {
    window_.writeControlText(control, text);
    // A new run clears the status line; only texts a user would read are echoed.
    if (control == controls::status && !text.empty()) {
        printNote(toUtf8_(text));
    }
}

bool TerminalWindow::isControlDisabled(const Text& control) { return window_.isControlDisabled(control); }

void TerminalWindow::setControlDisabled(const Text& control, bool disabled) {
    window_.setControlDisabled(control, disabled);
}

void TerminalWindow::appendControlText(const Text& control, const Text& text) {
    window_.appendControlText(control, text);
    if (control != controls::results) {
        return;
    }
    std::string line = toUtf8_(text);
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) {
        line.resize(line.size() - 2);
    }
    const std::lock_guard lock(outputMutex_);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int32_t TerminalWindow::messageBox(const Text& text, int32_t flags, const Text& title) {
    printNote(toUtf8_(concatText(title, ": ", text)));
    return window_.messageBox(text, flags, title);
}

void TerminalWindow::startThread(std::function<void()> routine) { window_.startThread(std::move(routine)); }

bool TerminalWindow::runOnWindowThread(const std::function<void()>& work) { return window_.runOnWindowThread(work); }

void TerminalWindow::printNote(const std::string& utf8Line) {
    const std::lock_guard lock(outputMutex_);
    std::fwrite(utf8Line.data(), 1, utf8Line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace kestrova::cli
