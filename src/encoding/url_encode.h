#pragma once
#include "foundation/text.h"

namespace kestrova {

// Percent-encoding for a URL query value.
Text urlEncode(const Text& text, bool keepPlain = false, bool asUtf8 = false);

}  // namespace kestrova
