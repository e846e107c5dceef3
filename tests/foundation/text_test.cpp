#include "foundation/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string_view>

#include "support/printers.h"

namespace kestrova {
namespace {

// "\xC4\x42" and the like are one double-byte character whose second byte is
// an ASCII letter; a lone lead byte at the end is a character cut in two.

TEST(TextValue, EndsAtTheFirstNulAndComparesBytesExactly) {
    EXPECT_EQ(Text(std::string_view("ab\0cd", 5)), Text("ab"));
    EXPECT_EQ(textLength(Text(std::string_view("ab\0cd", 5))), 2);
    EXPECT_EQ(Text(static_cast<const char*>(nullptr)), Text());
    EXPECT_EQ(Text(""), Text());
    EXPECT_NE(Text("ab"), Text("AB"));
}

TEST(TextLength, CountsBytesNotCharacters) {
    EXPECT_EQ(textLength(""), 0);
    EXPECT_EQ(textLength("a\xC4\xE3"), 3);
}

TEST(ConcatText, JoinsAnyNumberOfTextsInOrder) {
    EXPECT_EQ(concatText("a", ""), Text("a"));
    EXPECT_EQ(concatText("a", "", "\xC4\xE3", "b"), Text("a\xC4\xE3" "b"));
}

struct FindCase {
    const char* text;
    const char* sought;
    int32_t start;
    bool ignoreCase;
    int32_t expected;
};

TEST(FindText, Table) {
    const FindCase cases[] = {
        {"abcdef", "", 5, false, 1},
        {"abcdef", "", 6, false, 1},
        {"abcdef", "", 7, false, -1},
        {"", "", 1, false, -1},
        {"", "a", 1, false, -1},
        {"abcdef", "c", 1, false, 3},
        {"abcdef", "c", 3, false, 3},
        {"abcdef", "c", 4, false, -1},
        {"abcdef", "c", 0, false, 3},
        {"abcdef", "c", -3, false, 3},
        {"abcdef", "c", INT_MIN, false, 3},
        {"abcdef", "c", 7, false, -1},
        {"abcdef", "c", INT_MAX, false, -1},
        {"abcdef", "ef", 1, false, 5},
        {"abcdef", "efg", 1, false, -1},
        {"abab", "ab", 2, false, 3},
        {"ab", "abc", 1, false, -1},
        // A second byte never starts a match...
        {"\xC4\x42\x42", "B", 1, false, 3},
        {"\xC4\x42\xC4\x42", "B", 1, false, -1},
        // ...unless the search starts on it.
        {"\xC4\x42\x42", "B", 2, false, 2},
        {"a\xC4", "x", 1, false, -1},
        {"Host: h\r\nUser-Agent: x", "user-agent:", 1, true, 10},
        {"Host: h\r\nUser-Agent: x", "user-agent:", 1, false, -1},
        {"aXbx", "x", 1, false, 4},
        {"aXbx", "x", 1, true, 2},
        // Folding reaches ASCII letters only, but every one of them, second bytes included.
        {"\xA3\xC1", "\xA3\xE1", 1, true, -1},
        {"\xA3\xC1", "a", 1, true, -1},
        {"\xC4\x41", "\xC4\x61", 1, true, 1},
        {"[@", "{`", 1, true, -1},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(Text(c.text)) << " sought "
                                        << testing::PrintToString(Text(c.sought)) << " start " << c.start);
        EXPECT_EQ(findText(c.text, c.sought, c.start, c.ignoreCase), c.expected);
    }
}

TEST(FindText, DefaultsSearchTheWholeTextCaseSensitively) {
    EXPECT_EQ(findText("aXbx", "x"), 4);
}

struct FindReverseCase {
    const char* text;
    const char* sought;
    std::optional<int32_t> start;
    bool ignoreCase;
    int32_t expected;
};

TEST(FindTextReverse, Table) {
    const FindReverseCase cases[] = {
        {"a.b.c", ".", std::nullopt, false, 4},
        {"a.b.c", ".", 5, false, 4},
        {"a.b.c", ".", 4, false, 2},
        {"a.b.c", ".", 2, false, -1},
        {"a.b.c", ".", 1, false, -1},
        {"a.b.c", ".", 0, false, -1},
        {"a.b.c", ".", INT_MIN, false, -1},
        {"a.b.c", ".", 99, false, 4},
        {"a.b.c", ".", INT_MAX, false, 4},
        {"aaa", "aa", std::nullopt, false, 2},
        {"abcabc", "abc", 7, false, 4},
        {"abcabc", "abc", 6, false, 1},
        {"abc", "", std::nullopt, false, 1},
        {"abc", "", 1, false, -1},
        {"abc", "", 2, false, 1},
        {"", "", std::nullopt, false, -1},
        {"", "a", std::nullopt, false, -1},
        {"\xC4.", ".", std::nullopt, false, -1},
        {"\xC4..", ".", std::nullopt, false, 3},
        {"x.\xC4", ".", std::nullopt, false, 2},
        {"aXbx", "X", std::nullopt, false, 2},
        {"aXbx", "X", std::nullopt, true, 4},
    };
    for (const FindReverseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(Text(c.text)) << " sought "
                                        << testing::PrintToString(Text(c.sought)) << " start "
                                        << (c.start ? *c.start : 0) << (c.start ? "" : " (omitted)"));
        EXPECT_EQ(findTextReverse(c.text, c.sought, c.start, c.ignoreCase), c.expected);
    }
}

