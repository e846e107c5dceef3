#include "app/run_control.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>

#include "app/controls.h"
#include "support/gate.h"
#include "support/pausing_run.h"
#include "app/window_operations.h"
#include "platform/fake/headless_window.h"
#include "support/printers.h"

namespace kestrova {

namespace fake {
void PrintTo(const MessageBoxCall& call, std::ostream* out) {
    *out << "{";
    PrintTo(call.text, out);
    *out << ", " << call.flags << ", ";
    PrintTo(call.title, out);
    *out << ", answer " << call.answer << "}";
}
}  // namespace fake

namespace {

using fake::HeadlessWindow;
using fake::MessageBoxCall;

using test_support::Gate;

using test_support::finalStatus;
using test_support::PausingRun;
using test_support::pageStatus;

// The disabled flags of 开始, keyword and 停止.
using RunState = std::array<bool, 3>;
constexpr RunState idle = {false, false, true};
constexpr RunState running = {true, true, false};

class RunControlTest : public ::testing::Test {
protected:
    ~RunControlTest() override {
        // Nothing may outlive the window and its guard: let every run finish.
        for (PausingRun& run : runs_) {
            run.finishPage.open();
        }
        window.waitForThreads();
        setHarvestRoutine({});
    }

    // Types the keyword and presses 开始 with a new pausing routine.
    PausingRun& start(const Text& keyword, const Text& host = "a.example") {
        PausingRun& run = runs_.emplace_back();
        run.host = host;
        setHarvestRoutine([&run] { run(); });
        window.writeControlText(controls::keyword, keyword);
        onStartClicked();
        return run;
    }

    RunState state() {
        return {window.isControlDisabled(controls::start), window.isControlDisabled(controls::keyword),
                window.isControlDisabled(controls::stop)};
    }

    HeadlessWindow window;
    platform::ScopedAdapter<platform::Window> guard{window};

private:
    std::deque<PausingRun> runs_;  // stable addresses for the routines
};

TEST_F(RunControlTest, EmptyKeywordIsRefusedAndNothingChanges) {
    window.writeControlText(controls::results, "old.example\r\n");
    window.writeControlText(controls::status, "old status");
    PausingRun& run = start("");

    EXPECT_EQ(window.messageBoxes(),
              (std::vector<MessageBoxCall>{{"请先输入关键词!", 48, "ERROR", platform::IDOK}}));
    EXPECT_EQ(state(), idle);
    EXPECT_EQ(window.readControlText(controls::results), Text("old.example\r\n"));
    EXPECT_EQ(window.readControlText(controls::status), Text("old status"));
    window.waitForThreads();
    EXPECT_EQ(run.keywordAtStart, Text("unread")) << "no harvest thread may start";
}

class StartingKeywordTest : public RunControlTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(StartingKeywordTest, StartsARunThatClearsTheResultsAndReadsTheKeyword) {
    window.writeControlText(controls::results, "old.example\r\n");
    window.writeControlText(controls::status, "old status");
    PausingRun& run = start(GetParam());
    run.pageReached.wait();

    EXPECT_EQ(state(), running);
    EXPECT_TRUE(window.messageBoxes().empty());
    EXPECT_EQ(run.keywordAtStart, Text(GetParam()));
    EXPECT_EQ(run.resultsAtStart, Text());
    EXPECT_EQ(run.statusAtStart, Text());

