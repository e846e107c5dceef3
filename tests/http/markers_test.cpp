#include "http/markers.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/printers.h"

namespace kestrova {
namespace {

struct BetweenCase {
    Text text;
    Text left;
    Text right;
    int32_t start;
    bool ignoreCase;
    Text expected;
};

TEST(TextBetween, Cases) {
    const BetweenCase cases[] = {
        {"a \"b\" c", "#引号", "#引号", 0, false, "b"},
        {"key=\"v\" rest", "key=#引号", "#引号 ", 0, false, "v"},
        // The placeholder stands for a quote in the markers only.
        {"#引号x#引号", "#引号", "#引号", 0, false, ""},
        {"abc[x", "[", "]", 0, false, ""},
        {"abc]", "[", "]", 0, false, ""},
        {"a[]b", "[", "]", 0, false, ""},
        {"]a[b]", "[", "]", 0, false, "b"},
        {"User-Agent: X\r\nUser-Agent: Y\r\n", "User-Agent:", "\r\n", 0, false, " X"},
        {"[a][b]", "[", "]", 2, false, "b"},
        {"[a][b]", "[", "]", -5, false, "a"},
        {"<A>x</a>", "<a>", "</A>", 0, true, "x"},
        {"<A>x</a>", "<a>", "</A>", 0, false, ""},
        // "[" as the second byte of a double-byte character is no marker.
        {"\xC4[x]", "[", "]", 0, false, ""},
        {"\xC4[[x]", "[", "]", 0, false, "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected)
            << "in " << c.text.bytes() << " between " << c.left.bytes() << " and " << c.right.bytes();
    }
}

struct CutCase {
    Text text;
    Text marker;
    int32_t position;
    bool ignoreCase;
    Text expected;
};

TEST(TextBefore, Cases) {
    constexpr int32_t kMost = std::numeric_limits<int32_t>::max();
    constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
    const CutCase cases[] = {
        {"name: value: more", ": ", 0, false, "name"},
        {"name: value: more", ": ", -1, false, "name: value"},
        // -5 leaves out the last five bytes, and with them the second marker.
        {"name: value: more", ": ", -4, false, "name: value"},
        {"name: value: more", ": ", -5, false, "name"},
        {"name: value: more", ": ", 6, false, "name: value"},
        {": x", ": ", 0, false, ""},
        {"abc", ": ", 0, false, ""},
        {"abc", "", 0, false, ""},
        {"KeyXvalue", "x", 0, true, "Key"},
        {"KeyXvalue", "x", 0, false, ""},
        {"a:b", ":", kMost, false, ""},
        {"a:b", ":", kLeast, false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textBefore(c.text, c.marker, c.position, c.ignoreCase), c.expected)
            << c.text.bytes() << " at " << c.position;
    }
}

TEST(TextAfter, Cases) {
    constexpr int32_t kMost = std::numeric_limits<int32_t>::max();
    constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
    const CutCase cases[] = {
        {"k: first, k: second", "k: ", 0, false, "second"},
        {"k: first, k: second", "k: ", -1, false, "first, k: second"},
        {"k: first, k: second", "k: ", -4, false, "second"},
        {"a=1=2", "=", 2, false, "1=2"},
        {"a=1=2", "=", 1, false, "2"},
        {"abc: ", ": ", 0, false, ""},
        {"abc", "", 0, false, "abc"},
        {"abc", "x", 0, false, ""},
        {"aXb", "x", 0, true, "b"},
        {"a:b", ":", kMost, false, ""},
        {"a:b", ":", kLeast, false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textAfter(c.text, c.marker, c.position, c.ignoreCase), c.expected)
            << c.text.bytes() << " at " << c.position;
    }
}

}  // namespace
}  // namespace kestrova
