#pragma once
// The main window's three handlers: start, stop and the close query.

namespace kestrova {

void onStartClicked();
void onStopClicked();
bool onCloseQuery();

}  // namespace kestrova

#include <functional>

namespace kestrova {

// The routine a start runs on its harvest thread: the front end sets
// harvestWorker once in main(); tests set their own.
void setHarvestRoutine(std::function<void()> routine);

}  // namespace kestrova
