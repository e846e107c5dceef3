#include "app/dedup.h"

#include <gtest/gtest.h>

#include <string>

#include "support/printers.h"

namespace kestrova {
namespace {

struct DedupCase {
    Text text;
    Text delimiter;
    bool splitByDelimiter;
    Text expected;
};

TEST(RemoveDuplicateLines, Cases) {
    const DedupCase cases[] = {
        {"a\r\nb\r\na\r\n", "\r\n", true, "a\r\nb"},
        {"a\r\nA", "\r\n", true, "a\r\nA"},
        {"a\r\n\r\nb\r\n\r\nc", "\r\n", true, "a\r\n\r\nb\r\nc"},
        {"", "\r\n", true, ""},
        {"abc", "\r\n", true, "abc"},
        {"abc\r\n", "\r\n", true, "abc"},
        {"ab\r\nab \r\nab", "\r\n", true, "ab\r\nab "},
        {"x=1; y=2; x=1", "; ", true, "x=1; y=2"},
        {"\xD6\xD0\r\n\xD6\xD0\r\n\xCE\xC4", "\r\n", true, "\xD6\xD0\r\n\xCE\xC4"},
        {"aa", "", true, "aa"},
        {"abca", ",", false, "a,b,c"},
        {"\xD6\xD0" "a\xD6\xD0", ",", false, "\xD6\xD0,a"},
        {"a\r\nb\r\na", "", false, "a\r\nb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(removeDuplicateLines(c.text, c.delimiter, c.splitByDelimiter), c.expected)
            << c.text.bytes() << " at " << c.delimiter.bytes();
    }
}

// The plain rule, written with the linear search, as a model for the hashed
// look-up on a text with many repeats.
Text keepFirstOccurrences(const TextArray& lines) {
    TextArray kept;
    Text out;
    for (const Text& line : lines) {
        if (findInTextArray(kept, line) == -1) {
            arrayAppend(kept, line);
            out += concatText(kept.size() > 1 ? Text("\r\n") : Text(), line);
        }
    }
    return out;
}

TEST(RemoveDuplicateLines, AgreesWithTheLinearSearchOnManyRepeats) {
    TextArray lines;
    Text text;
    uint32_t state = 12345;
    for (int i = 0; i < 2000; ++i) {
        state = state * 1103515245u + 12345u;
        const Text line(std::string("host") + std::to_string((state >> 16) % 300) + ".example");
        arrayAppend(lines, line);
        text += concatText(line, "\r\n");
    }
    EXPECT_EQ(removeDuplicateLines(text, "\r\n", true), keepFirstOccurrences(lines));
}

TEST(CountLines, CountsLineFeedsPlusOne) {
    const struct {
        Text text;
        int32_t expected;
    } cases[] = {
        {"", 0}, {"a", 1}, {"a\r\nb", 2}, {"a\r\nb\r\n", 3}, {"\n", 2}, {"a\rb", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(countLines(c.text), c.expected) << c.text.bytes();
    }
}

TEST(FindInTextArray, FirstExactMatch) {
    const TextArray array{"a", "b", "", "a"};
    EXPECT_EQ(findInTextArray(array, "a"), 1);
    EXPECT_EQ(findInTextArray(array, "b"), 2);
    EXPECT_EQ(findInTextArray(array, ""), 3);
    EXPECT_EQ(findInTextArray(array, "A"), -1);
    EXPECT_EQ(findInTextArray(TextArray{}, "a"), -1);
    EXPECT_EQ(findInTextArray(TextArray{}, ""), -1);
}

TEST(SplitCharacters, OneElementPerCharacter) {
    const struct {
        Text text;
        TextArray expected;
    } cases[] = {
        {"", {}},
        {"ab", {"a", "b"}},
        {"\xD6\xD0" "a", {"\xD6\xD0", "a"}},
        {"a\r\nb", {"a", "\r\n", "b"}},
        {"\r\r\n", {"\r", "\r\n"}},
        {"\n\r", {"\n", "\r"}},
        {"a\xD6", {"a", "\xD6"}},
        {"\r", {"\r"}},
        // 0x80 is no lead byte here; 0x81 is, whatever follows it.
        {"\x80" "a", {"\x80", "a"}},
        {"\x81" "a", {"\x81" "a"}},
    };
    for (const auto& c : cases) {
        TextArray array{"old", "elements"};
        EXPECT_EQ(splitCharacters(c.text, array), c.expected.size()) << c.text.bytes();
        EXPECT_EQ(array, c.expected) << c.text.bytes();
    }
}

}  // namespace
}  // namespace kestrova
