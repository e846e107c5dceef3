#pragma once
#include "foundation/text.h"

namespace kestrova {

// Standard Base64 with "=" padding and no line breaks.
Text base64Encode(const Bytes& data);

}  // namespace kestrova
