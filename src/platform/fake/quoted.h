#pragma once
// Readable renderings of recorded arguments, so that a test can state a whole
// call as one line and a failure shows every byte.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova::fake {

// The bytes in double quotes: printable ASCII as it is, a quote or backslash
// escaped, CR and LF as \r and \n, every other byte as \xHH.
std::string quotedBytes(std::string_view bytes);

// A 32-bit value as eight upper-case hex digits after "0x".
std::string hex32(uint32_t value);

}  // namespace kestrova::fake
