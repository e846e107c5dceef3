#include "platform/posix/automation_posix.h"

#include <string>

#include "platform/posix/regexp_pcre2.h"
#include "platform/posix/winhttp_request_curl.h"

namespace kestrova::posix {

namespace {

bool isProgId(const Text& progId, const std::string& name) {
    std::string lowered = progId.bytes();
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return lowered == name;
}

}  // namespace

// The Linux classes are plain objects with no apartment or library to set up
// per thread, so the bracket has nothing to do here.
void PosixAutomationHost::coInitialize() {}

void PosixAutomationHost::coUninitialize() {}

std::shared_ptr<platform::Dispatch> PosixAutomationHost::createObject(const Text& progId) {
    if (isProgId(progId, "vbscript.regexp")) {
        return createRegExp();
    }
    if (isProgId(progId, "winhttp.winhttprequest.5.1")) {
        return createWinHttpRequest();
    }
    return nullptr;
}

}  // namespace kestrova::posix
