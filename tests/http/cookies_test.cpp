#include "http/cookies.h"

#include <gtest/gtest.h>

#include "support/printers.h"

namespace kestrova {
namespace {

struct MergeCase {
    Text oldCookies;
    Text newCookies;
    Text merged;
    Text newAfter;
};

TEST(MergeCookies, Cases) {
    const MergeCase cases[] = {
        {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3; c=4"},
        {"a=1; b=2", "a=deleted", "b=2", "a=deleted"},
        {"a=1; a=2", "", "a=1", ""},
        {"", "a=1; a=2", "a=1; a=2", "a=1; a=2"},
        {"", "a=1; a=1", "a=1", "a=1; a=1"},
        {"a=0", "A=1", "A=1; a=0", "A=1"},
        {"a=0", "a =5", "a =5", "a =5"},
        {"t=x=y; u=1", "t=2=3", "t=2=3; u=1", "t=2=3"},
        {"a=1;", "", "a=1", ""},
        {"a=1;b=2", "a=3", "a=3", "a=3"},
        {"x=undeleted; y=deleted", "=deleted", "x=undeleted", "=deleted"},
        {"a=1; b=deleted; a=2; c=3", "", "a=1; c=3", ""},
        {"", "", "", ""},
        {"  b=2  ", " a=1; ", "a=1; b=2", "a=1; "},
        {"flag; b=2", "flag", "flag; b=2", "flag"},
    };
    for (const auto& c : cases) {
        Text oldCookies = c.oldCookies;
        Text newCookies = c.newCookies;
        const Text merged = mergeCookies(oldCookies, newCookies);
        SCOPED_TRACE(c.oldCookies.bytes() + " with " + c.newCookies.bytes());
        EXPECT_EQ(merged, c.merged);
        EXPECT_EQ(oldCookies, c.merged);
        EXPECT_EQ(newCookies, c.newAfter);
    }
}

}  // namespace
}  // namespace kestrova
