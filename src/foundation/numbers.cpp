#include "foundation/numbers.h"

#include <cstdio>
#include <string>

namespace kestrova {

namespace {

// Folds the full-width forms of code page 936 into their ASCII forms, one
// character at a time; a lone lead byte at the end is dropped.
std::string halfWidth(const std::string& bytes) {
    std::string folded;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            folded += bytes[i];
            ++i;
            continue;
        }
        if (i + 1 == bytes.size()) {
            break;
        }
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            folded += static_cast<char>(trail - 0x80);
        } else if (lead == 0xA1 && trail == 0xA1) {
            folded += ' ';
        } else if (lead == 0xA1 && trail == 0xAB) {
            folded += '~';
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            folded += '*';
        } else {
            folded.append(bytes, i, 2);
        }
        i += 2;
    }
    return folded;
}

bool isWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

Text numberToText(int32_t number) { return Text(std::to_string(number)); }

Text toHexText(int32_t number) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%X", static_cast<uint32_t>(number));
    return Text(digits);
}

int32_t textToInt(const Text& text) {
    const std::string folded = halfWidth(text.bytes());
    size_t i = 0;
    while (i < folded.size() && isWhiteSpace(folded[i])) {
        ++i;
    }
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    // Accumulated in 64 bits and wrapped to 32, so that oversized digit runs
    // give a defined value instead of overflowing.
    uint64_t value = 0;
    while (i < folded.size() && folded[i] >= '0' && folded[i] <= '9') {
        value = value * 10 + static_cast<uint64_t>(folded[i] - '0');
        value &= 0xFFFFFFFFu;
        ++i;
    }
    const auto magnitude = static_cast<uint32_t>(value);
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

int32_t textToByte(int32_t number) { return number & 0xFF; }

}  // namespace kestrova
