#include "platform/posix/winhttp_request_curl.h"

#include <curl/curl.h>

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix/ascii_case.h"
#include "platform/posix/curl_global.h"
#include "platform/posix/curl_transfer.h"
#include "platform/posix/proxy_list.h"

namespace kestrova::posix {

namespace {

using Arguments = std::vector<Variant>;

constexpr int64_t OPTION_USER_AGENT = 0;
constexpr int64_t OPTION_SSL_ERROR_IGNORE_FLAGS = 4;
constexpr int64_t OPTION_ENABLE_REDIRECTS = 6;
constexpr int64_t PROXY_SETTING_DEFAULT = 0;
constexpr int64_t PROXY_SETTING_DIRECT = 1;
constexpr int64_t PROXY_SETTING_PROXY = 2;
constexpr int64_t CREDENTIALS_FOR_SERVER = 0;
constexpr int64_t CREDENTIALS_FOR_PROXY = 1;
constexpr int64_t KNOWN_CERTIFICATE_ERRORS = IGNORE_UNKNOWN_CA | IGNORE_WRONG_USAGE | IGNORE_CN_INVALID |
                                             IGNORE_DATE_INVALID;
constexpr long DEFAULT_CONNECT_MS = 60000;
constexpr long DEFAULT_SEND_MS = 30000;
constexpr long DEFAULT_RECEIVE_MS = 30000;

// Argument coercions, as automation coerces a variant to the type a member
// takes; nothing when the variant cannot be one.
std::optional<int64_t> integerOf(const Variant& value) {
    if (const auto* number = std::get_if<int32_t>(&value)) {
        return *number;
    }
    if (const auto* number = std::get_if<double>(&value)) {
        if (!std::isfinite(*number) || std::fabs(*number) > 2147483647.0) {
            return std::nullopt;
        }
        return static_cast<int64_t>(std::nearbyint(*number));
    }
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag ? -1 : 0;
    }
    if (const auto* text = std::get_if<Text>(&value)) {
        int64_t parsed = 0;
        const std::string& digits = text->bytes();
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
        if (error != std::errc() || end != digits.data() + digits.size() || parsed < INT32_MIN ||
            parsed > INT32_MAX) {
            return std::nullopt;
        }
        return parsed;
    }
    return std::nullopt;
}

std::optional<bool> flagOf(const Variant& value) {
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag;
    }
    const auto number = integerOf(value);
    return number ? std::optional<bool>(*number != 0) : std::nullopt;
}

std::optional<std::string> textOf(const Variant& value) {
    if (const auto* text = std::get_if<Text>(&value)) {
        return text->bytes();
    }
    if (const auto* number = std::get_if<int32_t>(&value)) {
        return std::to_string(*number);
    }
    return std::nullopt;
}

// An optional argument left out, or passed as an empty variant.
bool absent(const Arguments& arguments, size_t index) {
    return arguments.size() <= index || std::holds_alternative<std::monostate>(arguments[index]);
}

const std::optional<Variant> done = Variant();
const std::optional<Variant> failed = std::nullopt;

long timeoutOrDefault(int64_t milliseconds, long fallback) {
    return milliseconds > 0 ? static_cast<long>(std::min<int64_t>(milliseconds, LONG_MAX)) : fallback;
}

struct ParsedUrl {
    std::string url;
    std::string host;
    bool secure = false;
};

// The URL as libcurl will send it, when it is an absolute http or https URL.
std::optional<ParsedUrl> parseUrl(const std::string& url) {
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parts(curl_url(), curl_url_cleanup);
    if (parts == nullptr || curl_url_set(parts.get(), CURLUPART_URL, withBlanksEscaped(url).c_str(), 0) != CURLUE_OK) {
        return std::nullopt;
    }
    auto part = [&](CURLUPart which) -> std::optional<std::string> {
        char* value = nullptr;
        if (curl_url_get(parts.get(), which, &value, 0) != CURLUE_OK) {
            return std::nullopt;
        }
        std::string copy(value);
        curl_free(value);
        return copy;
    };
    const auto scheme = part(CURLUPART_SCHEME);
    const auto host = part(CURLUPART_HOST);
    const auto whole = part(CURLUPART_URL);
    if (!scheme || !host || !whole || host->empty() || (*scheme != "http" && *scheme != "https")) {
        return std::nullopt;
    }
    return ParsedUrl{*whole, *host, *scheme == "https"};
}

