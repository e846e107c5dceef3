#include <QApplication>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <functional>
#include <deque>
#include <memory>
#include <vector>

#include "app/controls.h"
#include "support/gate.h"
#include "support/pausing_run.h"
#include "app/gui/caption.h"
#include "app/run_control.h"
#include "app/window_operations.h"
#include "platform/posix/qt/qt_window.h"

namespace kestrova {
namespace {

using test_support::Gate;

using test_support::finalStatus;
using test_support::PausingRun;
using test_support::pageStatus;

struct ShownBox {
    QString text;
    QString title;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    bool ownedAndModal;
};

QByteArray bytesOf(const Text& text) { return QByteArray::fromStdString(text.bytes()); }

bool waitFor(Gate& gate) {
    return QTest::qWaitFor([&] { return gate.isOpen(); }, 20000);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlsFollowTheLayout_data();
    void controlsFollowTheLayout();
    void windowHasItsCaptionPlaceAndSize();
    void textsCrossInCodePage936_data();
    void textsCrossInCodePage936();
    void appendGoesToTheEndAndIntoView();
    void emptyKeywordShowsTheMessageAndChangesNothing();
    void clicksStartAndStopARun();
    void closeQuery_data();
    void closeQuery();
    void harvestIsServedWhileABoxIsOpen();
    void closingWhileAStoppedRunFinishesItsPageIsQuiet();

private:
    QWidget* control(const Text& name) { return window_->mainWindow().control(name); }
    QPushButton* button(const Text& name) { return qobject_cast<QPushButton*>(control(name)); }
    // The disabled flags of 开始, keyword and 停止.
    std::vector<bool> runState() {
        return {!control(controls::start)->isEnabled(), !control(controls::keyword)->isEnabled(),
                !control(controls::stop)->isEnabled()};
    }
    PausingRun& prepareRun();
    void typeKeyword(const QString& keyword);

    std::unique_ptr<qt::QtWindow> window_;
    std::unique_ptr<platform::ScopedAdapter<platform::Window>> guard_;
    std::deque<PausingRun> runs_;
    std::vector<ShownBox> shown_;
    std::deque<QMessageBox::StandardButton> presses_;
    // Runs inside the open box, before its button is pressed.
    std::function<void()> whileBoxOpen_;
};

namespace {
const std::vector<bool> idle = {false, false, true};
const std::vector<bool> running = {true, true, false};
}  // namespace

void MainWindowTest::initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

void MainWindowTest::init() {
    window_ = std::make_unique<qt::QtWindow>(mainWindowCaption, qt::Handlers{onStartClicked, onStopClicked, onCloseQuery});
    guard_ = std::make_unique<platform::ScopedAdapter<platform::Window>>(*window_);
    window_->setMessageBoxHook([this](QMessageBox& box) {
        shown_.push_back({box.text(), box.windowTitle(), box.icon(), box.standardButtons(),
                          box.parentWidget() == &window_->mainWindow() &&
                              box.windowModality() == Qt::ApplicationModal});
        const QMessageBox::StandardButton press = presses_.empty() ? QMessageBox::NoButton : presses_.front();
        if (!presses_.empty()) {
            presses_.pop_front();
        }
        QTimer::singleShot(0, &box, [this, &box, press] {
            if (whileBoxOpen_) {
                whileBoxOpen_();
            }
            if (QAbstractButton* target = box.button(press)) {
                target->click();
            } else {
                box.reject();  // an unexpected box: the test's checks will tell
            }
        });
    });
    window_->mainWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_->mainWindow()));
}

void MainWindowTest::cleanup() {
    // Every run ends before its window goes.
    for (PausingRun& run : runs_) {
        run.finishPage.open();
        QVERIFY(waitFor(run.done));
    }
    guard_.reset();
    window_.reset();
    runs_.clear();
    shown_.clear();
    presses_.clear();
    whileBoxOpen_ = nullptr;
    setHarvestRoutine({});
}

PausingRun& MainWindowTest::prepareRun() {
    PausingRun& run = runs_.emplace_back();
    setHarvestRoutine([&run] { run(); });
    return run;
}

void MainWindowTest::typeKeyword(const QString& keyword) {
    // What an input method commits: key clicks cannot carry Chinese.
    QWidget* edit = control(controls::keyword);
    edit->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(keyword);
    QApplication::sendEvent(edit, &commit);
}