struct CountCase {
    const char* text;
    int32_t count;
    const char* expected;
};

TEST(LeftText, Table) {
    const CountCase cases[] = {
        {"abc", 2, "ab"},  {"abc", 3, "abc"}, {"abc", 99, "abc"},          {"abc", INT_MAX, "abc"},
        {"abc", 0, ""},    {"abc", -1, ""},   {"abc", INT_MIN, ""},        {"", 2, ""},
        {"\xC4\xE3x", 1, "\xC4"},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(Text(c.text)) << " count " << c.count);
        EXPECT_EQ(leftText(c.text, c.count), Text(c.expected));
    }
}

TEST(RightText, Table) {
    const CountCase cases[] = {
        {"abc", 2, "bc"},  {"abc", 3, "abc"}, {"abc", 99, "abc"},          {"abc", INT_MAX, "abc"},
        {"abc", 0, ""},    {"abc", -1, ""},   {"abc", INT_MIN, ""},        {"", 2, ""},
        {"x\xC4\xE3", 1, "\xE3"},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(Text(c.text)) << " count " << c.count);
        EXPECT_EQ(rightText(c.text, c.count), Text(c.expected));
    }
}

TEST(MidText, Table) {
    const struct {
        const char* text;
        int32_t start;
        int32_t count;
        const char* expected;
    } cases[] = {
        {"abc", 0, 2, ""},   {"abc", -1, 2, ""},   {"abc", INT_MIN, 2, ""},       {"abc", 1, 2, "ab"},
        {"abc", 2, 99, "bc"}, {"abc", 2, INT_MAX, "bc"}, {"abc", 3, 1, "c"},     {"abc", 4, 1, ""},
        {"abc", INT_MAX, 1, ""}, {"abc", 1, 0, ""},  {"abc", 1, -1, ""},          {"abc", 1, INT_MIN, ""},
        {"", 1, 1, ""},      {"\xC4\xE3\xC4\xE3", 2, 2, "\xE3\xC4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(Text(c.text)) << " start " << c.start << " count "
                                        << c.count);
        EXPECT_EQ(midText(c.text, c.start, c.count), Text(c.expected));
    }
}

struct ReplaceCase {
    const char* text;
    const char* sought;
    const char* replacement;
    int32_t start;
    std::optional<int32_t> count;
    bool ignoreCase;
    const char* expected;
};

