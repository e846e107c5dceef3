// kestrova-cli: the harvest of the main window, behind a headless window, for
// scripts and servers.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/cli/out_dir_host.h"
#include "app/cli/terminal_window.h"
#include "app/controls.h"
#include "app/harvest.h"
#include "app/run_control.h"
#include "encoding/code_page.h"
#include "foundation/bytes.h"
#include "platform/posix/automation_posix.h"
#include "platform/posix/code_pages_posix.h"
#include "platform/posix/curl_global.h"
#include "platform/posix/internet_curl.h"

namespace {

using namespace kestrova;

constexpr int exitEndedByItself = 0;
constexpr int exitFileNotWritten = 1;
constexpr int exitUsage = 2;
constexpr int exitStopped = 130;

std::atomic<int> interrupts{0};

extern "C" void onInterrupt(int) {
    // The first interrupt is the stop button; a second one leaves at once.
    if (interrupts.fetch_add(1) >= 1) {
        std::_Exit(exitStopped);
    }
}

std::string toUtf8(const Text& text) { return ansiToUtf8(text).bytes(); }

Text fromUtf8(const std::string& utf8) { return utf8ToAnsi(Bytes::fromRaw(utf8)); }

const char* walkEndNote(WalkEnd end) {
    switch (end) {
        case WalkEnd::StoppedByUser:
            return "kestrova-cli: the walk ended: stopped by the user";
        case WalkEnd::LastPage:
            return "kestrova-cli: the walk ended: the last result page was reached";
        case WalkEnd::NotAResultPage:
            return "kestrova-cli: the walk ended: a page was no result page (a verification page?)";
        case WalkEnd::PageRequestFailed:
            return "kestrova-cli: the walk ended: a page request failed";
    }
    return "";
}

class RunEnd {
public:
    void signal() {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }
    // Waits for the run to end; presses the stop button once on an interrupt.
    void waitPressingStopOnInterrupt() {
        bool stopPressed = false;
        std::unique_lock lock(mutex_);
        while (!changed_.wait_for(lock, std::chrono::milliseconds(50), [this] { return ended_; })) {
            if (!stopPressed && interrupts.load() > 0) {
                stopPressed = true;
                lock.unlock();
                onStopClicked();
                lock.lock();
            }
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    posix::initCurlGlobal();
    posix::PosixCodePages codePages;
    const platform::ScopedAdapter<platform::CodePages> codePagesGuard(codePages);

    const cli::ParsedCommandLine parsed = cli::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "kestrova-cli: %s\n\n%s", parsed.error.c_str(), cli::usageText());
        return exitUsage;
    }
    const cli::CliOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(cli::usageText(), stdout);
        return exitEndedByItself;
    }

    const Text keyword = fromUtf8(options.keyword);
    if (keyword.empty()) {
        std::fprintf(stderr, "%s\n", toUtf8("请先输入关键词!").c_str());
        return exitUsage;
    }

    cli::OutDirHost host(fromUtf8(options.outDir));
    posix::CurlInternet internet;
    posix::PosixAutomationHost automation;
    cli::TerminalWindow window(toUtf8);
    const platform::ScopedAdapter<platform::Host> hostGuard(host);
    const platform::ScopedAdapter<platform::Internet> internetGuard(internet);
    const platform::ScopedAdapter<platform::AutomationHost> automationGuard(automation);
    const platform::ScopedAdapter<platform::Window> windowGuard(window);

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);

    HarvestHooks hooks;
    if (!options.host.empty()) {
        hooks.searchHost = fromUtf8(options.host);
    }
    WalkEnd walkEnd = WalkEnd::StoppedByUser;
    bool fileWritten = true;
    hooks.walkEnded = [&](WalkEnd end) {
        walkEnd = end;
        window.printNote(walkEndNote(end));
    };
    hooks.fileWriteFailed = [&](const Text& path) {
        fileWritten = false;
        window.printNote("kestrova-cli: cannot write the results file " + toUtf8(path) + ": " + host.lastFailure());
    };

    RunEnd runEnd;
    setHarvestRoutine([&] {
        harvestWorker(hooks);
        runEnd.signal();
    });
    window.writeControlText(controls::keyword, keyword);
    onStartClicked();
    runEnd.waitPressingStopOnInterrupt();

    if (walkEnd == WalkEnd::StoppedByUser) {
        return exitStopped;
    }
    return fileWritten ? exitEndedByItself : exitFileNotWritten;
}
