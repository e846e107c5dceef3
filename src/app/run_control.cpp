#include "app/run_control.h"

#include <utility>

#include "app/controls.h"
#include "app/runs.h"
#include "app/window_operations.h"
#include "platform/window.h"

namespace kestrova {

namespace {

// Set once by the front end before the window is shown (tests set their own
// between runs); a start hands a copy to its thread.
std::function<void()>& harvestRoutine() {
    static std::function<void()> routine;
    return routine;
}

}  // namespace

void setHarvestRoutine(std::function<void()> routine) { harvestRoutine() = std::move(routine); }

void onStartClicked() {
    if (readControlText(controls::keyword) == Text()) {
        messageBox("请先输入关键词!", platform::MB_ICONEXCLAMATION | platform::MB_OK, "ERROR");
        return;
    }
    // The new run owns the window from here on: a stopped run still finishing
    // its page sees its start button enabled and ends without touching it.
    const uint64_t run = beginRun();
    setControlDisabled(controls::start, true);
    setControlDisabled(controls::keyword, true);
    setControlDisabled(controls::stop, false);
    writeControlText(controls::results, "");
    writeControlText(controls::status, "");
    // With no routine there is no thread, as when one cannot be started: the
    // controls stay in Running until the stop button is pressed.
    if (harvestRoutine()) {
        startThread([run, routine = harvestRoutine()] {
            joinRun(run);
            routine();
        });
    }
}

void onStopClicked() {
    setControlDisabled(controls::start, false);
    setControlDisabled(controls::keyword, false);
    setControlDisabled(controls::stop, true);
}

bool onCloseQuery() {
    if (!isControlDisabled(controls::stop)) {
        messageBox("正在运行中!", platform::MB_ICONEXCLAMATION | platform::MB_OK, "ERROR!");
        return false;
    }
    return messageBox("是否关闭程序?", platform::MB_YESNO, "Tips") == platform::IDYES;
}

}  // namespace kestrova
