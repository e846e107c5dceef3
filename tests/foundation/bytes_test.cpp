#include "foundation/bytes.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/printers.h"

namespace kestrova {
namespace {

const Bytes abc = {'a', 'b', 'c'};

TEST(BytesLength, CountsNulBytesToo) {
    EXPECT_EQ(bytesLength(Bytes()), 0);
    EXPECT_EQ(bytesLength(Bytes{0, 0}), 2);
}

TEST(BytesLeft, Table) {
    const struct {
        int32_t count;
        Bytes expected;
    } cases[] = {
        {2, {'a', 'b'}}, {3, abc}, {99, abc}, {INT_MAX, abc}, {0, {}}, {-1, {}}, {INT_MIN, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(bytesLeft(abc, c.count), c.expected);
    }
    EXPECT_EQ(bytesLeft(Bytes(), 1), Bytes());
}

TEST(BytesMid, Table) {
    const struct {
        int32_t start;
        int32_t count;
        Bytes expected;
    } cases[] = {
        {1, 2, {'a', 'b'}},
        {0, 2, {'a', 'b'}},
        {-4, 1, {'a'}},
        {INT_MIN, 1, {'a'}},
        {2, 99, {'b', 'c'}},
        {3, INT_MAX, {'c'}},
        {4, 1, {}},
        {INT_MAX, 1, {}},
        {1, 0, {}},
        {1, -2, {}},
        {1, INT_MIN, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " count " << c.count);
        EXPECT_EQ(bytesMid(abc, c.start, c.count), c.expected);
    }
    EXPECT_EQ(bytesMid(Bytes{0, 'x', 0}, 1, 3), (Bytes{0, 'x', 0}));
}

TEST(BlankBytes, Table) {
    const struct {
        int32_t count;
        Bytes expected;
    } cases[] = {{3, {0, 0, 0}}, {1, {0}}, {0, {}}, {-1, {}}, {INT_MIN, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(blankBytes(c.count), c.expected);
    }
}

TEST(ConcatBytes, JoinsInOrderKeepingNulBytes) {
    EXPECT_EQ(concatBytes({{1, 0}, {}, {0, 2}}), (Bytes{1, 0, 0, 2}));
    EXPECT_EQ(concatBytes({{}, {}}), Bytes());
}

TEST(TextToBytes, GivesTheTextBytesWithoutATerminator) {
    EXPECT_EQ(textToBytes("ab"), (Bytes{'a', 'b'}));
    EXPECT_EQ(textToBytes("\xC4\xE3"), (Bytes{0xC4, 0xE3}));
    EXPECT_EQ(textToBytes(""), Bytes());
}

TEST(BytesToText, StopsAtTheFirstNul) {
    const struct {
        Bytes bytes;
        const char* expected;
    } cases[] = {
        {{'a', 0, 'b'}, "a"},
        {{0, 'a'}, ""},
        {{}, ""},
        {{'a', 'b'}, "ab"},
        {{0xC4, 0xE3, 0xC4}, "\xC4\xE3\xC4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(bytesToText(c.bytes), Text(c.expected));
    }
}

}  // namespace
}  // namespace kestrova
