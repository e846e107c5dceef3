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
