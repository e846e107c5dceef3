#pragma once
// Every run carries an id, so that a harvest thread whose run has been
// overtaken by a newer start can no longer touch the window of the new run.

#include <cstdint>

namespace kestrova {

// Gives the run about to start a new id and makes it the window's current run;
// from then on the window ignores every older run's operations.
uint64_t beginRun();
// Marks the calling thread as the harvest thread of `run`.
void joinRun(uint64_t run);

}  // namespace kestrova
