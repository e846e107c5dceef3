#pragma once
// Readable failure messages for the system's value types: printable ASCII as
// it is, every other byte as \xHH.

#include <ostream>

#include "foundation/date_time.h"
#include "foundation/text.h"

namespace kestrova {

void PrintTo(const Text& text, std::ostream* out);
void PrintTo(const Bytes& bytes, std::ostream* out);
void PrintTo(const TextArray& array, std::ostream* out);
void PrintTo(const DateTime& time, std::ostream* out);

}  // namespace kestrova
