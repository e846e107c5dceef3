#include "platform/posix/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "platform/posix/ascii_case.h"
#include "platform/posix/curl_global.h"

namespace kestrova::posix {

namespace {

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool sendable(std::string_view line) {
    return line.find(':') != std::string_view::npos && line.find_first_of("\r\n") == std::string_view::npos;
}

std::string_view headerName(std::string_view line) { return trimmed(line.substr(0, line.find(':'))); }

std::string_view headerValue(std::string_view line) { return trimmed(line.substr(line.find(':') + 1)); }

bool hasNonEmptyHeader(const std::vector<std::string>& lines, std::string_view name) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return sendable(line) && equalsIgnoringAsciiCase(headerName(line), name) && !headerValue(line).empty();
    });
}

// libcurl reads "Name:" as "drop this header" and sends "Name;" as an empty
// one; a line given with an empty value is meant to go out empty.
std::string curlHeaderLine(std::string_view line) {
    if (headerValue(line).empty()) {
        return std::string(line.substr(0, line.find(':'))) + ";";
    }
    return std::string(line);
}

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, SlistFree>;

bool appendHeader(HeaderList& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown == nullptr) {
        return false;
    }
    list.release();
    list.reset(grown);
    return true;
}

// Receives every response of the exchange (interim, redirects, final) and
// keeps the latest, so what is left at the end is the final one.
struct Collector {
    TransferResult& result;
    bool followRedirects;
    bool inHeaderBlock = false;
};

void startResponse(TransferResult& result, std::string_view statusLine) {
    result.statusLine.assign(statusLine);
    result.headerLines.clear();
    result.body.clear();
    result.finalHeaders = false;
    result.status = 0;
    result.statusText.clear();
    // "HTTP/1.1 302 Found": the code after the first blank, the text after the next.
    const size_t codeAt = statusLine.find(' ');
    if (codeAt == std::string_view::npos) {
        return;
    }
    const std::string_view rest = statusLine.substr(codeAt + 1);
    size_t digits = 0;
    while (digits < rest.size() && digits < 3 && rest[digits] >= '0' && rest[digits] <= '9') {
        result.status = result.status * 10 + (rest[digits] - '0');
        ++digits;
    }
    if (digits < rest.size() && rest[digits] == ' ') {
        result.statusText.assign(rest.substr(digits + 1));
    }
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    const size_t length = size * count;
    auto& collector = *static_cast<Collector*>(user);
    TransferResult& result = collector.result;
    std::string_view line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    try {
        if (!collector.inHeaderBlock) {
            // Anything else here is a trailer after a chunked body, which
            // belongs to no header block.
            if (line.starts_with("HTTP/")) {
                startResponse(result, line);
                collector.inHeaderBlock = true;
            }
        } else if (line.empty()) {
            collector.inHeaderBlock = false;
            const bool followed = collector.followRedirects && result.status >= 300 && result.status < 400 &&
                                  hasNonEmptyHeader(result.headerLines, "Location");
            result.finalHeaders = result.status >= 200 && !followed;
        } else {
            result.headerLines.emplace_back(line);
        }
    } catch (const std::bad_alloc&) {
        return 0;  // libcurl ends the transfer with a write error
    }
    return length;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    const size_t length = size * count;
    auto& body = static_cast<Collector*>(user)->result.body;
    try {
        body.insert(body.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return length;
}

// Options are set through this so one failure (an option this libcurl lacks)
// stops the transfer instead of sending something other than asked.
template <class Value>
bool set(CURL* easy, CURLoption option, Value value) {
    return curl_easy_setopt(easy, option, value) == CURLE_OK;
}

bool setMethodAndBody(CURL* easy, const TransferRequest& request) {
    const std::string& method = request.method;
    if (method == "HEAD") {
        // A HEAD answer has no body whatever its Content-Length says; only
        // libcurl's own HEAD knows that.
        return set(easy, CURLOPT_NOBODY, 1L);
    }
    if (request.body) {
        static const char empty[] = "";
        const auto& body = *request.body;
        return set(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size())) &&
               set(easy, CURLOPT_POSTFIELDS, body.empty() ? empty : reinterpret_cast<const char*>(body.data())) &&
               (method == "POST" || set(easy, CURLOPT_CUSTOMREQUEST, method.c_str()));
    }
    if (method == "GET") {
        return set(easy, CURLOPT_HTTPGET, 1L);
    }
    if (method == "POST") {
        return set(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(0)) &&
               set(easy, CURLOPT_POSTFIELDS, "");
    }
    return set(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
}

bool setHeaders(CURL* easy, const TransferRequest& request, HeaderList& list) {
    const auto& lines = request.headerLines;
    for (const std::string& line : lines) {
        if (sendable(line) && !appendHeader(list, curlHeaderLine(line))) {
            return false;
        }
    }
    // Drop what libcurl would add on its own but the caller did not ask for.
    const bool sendsBody = request.body.has_value() || request.method == "POST";
    if ((!hasHeaderLine(lines, "Accept") && !request.defaultAccept && !appendHeader(list, "Accept:")) ||
        (!hasHeaderLine(lines, "Expect") && !appendHeader(list, "Expect:")) ||
        (sendsBody && !hasHeaderLine(lines, "Content-Type") && !appendHeader(list, "Content-Type:"))) {
        return false;
    }
    if (!hasHeaderLine(lines, "User-Agent") && !request.defaultUserAgent.empty() &&
        !set(easy, CURLOPT_USERAGENT, request.defaultUserAgent.c_str())) {
        return false;
    }
    return set(easy, CURLOPT_HTTPHEADER, list.get());
}

bool setCredentials(CURL* easy, const TransferRequest& request) {
    if (request.serverCredentials &&
        !(set(easy, CURLOPT_USERNAME, request.serverCredentials->user.c_str()) &&
          set(easy, CURLOPT_PASSWORD, request.serverCredentials->password.c_str()) &&
          set(easy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY)))) {
        return false;
    }
    return !request.proxyCredentials ||
           (set(easy, CURLOPT_PROXYUSERNAME, request.proxyCredentials->user.c_str()) &&
            set(easy, CURLOPT_PROXYPASSWORD, request.proxyCredentials->password.c_str()) &&
            set(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY)));
}

