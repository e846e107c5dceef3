#pragma once
// The main window's widgets: the keyword row in its group box, the two
// buttons, the results box and the status line.

#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "foundation/text.h"

namespace kestrova::qt {

struct Handlers {
    std::function<void()> start;
    std::function<void()> stop;
    // True lets the window close.
    std::function<bool()> closeQuery;
};

class MainWindow final : public QWidget {
public:
    MainWindow(const Text& caption, Handlers handlers);

    // The control of that name (code page 936), or null.
    QWidget* control(const Text& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    template <class Widget>
    Widget* addControl(const Text& name, QWidget* parent, const QRect& geometry, const Text& text, bool disabled);
    void fitOuterSize();

    Handlers handlers_;
    std::map<std::string, QWidget*> controls_;  // by the name's bytes; owned as children
    bool shownBefore_ = false;
};

}  // namespace kestrova::qt
