#include "platform/posix/gbk.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <memory>

namespace kestrova::posix {

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

struct Substitution {
    std::string_view bytes;
    bool used = false;
};

// ICU's stock from-Unicode substitution skips default-ignorable characters
// (U+FEFF, U+200B); code page 936 conversion must give the substitute for
// every character it cannot write, so this callback always writes one.
void writeSubstitute(const void* context, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
                     UConverterCallbackReason reason, UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) {
        return;
    }
    // ICU hands the context back as const; it is the caller's own Substitution.
    auto* substitution = static_cast<Substitution*>(const_cast<void*>(context));
    substitution->used = true;
    *status = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, substitution->bytes.data(), static_cast<int32_t>(substitution->bytes.size()), 0,
                           status);
}

Converter openGbk() {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-936-2000", &status));
    if (U_FAILURE(status)) {
        return nullptr;
    }
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
    bool substituted = false;
    return utf16ToGbk(utf16, "?", substituted);
}

std::string utf16ToGbk(std::u16string_view utf16, std::string_view substitute, bool& substituted) {
    substituted = false;
    Converter converter = openGbk();
    if (!converter || utf16.empty()) {
        return {};
    }
    Substitution substitution{substitute};
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), writeSubstitute, &substitution, nullptr, nullptr, &status);
    if (U_FAILURE(status)) {
        return {};
    }
    // Every unit gives at most two bytes, or the substitute for it.
    std::string out(utf16.size() * std::max<size_t>(2, substitute.size()) + 1, '\0');
    const int32_t bytes = ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()),
                                          utf16.data(), static_cast<int32_t>(utf16.size()), &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<size_t>(bytes));
    substituted = substitution.used;
    return out;
}

std::string gbkToUtf8(std::string_view gbk) { return utf16ToUtf8(gbkToUtf16(gbk)); }

std::string utf8ToGbk(std::string_view utf8) { return utf16ToGbk(utf8ToUtf16(utf8)); }

std::u16string utf8ToUtf16(std::string_view utf8) {
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
    return U_FAILURE(status) ? std::u16string() : utf16;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strToUTF8WithSub(nullptr, 0, &needed, utf16.data(), static_cast<int32_t>(utf16.size()), 0xFFFD, nullptr,
                       &status);
    std::string utf8(static_cast<size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(utf8.data(), needed, &needed, utf16.data(), static_cast<int32_t>(utf16.size()), 0xFFFD,
                       nullptr, &status);
    return U_FAILURE(status) ? std::string() : utf8;
}

}  // namespace kestrova::posix
