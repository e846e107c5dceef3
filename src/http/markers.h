#pragma once
// Cutting text at markers.

#include <cstdint>

#include "foundation/text.h"

namespace kestrova {

Text textBetween(const Text& text, const Text& leftMarker, const Text& rightMarker, int32_t start = 0,
                 bool ignoreCase = false);
Text textBefore(const Text& text, const Text& marker, int32_t position = 0, bool ignoreCase = false);
Text textAfter(const Text& text, const Text& marker, int32_t position = 0, bool ignoreCase = false);

}  // namespace kestrova
