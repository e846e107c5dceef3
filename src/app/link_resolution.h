#pragma once
// Result links of one page, probed and reduced to the hosts they redirect to.

#include <cstdint>

#include "foundation/text.h"

namespace kestrova {

int32_t collectPageLinks(const Text& page);
Text locationHost(const Text& value);

}  // namespace kestrova