    // Not stopped: the run goes on past its check, then ends by itself and
    // calls the stop handler from its own thread.
    run.finishPage.open();
    run.done.wait();
    EXPECT_TRUE(run.startDisabledAtCheck);
    EXPECT_EQ(run.resultsAtEnd, Text("a.example\r\n"));
    EXPECT_EQ(window.readControlText(controls::results), Text("a.example\r\nlate.example\r\n"));
    EXPECT_EQ(window.readControlText(controls::status), finalStatus);
    EXPECT_EQ(state(), idle);
}

INSTANTIATE_TEST_SUITE_P(Keywords, StartingKeywordTest, ::testing::Values(" ", "k", "中文 关键词"));

TEST_F(RunControlTest, StopReturnsIdleAtOnceWhileTheRunFinishesItsPage) {
    PausingRun& run = start("k");
    run.pageReached.wait();

    onStopClicked();
    EXPECT_EQ(state(), idle);
    EXPECT_EQ(window.readControlText(controls::status), pageStatus);

    run.finishPage.open();
    run.done.wait();
    EXPECT_FALSE(run.startDisabledAtCheck) << "the run must see the stop at its next check";
    EXPECT_EQ(window.readControlText(controls::status), finalStatus);
    EXPECT_EQ(state(), idle);
}

enum class Phase { idle, running, stopping };

struct CloseCase {
    Phase phase;
    int32_t answer;  // scripted for the box; 0 for none
    bool closes;
    MessageBoxCall shown;
};

void PrintTo(const CloseCase& c, std::ostream* out) {
    const char* phases[] = {"idle", "running", "stopping"};
    *out << phases[static_cast<int>(c.phase)] << " answered " << c.answer;
}

class CloseQueryTest : public RunControlTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQueryTest, RefusesDuringARunAndAsksOtherwise) {
    const CloseCase& c = GetParam();
    PausingRun* run = nullptr;
    if (c.phase != Phase::idle) {
        run = &start("k");
        run->pageReached.wait();
        if (c.phase == Phase::stopping) {
            onStopClicked();
        }
    }
    const RunState before = state();
    if (c.answer != 0) {
        window.scriptMessageBoxAnswer(c.answer);
    }

    EXPECT_EQ(onCloseQuery(), c.closes);
    EXPECT_EQ(window.messageBoxes(), std::vector<MessageBoxCall>{c.shown});
    EXPECT_EQ(state(), before);
    if (run != nullptr) {
        run->finishPage.open();
        run->done.wait();
        EXPECT_EQ(run->startDisabledAtCheck, c.phase == Phase::running) << "the query must not stop a run";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Phases, CloseQueryTest,
    ::testing::Values(CloseCase{Phase::running, 0, false, {"正在运行中!", 48, "ERROR!", platform::IDOK}},
                      CloseCase{Phase::idle, platform::IDNO, false, {"是否关闭程序?", 4, "Tips", platform::IDNO}},
                      CloseCase{Phase::idle, platform::IDYES, true, {"是否关闭程序?", 4, "Tips", platform::IDYES}},
                      CloseCase{Phase::stopping, platform::IDYES, true, {"是否关闭程序?", 4, "Tips", platform::IDYES}}));

TEST_F(RunControlTest, RunOvertakenByANewStartLeavesTheNewRunAlone) {
    PausingRun& first = start("k", "first.example");
    first.pageReached.wait();
    onStopClicked();
    PausingRun& second = start("k", "second.example");
    second.pageReached.wait();

    first.finishPage.open();
    first.done.wait();
    EXPECT_FALSE(first.startDisabledAtCheck) << "the old run must end although 开始 is disabled again";
    EXPECT_EQ(first.resultsAtEnd, Text());
    EXPECT_EQ(state(), running);
    EXPECT_EQ(window.readControlText(controls::results), Text("second.example\r\n"));
    EXPECT_EQ(window.readControlText(controls::status), pageStatus);

    second.finishPage.open();
    second.done.wait();
    EXPECT_TRUE(second.startDisabledAtCheck);
    EXPECT_EQ(window.readControlText(controls::results), Text("second.example\r\nlate.example\r\n"));
    EXPECT_EQ(window.readControlText(controls::status), finalStatus);
    EXPECT_EQ(state(), idle);
}

TEST_F(RunControlTest, OperationsAfterTheCloseChangeNothing) {
    PausingRun& run = start("k");
    run.pageReached.wait();
    onStopClicked();
    window.scriptMessageBoxAnswer(platform::IDYES);
    ASSERT_TRUE(onCloseQuery());
    window.close();

    run.finishPage.open();
    run.done.wait();
    EXPECT_FALSE(run.startDisabledAtCheck);
    EXPECT_EQ(run.resultsAtEnd, Text());
    EXPECT_EQ(window.readControlText(controls::results), Text("a.example\r\n"));
    EXPECT_EQ(window.readControlText(controls::status), pageStatus);
    EXPECT_EQ(state(), idle);

    // The window's own thread is refused as well: no box, no answer.
    EXPECT_EQ(readControlText(controls::keyword), Text());
    EXPECT_EQ(messageBox("x", 0, "y"), 0);
    EXPECT_EQ(window.messageBoxes().size(), 1U);
}

}  // namespace
}  // namespace kestrova
