#pragma once
// Result links of one page, probed and reduced to the hosts they redirect to.

#include <cstdint>
#include <optional>

#include "foundation/text.h"

namespace kestrova {

// Appends one line to `结果` for every result link of `page` that redirects to
// an absolute target; answers the number of result links found.
int32_t collectPageLinks(const Text& page);
// The host part of a redirect target, as written there; nothing when the
// target has no host piece after its first "//".
std::optional<Text> locationHost(const Text& value);
// True when `page` holds at least one result link.
bool pageHasResultLinks(const Text& page);

}  // namespace kestrova