bool setConnection(CURL* easy, const TransferRequest& request) {
    constexpr uint32_t chainKinds = IGNORE_UNKNOWN_CA | IGNORE_WRONG_USAGE | IGNORE_DATE_INVALID;
    const bool verifyChain = (request.ignoredCertificateErrors & chainKinds) != chainKinds;
    const bool verifyHost = (request.ignoredCertificateErrors & IGNORE_CN_INVALID) == 0;
    // An empty proxy and an empty no-proxy list keep libcurl away from the
    // proxy variables of the environment: the system reads none.
    return set(easy, CURLOPT_PROXY, request.proxy.c_str()) && set(easy, CURLOPT_NOPROXY, "") &&
           set(easy, CURLOPT_SSL_VERIFYPEER, verifyChain ? 1L : 0L) &&
           set(easy, CURLOPT_SSL_VERIFYHOST, verifyHost ? 2L : 0L) &&
           set(easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(request.connectTimeoutMs, 1L)) &&
           set(easy, CURLOPT_LOW_SPEED_LIMIT, 1L) &&
           set(easy, CURLOPT_LOW_SPEED_TIME, std::max(request.idleSeconds, 1L));
}

bool setCookieStore(CURL* easy, const TransferRequest& request) {
    if (!request.cookieStore) {
        return true;
    }
    CURLSH* store = sharedCookieStore();
    return store != nullptr && set(easy, CURLOPT_COOKIEFILE, "") && set(easy, CURLOPT_SHARE, store);
}

}  // namespace

std::string withBlanksEscaped(std::string_view url) {
    std::string escaped;
    escaped.reserve(url.size());
    for (const char c : url) {
        escaped += c == ' ' ? std::string_view("%20") : std::string_view(&c, 1);
    }
    return escaped;
}

bool isHttpToken(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > 0x20 && byte < 0x7F && std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
    });
}

bool hasHeaderLine(const std::vector<std::string>& lines, std::string_view name) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return sendable(line) && equalsIgnoringAsciiCase(headerName(line), name);
    });
}

TransferResult performTransfer(const TransferRequest& request) {
    initCurlGlobal();
    TransferResult result;
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), curl_easy_cleanup);
    if (handle == nullptr) {
        return result;
    }
    CURL* easy = handle.get();
    Collector collector{result, request.followRedirects};
    HeaderList headers;
    const std::string url = withBlanksEscaped(request.url);
    const bool configured =
        set(easy, CURLOPT_URL, url.c_str()) && set(easy, CURLOPT_NOSIGNAL, 1L) &&
        set(easy, CURLOPT_PROTOCOLS_STR, "http,https") && set(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") &&
        set(easy, CURLOPT_HTTP_VERSION,
            static_cast<long>(request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1)) &&
        set(easy, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L) &&
        set(easy, CURLOPT_MAXREDIRS, 10L) &&
        // The object name goes out as given, "/../" and all.
        set(easy, CURLOPT_PATH_AS_IS, 1L) && set(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) &&
        set(easy, CURLOPT_HEADERFUNCTION, onHeader) && set(easy, CURLOPT_HEADERDATA, &collector) &&
        set(easy, CURLOPT_WRITEFUNCTION, onBody) && set(easy, CURLOPT_WRITEDATA, &collector) &&
        setMethodAndBody(easy, request) && setHeaders(easy, request, headers) && setCredentials(easy, request) &&
        setConnection(easy, request) && setCookieStore(easy, request);
    if (!configured) {
        return result;
    }
    const CURLcode code = curl_easy_perform(easy);
    // libcurl may decline a redirect the header block seemed to announce;
    // then the block it ended with is the final one.
    if (code == CURLE_OK && !collector.inHeaderBlock && result.status >= 200) {
        result.finalHeaders = true;
    }
    result.complete = code == CURLE_OK && result.finalHeaders;
    if (!result.finalHeaders) {
        result = TransferResult();
    }
    return result;
}

}  // namespace kestrova::posix
