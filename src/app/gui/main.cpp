// The main window: the Linux adapters, the Qt window and its event loop.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/gui/caption.h"
#include "app/harvest.h"
#include "app/run_control.h"
#include "platform/posix/automation_posix.h"
#include "platform/posix/code_pages_posix.h"
#include "platform/posix/curl_global.h"
#include "platform/posix/host_posix.h"
#include "platform/posix/internet_curl.h"
#include "platform/posix/qt/qt_window.h"

int main(int argc, char** argv) {
    using namespace kestrova;
    // libcurl asks to be set up before any other thread exists.
    posix::initCurlGlobal();
    QApplication application(argc, argv);

    posix::PosixCodePages codePages;
    posix::CurlInternet internet;
    posix::PosixAutomationHost automation;
    posix::PosixHost host;
    qt::QtWindow window(mainWindowCaption, {onStartClicked, onStopClicked, onCloseQuery});
    const platform::ScopedAdapter<platform::CodePages> codePagesGuard(codePages);
    const platform::ScopedAdapter<platform::Internet> internetGuard(internet);
    const platform::ScopedAdapter<platform::AutomationHost> automationGuard(automation);
    const platform::ScopedAdapter<platform::Host> hostGuard(host);
    const platform::ScopedAdapter<platform::Window> windowGuard(window);
    setHarvestRoutine([] { harvestWorker(); });

    window.mainWindow().show();
    const int status = QApplication::exec();
    // A stopped run may still be finishing its page. Its window operations are
    // refused from the close on, and nothing waits for it or tears down what
    // it may still use: the process ends here, with the adapters still alive.
    std::fflush(nullptr);
    std::quick_exit(status);
}