class WinHttpRequestCurl final : public platform::Dispatch {
public:
    std::optional<Variant> invoke(const Text& member, uint16_t kind, const Arguments& arguments) override;

private:
    using Handler = std::optional<Variant> (WinHttpRequestCurl::*)(uint16_t, const Arguments&);
    struct Member {
        std::string_view name;
        uint16_t kinds;
        Handler handler;
    };
    static const std::array<Member, 11> members;

    enum class State { Closed, Opened, Answered };

    std::optional<Variant> setTimeouts(uint16_t, const Arguments& arguments);
    std::optional<Variant> setProxy(uint16_t, const Arguments& arguments);
    std::optional<Variant> open(uint16_t, const Arguments& arguments);
    std::optional<Variant> option(uint16_t kind, const Arguments& arguments);
    std::optional<Variant> setCredentials(uint16_t, const Arguments& arguments);
    std::optional<Variant> setRequestHeader(uint16_t, const Arguments& arguments);
    std::optional<Variant> send(uint16_t, const Arguments& arguments);
    std::optional<Variant> responseBody(uint16_t, const Arguments& arguments);
    std::optional<Variant> allResponseHeaders(uint16_t, const Arguments& arguments);
    std::optional<Variant> status(uint16_t, const Arguments& arguments);
    std::optional<Variant> statusText(uint16_t, const Arguments& arguments);

    std::mutex mutex_;
    // Kept from one Open to the next.
    long resolveMs_ = 0;
    long connectMs_ = DEFAULT_CONNECT_MS;
    long sendMs_ = DEFAULT_SEND_MS;
    long receiveMs_ = DEFAULT_RECEIVE_MS;
    std::string proxyList_;
    std::string bypassList_;
    std::string userAgent_ = "Mozilla/4.0 (compatible; Win32; WinHttp.WinHttpRequest.5)";
    bool followRedirects_ = true;
    uint32_t ignoredCertificateErrors_ = 0;
    // Made by Open.
    State state_ = State::Closed;
    std::string method_;
    ParsedUrl url_;
    std::vector<std::pair<std::string, std::string>> headers_;
    std::optional<Credentials> serverCredentials_;
    std::optional<Credentials> proxyCredentials_;
    TransferResult response_;
};

using platform::DISPATCH_METHOD;
using platform::DISPATCH_PROPERTYGET;
using platform::DISPATCH_PROPERTYPUT;

const std::array<WinHttpRequestCurl::Member, 11> WinHttpRequestCurl::members = {{
    {"SetTimeouts", DISPATCH_METHOD, &WinHttpRequestCurl::setTimeouts},
    {"SetProxy", DISPATCH_METHOD, &WinHttpRequestCurl::setProxy},
    {"Open", DISPATCH_METHOD, &WinHttpRequestCurl::open},
    {"Option", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, &WinHttpRequestCurl::option},
    {"SetCredentials", DISPATCH_METHOD, &WinHttpRequestCurl::setCredentials},
    {"SetRequestHeader", DISPATCH_METHOD, &WinHttpRequestCurl::setRequestHeader},
    {"Send", DISPATCH_METHOD, &WinHttpRequestCurl::send},
    {"ResponseBody", DISPATCH_PROPERTYGET, &WinHttpRequestCurl::responseBody},
    {"GetAllResponseHeaders", DISPATCH_METHOD, &WinHttpRequestCurl::allResponseHeaders},
    {"Status", DISPATCH_PROPERTYGET, &WinHttpRequestCurl::status},
    {"StatusText", DISPATCH_PROPERTYGET, &WinHttpRequestCurl::statusText},
}};

std::optional<Variant> WinHttpRequestCurl::invoke(const Text& member, uint16_t kind, const Arguments& arguments) {
    for (const Member& candidate : members) {
        if (equalsIgnoringAsciiCase(candidate.name, member.bytes())) {
            if ((candidate.kinds & kind) == 0) {
                return failed;
            }
            const std::lock_guard lock(mutex_);
            return (this->*candidate.handler)(kind, arguments);
        }
    }
    return failed;
}

