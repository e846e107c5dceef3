#include "platform/fake/headless_window.h"

#include <gtest/gtest.h>

#include "app/controls.h"
#include "support/printers.h"

namespace kestrova::fake {
namespace {

struct ControlCase {
    Text name;
    Text text;
    bool disabled;
    Text afterAppend;  // the text after appending "+"
};

TEST(HeadlessWindow, StartsWithTheMainWindowsControlsAndAppendsToEditBoxesOnly) {
    const ControlCase cases[] = {
        {controls::groupBox, "", false, ""},
        {controls::prompt, "搜索关键词：", false, "搜索关键词："},
        {controls::keyword, "", false, "+"},
        {controls::start, "开始采集", false, "开始采集"},
        {controls::stop, "停止采集", true, "停止采集"},
        {controls::results, "", false, "+"},
        {controls::status, "", false, ""},
        {"no such control", "", false, ""},
    };
    HeadlessWindow window;
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name.c_str());
        EXPECT_EQ(window.readControlText(c.name), c.text);
        EXPECT_EQ(window.isControlDisabled(c.name), c.disabled);
        window.appendControlText(c.name, "+");
        EXPECT_EQ(window.readControlText(c.name), c.afterAppend);
    }
}

TEST(HeadlessWindow, KeepsWrittenTextsAndStatesPerControl) {
    HeadlessWindow window;
    window.writeControlText(controls::results, "a\r\n");
    window.appendControlText(controls::results, "b\r\n");
    window.setControlDisabled(controls::start, true);
    window.setControlDisabled(controls::stop, false);
    window.writeControlText("no such control", "x");
    window.setControlDisabled("no such control", true);

    EXPECT_EQ(window.readControlText(controls::results), Text("a\r\nb\r\n"));
    EXPECT_EQ(window.readControlText(controls::keyword), Text());
    EXPECT_TRUE(window.isControlDisabled(controls::start));
    EXPECT_FALSE(window.isControlDisabled(controls::stop));
    EXPECT_EQ(window.readControlText("no such control"), Text());
    EXPECT_FALSE(window.isControlDisabled("no such control"));
}

TEST(HeadlessWindow, AnswersMessageBoxesFromTheScriptThenAsEscapeWould) {
    HeadlessWindow window;
    window.scriptMessageBoxAnswer(platform::IDYES);
    EXPECT_EQ(window.messageBox("q1", platform::MB_YESNO, "t1"), platform::IDYES);
    EXPECT_EQ(window.messageBox("q2", platform::MB_YESNO, "t2"), platform::IDNO);
    EXPECT_EQ(window.messageBox("m", platform::MB_ICONEXCLAMATION | platform::MB_OK, "t3"), platform::IDOK);

    const std::vector<MessageBoxCall> expected = {{"q1", 4, "t1", platform::IDYES},
                                                  {"q2", 4, "t2", platform::IDNO},
                                                  {"m", 48, "t3", platform::IDOK}};
    EXPECT_EQ(window.messageBoxes(), expected);
}

TEST(HeadlessWindow, RunsWorkUntilClosedAndThreadsToTheirEnd) {
    HeadlessWindow window;
    int ran = 0;
    EXPECT_TRUE(window.runOnWindowThread([&] { ++ran; }));
    EXPECT_EQ(ran, 1);

    bool threadRan = false;
    window.startThread([&] { threadRan = window.runOnWindowThread([] {}); });
    window.waitForThreads();
    EXPECT_TRUE(threadRan);

    window.close();
    EXPECT_TRUE(window.closed());
    EXPECT_FALSE(window.runOnWindowThread([&] { ++ran; }));
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace kestrova::fake
