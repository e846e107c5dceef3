#pragma once
// The "VBScript.RegExp" class on Linux, over PCRE2 matching UTF-16.

#include <memory>

#include "platform/automation_host.h"

namespace kestrova::posix {

std::shared_ptr<platform::Dispatch> createRegExp();

}  // namespace kestrova::posix
