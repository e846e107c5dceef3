#pragma once
// Conversions between code page 936 and Unicode for the Linux adapters, over
// ICU's "windows-936-2000" converter. Characters code page 936 lacks become "?".

#include <string>
#include <string_view>

namespace kestrova::posix {

std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);
std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);

}  // namespace kestrova::posix
