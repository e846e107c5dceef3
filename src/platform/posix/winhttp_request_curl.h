#pragma once
// The "WinHttp.WinHttpRequest.5.1" class on Linux, over libcurl.

#include <memory>

#include "platform/automation_host.h"

namespace kestrova::posix {

std::shared_ptr<platform::Dispatch> createWinHttpRequest();

}  // namespace kestrova::posix
