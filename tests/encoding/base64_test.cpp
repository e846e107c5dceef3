#include "encoding/base64.h"

#include <gtest/gtest.h>

#include "foundation/bytes.h"
#include "support/printers.h"

namespace kestrova {
namespace {

struct Base64Case {
    Bytes data;
    Text expected;
};

TEST(Base64Encode, PaddingAndAlphabet) {
    const Base64Case cases[] = {
        {Bytes{}, ""},
        {Bytes{'f'}, "Zg=="},
        {Bytes{'f', 'o'}, "Zm8="},
        {Bytes{'f', 'o', 'o'}, "Zm9v"},
        {Bytes{'f', 'o', 'o', 'b'}, "Zm9vYg=="},
        {Bytes{'f', 'o', 'o', 'b', 'a', 'r'}, "Zm9vYmFy"},
        {Bytes{0x00}, "AA=="},
        {Bytes{'a', 0x00, 'b'}, "YQBi"},
        // The last two letters of the standard alphabet, not the URL-safe ones.
        {Bytes{0xFB, 0xEF, 0xBE}, "++++"},
        {Bytes{0xFF, 0xFF, 0xFF}, "////"},
        {Bytes{0xFB, 0xFF}, "+/8="},
        {textToBytes("user:密码"), "dXNlcjrD3MLr"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base64Encode(c.data), c.expected);
    }
}

TEST(Base64Encode, FourCharactersForEveryStartedGroupOfThree) {
    for (int32_t n = 0; n <= 10; ++n) {
        EXPECT_EQ(textLength(base64Encode(blankBytes(n))), 4 * ((n + 2) / 3)) << n << " bytes";
    }
}

}  // namespace
}  // namespace kestrova
