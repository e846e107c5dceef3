#include "platform/posix/internet_curl.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "platform/posix/ascii_case.h"
#include "platform/posix/curl_global.h"
#include "platform/posix/curl_transfer.h"
#include "platform/posix/proxy_list.h"

namespace kestrova::posix {

namespace {

constexpr uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr uint32_t INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY = 4;
constexpr uint32_t INTERNET_FLAG_ASYNC = 0x10000000u;
constexpr uint32_t WHOLE_ZERO_TERMINATED = 0xFFFFFFFFu;  // a header length of -1

struct Session {
    std::string agent;
    bool viaProxy = false;
    std::string proxyList{};
    std::string bypassList{};
};

struct Connection {
    std::shared_ptr<const Session> session;
    std::string host;
    uint16_t port = 0;
    std::optional<Credentials> credentials{};
};

struct Request {
    std::shared_ptr<const Connection> connection;
    std::string verb;
    std::string objectName;
    bool http10 = false;
    // Referer and Accept from the open call, sent when the block lacks them.
    std::vector<std::string> openHeaders;
    uint32_t flags = 0;

    // Guards what follows: a send, a read and an option may come from
    // different threads.
    std::mutex mutex;
    uint32_t securityFlags = 0;
    bool sent = false;
    TransferResult response;
    size_t delivered = 0;
};

using HandleObject =
    std::variant<std::shared_ptr<const Session>, std::shared_ptr<const Connection>, std::shared_ptr<Request>>;

// Handle values count up across every adapter of the process, so a handle of
// one adapter, or one already closed, is never taken for another.
std::atomic<uintptr_t> lastHandle{0};

std::string textOrEmpty(const char* text) { return text == nullptr ? std::string() : std::string(text); }

// A host name or an IPv6 literal, nothing that could change the URL around it.
bool validHost(std::string_view host) {
    if (host.empty()) {
        return false;
    }
    const bool ipv6 = host.find(':') != std::string_view::npos;
    return std::all_of(host.begin(), host.end(), [ipv6](char c) {
        const auto byte = static_cast<unsigned char>(c);
        if (ipv6) {
            return std::isxdigit(byte) != 0 || c == ':' || c == '.';
        }
        return byte > 0x20 && byte != 0x7F && std::strchr("/?#@\\[]", c) == nullptr;
    });
}

std::vector<std::string> blockLines(std::string_view block) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < block.size()) {
        const size_t end = std::min(block.find('\n', start), block.size());
        std::string_view line = block.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.find_first_not_of(" \t") != std::string_view::npos) {
            lines.emplace_back(line);
        }
        start = end + 1;
    }
    return lines;
}

std::string requestUrl(const Connection& connection, const Request& request, bool secure) {
    const uint16_t port = connection.port != 0 ? connection.port : (secure ? 443 : 80);
    const bool ipv6 = connection.host.find(':') != std::string::npos;
    std::string url = secure ? "https://" : "http://";
    url += ipv6 ? "[" + connection.host + "]" : connection.host;
    url += ":" + std::to_string(port);
    if (!request.objectName.starts_with('/')) {
        url += '/';
    }
    return url + request.objectName;
}

long limitedMilliseconds(long seconds) { return std::clamp(seconds, 1L, LONG_MAX / 1000) * 1000; }

// The final response's header text: status line, header lines, the empty
// line; every line ended by CR LF.
std::string rawHeaderText(const TransferResult& response) {
    std::string text = response.statusLine + "\r\n";
    for (const std::string& line : response.headerLines) {
        text += line;
        text += "\r\n";
    }
    return text + "\r\n";
}

}  // namespace

struct CurlInternet::Handles {
    std::mutex mutex;
    std::unordered_map<uintptr_t, HandleObject> objects;

    platform::InternetHandle add(HandleObject object) {
        const uintptr_t id = ++lastHandle;
        const std::lock_guard lock(mutex);
        objects.emplace(id, std::move(object));
        return reinterpret_cast<platform::InternetHandle>(id);
    }

