#pragma once
// The automation seam: late-bound objects created by ProgID and driven by
// member name, shaped like IDispatch.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "foundation/automation.h"
#include "platform/seam.h"

namespace kestrova::platform {

// IDispatch::Invoke kinds; a caller may combine them as Windows allows.
inline constexpr uint16_t DISPATCH_METHOD = 1;
inline constexpr uint16_t DISPATCH_PROPERTYGET = 2;
inline constexpr uint16_t DISPATCH_PROPERTYPUT = 4;
inline constexpr uint16_t DISPATCH_PROPERTYPUTREF = 8;

// One live object.
class Dispatch {
public:
    virtual ~Dispatch() = default;
    // Invokes `member` (matched without regard to ASCII case) as `kind`. For a
    // put the value is the last argument. Answers nothing when the member is
    // unknown, cannot be invoked that way, or the invocation fails.
    virtual std::optional<Variant> invoke(const Text& member, uint16_t kind,
                                          const std::vector<Variant>& arguments) = 0;
};

class AutomationHost {
public:
    static constexpr const char* seamName = "automation";
    virtual ~AutomationHost() = default;

    // Bracket every use on a thread, as CoInitialize / CoUninitialize do.
    virtual void coInitialize() = 0;
    virtual void coUninitialize() = 0;
    // A new object of the class registered as `progId`; null when there is none.
    virtual std::shared_ptr<Dispatch> createObject(const Text& progId) = 0;
};

inline AutomationHost& automation() { return Installed<AutomationHost>::get(); }

}  // namespace kestrova::platform
