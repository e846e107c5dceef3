#include "platform/posix/code_pages_posix.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/gbk.h"

namespace kestrova::posix {

namespace {

bool isGbk(uint32_t codePage) { return codePage == platform::CP_ACP || codePage == platform::CP_GBK; }

// The source as the two calls read it: -1 runs through the terminating NUL,
// which is converted too. An empty or malformed source is refused, as Windows
// refuses it.
template <class Unit>
std::optional<std::basic_string_view<Unit>> sourceOf(const Unit* source, int32_t length) {
    if (source == nullptr || length == 0 || length < -1) {
        return std::nullopt;
    }
    if (length == -1) {
        return std::basic_string_view<Unit>(source, std::char_traits<Unit>::length(source) + 1);
    }
    return std::basic_string_view<Unit>(source, static_cast<size_t>(length));
}

// Measuring mode (size 0) answers the units needed; converting mode writes
// them and answers their number, or writes nothing and answers 0 when they do
// not fit.
template <class Unit>
int32_t deliver(const std::basic_string<Unit>& converted, Unit* destination, int32_t destinationSize) {
    if (converted.empty() || converted.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        return 0;
    }
    const auto needed = static_cast<int32_t>(converted.size());
    if (destinationSize == 0) {
        return needed;
    }
    if (destination == nullptr || destinationSize < needed) {
        return 0;
    }
    std::copy(converted.begin(), converted.end(), destination);
    return needed;
}

// The character `defaultChar` points at: one byte, or two for a lead byte with
// its partner.
std::string_view defaultCharacter(const char* defaultChar) {
    if (defaultChar == nullptr) {
        return "?";
    }
    const bool doubleByte = static_cast<unsigned char>(defaultChar[0]) >= 0x81 && defaultChar[1] != '\0';
    return std::string_view(defaultChar, doubleByte ? 2 : 1);
}

}  // namespace

// No conversion flag is supported; the system passes 0 throughout, and any
// other value is refused rather than silently ignored.
int32_t PosixCodePages::multiByteToWideChar(uint32_t codePage, uint32_t flags, const char* source,
                                            int32_t sourceLength, char16_t* destination, int32_t destinationSize) {
    const auto bytes = sourceOf(source, sourceLength);
    if (flags != 0 || destinationSize < 0 || !bytes) {
        return 0;
    }
    if (isGbk(codePage)) {
        return deliver(gbkToUtf16(*bytes), destination, destinationSize);
    }
    if (codePage == platform::CP_UTF8) {
        return deliver(utf8ToUtf16(*bytes), destination, destinationSize);
    }
    return 0;
}

int32_t PosixCodePages::wideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* source,
                                            int32_t sourceLength, char* destination, int32_t destinationSize,
                                            const char* defaultChar, int32_t* usedDefault) {
    const auto units = sourceOf(source, sourceLength);
    if (flags != 0 || destinationSize < 0 || !units) {
        return 0;
    }
    if (isGbk(codePage)) {
        bool substituted = false;
        const std::string bytes = utf16ToGbk(*units, defaultCharacter(defaultChar), substituted);
        if (usedDefault != nullptr) {
            *usedDefault = substituted ? 1 : 0;
        }
        return deliver(bytes, destination, destinationSize);
    }
    // UTF-8 can write every character, so a default character makes no sense
    // there; Windows refuses the call in that case too.
    if (codePage == platform::CP_UTF8 && defaultChar == nullptr && usedDefault == nullptr) {
        return deliver(utf16ToUtf8(*units), destination, destinationSize);
    }
    return 0;
}

}  // namespace kestrova::posix
