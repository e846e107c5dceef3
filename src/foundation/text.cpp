#include "foundation/text.h"

#include <cstring>

namespace kestrova {

namespace {

bool isLeadByte(unsigned char byte) { return byte >= 0x80; }

unsigned char foldAscii(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') ? byte + 0x20 : byte; }

// Compares `sought` with the bytes of `text` from 1-based `position`; the
// caller guarantees that they fit.
bool matchesAt(const Text& text, int32_t position, const Text& sought, bool ignoreCase) {
    const std::string& haystack = text.bytes();
    const std::string& needle = sought.bytes();
    const size_t offset = static_cast<size_t>(position - 1);
    if (!ignoreCase) {
        return haystack.compare(offset, needle.size(), needle) == 0;
    }
    for (size_t i = 0; i < needle.size(); ++i) {
        if (foldAscii(static_cast<unsigned char>(haystack[offset + i])) !=
            foldAscii(static_cast<unsigned char>(needle[i]))) {
            return false;
        }
    }
    return true;
}

bool isBlankAt(const std::string& bytes, size_t offset, size_t& width) {
    if (bytes[offset] == ' ') {
        width = 1;
        return true;
    }
    if (static_cast<unsigned char>(bytes[offset]) == 0xA1 && offset + 1 < bytes.size() &&
        static_cast<unsigned char>(bytes[offset + 1]) == 0xA1) {
        width = 2;
        return true;
    }
    return false;
}

Text changeCase(const Text& text, char from, char to) {
    std::string bytes = text.bytes();
    size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (isLeadByte(byte)) {
            i += 2;
            continue;
        }
        if (bytes[i] >= from && bytes[i] <= to) {
            bytes[i] = static_cast<char>(bytes[i] ^ 0x20);
        }
        ++i;
    }
    return Text(bytes);
}

}  // namespace

Text::Text(const char* zeroTerminated) : bytes_(zeroTerminated == nullptr ? "" : zeroTerminated) {}

Text::Text(std::string_view bytes) : bytes_(bytes.substr(0, bytes.find('\0'))) {}

int32_t textLength(const Text& text) { return text.length(); }

int32_t findText(const Text& text, const Text& sought, int32_t start, bool ignoreCase) {
    const int32_t length = text.length();
    const int32_t soughtLength = sought.length();
    const int32_t first = start < 1 ? 1 : start;
    if (first > length) {
        return -1;
    }
    if (soughtLength == 0) {
        return 1;
    }
    int32_t position = first;
    while (position + soughtLength - 1 <= length) {
        if (matchesAt(text, position, sought, ignoreCase)) {
            return position;
        }
        if (isLeadByte(text.byteAt(position))) {
            if (position == length) {
                return -1;
            }
            position += 2;
        } else {
            position += 1;
        }
    }
    return -1;
}

int32_t findTextReverse(const Text& text, const Text& sought, std::optional<int32_t> start, bool ignoreCase) {
    const int32_t length = text.length();
    const int32_t soughtLength = sought.length();
    int32_t region = length;
    if (start.has_value()) {
        region = *start <= 1 ? 0 : (*start - 1 > length ? length : *start - 1);
    }
    if (soughtLength == 0) {
        return region > 0 ? 1 : -1;
    }
    int32_t found = -1;
    int32_t position = 1;
    while (position - 1 + soughtLength <= region) {
        if (matchesAt(text, position, sought, ignoreCase)) {
            found = position;
        }
        if (isLeadByte(text.byteAt(position))) {
            if (position == length) {
                break;
            }
            position += 2;
        } else {
            position += 1;
        }
    }
    return found;
}

Text leftText(const Text& text, int32_t count) {
    if (count <= 0) {
        return Text();
    }
    return Text(std::string_view(text.bytes()).substr(0, static_cast<size_t>(count)));
}

Text rightText(const Text& text, int32_t count) {
    if (count <= 0) {
        return Text();
    }
    const int32_t length = text.length();
    if (count >= length) {
        return text;
    }
    return Text(std::string_view(text.bytes()).substr(static_cast<size_t>(length - count)));
}

Text midText(const Text& text, int32_t start, int32_t count) {
    if (start < 1 || start > text.length() || count <= 0) {
        return Text();
    }
    return Text(std::string_view(text.bytes()).substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
}

Text replaceText(const Text& text, const Text& sought, const Text& replacement, int32_t start,
                 std::optional<int32_t> count, bool ignoreCase) {
    const int32_t length = text.length();
    const int32_t soughtLength = sought.length();
    // Compared before subtracting, so that the lowest start cannot overflow.
    const int32_t before = start < 1 ? 0 : start - 1;
    const bool limited = count.has_value() && *count >= 0;
    int32_t remaining = limited ? *count : 0;
    if (length == 0 || soughtLength == 0 || before >= length || (limited && remaining == 0)) {
        return text;
    }
    const std::string& bytes = text.bytes();
    std::string result = bytes.substr(0, static_cast<size_t>(before));
    int32_t position = before + 1;
    while (position + soughtLength - 1 <= length) {
        if (matchesAt(text, position, sought, ignoreCase)) {
            result += replacement.bytes();
            position += soughtLength;
            if (limited && --remaining == 0) {
                break;
            }
        } else if (isLeadByte(text.byteAt(position))) {
            if (position == length) {
                return Text(result);
            }
            result.append(bytes, static_cast<size_t>(position - 1), 2);
            position += 2;
        } else {
            result += bytes[static_cast<size_t>(position - 1)];
            position += 1;
        }
    }
    if (position <= length) {
        result.append(bytes, static_cast<size_t>(position - 1), std::string::npos);
    }
    return Text(result);
}

TextArray splitText(const Text& text, const Text& delimiter, std::optional<int32_t> maxCount) {
    TextArray pieces;
    const int32_t length = text.length();
    const int32_t delimiterLength = delimiter.length();
    const bool limited = maxCount.has_value();
    int32_t remaining = limited ? (*maxCount < 0 ? 0 : *maxCount) : 0;
    if (length == 0 || (limited && remaining == 0)) {
        return pieces;
    }
    if (delimiterLength == 0) {
        pieces.append(text);
        return pieces;
    }
    const std::string& bytes = text.bytes();
    int32_t pieceStart = 1;
    int32_t position = 1;
    while (position + delimiterLength - 1 <= length) {
        if (matchesAt(text, position, delimiter, false)) {
            pieces.append(Text(std::string_view(bytes).substr(static_cast<size_t>(pieceStart - 1),
                                                              static_cast<size_t>(position - pieceStart))));
            position += delimiterLength;
            pieceStart = position;
            if (limited && --remaining == 0) {
                return pieces;
            }
        } else if (isLeadByte(text.byteAt(position))) {
            if (position == length) {
                break;
            }
            position += 2;
        } else {
            position += 1;
        }
    }
    if (pieceStart <= length) {
        pieces.append(Text(std::string_view(bytes).substr(static_cast<size_t>(pieceStart - 1))));
    }
    return pieces;
}

Text trimText(const Text& text) {
    const std::string& bytes = text.bytes();
    size_t begin = 0;
    size_t width = 0;
    while (begin < bytes.size() && isBlankAt(bytes, begin, width)) {
        begin += width;
    }
    // The result ends where the final run of blanks begins, or before a lone
    // lead byte that ends the text.
    size_t end = bytes.size();
    size_t runStart = std::string::npos;
    size_t i = begin;
    while (i < bytes.size()) {
        if (isBlankAt(bytes, i, width)) {
            if (runStart == std::string::npos) {
                runStart = i;
            }
            i += width;
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (isLeadByte(byte) && i + 1 == bytes.size()) {
            return Text(std::string_view(bytes).substr(begin, i - begin));
        }
        runStart = std::string::npos;
        i += isLeadByte(byte) ? 2 : 1;
    }
    if (runStart != std::string::npos) {
        end = runStart;
    }
    return Text(std::string_view(bytes).substr(begin, end - begin));
}

Text toUpperText(const Text& text) { return changeCase(text, 'a', 'z'); }

Text toLowerText(const Text& text) { return changeCase(text, 'A', 'Z'); }

int32_t charCode(const Text& text, int32_t position) {
    if (position < 1 || position > text.length()) {
        return 0;
    }
    return static_cast<int32_t>(static_cast<signed char>(text.byteAt(position)));
}

Text charFromCode(int32_t code) {
    const char byte = static_cast<char>(code & 0xFF);
    return Text(std::string_view(&byte, 1));
}

Text blankText(int32_t count) {
    if (count < 1) {
        return Text();
    }
    return Text(std::string(static_cast<size_t>(count), ' '));
}

int32_t arraySize(const TextArray& array) { return array.size(); }

void arrayAppend(TextArray& array, const Text& text) { array.append(text); }

}  // namespace kestrova
