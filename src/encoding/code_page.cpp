#include "encoding/code_page.h"

#include <string>

#include "foundation/bytes.h"
#include "platform/code_pages.h"

namespace kestrova {

namespace {

// UTF-16 travels in Bytes as little-endian units, whatever the host's order.
Bytes unitsToBytes(const std::u16string& units) {
    std::vector<unsigned char> bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return Bytes(std::move(bytes));
}

// A lone odd byte at the end is no unit and is left out. The string always
// carries a zero unit after its content, so a NUL-terminated read of data
// that lacks one stops at the end instead of running past it.
std::u16string bytesToUnits(const Bytes& wide) {
    std::u16string units;
    const auto& bytes = wide.data();
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return units;
}

}  // namespace

// Both measures are taken in the code page of the conversion itself: on a
// system whose ANSI code page is not the target's, a measure in the ANSI page
// can come out too small and the conversion would then be refused.
Bytes textToWide(const Text& text, uint32_t codePage) {
    platform::CodePages& pages = platform::codePages();
    const int32_t units = pages.multiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    std::u16string destination(static_cast<size_t>(units), u'\0');
    pages.multiByteToWideChar(codePage, 0, text.c_str(), -1, destination.data(), units);
    return unitsToBytes(destination);
}

Text wideToText(const Bytes& wide, uint32_t codePage) {
    platform::CodePages& pages = platform::codePages();
    const std::u16string units = bytesToUnits(wide);
    const int32_t size = pages.wideCharToMultiByte(codePage, 0, units.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string destination = blankText(size).bytes();
    pages.wideCharToMultiByte(codePage, 0, units.c_str(), -1, destination.data(), size, nullptr, nullptr);
    return Text(destination.c_str());
}

Text convertCodePage(const Text& text, uint32_t fromPage, uint32_t toPage) {
    return wideToText(textToWide(text, fromPage), toPage);
}

Text ansiToUtf8(const Text& text) { return wideToText(textToWide(text, platform::CP_GBK), platform::CP_UTF8); }

Text utf8ToAnsi(const Bytes& data) {
    if (data.empty()) {
        return Text();
    }
    platform::CodePages& pages = platform::codePages();
    const auto* source = reinterpret_cast<const char*>(data.data().data());
    const int32_t length = bytesLength(data);
    // An explicit length involves no terminator; one zero unit is added after
    // the converted units so that the second conversion writes a NUL as well.
    const int32_t units = pages.multiByteToWideChar(platform::CP_UTF8, 0, source, length, nullptr, 0);
    std::u16string wide(static_cast<size_t>(units) + 1, u'\0');
    pages.multiByteToWideChar(platform::CP_UTF8, 0, source, length, wide.data(), units + 1);
    const auto unitCount = static_cast<int32_t>(wide.size());
    const int32_t size =
        pages.wideCharToMultiByte(platform::CP_GBK, 0, wide.data(), unitCount, nullptr, 0, nullptr, nullptr);
    std::string destination = blankText(size).bytes();
    pages.wideCharToMultiByte(platform::CP_GBK, 0, wide.data(), unitCount, destination.data(), size, nullptr,
                              nullptr);
    return Text(destination.c_str());
}

}  // namespace kestrova
