#include "platform/fake/fake_automation.h"

#include <cstdio>

#include "platform/fake/quoted.h"

namespace kestrova::fake {

namespace {

std::string lowerAscii(const Text& text) {
    std::string lowered = text.bytes();
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return lowered;
}

const char* kindName(uint16_t kind) {
    switch (kind) {
        case platform::DISPATCH_METHOD:
            return "method";
        case platform::DISPATCH_PROPERTYGET:
            return "get";
        case platform::DISPATCH_PROPERTYPUT:
            return "put";
        case platform::DISPATCH_PROPERTYPUTREF:
            return "putref";
        default:
            return "kind?";
    }
}

}  // namespace

struct FakeAutomation::State {
    std::map<std::string, std::pair<Text, FakeClass>> classes;  // by lower-cased ProgID
    std::map<std::string, int> created;                         // objects made so far, by lower-cased ProgID
    std::vector<Text> creationRequests;
    std::vector<Invocation> invocations;
    int coInitializeCount = 0;
    int coUninitializeCount = 0;
    int liveObjects = 0;
};

namespace {

class FakeObject final : public platform::Dispatch {
public:
    FakeObject(std::shared_ptr<FakeAutomation::State> state, std::string name, const FakeClass& script)
        : state_(std::move(state)), name_(std::move(name)), script_(script) {
        ++state_->liveObjects;
    }
    ~FakeObject() override { --state_->liveObjects; }
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;

    std::optional<Variant> invoke(const Text& member, uint16_t kind, const std::vector<Variant>& arguments) override {
        std::optional<Variant> result = script_.answer(member, kind, arguments);
        state_->invocations.push_back(Invocation{name_, member, kind, arguments, result.has_value()});
        return result;
    }

private:
    std::shared_ptr<FakeAutomation::State> state_;
    std::string name_;
    const FakeClass& script_;
};

std::shared_ptr<platform::Dispatch> makeFakeObject(const std::shared_ptr<FakeAutomation::State>& state,
                                                   const Text& progId) {
    const std::string key = lowerAscii(progId);
    const auto found = state->classes.find(key);
    if (found == state->classes.end()) {
        return nullptr;
    }
    const int number = ++state->created[key];
    return std::make_shared<FakeObject>(state, found->second.first.bytes() + "#" + std::to_string(number),
                                        found->second.second);
}

}  // namespace

std::string describe(const Variant& value) {
    struct Render {
        std::string operator()(std::monostate) const { return "empty"; }
        std::string operator()(const Text& text) const { return quotedBytes(text.bytes()); }
        std::string operator()(const Bytes& bytes) const { return "bytes " + quotedBytes(bytes.view()); }
        std::string operator()(int32_t number) const { return std::to_string(number); }
        std::string operator()(double number) const {
            char buffer[40];
            std::snprintf(buffer, sizeof buffer, "double %.17g", number);
            return buffer;
        }
        std::string operator()(bool flag) const { return flag ? "true" : "false"; }
        std::string operator()(const AutomationObject& object) const {
            return object.isEmpty() ? "object none" : "object";
        }
    };
    return std::visit(Render{}, value);
}

std::string describe(const Invocation& invocation) {
    std::string line = invocation.object + " " + kindName(invocation.kind) + " " + invocation.member.bytes() + "(";
    const char* separator = "";
    for (const Variant& argument : invocation.arguments) {
        line += separator + describe(argument);
        separator = ", ";
    }
    return line + ")";
}

FakeClass& FakeClass::on(const Text& member, uint16_t kind, Answer answer) {
    answers_[{lowerAscii(member), kind}] = std::move(answer);
    return *this;
}

FakeClass& FakeClass::on(const Text& member, uint16_t kind, Variant value) {
    return on(member, kind, [value](const std::vector<Variant>&) -> std::optional<Variant> { return value; });
}

std::optional<Variant> FakeClass::answer(const Text& member, uint16_t kind,
                                         const std::vector<Variant>& arguments) const {
    const auto found = answers_.find({lowerAscii(member), kind});
    if (found == answers_.end()) {
        return std::nullopt;
    }
    return found->second(arguments);
}

FakeAutomation::FakeAutomation() : state_(std::make_shared<State>()) {}

FakeClass& FakeAutomation::registerClass(const Text& progId) {
    auto& entry = state_->classes[lowerAscii(progId)];
    entry.first = progId;
    return entry.second;
}

AutomationObject FakeAutomation::makeObject(const Text& progId) {
    return AutomationObject(makeFakeObject(state_, progId));
}

void FakeAutomation::coInitialize() { ++state_->coInitializeCount; }

void FakeAutomation::coUninitialize() { ++state_->coUninitializeCount; }

std::shared_ptr<platform::Dispatch> FakeAutomation::createObject(const Text& progId) {
    state_->creationRequests.push_back(progId);
    return makeFakeObject(state_, progId);
}

int FakeAutomation::coInitializeCount() const { return state_->coInitializeCount; }

int FakeAutomation::coUninitializeCount() const { return state_->coUninitializeCount; }

const std::vector<Text>& FakeAutomation::creationRequests() const { return state_->creationRequests; }

const std::vector<Invocation>& FakeAutomation::invocations() const { return state_->invocations; }

std::vector<std::string> FakeAutomation::answeredCalls(const std::optional<Text>& member) const {
    std::vector<std::string> lines;
    for (const Invocation& invocation : state_->invocations) {
        if (invocation.answered && (!member || invocation.member == *member)) {
            lines.push_back(describe(invocation));
        }
    }
    return lines;
}

int FakeAutomation::liveObjects() const { return state_->liveObjects; }

}  // namespace kestrova::fake
