#pragma once
// Numbers as text and text as numbers.

#include <cstdint>

#include "foundation/text.h"

namespace kestrova {

Text numberToText(int32_t number);
Text toHexText(int32_t number);
int32_t textToInt(const Text& text);
int32_t textToByte(int32_t number);

}  // namespace kestrova
