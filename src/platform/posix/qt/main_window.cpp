#include "platform/posix/qt/main_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "app/controls.h"
#include "platform/posix/qt/control_text.h"

namespace kestrova::qt {

namespace {

// The frame's top-left corner and the outer size, frame included.
const QRect outerGeometry(50, 50, 478, 429);

}  // namespace

MainWindow::MainWindow(const Text& caption, Handlers handlers) : handlers_(std::move(handlers)) {
    setWindowTitle(toQString(caption));
    move(outerGeometry.topLeft());
    resize(outerGeometry.size());

    auto* group = addControl<QGroupBox>(controls::groupBox, this, {8, 8, 456, 72}, "", false);
    auto* prompt = addControl<QLabel>(controls::prompt, group, {8, 24, 72, 32}, "搜索关键词：", false);
    addControl<QLineEdit>(controls::keyword, group, {88, 24, 208, 32}, "", false);
    auto* start = addControl<QPushButton>(controls::start, group, {304, 24, 64, 32}, "开始采集", false);
    // A child of the window, not of the group box, though it lies inside it.
    auto* stop = addControl<QPushButton>(controls::stop, this, {392, 31, 64, 32}, "停止采集", true);
    auto* results = addControl<QPlainTextEdit>(controls::results, this, {8, 88, 456, 288}, "", false);
    auto* status = addControl<QLabel>(controls::status, this, {8, 384, 456, 16}, "", false);

    for (QLabel* label : {prompt, status}) {
        label->setTextFormat(Qt::PlainText);
    }
    results->setLineWrapMode(QPlainTextEdit::NoWrap);
    results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    results->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    connect(start, &QPushButton::clicked, this, [this] {
        if (handlers_.start) {
            handlers_.start();
        }
    });
    connect(stop, &QPushButton::clicked, this, [this] {
        if (handlers_.stop) {
            handlers_.stop();
        }
    });
}

template <class Widget>
Widget* MainWindow::addControl(const Text& name, QWidget* parent, const QRect& geometry, const Text& text,
                               bool disabled) {
    auto* widget = new Widget(parent);
    widget->setObjectName(toQString(name));
    widget->setGeometry(geometry);
    setControlText(*widget, text);
    widget->setDisabled(disabled);
    controls_[name.bytes()] = widget;
    return widget;
}

QWidget* MainWindow::control(const Text& name) const {
    const auto found = controls_.find(name.bytes());
    return found == controls_.end() ? nullptr : found->second;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (handlers_.closeQuery && handlers_.closeQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownBefore_) {
        shownBefore_ = true;
        // The frame is known only once the window system has placed the window.
        QTimer::singleShot(0, this, [this] { fitOuterSize(); });
    }
}

void MainWindow::fitOuterSize() {
    const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    resize(outerGeometry.width() - frame.left() - frame.right(),
           outerGeometry.height() - frame.top() - frame.bottom());
}

}  // namespace kestrova::qt
