#include "http/headers.h"

#include <gtest/gtest.h>

#include "support/printers.h"

namespace kestrova {
namespace {

struct NormalizeCase {
    Text block;
    Text expected;
};

TEST(NormalizeHeaderBlock, Cases) {
    const NormalizeCase cases[] = {
        {"user-agent: X\r\nno colon here\r\n\r\nx-requested-with: y", "User-Agent: X\r\nX-Requested-With: y"},
        {"content-TYPE:text/html", "Content-TYPE:text/html"},
        {"ACCEPT: x", "ACCEPT: x"},
        {": v", ": v"},
        {" accept: x", " accept: x"},
        {"\xC4" "a-b: 1", "\xC4" "a-B: 1"},
        {"x--y: 1", "X--Y: 1"},
        {"x-: 1", "X-: 1"},
        {"-x: 1", "-X: 1"},
        {"-: 1", "-: 1"},
        {"host: example:8080", "Host: example:8080"},
        {"", ""},
        {"abc\r\ndef", ""},
        {"a: 1\r\n", "A: 1"},
        {"\r\na: 1\r\nb: 2", "A: 1\r\nB: 2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(normalizeHeaderBlock(c.block), c.expected) << c.block.bytes();
    }
}

struct LineCase {
    Text line;
    Text name;
    Text value;
};

TEST(HeaderLine, NameAndValue) {
    const LineCase cases[] = {
        {"Name : value", "Name", "value"},
        {"no colon", "", ""},
        {"Cookie: a=b: c", "Cookie", "a=b: c"},
        {":", "", ""},
        {"\xA1\xA1Name\xA1\xA1:\xA1\xA1v ", "Name", "v"},
        {"Tab:\tv", "Tab", "\tv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(headerLineName(c.line), c.name) << c.line.bytes();
        EXPECT_EQ(headerLineValue(c.line), c.value) << c.line.bytes();
    }
}

struct FindCase {
    Text block;
    Text name;
    Text expected;
};

TEST(FindHeaderValue, Cases) {
    const FindCase cases[] = {
        {"HTTP/1.1 302 Found\r\nLocation: /next\r\n\r\n", "Location", "/next"},
        {"HTTP/1.1 302 Found\r\nlocation: /next\r\n\r\n", "Location", ""},
        {"Locations: x\r\nLocation: y\r\n", "Location", ""},
        {"Location: /a  \r\n", "Location", "/a  "},
        {"Location:/x\r\n", "Location", ""},
        {"Location: a: Location: b\r\n", "Location", "b"},
        {"a: b: c\r\nd: e\r\n", "", "c"},
        {"", "Location", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findHeaderValue(c.block, c.name), c.expected) << c.block.bytes();
    }
}

}  // namespace
}  // namespace kestrova
