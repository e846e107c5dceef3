#pragma once
// The code-page seam on Linux, over ICU. The ANSI code page (0) is 936.

#include "platform/code_pages.h"

namespace kestrova::posix {

class PosixCodePages final : public platform::CodePages {
public:
    int32_t multiByteToWideChar(uint32_t codePage, uint32_t flags, const char* source, int32_t sourceLength,
                                char16_t* destination, int32_t destinationSize) override;
    int32_t wideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* source, int32_t sourceLength,
                                char* destination, int32_t destinationSize, const char* defaultChar,
                                int32_t* usedDefault) override;
};

}  // namespace kestrova::posix
