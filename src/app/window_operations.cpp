#include "app/window_operations.h"

#include <utility>

#include "app/runs.h"
#include "platform/window.h"

namespace kestrova {

namespace {

// The run whose harvest thread may touch the window. Read and written only by
// work running on the window's thread, which is what serialises it.
uint64_t currentRun = 0;
uint64_t lastRun = 0;
// The run of a harvest thread; 0 on every other thread.
thread_local uint64_t threadRun = 0;

// Runs `work` on the window's thread unless the caller's run has been
// overtaken. The test is made there, so that a start processed between two
// operations of an old run is seen by the second one.
template <class Work>
void onWindowThread(Work&& work) {
    const uint64_t run = threadRun;
    platform::window().runOnWindowThread([&] {
        if (run == 0 || run == currentRun) {
            work();
        }
    });
}

}  // namespace

uint64_t beginRun() {
    uint64_t run = 0;
    platform::window().runOnWindowThread([&] {
        currentRun = ++lastRun;
        run = currentRun;
    });
    return run;
}

void joinRun(uint64_t run) { threadRun = run; }

// An overtaken run and every thread after the window has closed read texts
// as empty and every control as enabled: the harvest loop then ends quietly.
Text readControlText(const Text& control) {
    Text text;
    onWindowThread([&] { text = platform::window().readControlText(control); });
    return text;
}

void writeControlText(const Text& control, const Text& text) {
    onWindowThread([&] { platform::window().writeControlText(control, text); });
}

bool isControlDisabled(const Text& control) {
    bool disabled = false;
    onWindowThread([&] { disabled = platform::window().isControlDisabled(control); });
    return disabled;
}

void setControlDisabled(const Text& control, bool disabled) {
    onWindowThread([&] { platform::window().setControlDisabled(control, disabled); });
}

void appendControlText(const Text& control, const Text& text) {
    onWindowThread([&] { platform::window().appendControlText(control, text); });
}

int32_t messageBox(const Text& text, int32_t flags, const Text& title) {
    int32_t button = 0;
    onWindowThread([&] { button = platform::window().messageBox(text, flags, title); });
    return button;
}

void startThread(std::function<void()> routine) {
    onWindowThread([&] { platform::window().startThread(std::move(routine)); });
}

}  // namespace kestrova
