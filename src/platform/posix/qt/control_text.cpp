#include "platform/posix/qt/control_text.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/posix/gbk.h"

namespace kestrova::qt {

namespace {

const QString lineBreak = QStringLiteral("\r\n");

// A multi-line edit box keeps one block per line; the system separates its
// lines with "\r\n", so each line break becomes one block boundary. A lone CR
// or LF also breaks the line there and reads back as "\r\n".
QString toEditLines(const Text& text) {
    QString lines = toQString(text);
    lines.replace(lineBreak, QStringLiteral("\n"));
    return lines;
}

Text editText(const QPlainTextEdit& edit) {
    QString text;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        if (block != edit.document()->begin()) {
            text += lineBreak;
        }
        text += block.text();
    }
    return fromQString(text);
}

}  // namespace

QString toQString(const Text& text) { return QString::fromStdU16String(posix::gbkToUtf16(text.bytes())); }

Text fromQString(const QString& text) { return Text(posix::utf16ToGbk(text.toStdU16String())); }

Text controlText(const QWidget& control) {
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(&control)) {
        return editText(*edit);
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
        return fromQString(edit->text());
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return fromQString(label->text());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return fromQString(button->text());
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&control)) {
        return fromQString(group->title());
    }
    return {};
}

void setControlText(QWidget& control, const Text& text) {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(&control)) {
        edit->setPlainText(toEditLines(text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->setText(toQString(text));
    } else if (auto* label = qobject_cast<QLabel*>(&control)) {
        label->setText(toQString(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        button->setText(toQString(text));
    } else if (auto* group = qobject_cast<QGroupBox*>(&control)) {
        group->setTitle(toQString(text));
    }
}

void appendToControl(QWidget& control, const Text& text) {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(&control)) {
        edit->moveCursor(QTextCursor::End);
        edit->ensureCursorVisible();
        edit->insertPlainText(toEditLines(text));
        edit->ensureCursorVisible();
    } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->end(false);
        edit->insert(toQString(text));
    }
}

}  // namespace kestrova::qt
