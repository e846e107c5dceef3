// What the regular-expression object asks of the automation class, in order.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/automation_host.h"
#include "platform/fake/fake_automation.h"
#include "regex/regex_object.h"
#include "support/printers.h"

namespace kestrova {
namespace {

using platform::DISPATCH_METHOD;
using platform::DISPATCH_PROPERTYGET;
using platform::DISPATCH_PROPERTYPUT;

class RegexObjectCallsTest : public ::testing::Test {
protected:
    // Every invocation, answered or not, as describe() renders it.
    std::vector<std::string> attempts() const {
        std::vector<std::string> lines;
        for (const fake::Invocation& invocation : host.invocations()) {
            lines.push_back(fake::describe(invocation));
        }
        return lines;
    }

    fake::FakeAutomation host;
    platform::ScopedAdapter<platform::AutomationHost> guard{host};
};

TEST_F(RegexObjectCallsTest, ExecuteWritesTheOptionsThenThePatternAndRunsTheSearch) {
    host.registerClass("VBScript.RegExp")
        .on("IgnoreCase", DISPATCH_PROPERTYPUT)
        .on("Multiline", DISPATCH_PROPERTYPUT)
        .on("Global", DISPATCH_PROPERTYPUT)
        .on("Pattern", DISPATCH_PROPERTYPUT)
        .on("Execute", DISPATCH_METHOD, [this](const std::vector<Variant>&) -> std::optional<Variant> {
            return Variant(host.makeObject("Matches"));
        });
    host.registerClass("Matches");
    {
        RegexObject regex;
        EXPECT_EQ(host.coInitializeCount(), 1);
        EXPECT_TRUE(regex.execute("a=#引号(.*?)#引号 b=#引号", "subject 中", true, false, false, true));
        EXPECT_EQ(host.creationRequests(), std::vector<Text>{"VBScript.RegExp"});
        EXPECT_EQ(attempts(), (std::vector<std::string>{
                                  "VBScript.RegExp#1 put IgnoreCase(false)",
                                  "VBScript.RegExp#1 put Multiline(false)",
                                  // Refused as put, put by reference and method alike.
                                  "VBScript.RegExp#1 put Singleline(true)",
                                  "VBScript.RegExp#1 putref Singleline(true)",
                                  "VBScript.RegExp#1 method Singleline(true)",
                                  "VBScript.RegExp#1 put Global(false)",
                                  "VBScript.RegExp#1 put Pattern(\"a=\\\"(.*?)\\\" b=\\\"\")",
                                  "VBScript.RegExp#1 method Execute(\"subject \\xD6\\xD0\")",
                              }));
        EXPECT_EQ(host.coUninitializeCount(), 0);
    }
    EXPECT_EQ(host.coUninitializeCount(), 1);
    EXPECT_EQ(host.liveObjects(), 0);
}

TEST_F(RegexObjectCallsTest, DefaultsIgnoreCaseSearchAllLinesAndKeepThePlaceholder) {
    host.registerClass("VBScript.RegExp")
        .on("IgnoreCase", DISPATCH_PROPERTYPUT)
        .on("Multiline", DISPATCH_PROPERTYPUT)
        .on("Global", DISPATCH_PROPERTYPUT)
        .on("Pattern", DISPATCH_PROPERTYPUT);
    RegexObject regex;
    regex.execute("#引号", "x");
    EXPECT_EQ(host.answeredCalls(), (std::vector<std::string>{
                                        "VBScript.RegExp#1 put IgnoreCase(true)",
                                        "VBScript.RegExp#1 put Multiline(true)",
                                        "VBScript.RegExp#1 put Global(true)",
                                        "VBScript.RegExp#1 put Pattern(\"#\\xD2\\xFD\\xBA\\xC5\")",
                                    }));
}

TEST_F(RegexObjectCallsTest, EveryExecuteMakesANewObjectAndReleasesTheOld) {
    host.registerClass("VBScript.RegExp").on("Execute", DISPATCH_METHOD, [this](const std::vector<Variant>&) {
        return std::optional<Variant>(host.makeObject("Matches"));
    });
    host.registerClass("Matches");
    RegexObject regex;
    ASSERT_TRUE(regex.execute("a", "a"));
    ASSERT_TRUE(regex.execute("b", "b"));
    EXPECT_EQ(host.creationRequests().size(), 2u);
    EXPECT_EQ(host.liveObjects(), 2);  // the second class object and its collection
}

TEST_F(RegexObjectCallsTest, NoClassOrNoCollectionMeansFalseAndEmptyResults) {
    host.registerClass("VBScript.RegExp").on("Execute", DISPATCH_METHOD);  // answers no collection
    RegexObject regex;
    EXPECT_FALSE(regex.execute("a", "a"));
    EXPECT_EQ(regex.matchCount(), 0);
    EXPECT_EQ(regex.subMatchText(1, 1), Text());

    fake::FakeAutomation empty;
    platform::ScopedAdapter<platform::AutomationHost> noClasses(empty);
    RegexObject unregistered;
    EXPECT_FALSE(unregistered.execute("a", "a"));
    EXPECT_TRUE(empty.invocations().empty());
    EXPECT_EQ(unregistered.pattern(), Text());
}

TEST_F(RegexObjectCallsTest, NumbersAskedOfTheCollectionCountFromZeroAndAreTruncated) {
    host.registerClass("VBScript.RegExp").on("Execute", DISPATCH_METHOD, [this](const std::vector<Variant>&) {
        return std::optional<Variant>(host.makeObject("Matches"));
    });
    host.registerClass("Matches")
        .on("Count", DISPATCH_PROPERTYGET, 2.9)
        .on("Item", DISPATCH_PROPERTYGET,
            [this](const std::vector<Variant>&) { return std::optional<Variant>(host.makeObject("Match")); });
    host.registerClass("Match").on("Value", DISPATCH_PROPERTYGET, Text("v"));
    RegexObject regex;
    ASSERT_TRUE(regex.execute("a", "a"));
    EXPECT_EQ(regex.matchCount(), 2);
    EXPECT_EQ(regex.matchText(2), Text("v"));
    EXPECT_EQ(host.answeredCalls("Item"), std::vector<std::string>{"Matches#1 get Item(1)"});
}

}  // namespace
}  // namespace kestrova
