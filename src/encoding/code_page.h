#pragma once
// Conversion between code page 936, UTF-16 and UTF-8 through the code-page seam.

#include <cstdint>

#include "foundation/text.h"

namespace kestrova {

Bytes textToWide(const Text& text, uint32_t codePage = 65001);
Text wideToText(const Bytes& wide, uint32_t codePage = 0);
Text convertCodePage(const Text& text, uint32_t fromPage, uint32_t toPage);
Text ansiToUtf8(const Text& text);
Text utf8ToAnsi(const Bytes& data);

}  // namespace kestrova
