#pragma once
// One HTTP or HTTPS request over the Internet-session seam (WinInet).

#include <cstdint>
#include <optional>

#include "foundation/text.h"

namespace kestrova {

// The parameters of one fetch (every field has an initializer, so a
// designated initializer may name only what it sets). Fields marked in/out are rewritten by the call
// as the routine's reference parameters are; absence that differs from the
// zero value is kept distinct (`cookie`) or defaults to it (the three flags).
struct WinInetRequest {
    Text url{};
    int32_t method = 0;
    Text bodyText{};
    std::optional<Text> cookie{};  // in/out; given, even empty, switches WinInet's cookies off
    Text receivedCookies{};        // out
    Text requestHeaders{};         // in/out: the block as sent
    Text responseHeaders{};        // out: raw, status line first
    bool noRedirect = false;
    Bytes bodyBytes{};  // in/out
    Text proxy{};
    bool mergeReceivedCookies = true;
    bool completeHeaders = true;
    bool normalizeHeaders = true;
};

Bytes fetchViaWinInet(WinInetRequest& request);

}  // namespace kestrova
