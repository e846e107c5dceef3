#pragma once
// Host, port and object name of a URL.

#include <cstdint>
#include <optional>

#include "foundation/text.h"

namespace kestrova {

Text urlHost(const Text& url, bool mainDomain = false, bool keepPort = false,
             std::optional<int32_t> levels = std::nullopt);
int32_t urlPort(const Text& url);
Text urlPath(const Text& url);

}  // namespace kestrova
