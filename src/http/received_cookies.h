#pragma once
// The cookies a response sets, collected from its header text.

#include "foundation/text.h"

namespace kestrova {

// The name=value pair of every "Set-Cookie" line (name matched with case), its
// attributes cut off, in line order and joined by "; ".
Text collectReceivedCookies(const Text& responseHeaders);

}  // namespace kestrova
