#pragma once
// The main window's caption. The address is a reserved name (.example): the
// project has no web site of its own, and the caption names no one else's.

#include "foundation/text.h"

namespace kestrova {

inline const Text mainWindowCaption = "Kestrova百度采集 - - -官方网站【https://kestrova.example】";

}  // namespace kestrova
