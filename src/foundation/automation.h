#pragma once
// Late-bound automation objects and the variants that carry their arguments
// and results.

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "foundation/text.h"

namespace kestrova {

namespace platform {
class Dispatch;
}

// Empty, or one shared reference to a live object: copying shares it,
// clearing releases it.
class AutomationObject {
public:
    AutomationObject() = default;
    explicit AutomationObject(std::shared_ptr<platform::Dispatch> object) : object_(std::move(object)) {}

    bool isEmpty() const { return object_ == nullptr; }
    void clear() { object_.reset(); }
    platform::Dispatch* get() const { return object_.get(); }

    friend bool operator==(const AutomationObject&, const AutomationObject&) = default;

private:
    std::shared_ptr<platform::Dispatch> object_;
};

// An automation VARIANT: empty, text, a one-dimensional array of unsigned
// bytes, a 32-bit integer, a double, a boolean or an object.
using Variant = std::variant<std::monostate, Text, Bytes, int32_t, double, bool, AutomationObject>;

}  // namespace kestrova

namespace kestrova {

// COM-style initialisation of the calling thread, through the automation seam.
void coInitialize();
void coUninitialize();

// True and a live object in `variable` (any earlier one released); false with
// `variable` unchanged.
bool createObject(AutomationObject& variable, const Text& progId);
// Every failure below yields the empty value, without a message.
Variant callMember(const AutomationObject& object, const Text& member, const std::vector<Variant>& arguments = {});
Variant readMember(const AutomationObject& object, const Text& member, const std::vector<Variant>& arguments = {});
void writeMember(const AutomationObject& object, const Text& member, const std::vector<Variant>& index,
                 const Variant& value);

// Standard variant coercions: a boolean false reads "0".
Text variantToText(const Variant& value);
Bytes variantToBytes(const Variant& value);
double variantToNumber(const Variant& value);
// The number truncated toward zero; 0 when no 32-bit integer holds it.
int32_t variantToInteger(const Variant& value);
AutomationObject variantToObject(const Variant& value);

}  // namespace kestrova
