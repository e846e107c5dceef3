#include "platform/posix/gbk.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <memory>

namespace kestrova::posix {

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's stock from-Unicode substitution skips default-ignorable characters
// (U+FEFF, U+200B); code page 936 conversion must give "?" for every
// character it cannot write, so this callback always writes one.
void substituteQuestionMark(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
                            UConverterCallbackReason reason, UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) {
        return;
    }
    *status = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, "?", 1, 0, status);
}

Converter openGbk() {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status)) {
        return nullptr;
    }
    ucnv_setFromUCallBack(converter.get(), substituteQuestionMark, nullptr, nullptr, nullptr, &status);
    return converter;
}

}  // namespace

std::u16string gbkToUtf16(std::string_view gbk) {
    Converter converter = openGbk();
    if (!converter || gbk.empty()) {
        return {};
    }
    std::u16string out(gbk.size() + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t units = ucnv_toUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()), gbk.data(),
                                        static_cast<int32_t>(gbk.size()), &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<size_t>(units));
    return out;
}

std::string utf16ToGbk(std::u16string_view utf16) {
    Converter converter = openGbk();
    if (!converter || utf16.empty()) {
        return {};
    }
    std::string out(utf16.size() * 2 + 1, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t bytes = ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()),
                                          utf16.data(), static_cast<int32_t>(utf16.size()), &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<size_t>(bytes));
    return out;
}

std::string gbkToUtf8(std::string_view gbk) {
    const std::u16string utf16 = gbkToUtf16(gbk);
    if (utf16.empty()) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strToUTF8WithSub(nullptr, 0, &needed, utf16.data(), static_cast<int32_t>(utf16.size()), 0xFFFD, nullptr,
                       &status);
    std::string out(static_cast<size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), needed, &needed, utf16.data(), static_cast<int32_t>(utf16.size()), 0xFFFD,
                       nullptr, &status);
    return U_FAILURE(status) ? std::string() : out;
}

std::string utf8ToGbk(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strFromUTF8WithSub(nullptr, 0, &needed, utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr,
                         &status);
    std::u16string utf16(static_cast<size_t>(needed), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(utf16.data(), needed, &needed, utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD,
                         nullptr, &status);
    return U_FAILURE(status) ? std::string() : utf16ToGbk(utf16);
}

}  // namespace kestrova::posix
