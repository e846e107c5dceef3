#include "encoding/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/bytes.h"
#include "platform/posix/code_pages_posix.h"
#include "support/printers.h"

namespace kestrova {
namespace {

class CodePageTest : public ::testing::Test {
protected:
    posix::PosixCodePages pages_;
    platform::ScopedAdapter<platform::CodePages> guard_{pages_};
};

struct Utf8ToAnsiCase {
    const char* name;
    Bytes utf8;
    Text expected;
};

TEST_F(CodePageTest, Utf8ToAnsi) {
    const Utf8ToAnsiCase cases[] = {
        {"empty", Bytes{}, ""},
        {"two Chinese characters", Bytes{0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}, "\xD6\xD0\xCE\xC4"},
        {"ASCII", Bytes{'a', 'b', 'c'}, "abc"},
        {"leading byte-order mark", Bytes{0xEF, 0xBB, 0xBF, 'a'}, "?a"},
        {"stops at a zero byte", Bytes{'a', 0x00, 'b'}, "a"},
        {"zero byte first", Bytes{0x00, 'a'}, ""},
        {"Arabic alef", Bytes{'a', 0xD8, 0xA7, 'b'}, "a?b"},
        {"outside the BMP is one character", Bytes{0xF0, 0x9F, 0x98, 0x80, 'a'}, "?a"},
        {"malformed byte", Bytes{'a', 0xFF, 'b'}, "a?b"},
        {"cut-off sequence at the end", Bytes{'a', 0xE4, 0xB8}, "a?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8ToAnsi(c.utf8), c.expected);
    }
}

TEST_F(CodePageTest, AnsiToUtf8) {
    EXPECT_EQ(textToBytes(ansiToUtf8("\xD6\xD0\xCE\xC4")), (Bytes{0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}));
    EXPECT_EQ(ansiToUtf8("plain ASCII 1.2-3"), Text("plain ASCII 1.2-3"));
    EXPECT_EQ(ansiToUtf8(""), Text());
}

TEST_F(CodePageTest, AnsiToUtf8RoundTripsThroughUtf8ToAnsi) {
    for (const Text& text : {Text("中文"), Text("a中b文c"), Text("全角\xA1\xA1空格")}) {
        EXPECT_EQ(utf8ToAnsi(textToBytes(ansiToUtf8(text))), text);
    }
    // UTF-8 needs three bytes where code page 936 needs two, so a long Chinese
    // text shows that the output is measured for the page it is written in.
    std::string chinese;
    for (int i = 0; i < 1000; ++i) {
        chinese += "中";
    }
    const Text longChinese(chinese);
    const Text utf8 = ansiToUtf8(longChinese);
    EXPECT_EQ(textLength(utf8), 3000);
    EXPECT_EQ(utf8ToAnsi(textToBytes(utf8)), longChinese);
}

TEST_F(CodePageTest, TextToWide) {
    EXPECT_EQ(textToWide("ab", 936), (Bytes{0x61, 0x00, 0x62, 0x00, 0x00, 0x00}));
    EXPECT_EQ(textToWide("\xD6\xD0", 936), (Bytes{0x2D, 0x4E, 0x00, 0x00}));
    EXPECT_EQ(textToWide("", 936), (Bytes{0x00, 0x00}));
    // Without a code page the text is read as UTF-8.
    EXPECT_EQ(textToWide("\xE4\xB8\xAD"), (Bytes{0x2D, 0x4E, 0x00, 0x00}));
}

struct WideToTextCase {
    const char* name;
    Bytes wide;
    uint32_t codePage;
    Text expected;
};

TEST_F(CodePageTest, WideToText) {
    const WideToTextCase cases[] = {
        {"ANSI page", Bytes{0x2D, 0x4E, 0x87, 0x65, 0x00, 0x00}, 0, "\xD6\xD0\xCE\xC4"},
        {"UTF-8", Bytes{0x2D, 0x4E, 0x00, 0x00}, 65001, "\xE4\xB8\xAD"},
        {"stops at the first zero unit", Bytes{'a', 0x00, 0x00, 0x00, 'b', 0x00, 0x00, 0x00}, 936, "a"},
        {"data without a zero unit ends at its end", Bytes{'a', 0x00, 'b', 0x00}, 936, "ab"},
        {"an odd last byte is no unit", Bytes{'a', 0x00, 'b'}, 936, "a"},
        {"empty", Bytes{}, 936, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wideToText(c.wide, c.codePage), c.expected);
    }
}

TEST_F(CodePageTest, ConvertCodePageGoesBothWays) {
    EXPECT_EQ(convertCodePage("\xD6\xD0\xCE\xC4", 936, 65001), Text("\xE4\xB8\xAD\xE6\x96\x87"));
    EXPECT_EQ(convertCodePage("\xE4\xB8\xAD\xE6\x96\x87", 65001, 936), Text("\xD6\xD0\xCE\xC4"));
    EXPECT_EQ(convertCodePage("\xE4\xB8\xAD", 65001, 65001), Text("\xE4\xB8\xAD"));
}

}  // namespace
}  // namespace kestrova
