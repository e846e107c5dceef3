#pragma once
// A scripted automation host for tests: classes registered by ProgID answer
// their members from a script, and every invocation of every object is
// recorded in order.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation_host.h"

namespace kestrova::fake {

// One invocation as the object received it, answered or not.
struct Invocation {
    std::string object;  // the ProgID and the object's creation number, "Some.Class#1"
    Text member;
    uint16_t kind = 0;
    std::vector<Variant> arguments;
    bool answered = false;
};

// `object` `kind` `member`(arguments), every value rendered readably, e.g.
// Some.Class#1 method Open("GET", "http://x/", false).
std::string describe(const Invocation& invocation);
std::string describe(const Variant& value);

// What a member answers, computed from its arguments; nothing means the
// invocation fails, as an unknown member does.
using Answer = std::function<std::optional<Variant>(const std::vector<Variant>& arguments)>;

// The script of one class: which members it has, invoked as which kind, and
// what they answer. Members are matched without regard to ASCII case.
class FakeClass {
public:
    FakeClass& on(const Text& member, uint16_t kind, Answer answer);
    // Answers `value` whatever the arguments.
    FakeClass& on(const Text& member, uint16_t kind, Variant value = Variant());

    std::optional<Variant> answer(const Text& member, uint16_t kind, const std::vector<Variant>& arguments) const;

private:
    std::map<std::pair<std::string, uint16_t>, Answer> answers_;
};

class FakeAutomation final : public platform::AutomationHost {
public:
    FakeAutomation();

    // Registers `progId` (matched without regard to ASCII case) and answers
    // its script, which the test fills in. Unregistered ProgIDs cannot be
    // created.
    FakeClass& registerClass(const Text& progId);
    // A live object of a registered class made for the test itself, as a
    // caller's own object; not counted among createObject's calls.
    AutomationObject makeObject(const Text& progId);

    void coInitialize() override;
    void coUninitialize() override;
    std::shared_ptr<platform::Dispatch> createObject(const Text& progId) override;

    int coInitializeCount() const;
    int coUninitializeCount() const;
    // Every ProgID asked of createObject, in order, whether created or not.
    const std::vector<Text>& creationRequests() const;
    const std::vector<Invocation>& invocations() const;
    // describe() of each invocation that was answered, in order; optionally
    // only those of one member (matched with case).
    std::vector<std::string> answeredCalls(const std::optional<Text>& member = std::nullopt) const;
    // Objects of this host still referenced by anyone.
    int liveObjects() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace kestrova::fake