    template <class Object>
    std::shared_ptr<Object> find(platform::InternetHandle handle) {
        const std::lock_guard lock(mutex);
        const auto found = objects.find(reinterpret_cast<uintptr_t>(handle));
        if (found == objects.end()) {
            return nullptr;
        }
        const auto* object = std::get_if<std::shared_ptr<Object>>(&found->second);
        return object == nullptr ? nullptr : *object;
    }

    bool remove(platform::InternetHandle handle) {
        const std::lock_guard lock(mutex);
        return objects.erase(reinterpret_cast<uintptr_t>(handle)) == 1;
    }
};

CurlInternet::CurlInternet(CurlTimeouts timeouts) : timeouts_(timeouts), handles_(std::make_unique<Handles>()) {
    initCurlGlobal();
}

CurlInternet::~CurlInternet() = default;

platform::InternetHandle CurlInternet::internetOpenA(const char* agent, uint32_t accessType, const char* proxy,
                                                     const char* proxyBypass, uint32_t flags) {
    if ((flags & INTERNET_FLAG_ASYNC) != 0) {
        return nullptr;  // every call here is synchronous
    }
    Session session{.agent = textOrEmpty(agent)};
    switch (accessType) {
        case platform::INTERNET_OPEN_TYPE_DIRECT:
        case INTERNET_OPEN_TYPE_PRECONFIG:
        case INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY:
            break;
        case platform::INTERNET_OPEN_TYPE_PROXY:
            if (proxy == nullptr || *proxy == '\0') {
                return nullptr;
            }
            session.viaProxy = true;
            session.proxyList = proxy;
            session.bypassList = textOrEmpty(proxyBypass);
            break;
        default:
            return nullptr;
    }
    return handles_->add(std::make_shared<const Session>(std::move(session)));
}

platform::InternetHandle CurlInternet::internetConnectA(platform::InternetHandle internet, const char* serverName,
                                                        uint16_t serverPort, const char* userName,
                                                        const char* password, uint32_t service, uint32_t,
                                                        uintptr_t) {
    auto session = handles_->find<const Session>(internet);
    if (session == nullptr || service != platform::INTERNET_SERVICE_HTTP || serverName == nullptr ||
        !validHost(serverName)) {
        return nullptr;
    }
    Connection connection{.session = std::move(session), .host = serverName, .port = serverPort};
    if (userName != nullptr && *userName != '\0') {
        connection.credentials = Credentials{userName, textOrEmpty(password)};
    }
    return handles_->add(std::make_shared<const Connection>(std::move(connection)));
}

platform::InternetHandle CurlInternet::httpOpenRequestA(platform::InternetHandle connection, const char* verb,
                                                        const char* objectName, const char* version,
                                                        const char* referrer, const char** acceptTypes,
                                                        uint32_t flags, uintptr_t) {
    auto parent = handles_->find<const Connection>(connection);
    const std::string method = verb == nullptr || *verb == '\0' ? "GET" : verb;
    if (parent == nullptr || !isHttpToken(method)) {
        return nullptr;
    }
    auto request = std::make_shared<Request>();
    request->connection = std::move(parent);
    request->verb = method;
    request->objectName = objectName == nullptr || *objectName == '\0' ? "/" : objectName;
    request->http10 = version != nullptr && equalsIgnoringAsciiCase(version, "HTTP/1.0");
    request->flags = flags;
    if (referrer != nullptr && *referrer != '\0') {
        request->openHeaders.push_back(std::string("Referer: ") + referrer);
    }
    std::string accept;
    for (const char** type = acceptTypes; type != nullptr && *type != nullptr; ++type) {
        accept += accept.empty() ? "" : ", ";
        accept += *type;
    }
    if (!accept.empty()) {
        request->openHeaders.push_back("Accept: " + accept);
    }
    return handles_->add(std::move(request));
}

bool CurlInternet::internetSetOptionA(platform::InternetHandle handle, uint32_t option, const void* buffer,
                                      uint32_t length) {
    if (option != platform::INTERNET_OPTION_SECURITY_FLAGS || buffer == nullptr || length != sizeof(uint32_t)) {
        return false;
    }
    const auto request = handles_->find<Request>(handle);
    if (request == nullptr) {
        return false;
    }
    uint32_t value = 0;
    std::memcpy(&value, buffer, sizeof value);
    const std::lock_guard lock(request->mutex);
    request->securityFlags = value;
    return true;
}

