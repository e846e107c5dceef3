#pragma once
// The window seam: the main window's controls by name, its message boxes, and
// the start of a harvest thread.

#include <cstdint>
#include <functional>

#include "foundation/text.h"
#include "platform/seam.h"

namespace kestrova::platform {

// MessageBox flags and answers the system uses.
inline constexpr int32_t MB_OK = 0x0;
inline constexpr int32_t MB_YESNO = 0x4;
inline constexpr int32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDYES = 6;
inline constexpr int32_t IDNO = 7;

class Window {
public:
    static constexpr const char* seamName = "window";
    virtual ~Window() = default;

    // The control operations act on the window directly: they are called on
    // the window's thread only (other threads go through runOnWindowThread).
    // Controls are named by their code page 936 names.
    virtual Text readControlText(const Text& control) = 0;
    virtual void writeControlText(const Text& control, const Text& text) = 0;
    virtual bool isControlDisabled(const Text& control) = 0;
    virtual void setControlDisabled(const Text& control, bool disabled) = 0;
    virtual void appendControlText(const Text& control, const Text& text) = 0;
    // Modal to the window's thread and owned by the main window; while it is
    // open, runOnWindowThread calls from other threads are still served.
    virtual int32_t messageBox(const Text& text, int32_t flags, const Text& title) = 0;

    // Starts a detached thread running `routine`; nothing waits for it.
    virtual void startThread(std::function<void()> routine) = 0;
    // Runs `work` on the window's thread while the caller waits; at once when
    // called on that thread. Answers false, without running `work`, once the
    // window has been closed.
    virtual bool runOnWindowThread(const std::function<void()>& work) = 0;
};

inline Window& window() { return Installed<Window>::get(); }

}  // namespace kestrova::platform
