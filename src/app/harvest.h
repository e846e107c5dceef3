#pragma once
// One whole run: the walk over the result pages of the keyword.

namespace kestrova {

void harvestWorker();

}  // namespace kestrova
