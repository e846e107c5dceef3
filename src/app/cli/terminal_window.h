#pragma once
// The headless main window, with what the user would see on it echoed to the
// terminal: status texts to stderr, result lines to stdout, both in UTF-8.

#include <functional>
#include <mutex>

#include "platform/fake/headless_window.h"

namespace kestrova::cli {

class TerminalWindow final : public platform::Window {
public:
    // `toUtf8` turns a code page 936 text into the terminal's UTF-8.
    explicit TerminalWindow(std::function<std::string(const Text&)> toUtf8);

    Text readControlText(const Text& control) override;
    void writeControlText(const Text& control, const Text& text) override;
    bool isControlDisabled(const Text& control) override;
    void setControlDisabled(const Text& control, bool disabled) override;
    void appendControlText(const Text& control, const Text& text) override;
    int32_t messageBox(const Text& text, int32_t flags, const Text& title) override;
    void startThread(std::function<void()> routine) override;
    bool runOnWindowThread(const std::function<void()>& work) override;

    // A line of the front end's own, kept in order with the status texts.
    void printNote(const std::string& utf8Line);

private:
    fake::HeadlessWindow window_;
    std::function<std::string(const Text&)> toUtf8_;
    std::mutex outputMutex_;
};

}  // namespace kestrova::cli
