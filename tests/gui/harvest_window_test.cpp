// A whole harvest in the real main window, against the search-engine
// simulator on 127.0.0.1. With KESTROVA_SCREENSHOT set, the window after the
// run is saved there as a picture.

#include <QApplication>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <atomic>

#include "app/controls.h"
#include "app/gui/caption.h"
#include "app/harvest.h"
#include "app/run_control.h"
#include "platform/fake/fake_host.h"
#include "platform/posix/automation_posix.h"
#include "platform/posix/code_pages_posix.h"
#include "platform/posix/curl_global.h"
#include "platform/posix/internet_curl.h"
#include "platform/posix/qt/qt_window.h"

namespace kestrova {

class HarvestWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void aRunFillsTheResultsAndWritesTheFile();

private:
    QProcess simulator_;
    QString host_;
};

void HarvestWindowTest::initTestCase() {
    posix::initCurlGlobal();
    QApplication::setQuitOnLastWindowClosed(false);
    simulator_.setProgram(QStringLiteral("python3"));
    simulator_.setArguments({QStringLiteral(KESTROVA_SIMULATOR), QStringLiteral("--pages"), QStringLiteral("3"),
                             QStringLiteral("--links-per-page"), QStringLiteral("5")});
    simulator_.start();
    QVERIFY(simulator_.waitForStarted(30000));
    QVERIFY(QTest::qWaitFor([this] { return simulator_.canReadLine(); }, 60000));
    const QJsonObject ready = QJsonDocument::fromJson(simulator_.readLine()).object();
    host_ = QStringLiteral("127.0.0.1:%1").arg(ready.value(QStringLiteral("port")).toInt());
}

void HarvestWindowTest::cleanupTestCase() {
    simulator_.terminate();
    simulator_.waitForFinished(30000);
}

void HarvestWindowTest::aRunFillsTheResultsAndWritesTheFile() {
    posix::PosixCodePages codePages;
    posix::CurlInternet internet;
    posix::PosixAutomationHost automation;
    fake::FakeHost host;
    host.setExecutablePath("/opt/kestrova/kestrova");
    host.setTime(DateTime{2026, 12, 9, 16, 25, 10});
    qt::QtWindow window(mainWindowCaption, {onStartClicked, onStopClicked, onCloseQuery});
    const platform::ScopedAdapter<platform::CodePages> codePagesGuard(codePages);
    const platform::ScopedAdapter<platform::Internet> internetGuard(internet);
    const platform::ScopedAdapter<platform::AutomationHost> automationGuard(automation);
    const platform::ScopedAdapter<platform::Host> hostGuard(host);
    const platform::ScopedAdapter<platform::Window> windowGuard(window);
    const Text searchHost(host_.toStdString());
    std::atomic<bool> runEnded = false;
    setHarvestRoutine([searchHost, &runEnded] {
        harvestWorker({.searchHost = searchHost});
        runEnded = true;
    });

    window.mainWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.mainWindow()));
    QWidget* keyword = window.mainWindow().control(controls::keyword);
    keyword->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("咖啡豆"));
    QApplication::sendEvent(keyword, &commit);

    auto* start = qobject_cast<QPushButton*>(window.mainWindow().control(controls::start));
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(!start->isEnabled());
    // The harvest thread's last window operations run on this thread, so the
    // event loop keeps turning until the thread is done with the window.
    QVERIFY(QTest::qWaitFor([&runEnded] { return runEnded.load(); }, 240000));
    QVERIFY(start->isEnabled());

    // Pages 1 and 2 offer a next page: five links each, the fifth of every
    // page redirecting to the same shared host.
    const Text expected =
        "site-1-1.example\r\nsite-1-2.example\r\nsite-1-3.example\r\nsite-1-4.example\r\nrepeat.example\r\n"
        "site-2-1.example\r\nsite-2-2.example\r\nsite-2-3.example\r\nsite-2-4.example";
    QCOMPARE(window.readControlText(controls::results), expected);
    QCOMPARE(window.readControlText(controls::status), Text("运行结束，去除重复采集结果数【9】，手动停止不写入文本"));
    const std::optional<Bytes> file = host.file("/opt/kestrova/2026年12月9日16时25分10秒.txt");
    QVERIFY(file.has_value());
    QCOMPARE(*file, Bytes::fromRaw(expected.bytes()));

    const QByteArray screenshot = qgetenv("KESTROVA_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QVERIFY(window.mainWindow().grab().save(QString::fromLocal8Bit(screenshot)));
    }
    setHarvestRoutine({});
}

}  // namespace kestrova

QTEST_MAIN(kestrova::HarvestWindowTest)
#include "harvest_window_test.moc"
