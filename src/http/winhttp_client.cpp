#include "http/winhttp_client.h"

#include <optional>
#include <vector>

#include "encoding/base64.h"
#include "foundation/bytes.h"
#include "http/cookies.h"
#include "http/headers.h"
#include "http/methods.h"
#include "http/received_cookies.h"

namespace kestrova {

namespace {

constexpr int32_t defaultTimeoutMs = 15000;
// The component's setting for a named proxy server.
constexpr int32_t namedProxy = 2;
constexpr int32_t optionEnableRedirects = 6;
constexpr int32_t optionSslErrorIgnoreFlags = 4;
// Unknown authority, wrong usage, invalid common name, invalid date.
constexpr int32_t ignoredCertificateErrors = 0x3300;

// Seconds as the component's milliseconds; 0 or less means the default, and a
// time-out too long for 32 bits is held at the longest one.
int32_t timeoutMs(int32_t seconds) {
    if (seconds < 1) {
        return defaultTimeoutMs;
    }
    const int64_t ms = int64_t{seconds} * 1000;
    return ms > INT32_MAX ? INT32_MAX : static_cast<int32_t>(ms);
}

void completeHeaders(WinHttpRequest& request, int32_t method) {
    const auto addMissing = [&](const Text& key, const Text& line) {
        if (findText(request.requestHeaders, key, 1, true) < 1) {
            request.requestHeaders += line;
        }
    };
    addMissing("Accept:", "\r\nAccept: */*");
    addMissing("Referer:", concatText("\r\nReferer: ", request.url));
    addMissing("Accept-Language:", "\r\nAccept-Language: zh-cn");
    addMissing("User-Agent:", "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
    if (method == 1) {
        addMissing("Content-Type:", "\r\nContent-Type: application/x-www-form-urlencoded");
    }
}

void setRequestHeader(const AutomationObject& object, const Text& name, const Text& value) {
    callMember(object, "SetRequestHeader", {name, value});
}

void setHeaderLines(const AutomationObject& object, const Text& block) {
    if (findText(block, "\r\n") < 1) {
        setRequestHeader(object, headerLineName(block), headerLineValue(block));
        return;
    }
    for (const Text& line : splitText(block, "\r\n")) {
        if (line.empty()) {
            continue;
        }
        const Text name = headerLineName(line);
        const Text value = headerLineValue(line);
        if (name == Text("Connection") && value == Text("keep-alive")) {
            continue;
        }
        setRequestHeader(object, name, value);
    }
}

}  // namespace

Bytes fetchViaWinHttp(WinHttpRequest& request) {
    coInitialize();
    const int32_t method = clampMethod(request.method);

    AutomationObject object;
    if (request.requestObject) {
        object = *request.requestObject;
    } else if (!createObject(object, "WinHttp.WinHttpRequest.5.1")) {
        coUninitialize();
        return Bytes();
    }

    if (request.timeoutSeconds != -1) {
        const int32_t ms = timeoutMs(request.timeoutSeconds);
        callMember(object, "SetTimeouts", {ms, ms, ms, ms});
    }
    if (!request.proxy.empty()) {
        callMember(object, "SetProxy", {namedProxy, request.proxy});
    }
    callMember(object, "Open", {Text(methodVerb(method)), request.url, false});
    if (request.noRedirect) {
        writeMember(object, "Option", {optionEnableRedirects}, int32_t{0});
    }
    writeMember(object, "Option", {optionSslErrorIgnoreFlags}, ignoredCertificateErrors);

    if (request.completeHeaders) {
        completeHeaders(request, method);
    }
    if (request.normalizeHeaders) {
        request.requestHeaders = normalizeHeaderBlock(request.requestHeaders);
    }
    if (!request.proxy.empty() && !request.proxyUser.empty()) {
        callMember(object, "SetCredentials", {request.proxyUser, request.proxyPassword, request.credentialTarget});
        if (request.credentialTarget == 1) {
            const Bytes credentials = textToBytes(concatText(request.proxyUser, ":", request.proxyPassword));
            setRequestHeader(object, "Proxy-Authorization", concatText("Basic ", base64Encode(credentials)));
        }
    }
    if (request.cookie) {
        Text& cookie = *request.cookie;
        if (!cookie.empty() && findText(cookie, "Cookie:", 1, true) > 0) {
            cookie = replaceText(cookie, "Cookie:", "", 1, std::nullopt, true);
        }
        setRequestHeader(object, "Cookie", cookie);
    }
    setHeaderLines(object, request.requestHeaders);

    if (!request.bodyBytes.empty()) {
        callMember(object, "Send", {request.bodyBytes});
    } else {
        callMember(object, "Send", {request.bodyText});
    }

    Bytes body = variantToBytes(readMember(object, "ResponseBody"));
    request.responseHeaders = variantToText(readMember(object, "GetAllResponseHeaders"));
    request.statusCode = variantToInteger(readMember(object, "Status"));
    readMember(object, "StatusText");

    request.receivedCookies = collectReceivedCookies(request.responseHeaders);
    if (request.mergeReceivedCookies && request.cookie) {
        request.receivedCookies = mergeCookies(*request.cookie, request.receivedCookies);
    }

    object.clear();
    coUninitialize();
    return body;
}

}  // namespace kestrova
