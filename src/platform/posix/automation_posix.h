#pragma once
// The Linux automation host: the two classes the system creates by ProgID.

#include "platform/automation_host.h"

namespace kestrova::posix {

class PosixAutomationHost final : public platform::AutomationHost {
public:
    void coInitialize() override;
    void coUninitialize() override;
    // "VBScript.RegExp" and "WinHttp.WinHttpRequest.5.1", matched without
    // regard to ASCII case; null for any other ProgID.
    std::shared_ptr<platform::Dispatch> createObject(const Text& progId) override;
};

}  // namespace kestrova::posix
