#include "foundation/automation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/automation_host.h"
#include "platform/fake/fake_automation.h"
#include "support/printers.h"

namespace kestrova {
namespace {

using platform::DISPATCH_METHOD;
using platform::DISPATCH_PROPERTYGET;
using platform::DISPATCH_PROPERTYPUT;
using platform::DISPATCH_PROPERTYPUTREF;

class AutomationTest : public ::testing::Test {
protected:
    // The kinds in which the object was asked for `member`, in order.
    std::vector<uint16_t> kindsTried(const Text& member) const {
        std::vector<uint16_t> kinds;
        for (const fake::Invocation& invocation : host.invocations()) {
            if (invocation.member == member) {
                kinds.push_back(invocation.kind);
            }
        }
        return kinds;
    }

    fake::FakeAutomation host;
    platform::ScopedAdapter<platform::AutomationHost> guard{host};
};

struct BindingCase {
    const char* name;
    uint16_t answeringKind;
    std::vector<uint16_t> tried;
};

TEST_F(AutomationTest, ACallTriesMethodGetPutAndPutByReference) {
    const BindingCase cases[] = {
        {"method", DISPATCH_METHOD, {DISPATCH_METHOD}},
        {"get", DISPATCH_PROPERTYGET, {DISPATCH_METHOD, DISPATCH_PROPERTYGET}},
        {"put", DISPATCH_PROPERTYPUT, {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT}},
        {"putref",
         DISPATCH_PROPERTYPUTREF,
         {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF}},
    };
    for (const BindingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Text member = Text("Member") + Text(c.name);
        host.registerClass("Test.Class").on(member, c.answeringKind, Text(c.name));
        const AutomationObject object = host.makeObject("Test.Class");
        EXPECT_EQ(callMember(object, member, {int32_t{7}, Text("x")}), Variant(Text(c.name)));
        EXPECT_EQ(kindsTried(member), c.tried);
        EXPECT_EQ(host.invocations().back().arguments, (std::vector<Variant>{int32_t{7}, Text("x")}));
    }
}

TEST_F(AutomationTest, AReadTriesGetThenMethod) {
    const BindingCase cases[] = {
        {"get", DISPATCH_PROPERTYGET, {DISPATCH_PROPERTYGET}},
        {"method", DISPATCH_METHOD, {DISPATCH_PROPERTYGET, DISPATCH_METHOD}},
        {"put", DISPATCH_PROPERTYPUT, {DISPATCH_PROPERTYGET, DISPATCH_METHOD}},
    };
    for (const BindingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Text member = Text("Read") + Text(c.name);
        host.registerClass("Test.Class").on(member, c.answeringKind, int32_t{5});
        const AutomationObject object = host.makeObject("Test.Class");
        const Variant expected = c.answeringKind == DISPATCH_PROPERTYPUT ? Variant() : Variant(int32_t{5});
        EXPECT_EQ(readMember(object, member), expected);
        EXPECT_EQ(kindsTried(member), c.tried);
    }
}

TEST_F(AutomationTest, AWriteTriesPutPutByReferenceThenMethodWithTheValueLast) {
    const BindingCase cases[] = {
        {"put", DISPATCH_PROPERTYPUT, {DISPATCH_PROPERTYPUT}},
        {"putref", DISPATCH_PROPERTYPUTREF, {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF}},
        {"method", DISPATCH_METHOD, {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, DISPATCH_METHOD}},
        {"none", DISPATCH_PROPERTYGET, {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, DISPATCH_METHOD}},
    };
    for (const BindingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Text member = Text("Write") + Text(c.name);
        host.registerClass("Test.Class").on(member, c.answeringKind);
        writeMember(host.makeObject("Test.Class"), member, {int32_t{6}}, int32_t{0});
        EXPECT_EQ(kindsTried(member), c.tried);
        EXPECT_EQ(host.invocations().back().arguments, (std::vector<Variant>{int32_t{6}, int32_t{0}}));
    }
}

TEST_F(AutomationTest, EveryFailureGivesTheEmptyValue) {
    host.registerClass("Test.Class");
    const AutomationObject live = host.makeObject("Test.Class");
    const AutomationObject none;
    for (const AutomationObject& object : {live, none}) {
        EXPECT_EQ(callMember(object, "Missing", {Text("a")}), Variant());
        EXPECT_EQ(readMember(object, "Missing"), Variant());
        writeMember(object, "Missing", {}, Text("a"));
    }
    EXPECT_EQ(host.invocations().size(), 4u + 2u + 3u);
    EXPECT_TRUE(host.answeredCalls().empty());
}

TEST_F(AutomationTest, MembersAreMatchedWithoutRegardToCase) {
    host.registerClass("Test.Class").on("Status", DISPATCH_PROPERTYGET, int32_t{200});
    EXPECT_EQ(readMember(host.makeObject("Test.Class"), "STATUS"), Variant(int32_t{200}));
}

TEST_F(AutomationTest, CreationReplacesTheEarlierObjectOrLeavesTheVariableAlone) {
    host.registerClass("Test.Class");
    AutomationObject variable;
    ASSERT_TRUE(createObject(variable, "test.CLASS"));
    const AutomationObject first = variable;
    EXPECT_EQ(host.liveObjects(), 1);
    ASSERT_TRUE(createObject(variable, "Test.Class"));
    EXPECT_NE(variable, first);
    EXPECT_FALSE(createObject(variable, "No.Such.Class"));
    EXPECT_FALSE(variable.isEmpty());
    EXPECT_NE(variable, first);
    EXPECT_EQ(host.liveObjects(), 2);
    AutomationObject unset;
    EXPECT_FALSE(createObject(unset, "No.Such.Class"));
    EXPECT_TRUE(unset.isEmpty());
}

TEST_F(AutomationTest, CopiesShareTheObjectAndTheLastClearReleasesIt) {
    host.registerClass("Test.Class");
    AutomationObject original;
    ASSERT_TRUE(createObject(original, "Test.Class"));
    AutomationObject copy = original;
    EXPECT_EQ(copy, original);
    original.clear();
    EXPECT_TRUE(original.isEmpty());
    EXPECT_EQ(host.liveObjects(), 1);
    copy.clear();
    EXPECT_EQ(host.liveObjects(), 0);
}

TEST_F(AutomationTest, InitialisationGoesToTheHost) {
    coInitialize();
    coInitialize();
    coUninitialize();
    EXPECT_EQ(host.coInitializeCount(), 2);
    EXPECT_EQ(host.coUninitializeCount(), 1);
}

TEST(VariantCoercion, ToText) {
    struct Case {
        Variant value;
        Text text;
    };
    const Case cases[] = {
        {Variant(), ""},
        {Text("中文 x"), "中文 x"},
        {Bytes{'a', 'b'}, "ab"},
        {int32_t{-42}, "-42"},
        {200.0, "200"},
        {2.5, "2.5"},
        {0.1, "0.1"},
        {false, "0"},
        {true, "-1"},
        {AutomationObject(), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(variantToText(c.value), c.text);
    }
}

TEST(VariantCoercion, ToNumber) {
    struct Case {
        Variant value;
        double number;
    };
    const Case cases[] = {
        {Variant(), 0},          {int32_t{302}, 302}, {2.75, 2.75},      {true, -1},    {false, 0},
        {Text(" 15 "), 15},      {Text("1.5"), 1.5},  {Text("12ab"), 0}, {Text(""), 0}, {Bytes{'1'}, 0},
        {AutomationObject(), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(variantToNumber(c.value), c.number) << variantToText(c.value).bytes();
    }
}

TEST(VariantCoercion, ToIntegerTruncatesTowardZero) {
    struct Case {
        Variant value;
        int32_t integer;
    };
    const Case cases[] = {
        {2.9, 2},
        {-2.9, -2},
        {Text("302"), 302},
        {true, -1},
        {2147483647.5, 2147483647},
        {2147483648.0, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {Variant(), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(variantToInteger(c.value), c.integer) << variantToText(c.value).bytes();
    }
}

TEST(VariantCoercion, ToBytesAndObject) {
    const Bytes withNul{'a', 0, 'b'};
    EXPECT_EQ(variantToBytes(withNul), withNul);
    EXPECT_EQ(variantToBytes(Text("ab")), Bytes());
    EXPECT_EQ(variantToBytes(int32_t{5}), Bytes());
    EXPECT_EQ(variantToBytes(Variant()), Bytes());

    fake::FakeAutomation host;
    host.registerClass("Test.Class");
    const AutomationObject object = host.makeObject("Test.Class");
    EXPECT_EQ(variantToObject(object), object);
    EXPECT_TRUE(variantToObject(Text("x")).isEmpty());
}

}  // namespace
}  // namespace kestrova