std::optional<Variant> WinHttpRequestCurl::setTimeouts(uint16_t, const Arguments& arguments) {
    if (arguments.size() != 4) {
        return failed;
    }
    std::array<int64_t, 4> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        const auto value = integerOf(arguments[i]);
        if (!value) {
            return failed;
        }
        values[i] = *value;
    }
    // The component reads 0 or less as "no limit"; a request here must end,
    // so such a value gives the default instead.
    resolveMs_ = timeoutOrDefault(values[0], 0);
    connectMs_ = timeoutOrDefault(values[1], DEFAULT_CONNECT_MS);
    sendMs_ = timeoutOrDefault(values[2], DEFAULT_SEND_MS);
    receiveMs_ = timeoutOrDefault(values[3], DEFAULT_RECEIVE_MS);
    return done;
}

std::optional<Variant> WinHttpRequestCurl::setProxy(uint16_t, const Arguments& arguments) {
    if (arguments.empty() || arguments.size() > 3) {
        return failed;
    }
    const auto setting = integerOf(arguments[0]);
    if (setting == PROXY_SETTING_DEFAULT || setting == PROXY_SETTING_DIRECT) {
        proxyList_.clear();
        bypassList_.clear();
        return done;
    }
    const auto server = absent(arguments, 1) ? std::nullopt : textOf(arguments[1]);
    const auto bypass = absent(arguments, 2) ? std::optional<std::string>("") : textOf(arguments[2]);
    if (setting != PROXY_SETTING_PROXY || !server || server->empty() || !bypass) {
        return failed;
    }
    proxyList_ = *server;
    bypassList_ = *bypass;
    return done;
}

std::optional<Variant> WinHttpRequestCurl::open(uint16_t, const Arguments& arguments) {
    // A failed Open leaves nothing a Send could still go out with.
    state_ = State::Closed;
    if (arguments.size() < 2 || arguments.size() > 3) {
        return failed;
    }
    const auto method = textOf(arguments[0]);
    const auto url = textOf(arguments[1]);
    const auto async = absent(arguments, 2) ? std::optional<bool>(false) : flagOf(arguments[2]);
    // Only synchronous requests: there is no WaitForResponse.
    if (!method || !isHttpToken(*method) || !url || async != false) {
        return failed;
    }
    auto parsed = parseUrl(*url);
    if (!parsed) {
        return failed;
    }
    method_ = *method;
    url_ = std::move(*parsed);
    headers_.clear();
    serverCredentials_.reset();
    proxyCredentials_.reset();
    response_ = TransferResult();
    state_ = State::Opened;
    return done;
}

std::optional<Variant> WinHttpRequestCurl::option(uint16_t kind, const Arguments& arguments) {
    if (arguments.empty()) {
        return failed;
    }
    const auto index = integerOf(arguments[0]);
    if ((kind & DISPATCH_PROPERTYPUT) != 0 && arguments.size() == 2) {
        const Variant& value = arguments[1];
        if (index == OPTION_USER_AGENT) {
            const auto agent = textOf(value);
            if (!agent) {
                return failed;
            }
            userAgent_ = *agent;
            return done;
        }
        if (index == OPTION_SSL_ERROR_IGNORE_FLAGS) {
            const auto flags = integerOf(value);
            if (!flags || *flags < 0 || (*flags & ~KNOWN_CERTIFICATE_ERRORS) != 0) {
                return failed;
            }
            ignoredCertificateErrors_ = static_cast<uint32_t>(*flags);
            return done;
        }
        if (index == OPTION_ENABLE_REDIRECTS) {
            const auto enabled = flagOf(value);
            if (!enabled) {
                return failed;
            }
            followRedirects_ = *enabled;
            return done;
        }
        return failed;
    }
    if ((kind & DISPATCH_PROPERTYGET) != 0 && arguments.size() == 1) {
        if (index == OPTION_USER_AGENT) {
            return Variant(Text(userAgent_));
        }
        if (index == OPTION_SSL_ERROR_IGNORE_FLAGS) {
            return Variant(static_cast<int32_t>(ignoredCertificateErrors_));
        }
        if (index == OPTION_ENABLE_REDIRECTS) {
            return Variant(followRedirects_);
        }
    }
    return failed;
}

