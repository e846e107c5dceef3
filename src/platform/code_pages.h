#pragma once
// The code-page seam, shaped like the two Windows conversion functions.

#include <cstdint>

#include "platform/seam.h"

namespace kestrova::platform {

inline constexpr uint32_t CP_ACP = 0;
inline constexpr uint32_t CP_GBK = 936;
inline constexpr uint32_t CP_UTF8 = 65001;

class CodePages {
public:
    static constexpr const char* seamName = "code pages";
    virtual ~CodePages() = default;

    // A `sourceLength` of -1 reads up to and including the source's NUL. With a
    // `destinationSize` of 0 nothing is written and the units needed are
    // answered; otherwise the units written (0 when they do not fit).
    virtual int32_t multiByteToWideChar(uint32_t codePage, uint32_t flags, const char* source, int32_t sourceLength,
                                        char16_t* destination, int32_t destinationSize) = 0;
    // The same two modes from UTF-16; characters the code page lacks become
    // its default character ("?" for 936). `defaultChar` and `usedDefault`
    // may be null.
    virtual int32_t wideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* source,
                                        int32_t sourceLength, char* destination, int32_t destinationSize,
                                        const char* defaultChar, int32_t* usedDefault) = 0;
};

inline CodePages& codePages() { return Installed<CodePages>::get(); }

}  // namespace kestrova::platform
