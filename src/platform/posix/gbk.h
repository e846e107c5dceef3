#pragma once
// Conversions between code page 936, UTF-8 and UTF-16 for the Linux adapters,
// over ICU. Code page 936 goes through ICU's "windows-936-2000" converter;
// characters it lacks become "?". Malformed UTF-8 and unpaired surrogates
// become U+FFFD.

#include <string>
#include <string_view>

namespace kestrova::posix {

std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);
// As above, writing `substitute` for every character code page 936 lacks;
// `substituted` tells whether that happened.
std::string utf16ToGbk(std::u16string_view utf16, std::string_view substitute, bool& substituted);
std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace kestrova::posix