void MainWindowTest::controlsFollowTheLayout_data() {
    QTest::addColumn<QByteArray>("name");  // code page 936, as are the other byte arrays
    QTest::addColumn<QByteArray>("parent");
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("enabled");

    const QByteArray window;
    const QByteArray group = bytesOf(controls::groupBox);
    QTest::newRow("group box") << group << window << QByteArray("QGroupBox") << QRect(8, 8, 456, 72) << QString()
                               << QByteArray() << true;
    QTest::newRow("prompt") << bytesOf(controls::prompt) << group << QByteArray("QLabel") << QRect(8, 24, 72, 32)
                            << QStringLiteral(u"搜索关键词：") << QByteArray("搜索关键词：") << true;
    QTest::newRow("keyword") << bytesOf(controls::keyword) << group << QByteArray("QLineEdit")
                             << QRect(88, 24, 208, 32) << QString() << QByteArray() << true;
    QTest::newRow("start") << bytesOf(controls::start) << group << QByteArray("QPushButton")
                           << QRect(304, 24, 64, 32) << QStringLiteral(u"开始采集") << QByteArray("开始采集") << true;
    QTest::newRow("stop") << bytesOf(controls::stop) << window << QByteArray("QPushButton") << QRect(392, 31, 64, 32)
                          << QStringLiteral(u"停止采集") << QByteArray("停止采集") << false;
    QTest::newRow("results") << bytesOf(controls::results) << window << QByteArray("QPlainTextEdit")
                             << QRect(8, 88, 456, 288) << QString() << QByteArray() << true;
    QTest::newRow("status") << bytesOf(controls::status) << window << QByteArray("QLabel") << QRect(8, 384, 456, 16)
                            << QString() << QByteArray() << true;
}

void MainWindowTest::controlsFollowTheLayout() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, parent);
    QFETCH(QByteArray, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, shown);
    QFETCH(QByteArray, text);
    QFETCH(bool, enabled);

    QWidget* widget = control(Text(name.toStdString()));
    QVERIFY(widget != nullptr);
    QVERIFY(widget->inherits(kind.constData()));
    QWidget* expectedParent = parent.isEmpty() ? &window_->mainWindow() : control(Text(parent.toStdString()));
    QCOMPARE(widget->parentWidget(), expectedParent);
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->isEnabled(), enabled);
    const char* textProperty = widget->inherits("QGroupBox")        ? "title"
                               : widget->inherits("QPlainTextEdit") ? "plainText"
                                                                    : "text";
    QCOMPARE(widget->property(textProperty).toString(), shown);
    QCOMPARE(bytesOf(window_->readControlText(Text(name.toStdString()))), text);
    QCOMPARE(window_->isControlDisabled(Text(name.toStdString())), !enabled);
}