TEST(ReplaceText, Table) {
    const ReplaceCase cases[] = {
        {"aXbxc", "x", "-", 1, std::nullopt, true, "a-b-c"},
        {"aXbxc", "x", "-", 1, std::nullopt, false, "aXb-c"},
        {"aXbxc", "x", "-", 3, std::nullopt, true, "aXb-c"},
        {"aXbxc", "", "-", 1, std::nullopt, false, "aXbxc"},
        {"", "x", "-", 1, std::nullopt, false, ""},
        {"a,b,c", ",", "", 1, std::nullopt, false, "abc"},
        {"xxx", "x", "y", 1, 1, false, "yxx"},
        {"xxx", "x", "y", 1, 2, false, "yyx"},
        {"xxx", "x", "y", 1, 0, false, "xxx"},
        {"xxx", "x", "y", 1, -1, false, "yyy"},
        {"xxx", "x", "y", 1, INT_MIN, false, "yyy"},
        {"xxx", "x", "y", 2, 1, false, "xyx"},
        {"xxx", "x", "y", 3, std::nullopt, false, "xxy"},
        {"xxx", "x", "y", 4, std::nullopt, false, "xxx"},
        {"xxx", "x", "y", INT_MAX, std::nullopt, false, "xxx"},
        {"xxx", "x", "y", 0, std::nullopt, false, "yyy"},
        {"xxx", "x", "y", -5, std::nullopt, false, "yyy"},
        {"xxx", "x", "y", INT_MIN, std::nullopt, false, "yyy"},
        // The replacement is not searched again; occurrences do not overlap.
        {"aa", "a", "aa", 1, std::nullopt, false, "aaaa"},
        {"aaa", "aa", "b", 1, std::nullopt, false, "ba"},
        {"abc", "abcd", "-", 1, std::nullopt, false, "abc"},
        // A second byte is never matched, unless the replacing starts on it.
        {"\xC4x" "x", "x", "-", 1, std::nullopt, false, "\xC4x-"},
        {"\xC4x" "x", "x", "-", 2, std::nullopt, false, "\xC4--"},
        {"\xC4X", "x", "-", 1, std::nullopt, true, "\xC4X"},
        // A lone lead byte at the end is dropped where the walk reaches it, kept where it does not.
        {"ab\xC4", "x", "-", 1, std::nullopt, false, "ab"},
        {"xb\xC4", "x", "-", 1, std::nullopt, false, "-b"},
        {"ab\xC4", "xy", "-", 1, std::nullopt, false, "ab\xC4"},
        {"xb\xC4", "x", "-", 1, 1, false, "-b\xC4"},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(Text(c.text)) << " sought "
                                        << testing::PrintToString(Text(c.sought)) << " start " << c.start);
        EXPECT_EQ(replaceText(c.text, c.sought, c.replacement, c.start, c.count, c.ignoreCase), Text(c.expected));
    }
}

TEST(ReplaceText, DefaultsDeleteEveryOccurrenceCaseSensitively) {
    EXPECT_EQ(replaceText("aXbxcx", "x"), Text("aXbc"));
}

struct SplitCase {
    const char* text;
    const char* delimiter;
    std::optional<int32_t> maxCount;
    TextArray expected;
};

TEST(SplitText, Table) {
    const SplitCase cases[] = {
        {"a\r\nb\r\n", "\r\n", std::nullopt, {"a", "b"}},
        {"\r\na", "\r\n", std::nullopt, {"", "a"}},
        {"\r\n", "\r\n", std::nullopt, {""}},
        {"a;;b", ";", std::nullopt, {"a", "", "b"}},
        {"", ";", std::nullopt, {}},
        {"abc", ";", std::nullopt, {"abc"}},
        {"a,b,c", ",", 2, {"a", "b"}},
        {"a,b,c", ",", 3, {"a", "b", "c"}},
        {"a,b,c", ",", 1, {"a"}},
        {"a,b,c", ",", 0, {}},
        {"a,b,c", ",", -1, {}},
        {"a,b,c", ",", INT_MIN, {}},
        {"a,b,c", "", std::nullopt, {"a,b,c"}},
        {"a,b,c", "", 0, {}},
        {"aXbxc", "x", std::nullopt, {"aXb", "c"}},
        {"\xC4,a,b", ",", std::nullopt, {"\xC4,a", "b"}},
        {"a,\xC4", ",", std::nullopt, {"a", "\xC4"}},
        {"a\xC4", "\xC4", std::nullopt, {"a"}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(Text(c.text)) << " delimiter "
                                        << testing::PrintToString(Text(c.delimiter)) << " maxCount "
                                        << (c.maxCount ? *c.maxCount : 0) << (c.maxCount ? "" : " (omitted)"));
        EXPECT_EQ(splitText(c.text, c.delimiter, c.maxCount), c.expected);
    }
}

