#pragma once
// One HTTP exchange over a libcurl easy handle, shared by the two adapters. It
// sends exactly the header lines it is given, follows redirects on request and
// keeps the final response: status line, header lines and body, as received.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::posix {

// Certificate errors a caller may ask to ignore; WinInet's security flags and
// WinHttp's option 4 use the same bits for these four kinds.
inline constexpr uint32_t IGNORE_UNKNOWN_CA = 0x0100;
inline constexpr uint32_t IGNORE_WRONG_USAGE = 0x0200;
inline constexpr uint32_t IGNORE_CN_INVALID = 0x1000;
inline constexpr uint32_t IGNORE_DATE_INVALID = 0x2000;

struct Credentials {
    std::string user;
    std::string password;
};

struct TransferRequest {
    std::string url;
    std::string method = "GET";
    bool http10 = false;
    // "Name: value" lines, sent in this order as they are; a line without a
    // colon is dropped and a line with an empty value is sent empty.
    std::vector<std::string> headerLines;
    // Sent when `headerLines` has no User-Agent; empty: no User-Agent.
    std::string defaultUserAgent;
    // When `headerLines` has no Accept: true sends "Accept: */*", false none.
    bool defaultAccept = false;
    // Request body, NULs allowed; absent: no body.
    std::optional<std::vector<unsigned char>> body;
    bool followRedirects = true;
    // Use the process-wide cookie store (send stored cookies, keep received ones).
    bool cookieStore = false;
    // As proxyForRequest answers it; empty: a direct connection.
    std::string proxy;
    std::optional<Credentials> serverCredentials;
    std::optional<Credentials> proxyCredentials;
    // IGNORE_* bits. libcurl checks the chain (authority, usage, dates) as one,
    // so the chain goes unchecked only when all three of its kinds are
    // ignored; naming fewer keeps the full check (stricter, never looser).
    uint32_t ignoredCertificateErrors = 0;
    long connectTimeoutMs = 60000;
    // The transfer ends when it moves no byte for this long.
    long idleSeconds = 60;
};

struct TransferResult {
    // The whole exchange completed.
    bool complete = false;
    // The final response's header block arrived in full; the body may still
    // have broken off after it (then `complete` is false).
    bool finalHeaders = false;
    std::string statusLine;
    int status = 0;
    std::string statusText;
    // The final response's header lines after the status line, as received,
    // without their line ends.
    std::vector<std::string> headerLines;
    std::vector<unsigned char> body;
};

TransferResult performTransfer(const TransferRequest& request);

// `url` with every blank written "%20": the Windows components send a blank in
// an address escaped, where libcurl would refuse the address.
std::string withBlanksEscaped(std::string_view url);

// True for an HTTP token (a method or a header name): printable ASCII
// without blanks and separators.
bool isHttpToken(std::string_view text);

// True when `lines` holds a header line named `name` (ASCII case folded) that
// performTransfer would send.
bool hasHeaderLine(const std::vector<std::string>& lines, std::string_view name);

}  // namespace kestrova::posix
