#include "foundation/automation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>

#include "platform/automation_host.h"

namespace kestrova {

namespace {

using platform::DISPATCH_METHOD;
using platform::DISPATCH_PROPERTYGET;
using platform::DISPATCH_PROPERTYPUT;
using platform::DISPATCH_PROPERTYPUTREF;

// Invokes the member as each kind in turn and answers the first success; a
// member is bound by name only, so the caller cannot know in advance whether
// the class made it a method or a property.
std::optional<Variant> invokeFirst(const AutomationObject& object, const Text& member,
                                   std::initializer_list<uint16_t> kinds, const std::vector<Variant>& arguments) {
    platform::Dispatch* target = object.get();
    if (target == nullptr) {
        return std::nullopt;
    }
    for (const uint16_t kind : kinds) {
        if (std::optional<Variant> result = target->invoke(member, kind, arguments)) {
            return result;
        }
    }
    return std::nullopt;
}

Text numberText(double number) {
    // Fifteen significant digits, as the automation coercion of a double gives.
    char buffer[32];
    const int written = std::snprintf(buffer, sizeof buffer, "%.15G", number);
    return written > 0 ? Text(std::string_view(buffer, static_cast<size_t>(written))) : Text();
}

double textNumber(const Text& text) {
    const std::string& bytes = text.bytes();
    const size_t first = bytes.find_first_not_of(' ');
    const size_t last = bytes.find_last_not_of(' ');
    if (first == std::string::npos) {
        return 0;
    }
    double number = 0;
    const char* begin = bytes.data() + first;
    const char* end = bytes.data() + last + 1;
    const auto [stop, error] = std::from_chars(begin, end, number);
    return (error == std::errc() && stop == end) ? number : 0;
}

}  // namespace

void coInitialize() { platform::automation().coInitialize(); }

void coUninitialize() { platform::automation().coUninitialize(); }

bool createObject(AutomationObject& variable, const Text& progId) {
    std::shared_ptr<platform::Dispatch> created = platform::automation().createObject(progId);
    if (created == nullptr) {
        return false;
    }
    variable = AutomationObject(std::move(created));
    return true;
}

Variant callMember(const AutomationObject& object, const Text& member, const std::vector<Variant>& arguments) {
    return invokeFirst(object, member,
                       {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF},
                       arguments)
        .value_or(Variant());
}

Variant readMember(const AutomationObject& object, const Text& member, const std::vector<Variant>& arguments) {
    return invokeFirst(object, member, {DISPATCH_PROPERTYGET, DISPATCH_METHOD}, arguments).value_or(Variant());
}

void writeMember(const AutomationObject& object, const Text& member, const std::vector<Variant>& index,
                 const Variant& value) {
    std::vector<Variant> arguments = index;
    arguments.push_back(value);
    invokeFirst(object, member, {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, DISPATCH_METHOD}, arguments);
}

Text variantToText(const Variant& value) {
    struct Coerce {
        Text operator()(std::monostate) const { return Text(); }
        Text operator()(const Text& text) const { return text; }
        Text operator()(const Bytes& bytes) const { return Text(bytes.view()); }
        Text operator()(int32_t number) const { return Text(std::to_string(number)); }
        Text operator()(double number) const { return numberText(number); }
        Text operator()(bool flag) const { return flag ? Text("-1") : Text("0"); }
        Text operator()(const AutomationObject&) const { return Text(); }
    };
    return std::visit(Coerce{}, value);
}

Bytes variantToBytes(const Variant& value) {
    // Only a byte array holds bytes; a text is no body.
    if (const auto* bytes = std::get_if<Bytes>(&value)) {
        return *bytes;
    }
    return Bytes();
}

double variantToNumber(const Variant& value) {
    struct Coerce {
        double operator()(std::monostate) const { return 0; }
        double operator()(const Text& text) const { return textNumber(text); }
        double operator()(const Bytes&) const { return 0; }
        double operator()(int32_t number) const { return number; }
        double operator()(double number) const { return number; }
        double operator()(bool flag) const { return flag ? -1 : 0; }
        double operator()(const AutomationObject&) const { return 0; }
    };
    return std::visit(Coerce{}, value);
}

int32_t variantToInteger(const Variant& value) {
    const double truncated = std::trunc(variantToNumber(value));
    if (!(truncated >= INT32_MIN && truncated <= INT32_MAX)) {
        return 0;
    }
    return static_cast<int32_t>(truncated);
}

AutomationObject variantToObject(const Variant& value) {
    if (const auto* object = std::get_if<AutomationObject>(&value)) {
        return *object;
    }
    return AutomationObject();
}

}  // namespace kestrova
