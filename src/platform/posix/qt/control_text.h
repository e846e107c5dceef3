#pragma once
// The text of a Qt control as the system sees it: code page 936, with "\r\n"
// between the lines of a multi-line edit box.

#include <QString>

#include "foundation/text.h"

class QWidget;

namespace kestrova::qt {

QString toQString(const Text& text);
Text fromQString(const QString& text);

// Edit boxes, labels, buttons and group boxes; any other widget reads as empty
// and ignores writes.
Text controlText(const QWidget& control);
void setControlText(QWidget& control, const Text& text);
// Edit boxes only: the caret goes to the end, is scrolled into view, and the
// text is inserted there.
void appendToControl(QWidget& control, const Text& text);

}  // namespace kestrova::qt