void MainWindowTest::windowHasItsCaptionPlaceAndSize() {
    QWidget& window = window_->mainWindow();
    QCOMPARE(window.windowTitle(), QStringLiteral(u"Kestrova百度采集 - - -官方网站【https://kestrova.example】"));
    QTRY_COMPARE(window.frameGeometry(), QRect(50, 50, 478, 429));
    // Nothing but the controls: the group box and the three outside it.
    QCOMPARE(window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 4);

    auto* results = qobject_cast<QPlainTextEdit*>(control(controls::results));
    QCOMPARE(results->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(results->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(results->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void MainWindowTest::textsCrossInCodePage936_data() {
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("lines of the results box") << bytesOf(controls::results) << QByteArray("a.example\r\n中文.example\r\n")
                                              << QStringLiteral(u"a.example\n中文.example\n");
    QTest::newRow("empty line kept") << bytesOf(controls::results) << QByteArray("a\r\n\r\nb")
                                     << QStringLiteral(u"a\n\nb");
    QTest::newRow("status line") << bytesOf(controls::status) << QByteArray("运行结束，去除重复采集结果数【2】")
                                 << QStringLiteral(u"运行结束，去除重复采集结果数【2】");
    QTest::newRow("markup stays text") << bytesOf(controls::status) << QByteArray("<b>x</b> & y")
                                       << QStringLiteral(u"<b>x</b> & y");
    QTest::newRow("keyword") << bytesOf(controls::keyword) << QByteArray("咖啡 beans")
                             << QStringLiteral(u"咖啡 beans");
}

void MainWindowTest::textsCrossInCodePage936() {
    QFETCH(QByteArray, control);
    QFETCH(QByteArray, text);
    QFETCH(QString, shown);

    const Text name(control.toStdString());
    window_->writeControlText(name, Text(text.toStdString()));
    QWidget* widget = this->control(name);
    const char* textProperty = widget->inherits("QPlainTextEdit") ? "plainText" : "text";
    QCOMPARE(widget->property(textProperty).toString(), shown);
    QCOMPARE(bytesOf(window_->readControlText(name)), text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
}

void MainWindowTest::appendGoesToTheEndAndIntoView() {
    auto* results = qobject_cast<QPlainTextEdit*>(control(controls::results));
    Text lines;
    for (int line = 0; line < 60; ++line) {
        lines += "host.example\r\n";
    }
    window_->writeControlText(controls::results, lines);
    // The user has put the caret on the first line and scrolled to the top.
    QTextCursor caret = results->textCursor();
    caret.movePosition(QTextCursor::Start);
    results->setTextCursor(caret);
    results->verticalScrollBar()->setValue(0);
    QTextCursor end = results->textCursor();
    end.movePosition(QTextCursor::End);
    QVERIFY(!results->viewport()->rect().contains(results->cursorRect(end)));

    window_->appendControlText(controls::results, "end.example\r\n");
    window_->appendControlText(controls::results, "tail");
    QCOMPARE(bytesOf(window_->readControlText(controls::results)), bytesOf(lines + "end.example\r\ntail"));
    QVERIFY(results->textCursor().atEnd());
    QVERIFY(results->viewport()->rect().contains(results->cursorRect()));
}

void MainWindowTest::emptyKeywordShowsTheMessageAndChangesNothing() {
    PausingRun& run = prepareRun();
    window_->writeControlText(controls::results, "old.example\r\n");
    window_->writeControlText(controls::status, "old");
    presses_ = {QMessageBox::Ok};

    QTest::mouseClick(button(controls::start), Qt::LeftButton);
    QCOMPARE(shown_.size(), size_t{1});
    QCOMPARE(shown_[0].text, QStringLiteral(u"请先输入关键词!"));
    QCOMPARE(shown_[0].title, QStringLiteral(u"ERROR"));
    QCOMPARE(shown_[0].icon, QMessageBox::Warning);
    QCOMPARE(shown_[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(shown_[0].ownedAndModal);
    QCOMPARE(runState(), idle);
    QCOMPARE(bytesOf(window_->readControlText(controls::results)), QByteArray("old.example\r\n"));
    QCOMPARE(bytesOf(window_->readControlText(controls::status)), QByteArray("old"));
    QVERIFY(!run.pageReached.isOpen());
    runs_.clear();  // it never started
}

void MainWindowTest::clicksStartAndStopARun() {
    PausingRun& run = prepareRun();
    window_->writeControlText(controls::results, "old.example\r\n");
    window_->writeControlText(controls::status, "old");
    typeKeyword(QStringLiteral(u"中文 关键词"));

    QTest::mouseClick(button(controls::start), Qt::LeftButton);
    QCOMPARE(runState(), running);
    QVERIFY(waitFor(run.pageReached));
    QCOMPARE(bytesOf(run.keywordAtStart), QByteArray("中文 关键词"));
    QCOMPARE(control(controls::status)->property("text").toString(), QStringLiteral(u"正在采集第：1页"));
    QCOMPARE(bytesOf(window_->readControlText(controls::results)), QByteArray("a.example\r\n"));

    QTest::mouseClick(button(controls::stop), Qt::LeftButton);
    QCOMPARE(runState(), idle);
    QCOMPARE(bytesOf(window_->readControlText(controls::status)), bytesOf(pageStatus));

    run.finishPage.open();
    QVERIFY(waitFor(run.done));
    QVERIFY(!run.startDisabledAtCheck);
    QCOMPARE(bytesOf(window_->readControlText(controls::status)), bytesOf(finalStatus));
    QCOMPARE(bytesOf(window_->readControlText(controls::results)), QByteArray("a.example\r\nlate.example\r\n"));
    QCOMPARE(runState(), idle);
    QVERIFY(shown_.empty());
}

namespace {
enum class Phase { idle, running, stopping };
}  // namespace

void MainWindowTest::closeQuery_data() {
    QTest::addColumn<int>("phase");
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");

    const int ok = QMessageBox::Ok;
    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    const QString busy = QStringLiteral(u"正在运行中!");
    const QString ask = QStringLiteral(u"是否关闭程序?");
    QTest::newRow("running") << int(Phase::running) << int(QMessageBox::Ok) << false << busy
                             << QStringLiteral(u"ERROR!") << int(QMessageBox::Warning) << ok;
    QTest::newRow("idle, no") << int(Phase::idle) << int(QMessageBox::No) << false << ask << QStringLiteral(u"Tips")
                              << int(QMessageBox::NoIcon) << yesNo;
    QTest::newRow("idle, yes") << int(Phase::idle) << int(QMessageBox::Yes) << true << ask << QStringLiteral(u"Tips")
                               << int(QMessageBox::NoIcon) << yesNo;
    QTest::newRow("stopping, yes") << int(Phase::stopping) << int(QMessageBox::Yes) << true << ask
                                   << QStringLiteral(u"Tips") << int(QMessageBox::NoIcon) << yesNo;
}

void MainWindowTest::closeQuery() {
    QFETCH(int, phase);
    QFETCH(int, press);
    QFETCH(bool, closes);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(int, buttons);

    if (Phase(phase) != Phase::idle) {
        PausingRun& run = prepareRun();
        typeKeyword(QStringLiteral(u"k"));
        QTest::mouseClick(button(controls::start), Qt::LeftButton);
        QVERIFY(waitFor(run.pageReached));
        if (Phase(phase) == Phase::stopping) {
            QTest::mouseClick(button(controls::stop), Qt::LeftButton);
        }
    }
    const std::vector<bool> before = runState();
    presses_ = {QMessageBox::StandardButton(press)};

    QCOMPARE(window_->mainWindow().close(), closes);
    QCOMPARE(shown_.size(), size_t{1});
    QCOMPARE(shown_[0].text, text);
    QCOMPARE(shown_[0].title, title);
    QCOMPARE(int(shown_[0].icon), icon);
    QCOMPARE(int(shown_[0].buttons), buttons);
    QVERIFY(shown_[0].ownedAndModal);
    QCOMPARE(window_->mainWindow().isVisible(), !closes);
    QCOMPARE(window_->closed(), closes);
    QCOMPARE(runState(), before);
}

void MainWindowTest::harvestIsServedWhileABoxIsOpen() {
    PausingRun& run = prepareRun();
    typeKeyword(QStringLiteral(u"k"));
    QTest::mouseClick(button(controls::start), Qt::LeftButton);
    QVERIFY(waitFor(run.pageReached));
    QTest::mouseClick(button(controls::stop), Qt::LeftButton);

    // The user asks to close; while the question is open the stopped run
    // finishes its page, which it can only do if its operations are served.
    bool finishedInsideTheBox = false;
    whileBoxOpen_ = [&] {
        run.finishPage.open();
        finishedInsideTheBox = waitFor(run.done);
    };
    presses_ = {QMessageBox::No};
    QVERIFY(!window_->mainWindow().close());
    QVERIFY(finishedInsideTheBox);
    QCOMPARE(bytesOf(window_->readControlText(controls::status)), bytesOf(finalStatus));
    QCOMPARE(runState(), idle);
}

void MainWindowTest::closingWhileAStoppedRunFinishesItsPageIsQuiet() {
    PausingRun& run = prepareRun();
    typeKeyword(QStringLiteral(u"k"));
    QTest::mouseClick(button(controls::start), Qt::LeftButton);
    QVERIFY(waitFor(run.pageReached));
    QTest::mouseClick(button(controls::stop), Qt::LeftButton);
    presses_ = {QMessageBox::Yes};
    QVERIFY(window_->mainWindow().close());

    run.finishPage.open();
    QVERIFY(waitFor(run.done));
    QVERIFY(!run.startDisabledAtCheck);
    QCOMPARE(bytesOf(run.resultsAtEnd), QByteArray());
    // Nothing the run did after the close reached the widgets.
    QCOMPARE(control(controls::status)->property("text").toString(), QStringLiteral(u"正在采集第：1页"));
    QCOMPARE(control(controls::results)->property("plainText").toString(), QStringLiteral(u"a.example\n"));
    QCOMPARE(runState(), idle);
    QVERIFY(!window_->runOnWindowThread([] {}));
}

}  // namespace kestrova

QTEST_MAIN(kestrova::MainWindowTest)
#include "main_window_test.moc"
