#include "encoding/url_encode.h"

#include <gtest/gtest.h>

#include "platform/posix/code_pages_posix.h"
#include "support/printers.h"

namespace kestrova {
namespace {

struct UrlEncodeCase {
    Text text;
    bool keepPlain;
    bool asUtf8;
    Text expected;
};

TEST(UrlEncode, Cases) {
    posix::PosixCodePages pages;
    platform::ScopedAdapter<platform::CodePages> guard(pages);
    const UrlEncodeCase cases[] = {
        {"", true, true, ""},
        {"", false, false, ""},
        {"a b", true, true, "a%20b"},
        {"a+b", true, true, "a%2Bb"},
        {"x/y_z~1.5-2*", true, true, "x%2Fy%5Fz%7E1.5-2%2A"},
        {"中文", true, true, "%E4%B8%AD%E6%96%87"},
        {"中文", true, false, "%D6%D0%CE%C4"},
        {"ab", false, false, "%61%62"},
        {"ab", false, true, "%61%62"},
        {"\n", true, true, "%0A"},
        // The edges of the plain ranges and their neighbours.
        {"AZaz09-.", true, false, "AZaz09-."},
        {"@[`{,/:", true, false, "%40%5B%60%7B%2C%2F%3A"},
        {"\x7F\xA1\xA1", true, false, "%7F%A1%A1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(urlEncode(c.text, c.keepPlain, c.asUtf8), c.expected)
            << "keepPlain " << c.keepPlain << ", asUtf8 " << c.asUtf8;
    }
}

}  // namespace
}  // namespace kestrova
