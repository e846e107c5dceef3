#include "platform/posix/code_pages_posix.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kestrova::posix {
namespace {

using platform::CP_ACP;
using platform::CP_GBK;
using platform::CP_UTF8;

// A string_view literal keeps its NULs: "a\0b"sv is three bytes.
using namespace std::string_view_literals;

// Measures, then converts into a buffer of exactly the measured size.
std::u16string toWide(PosixCodePages& pages, uint32_t codePage, std::string_view source, int32_t length) {
    const int32_t needed = pages.multiByteToWideChar(codePage, 0, source.data(), length, nullptr, 0);
    std::u16string out(static_cast<size_t>(needed), u'\0');
    const int32_t written = pages.multiByteToWideChar(codePage, 0, source.data(), length, out.data(), needed);
    EXPECT_EQ(written, needed);
    return out;
}

std::string toMultiByte(PosixCodePages& pages, uint32_t codePage, std::u16string_view source, int32_t length,
                        const char* defaultChar = nullptr, int32_t* usedDefault = nullptr) {
    const int32_t needed =
        pages.wideCharToMultiByte(codePage, 0, source.data(), length, nullptr, 0, defaultChar, usedDefault);
    std::string out(static_cast<size_t>(needed), '\0');
    const int32_t written = pages.wideCharToMultiByte(codePage, 0, source.data(), length, out.data(), needed,
                                                      defaultChar, usedDefault);
    EXPECT_EQ(written, needed);
    return out;
}

struct ToWideCase {
    const char* name;
    uint32_t codePage;
    std::string_view source;
    int32_t length;
    std::u16string_view expected;
};

TEST(PosixCodePages, MultiByteToWideCharConvertsEachCodePage) {
    const ToWideCase cases[] = {
        {"936 through the NUL, counted", CP_GBK, "\xD6\xD0" "a"sv, -1, u"\u4E2Da\0"sv},
        {"ANSI page is 936", CP_ACP, "\xD6\xD0" "a"sv, -1, u"\u4E2Da\0"sv},
        {"explicit length keeps inner NUL", CP_GBK, "a\0b"sv, 3, u"a\0b"sv},
        {"explicit length stops early", CP_GBK, "ab"sv, 1, u"a"sv},
        {"UTF-8", CP_UTF8, "\xE4\xB8\xAD"sv, 3, u"\u4E2D"sv},
        {"UTF-8 through the NUL", CP_UTF8, "\xE4\xB8\xAD"sv, -1, u"\u4E2D\0"sv},
        {"UTF-8 outside the BMP", CP_UTF8, "\xF0\x9F\x98\x80"sv, 4, u"\U0001F600"sv},
        {"malformed UTF-8 byte", CP_UTF8, "a\xFF" "b"sv, 3, u"a\uFFFDb"sv},
        {"UTF-8 cut short", CP_UTF8, "a\xE4\xB8"sv, 3, u"a\uFFFD"sv},
    };
    PosixCodePages pages;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(toWide(pages, c.codePage, c.source, c.length), c.expected);
    }
}

struct ToMultiByteCase {
    const char* name;
    uint32_t codePage;
    std::u16string_view source;
    int32_t length;
    std::string_view expected;
};

TEST(PosixCodePages, WideCharToMultiByteConvertsEachCodePage) {
    const char16_t loneSurrogate[] = {0xD800, u'a', 0};
    const ToMultiByteCase cases[] = {
        {"936 through the NUL, counted", CP_GBK, u"\u4E2D\u6587", -1, "\xD6\xD0\xCE\xC4\0"sv},
        {"ANSI page is 936", CP_ACP, u"\u4E2Da", 2, "\xD6\xD0" "a"sv},
        {"byte-order mark has no 936 form", CP_GBK, u"\uFEFFa", 2, "?a"sv},
        {"zero-width space has no 936 form", CP_GBK, u"a\u200Bb", 3, "a?b"sv},
        {"Arabic alef has no 936 form", CP_GBK, u"\u0627", 1, "?"sv},
        {"a surrogate pair is one character", CP_GBK, u"\U0001F600", 2, "?"sv},
        {"an unpaired surrogate", CP_GBK, std::u16string_view(loneSurrogate, 2), 2, "?a"sv},
        {"explicit length keeps inner NUL", CP_GBK, u"a\0b"sv, 3, "a\0b"sv},
        {"UTF-8", CP_UTF8, u"\u4E2D", -1, "\xE4\xB8\xAD\0"sv},
        {"UTF-8 of an unpaired surrogate", CP_UTF8, std::u16string_view(loneSurrogate, 2), 2,
         "\xEF\xBF\xBD" "a"sv},
    };
    PosixCodePages pages;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(toMultiByte(pages, c.codePage, c.source, c.length), c.expected);
    }
}

