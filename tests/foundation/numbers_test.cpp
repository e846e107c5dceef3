#include "foundation/numbers.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/printers.h"

namespace kestrova {
namespace {

TEST(NumberToText, Table) {
    const struct {
        int32_t number;
        const char* expected;
    } cases[] = {
        {0, "0"}, {10, "10"}, {-5, "-5"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(numberToText(c.number), Text(c.expected));
    }
}

TEST(ToHexText, Table) {
    const struct {
        int32_t number;
        const char* expected;
    } cases[] = {
        {0, "0"},          {7, "7"},           {10, "A"},         {255, "FF"},
        {256, "100"},      {0x1234ABCD, "1234ABCD"}, {-1, "FFFFFFFF"}, {INT_MIN, "80000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(toHexText(c.number), Text(c.expected));
    }
}

TEST(TextToInt, Table) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {" 42abc", 42},
        {"-7", -7},
        {"+5", 5},
        {"abc", 0},
        {"", 0},
        {"\t\n\v\f\r 9", 9},
        {"- 5", 0},
        {"--5", 0},
        {"0080", 80},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        // Full-width digits, signs and spaces read as their ASCII forms.
        {"\xA3\xB8\xA3\xB0", 80},
        {"\xA1\xA1\xA3\xAD\xA3\xB3", -3},
        {"\xA3\xAB" "12\xA3\xB3x", 123},
        // Other double-byte characters stop the number, even when their second byte is a digit.
        {"\xC4\x35", 0},
        {"1\xC4\x35", 1},
        {"1\xC4", 1},
        {"\xA3\xB1\xA3", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(Text(c.text)));
        EXPECT_EQ(textToInt(c.text), c.expected);
    }
}

TEST(TextToByte, KeepsTheLowEightBits) {
    const struct {
        int32_t number;
        int32_t expected;
    } cases[] = {{65, 65}, {255, 255}, {256, 0}, {0x1FF, 255}, {-1, 255}, {INT_MIN, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(textToByte(c.number), c.expected);
    }
}

}  // namespace
}  // namespace kestrova