TEST(SplitText, DefaultsSplitAtEveryComma) {
    EXPECT_EQ(splitText("a,,b"), (TextArray{"a", "", "b"}));
}

TEST(TrimText, Table) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {" \tx \r\n", "\tx \r\n"},
        {"\xA1\xA1x\xA1\xA1", "x"},
        {" \xA1\xA1 a b\xA1\xA1  ", "a b"},
        {"  \xA1\xA1 ", ""},
        {"", ""},
        {"x", "x"},
        // 0xC4 0xA1 is one character, so the 0xA1 after it is a lone lead byte, not half a blank.
        {"\xC4\xA1\xA1", "\xC4\xA1"},
        // A lone lead byte at the end goes, and the blanks before it stay.
        {"x \xC4", "x "},
        {"x\xA1\xA1\xA1", "x\xA1\xA1"},
        {" \xA1", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(Text(c.text)));
        EXPECT_EQ(trimText(c.text), Text(c.expected));
    }
}

TEST(ChangeCase, Table) {
    const struct {
        const char* text;
        const char* upper;
        const char* lower;
    } cases[] = {
        {"abcXYZ09", "ABCXYZ09", "abcxyz09"},
        {"@[`{", "@[`{", "@[`{"},
        {"\xC4\x61\xC4\x41", "\xC4\x61\xC4\x41", "\xC4\x61\xC4\x41"},
        {"\xA3\xC1\xA3\xE1", "\xA3\xC1\xA3\xE1", "\xA3\xC1\xA3\xE1"},
        {"aA\xC4", "AA\xC4", "aa\xC4"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(Text(c.text)));
        EXPECT_EQ(toUpperText(c.text), Text(c.upper));
        EXPECT_EQ(toLowerText(c.text), Text(c.lower));
    }
}

TEST(CharCode, Table) {
    const struct {
        const char* text;
        int32_t position;
        int32_t expected;
    } cases[] = {
        {"\xB0x", 1, -80}, {"=", 1, 61},       {"ab", 2, 98},       {"ab", 3, 0},  {"ab", 0, 0},
        {"ab", -1, 0},     {"ab", INT_MAX, 0}, {"ab", INT_MIN, 0},  {"", 1, 0},    {"\x80", 1, -128},
        {"\x7F", 1, 127},  {"\xFF", 1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(Text(c.text)) << " position " << c.position);
        EXPECT_EQ(charCode(c.text, c.position), c.expected);
    }
    EXPECT_EQ(charCode("a"), 97);
}

TEST(CharFromCode, Table) {
    const struct {
        int32_t code;
        const char* expected;
    } cases[] = {
        {0, ""}, {0x120, " "}, {65, "A"}, {-80, "\xB0"}, {256, ""}, {255, "\xFF"}, {INT_MIN, ""}, {-1, "\xFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(charFromCode(c.code), Text(c.expected));
    }
}

TEST(BlankText, Table) {
    const struct {
        int32_t count;
        const char* expected;
    } cases[] = {{0, ""}, {1, " "}, {3, "   "}, {-1, ""}, {INT_MIN, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(blankText(c.count), Text(c.expected));
    }
}

TEST(TextArrayOperations, AppendAddsACopyAtTheEnd) {
    TextArray array;
    EXPECT_EQ(arraySize(array), 0);
    Text text = "x";
    arrayAppend(array, "");
    arrayAppend(array, text);
    text += "y";
    EXPECT_EQ(arraySize(array), 2);
    EXPECT_EQ(array.item(1), Text());
    EXPECT_EQ(array.item(2), Text("x"));
}

}  // namespace
}  // namespace kestrova
