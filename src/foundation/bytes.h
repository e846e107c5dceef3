#pragma once
// Operations on Bytes and the conversions between Text and Bytes.

#include <cstdint>
#include <initializer_list>

#include "foundation/text.h"

namespace kestrova {

int32_t bytesLength(const Bytes& bytes);
Bytes bytesLeft(const Bytes& bytes, int32_t count);
Bytes bytesMid(const Bytes& bytes, int32_t start, int32_t count);
Bytes blankBytes(int32_t count);
Bytes concatBytes(std::initializer_list<Bytes> parts);
Bytes textToBytes(const Text& text);
Text bytesToText(const Bytes& bytes);

}  // namespace kestrova
