#pragma once
// Request-header blocks and response-header texts.

#include "foundation/text.h"

namespace kestrova {

Text normalizeHeaderBlock(const Text& block);
Text headerLineName(const Text& line);
Text headerLineValue(const Text& line);
Text findHeaderValue(const Text& block, const Text& name);

}  // namespace kestrova
