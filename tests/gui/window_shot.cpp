// Saves a picture of the main window in the middle of a run, for the docs:
//   QT_QPA_PLATFORM=offscreen window_shot docs/window.png

#include <QApplication>
#include <QPixmap>
#include <cstdio>

#include "app/controls.h"
#include "app/gui/caption.h"
#include "app/run_control.h"
#include "app/window_operations.h"
#include "platform/posix/qt/qt_window.h"

int main(int argc, char** argv) {
    using namespace kestrova;
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_shot PICTURE.png\n");
        return 2;
    }
    qt::QtWindow window(mainWindowCaption, {onStartClicked, onStopClicked, onCloseQuery});
    const platform::ScopedAdapter<platform::Window> guard(window);
    window.mainWindow().show();

    // A start without a harvest routine shows the running window; the lines
    // stand for what a run appends.
    writeControlText(controls::keyword, "咖啡豆");
    onStartClicked();
    for (const char* host : {"www.example.com", "shop.example.net", "example.org", "blog.example.com:8080",
                             "news.example.org"}) {
        appendControlText(controls::results, Text(host) + "\r\n");
    }
    writeControlText(controls::status, "正在采集第：3页");
    QApplication::processEvents();
    return window.mainWindow().grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