bool CurlInternet::httpSendRequestA(platform::InternetHandle handle, const char* headers, uint32_t headersLength,
                                    const void* optional, uint32_t optionalLength) {
    const auto request = handles_->find<Request>(handle);
    if (request == nullptr || (optional == nullptr && optionalLength != 0)) {
        return false;
    }
    std::string_view block;
    if (headers != nullptr) {
        block = headersLength == WHOLE_ZERO_TERMINATED ? std::string_view(headers)
                                                       : std::string_view(headers, headersLength);
    }
    const std::lock_guard lock(request->mutex);
    const Connection& connection = *request->connection;
    const Session& session = *connection.session;
    const bool secure = (request->flags & platform::INTERNET_FLAG_SECURE) != 0;

    TransferRequest transfer;
    transfer.url = requestUrl(connection, *request, secure);
    transfer.method = request->verb;
    transfer.http10 = request->http10;
    transfer.headerLines = blockLines(block);
    for (const std::string& line : request->openHeaders) {
        if (!hasHeaderLine(transfer.headerLines, line.substr(0, line.find(':')))) {
            transfer.headerLines.push_back(line);
        }
    }
    transfer.defaultUserAgent = session.agent;
    if (optionalLength != 0) {
        const auto* bytes = static_cast<const unsigned char*>(optional);
        transfer.body.emplace(bytes, bytes + optionalLength);
    }
    transfer.followRedirects = (request->flags & platform::INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    transfer.cookieStore = (request->flags & platform::INTERNET_FLAG_NO_COOKIES) == 0;
    if (session.viaProxy) {
        transfer.proxy = proxyForRequest(session.proxyList, session.bypassList, secure, connection.host);
    }
    transfer.serverCredentials = connection.credentials;
    transfer.ignoredCertificateErrors = request->securityFlags;
    transfer.connectTimeoutMs = limitedMilliseconds(timeouts_.connectSeconds);
    transfer.idleSeconds = timeouts_.idleSeconds;

    request->response = performTransfer(transfer);
    request->sent = true;
    request->delivered = 0;
    return request->response.finalHeaders;
}

bool CurlInternet::internetReadFile(platform::InternetHandle handle, void* buffer, uint32_t bytesToRead,
                                    uint32_t* bytesRead) {
    if (bytesRead == nullptr) {
        return false;
    }
    *bytesRead = 0;
    const auto request = handles_->find<Request>(handle);
    if (request == nullptr || (buffer == nullptr && bytesToRead != 0)) {
        return false;
    }
    const std::lock_guard lock(request->mutex);
    if (!request->sent || !request->response.finalHeaders) {
        return false;
    }
    if (bytesToRead == 0) {
        return true;
    }
    const auto& body = request->response.body;
    const size_t count = std::min<size_t>(body.size() - request->delivered, bytesToRead);
    if (count == 0) {
        // The end; a body that broke off fails here, as WinInet's read does.
        return request->response.complete;
    }
    std::memcpy(buffer, body.data() + request->delivered, count);
    request->delivered += count;
    *bytesRead = static_cast<uint32_t>(count);
    return true;
}

bool CurlInternet::httpQueryInfoA(platform::InternetHandle handle, uint32_t infoLevel, void* buffer,
                                  uint32_t* bufferLength, uint32_t*) {
    if (bufferLength == nullptr || infoLevel != platform::HTTP_QUERY_RAW_HEADERS_CRLF) {
        return false;
    }
    const auto request = handles_->find<Request>(handle);
    if (request == nullptr) {
        return false;
    }
    const std::lock_guard lock(request->mutex);
    if (!request->sent || !request->response.finalHeaders) {
        return false;
    }
    const std::string text = rawHeaderText(request->response);
    if (buffer == nullptr || *bufferLength <= text.size()) {
        *bufferLength = static_cast<uint32_t>(std::min<size_t>(text.size() + 1, UINT32_MAX));
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *bufferLength = static_cast<uint32_t>(text.size());
    return true;
}

bool CurlInternet::internetCloseHandle(platform::InternetHandle handle) { return handles_->remove(handle); }

}  // namespace kestrova::posix
