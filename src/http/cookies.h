#pragma once
// The cookie string and its merge with the cookies a response sets.

#include "foundation/text.h"

namespace kestrova {

// Rewrites `oldCookies` into the merged string and `newCookies` into its
// trimmed form; answers the merged string.
Text mergeCookies(Text& oldCookies, Text& newCookies);

}  // namespace kestrova
