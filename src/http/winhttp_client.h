#pragma once
// One HTTP or HTTPS request over the "WinHttp.WinHttpRequest.5.1" automation class.

#include <cstdint>
#include <optional>

#include "foundation/automation.h"
#include "foundation/text.h"

namespace kestrova {

// The parameters of one fetch; in/out fields are rewritten by the call as the
// routine's reference parameters are.
struct WinHttpRequest {
    Text url{};
    int32_t method = 0;
    Text bodyText{};
    std::optional<Text> cookie{};  // in/out; given, even empty, sends a Cookie header
    Text receivedCookies{};        // out
    Text requestHeaders{};         // in/out
    Text responseHeaders{};        // out
    int32_t statusCode = 0;      // out
    bool noRedirect = false;
    Bytes bodyBytes{};
    Text proxy{};
    int32_t timeoutSeconds = 0;
    Text proxyUser{};
    Text proxyPassword{};
    int32_t credentialTarget = 1;
    std::optional<AutomationObject> requestObject{};  // absent: a new object per call
    bool mergeReceivedCookies = true;
    bool completeHeaders = true;
    bool normalizeHeaders = true;
};

Bytes fetchViaWinHttp(WinHttpRequest& request);

}  // namespace kestrova
