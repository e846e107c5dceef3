#pragma once
// The main window's three handlers: start, stop and the close query.

namespace kestrova {

void onStartClicked();
void onStopClicked();
bool onCloseQuery();

}  // namespace kestrova
