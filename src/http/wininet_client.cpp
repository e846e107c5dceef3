#include "http/wininet_client.h"

#include <algorithm>
#include <array>
#include <string>

#include "foundation/bytes.h"
#include "http/cookies.h"
#include "http/headers.h"
#include "http/markers.h"
#include "http/methods.h"
#include "http/received_cookies.h"
#include "http/url_parts.h"
#include "platform/internet.h"

namespace kestrova {

namespace {

using platform::InternetHandle;

const Text defaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// Certificate problems that do not fail an HTTPS request: revocation, unknown
// authority, wrong usage, invalid name, invalid date, redirects between HTTP
// and HTTPS, weak signature.
constexpr uint32_t ignoredSecurityProblems = 0x0001F380;

constexpr uint32_t pieceSize = 1024;
constexpr uint32_t headerBufferSize = 5000;

// The agent string: the block's User-Agent value, or the default when the
// block has none.
Text agentOf(const Text& requestHeaders) {
    if (findText(requestHeaders, "User-Agent:", 1, true) < 1) {
        return defaultAgent;
    }
    const Text agent = trimText(textBetween(concatText(requestHeaders, "\r\n"), "User-Agent:", "\r\n"));
    return agent.empty() ? headerLineValue(requestHeaders) : agent;
}

void completeHeaders(WinInetRequest& request, int32_t method) {
    if (request.requestHeaders.empty()) {
        request.requestHeaders = "Accept: */*";
    }
    const auto addMissing = [&](const Text& key, const Text& line) {
        if (findText(request.requestHeaders, key, 1, true) < 1) {
            request.requestHeaders += line;
        }
    };
    addMissing("Accept:", "\r\nAccept: */*");
    addMissing("Referer:", concatText("\r\nReferer: ", request.url));
    addMissing("Accept-Language:", "\r\nAccept-Language: zh-cn");
    if (method == 1) {
        addMissing("Content-Type:", "\r\nContent-Type: application/x-www-form-urlencoded");
    }
}

Bytes readBody(platform::Internet& internet, InternetHandle requestHandle) {
    Bytes body;
    std::array<unsigned char, pieceSize> piece{};
    for (;;) {
        uint32_t count = 0;
        internet.internetReadFile(requestHandle, piece.data(), pieceSize, &count);
        if (count == 0) {
            break;
        }
        // Never more than the piece holds, whatever the count claims.
        body.append(piece.data(), std::min<size_t>(count, piece.size()));
    }
    return body;
}

Text readResponseHeaders(platform::Internet& internet, InternetHandle requestHandle) {
    std::string buffer(headerBufferSize, ' ');
    uint32_t size = headerBufferSize;
    if (!internet.httpQueryInfoA(requestHandle, platform::HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &size, nullptr)) {
        return blankText(static_cast<int32_t>(headerBufferSize));
    }
    // The zero-terminated text the call wrote.
    return Text(std::string_view(buffer));
}

}  // namespace

Bytes fetchViaWinInet(WinInetRequest& request) {
    platform::Internet& internet = platform::internet();
    if (request.normalizeHeaders) {
        request.requestHeaders = normalizeHeaderBlock(request.requestHeaders);
    }
    const int32_t method = clampMethod(request.method);
    const bool secure = toLowerText(leftText(request.url, 8)) == Text("https://");
    const Text agent = agentOf(request.requestHeaders);

    InternetHandle internetHandle = nullptr;
    if (request.proxy.empty()) {
        internetHandle =
            internet.internetOpenA(agent.c_str(), platform::INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    } else {
        const Text proxyList = secure ? request.proxy : concatText("http=", request.proxy);
        internetHandle =
            internet.internetOpenA(agent.c_str(), platform::INTERNET_OPEN_TYPE_PROXY, proxyList.c_str(), "", 0);
    }
    if (internetHandle == nullptr) {
        return Bytes();
    }

    // A port no TCP connection can use would otherwise be cut to 16 bits and
    // reach some other port.
    const int32_t port = urlPort(request.url);
    InternetHandle connection = nullptr;
    if (port >= 0 && port <= 0xFFFF) {
        connection =
            internet.internetConnectA(internetHandle, urlHost(request.url).c_str(), static_cast<uint16_t>(port),
                                      nullptr, nullptr, platform::INTERNET_SERVICE_HTTP, 0, 0);
    }
    if (connection == nullptr) {
        internet.internetCloseHandle(internetHandle);
        return Bytes();
    }

    uint32_t flags = platform::INTERNET_FLAG_RELOAD | platform::INTERNET_FLAG_NEED_FILE;
    if (request.cookie) {
        flags |= platform::INTERNET_FLAG_NO_COOKIES;
    }
    if (request.noRedirect) {
        flags |= platform::INTERNET_FLAG_NO_AUTO_REDIRECT;
    }
    flags |= secure ? platform::INTERNET_FLAG_SECURE : platform::INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    const InternetHandle requestHandle = internet.httpOpenRequestA(
        connection, methodVerb(method), urlPath(request.url).c_str(), "HTTP/1.1", nullptr, nullptr, flags, 0);
    if (requestHandle == nullptr) {
        internet.internetCloseHandle(connection);
        internet.internetCloseHandle(internetHandle);
        return Bytes();
    }

    const uint32_t securityFlags = ignoredSecurityProblems;
    internet.internetSetOptionA(requestHandle, platform::INTERNET_OPTION_SECURITY_FLAGS, &securityFlags,
                                sizeof securityFlags);

    if (request.completeHeaders) {
        completeHeaders(request, method);
    }
    if (request.cookie && !request.cookie->empty()) {
        request.requestHeaders += findText(*request.cookie, "Cookie:") > 0
                                      ? concatText("\r\n", *request.cookie)
                                      : concatText("\r\nCookie: ", *request.cookie);
    }

    const Text& headers = request.requestHeaders;
    if (method == 0) {
        internet.httpSendRequestA(requestHandle, headers.c_str(), static_cast<uint32_t>(textLength(headers)), nullptr,
                                  0);
    } else {
        if (request.bodyBytes.empty()) {
            request.bodyBytes = textToBytes(request.bodyText);
        }
        const Bytes& body = request.bodyBytes;
        internet.httpSendRequestA(requestHandle, headers.c_str(), static_cast<uint32_t>(textLength(headers)),
                                  body.empty() ? nullptr : body.data().data(),
                                  static_cast<uint32_t>(bytesLength(body)));
    }

    Bytes body = readBody(internet, requestHandle);
    request.responseHeaders = readResponseHeaders(internet, requestHandle);

    internet.internetCloseHandle(requestHandle);
    internet.internetCloseHandle(connection);
    internet.internetCloseHandle(internetHandle);

    request.receivedCookies = collectReceivedCookies(request.responseHeaders);
    if (request.mergeReceivedCookies && request.cookie) {
        request.receivedCookies = mergeCookies(*request.cookie, request.receivedCookies);
    }
    return body;
}

}  // namespace kestrova