std::optional<Variant> WinHttpRequestCurl::setCredentials(uint16_t, const Arguments& arguments) {
    if (state_ != State::Opened || arguments.size() != 3) {
        return failed;
    }
    const auto user = textOf(arguments[0]);
    const auto password = textOf(arguments[1]);
    const auto target = integerOf(arguments[2]);
    if (!user || !password || (target != CREDENTIALS_FOR_SERVER && target != CREDENTIALS_FOR_PROXY)) {
        return failed;
    }
    (target == CREDENTIALS_FOR_PROXY ? proxyCredentials_ : serverCredentials_) = Credentials{*user, *password};
    return done;
}

std::optional<Variant> WinHttpRequestCurl::setRequestHeader(uint16_t, const Arguments& arguments) {
    if (state_ != State::Opened || arguments.size() != 2) {
        return failed;
    }
    const auto name = textOf(arguments[0]);
    const auto value = textOf(arguments[1]);
    // A line break in either would let one header smuggle in others.
    if (!name || !isHttpToken(*name) || !value || value->find_first_of("\r\n") != std::string::npos) {
        return failed;
    }
    for (auto& [existing, existingValue] : headers_) {
        if (equalsIgnoringAsciiCase(existing, *name)) {
            existingValue = *value;
            return done;
        }
    }
    headers_.emplace_back(*name, *value);
    return done;
}

std::optional<Variant> WinHttpRequestCurl::send(uint16_t, const Arguments& arguments) {
    if (state_ != State::Opened || arguments.size() > 1) {
        return failed;
    }
    TransferRequest transfer;
    if (!absent(arguments, 0)) {
        if (const auto* bytes = std::get_if<Bytes>(&arguments[0])) {
            transfer.body = bytes->data();
        } else if (const auto text = textOf(arguments[0])) {
            transfer.body.emplace(text->begin(), text->end());
        } else {
            return failed;
        }
    }
    transfer.url = url_.url;
    transfer.method = method_;
    for (const auto& [name, value] : headers_) {
        transfer.headerLines.push_back(name + ": " + value);
    }
    transfer.defaultUserAgent = userAgent_;
    transfer.defaultAccept = true;
    transfer.followRedirects = followRedirects_;
    if (!proxyList_.empty()) {
        transfer.proxy = proxyForRequest(proxyList_, bypassList_, url_.secure, url_.host);
    }
    transfer.serverCredentials = serverCredentials_;
    transfer.proxyCredentials = proxyCredentials_;
    transfer.ignoredCertificateErrors = ignoredCertificateErrors_;
    // libcurl's connect time-out covers the name lookup as well.
    transfer.connectTimeoutMs = static_cast<long>(std::min<int64_t>(int64_t{resolveMs_} + connectMs_, LONG_MAX));
    // One idle limit, in whole seconds, stands for both the send and the
    // receive time-out: libcurl's low-speed check counts bytes either way.
    transfer.idleSeconds = (std::max(sendMs_, receiveMs_) + 999) / 1000;

    response_ = performTransfer(transfer);
    if (!response_.complete) {
        response_ = TransferResult();
        state_ = State::Closed;
        return failed;
    }
    state_ = State::Answered;
    return done;
}

std::optional<Variant> WinHttpRequestCurl::responseBody(uint16_t, const Arguments& arguments) {
    if (state_ != State::Answered || !arguments.empty()) {
        return failed;
    }
    return Variant(Bytes(response_.body));
}

std::optional<Variant> WinHttpRequestCurl::allResponseHeaders(uint16_t, const Arguments& arguments) {
    if (state_ != State::Answered || !arguments.empty()) {
        return failed;
    }
    std::string text;
    for (const std::string& line : response_.headerLines) {
        text += line;
        text += "\r\n";
    }
    return Variant(Text(text + "\r\n"));
}

std::optional<Variant> WinHttpRequestCurl::status(uint16_t, const Arguments& arguments) {
    if (state_ != State::Answered || !arguments.empty()) {
        return failed;
    }
    return Variant(static_cast<int32_t>(response_.status));
}

std::optional<Variant> WinHttpRequestCurl::statusText(uint16_t, const Arguments& arguments) {
    if (state_ != State::Answered || !arguments.empty()) {
        return failed;
    }
    return Variant(Text(response_.statusText));
}

}  // namespace

std::shared_ptr<platform::Dispatch> createWinHttpRequest() {
    initCurlGlobal();
    return std::make_shared<WinHttpRequestCurl>();
}

}  // namespace kestrova::posix
