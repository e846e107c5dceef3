#pragma once
// A harvest routine with one page, for tests of run control: it stops in the
// middle of the page until the test lets it finish, and keeps what the
// window answered it.

#include "app/controls.h"
#include "app/run_control.h"
#include "app/window_operations.h"
#include "support/gate.h"

namespace kestrova::test_support {

inline const Text pageStatus = "正在采集第：1页";
inline const Text finalStatus = "运行结束，去除重复采集结果数【1】，手动停止不写入文本";

struct PausingRun {
    void operator()() {
        keywordAtStart = readControlText(controls::keyword);
        resultsAtStart = readControlText(controls::results);
        statusAtStart = readControlText(controls::status);
        writeControlText(controls::status, pageStatus);
        appendControlText(controls::results, host + "\r\n");
        pageReached.open();
        finishPage.wait();
        startDisabledAtCheck = isControlDisabled(controls::start);
        resultsAtEnd = readControlText(controls::results);
        appendControlText(controls::results, "late.example\r\n");
        writeControlText(controls::status, finalStatus);
        onStopClicked();
        done.open();
    }

    Text host = "a.example";
    Gate pageReached;
    Gate finishPage;
    Gate done;
    Text keywordAtStart = "unread";
    Text resultsAtStart = "unread";
    Text statusAtStart = "unread";
    bool startDisabledAtCheck = false;
    Text resultsAtEnd = "unread";
};

}  // namespace kestrova::test_support