TEST(PosixCodePages, ConvertingModeWritesNothingWhenTheDestinationIsTooSmall) {
    PosixCodePages pages;
    std::u16string units(2, u'x');
    EXPECT_EQ(pages.multiByteToWideChar(CP_GBK, 0, "abc", -1, units.data(), 2), 0);
    EXPECT_EQ(units, u"xx");
    std::string bytes(4, 'x');
    EXPECT_EQ(pages.wideCharToMultiByte(CP_GBK, 0, u"\u4E2D\u6587", -1, bytes.data(), 4, nullptr, nullptr), 0);
    EXPECT_EQ(bytes, "xxxx");
    EXPECT_EQ(pages.wideCharToMultiByte(CP_UTF8, 0, u"\u4E2D", 1, bytes.data(), 2, nullptr, nullptr), 0);
    EXPECT_EQ(bytes, "xxxx");
}

TEST(PosixCodePages, ConvertingModeLeavesTheRestOfALargerDestinationAlone) {
    PosixCodePages pages;
    std::u16string units(5, u'x');
    EXPECT_EQ(pages.multiByteToWideChar(CP_UTF8, 0, "ab", 2, units.data(), 5), 2);
    EXPECT_EQ(units, u"abxxx");
}

TEST(PosixCodePages, DefaultCharacterAndItsFlag) {
    PosixCodePages pages;
    int32_t used = -1;
    EXPECT_EQ(toMultiByte(pages, CP_GBK, u"a\u0627", 2, nullptr, &used), "a?");
    EXPECT_EQ(used, 1);
    EXPECT_EQ(toMultiByte(pages, CP_GBK, u"a?", 2, nullptr, &used), "a?");
    EXPECT_EQ(used, 0);
    EXPECT_EQ(toMultiByte(pages, CP_GBK, u"\u0627\uFEFF", 2, "*", &used), "**");
    EXPECT_EQ(used, 1);
    // A double-byte default character is written whole.
    EXPECT_EQ(toMultiByte(pages, CP_GBK, u"\u0627", 1, "\xA3\xBF"), "\xA3\xBF");
}

TEST(PosixCodePages, RefusesWhatItCannotDo) {
    PosixCodePages pages;
    char16_t units[4] = {};
    char bytes[4] = {};
    int32_t used = 0;
    struct Refusal {
        const char* name;
        int32_t answer;
    };
    const Refusal refusals[] = {
        {"code page it does not carry", pages.multiByteToWideChar(1252, 0, "a", -1, units, 4)},
        {"code page it does not carry, back", pages.wideCharToMultiByte(1252, 0, u"a", -1, bytes, 4, nullptr, nullptr)},
        {"empty source", pages.multiByteToWideChar(CP_GBK, 0, "a", 0, nullptr, 0)},
        {"empty wide source", pages.wideCharToMultiByte(CP_GBK, 0, u"a", 0, nullptr, 0, nullptr, nullptr)},
        {"length below -1", pages.multiByteToWideChar(CP_GBK, 0, "a", -2, nullptr, 0)},
        {"null source", pages.multiByteToWideChar(CP_GBK, 0, nullptr, -1, nullptr, 0)},
        {"null wide source", pages.wideCharToMultiByte(CP_UTF8, 0, nullptr, -1, nullptr, 0, nullptr, nullptr)},
        {"negative destination size", pages.multiByteToWideChar(CP_GBK, 0, "a", -1, units, -1)},
        {"null destination with a size", pages.multiByteToWideChar(CP_GBK, 0, "a", -1, nullptr, 4)},
        {"flags", pages.multiByteToWideChar(CP_UTF8, 8, "a", -1, nullptr, 0)},
        {"wide flags", pages.wideCharToMultiByte(CP_GBK, 0x400, u"a", -1, nullptr, 0, nullptr, nullptr)},
        {"default character for UTF-8", pages.wideCharToMultiByte(CP_UTF8, 0, u"a", -1, nullptr, 0, "?", nullptr)},
        {"default flag for UTF-8", pages.wideCharToMultiByte(CP_UTF8, 0, u"a", -1, nullptr, 0, nullptr, &used)},
    };
    for (const auto& refusal : refusals) {
        EXPECT_EQ(refusal.answer, 0) << refusal.name;
    }
}

}  // namespace
}  // namespace kestrova::posix
