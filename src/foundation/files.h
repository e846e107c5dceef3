#pragma once
// The executable's directory and writing a whole file.

#include <initializer_list>

#include "foundation/text.h"

namespace kestrova {

Text runDirectory();
bool writeFile(const Text& path, std::initializer_list<Bytes> parts);

}  // namespace kestrova
