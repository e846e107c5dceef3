#include "platform/posix/internet_curl.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "support/echo.h"
#include "support/test_server.h"

namespace kestrova::posix {
namespace {

using namespace platform;
using test::Echo;
using test::parseEcho;
using test::TestServer;

constexpr uint32_t PLAIN_FLAGS = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE | INTERNET_FLAG_NO_COOKIES;
constexpr uint32_t CLIENT_SECURITY_FLAGS = 0x0001F380;
constexpr uint32_t HEADER_BUFFER = 5000;

TestServer& httpServer() {
    static TestServer server;
    return server;
}

TestServer& httpsServer() {
    static TestServer server(TestServer::Scheme::Https);
    return server;
}

struct Call {
    uint16_t port = 0;
    bool secure = false;
    std::string path = "/";
    std::string verb = "GET";
    std::string agent = "FromOpen";
    std::string headers{};
    std::string body{};
    uint32_t flags = PLAIN_FLAGS;
    std::optional<uint32_t> securityFlags{};
    std::string proxy{};
    const char* user = nullptr;
    const char* password = nullptr;
};

struct Outcome {
    bool sent = false;
    std::string body;
    bool lastReadFailed = false;
    bool queried = false;
    uint32_t queryLength = 0;
    std::string headers;        // the text the query wrote, when it succeeded
    bool bufferBlank = false;   // the 5000 blanks are untouched
};

// One request the way the page fetch makes it: open, connect, open request,
// option, send, reads of 1024 bytes, the header query into 5000 bytes, close.
class InternetWire : public ::testing::Test {
protected:
    CurlInternet internet{CurlTimeouts{.connectSeconds = 5, .idleSeconds = 1}};

    Outcome exchange(const Call& call) {
        Outcome outcome;
        const bool viaProxy = !call.proxy.empty();
        InternetHandle session =
            internet.internetOpenA(call.agent.c_str(), viaProxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_DIRECT,
                                   viaProxy ? call.proxy.c_str() : nullptr, viaProxy ? "" : nullptr, 0);
        InternetHandle connection = internet.internetConnectA(session, "127.0.0.1", call.port, call.user,
                                                              call.password, INTERNET_SERVICE_HTTP, 0, 0);
        const uint32_t flags =
            call.flags | (call.secure ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS);
        InternetHandle request = internet.httpOpenRequestA(connection, call.verb.c_str(), call.path.c_str(),
                                                           "HTTP/1.1", nullptr, nullptr, flags, 0);
        EXPECT_NE(session, nullptr);
        EXPECT_NE(connection, nullptr);
        EXPECT_NE(request, nullptr);
        if (call.securityFlags) {
            EXPECT_TRUE(internet.internetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &*call.securityFlags,
                                                    sizeof(uint32_t)));
        }
        outcome.sent = internet.httpSendRequestA(request, call.headers.c_str(),
                                                 static_cast<uint32_t>(call.headers.size()),
                                                 call.body.empty() ? nullptr : call.body.data(),
                                                 static_cast<uint32_t>(call.body.size()));
        std::array<char, 1024> piece{};
        for (;;) {
            uint32_t count = 0xDEADBEEF;
            const bool read = internet.internetReadFile(request, piece.data(), 1024, &count);
            EXPECT_LE(count, 1024u) << "the count is always set";
            if (count == 0 || count > 1024) {
                outcome.lastReadFailed = !read;
                break;
            }
            outcome.body.append(piece.data(), count);
        }
        std::string buffer(HEADER_BUFFER, ' ');
        outcome.queryLength = HEADER_BUFFER;
        outcome.queried = internet.httpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(),
                                                  &outcome.queryLength, nullptr);
        if (outcome.queried) {
            EXPECT_LT(outcome.queryLength, HEADER_BUFFER);
            EXPECT_EQ(buffer[outcome.queryLength], '\0');
            outcome.headers = buffer.substr(0, outcome.queryLength);
        }
        outcome.bufferBlank = buffer == std::string(HEADER_BUFFER, ' ');
        EXPECT_TRUE(internet.internetCloseHandle(request));
        EXPECT_TRUE(internet.internetCloseHandle(connection));
        EXPECT_TRUE(internet.internetCloseHandle(session));
        return outcome;
    }

    Call plain(std::string path) { return Call{.port = httpServer().port(), .path = std::move(path)}; }
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(InternetWire, RedirectIsFollowedUnlessTheRequestSaysNot) {
    struct Case {
        uint32_t extraFlags;
        std::string statusLine;
        bool location;
        std::string body;
    } cases[] = {
        {0, "HTTP/1.1 200 OK\r\n", false, "landed"},
        {INTERNET_FLAG_NO_AUTO_REDIRECT, "HTTP/1.1 302 Found\r\n", true, "redirecting"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statusLine);
        Call call = plain("/redirect?to=/landing");
        call.flags |= c.extraFlags;
        const Outcome outcome = exchange(call);
        EXPECT_TRUE(outcome.sent);
        EXPECT_EQ(outcome.body, c.body);
        EXPECT_FALSE(outcome.lastReadFailed);
        ASSERT_TRUE(outcome.queried);
        EXPECT_EQ(outcome.queryLength, outcome.headers.size());
        EXPECT_TRUE(outcome.headers.starts_with(c.statusLine)) << outcome.headers;
        EXPECT_TRUE(outcome.headers.ends_with("\r\n\r\n"));
        EXPECT_EQ(contains(outcome.headers, "\r\nLocation: /landing\r\n"), c.location);
    }
}

TEST_F(InternetWire, HeaderTextHoldsEverySetCookieLineAsReceived) {
    const Outcome outcome = exchange(plain("/cookies?set=a%3D1%3B%20Path%3D%2F&set=b%3D2"));
    ASSERT_TRUE(outcome.queried);
    EXPECT_TRUE(contains(outcome.headers, "\r\nSet-Cookie: a=1; Path=/\r\nSet-Cookie: b=2\r\n")) << outcome.headers;
}

TEST_F(InternetWire, CookieStoreServesOnlyRequestsWithoutNoCookies) {
    auto withStore = [&](std::string path, bool store) {
        Call call = plain(std::move(path));
        if (store) {
            call.flags &= ~INTERNET_FLAG_NO_COOKIES;
        }
        return exchange(call);
    };
    ASSERT_TRUE(withStore("/cookies?set=stored%3D1", true).sent);
    ASSERT_TRUE(withStore("/cookies?set=unstored%3D2", false).sent);

    EXPECT_EQ(parseEcho(withStore("/echo", true).body).named("Cookie"), std::vector<std::string>{"Cookie: stored=1"});
    EXPECT_TRUE(parseEcho(withStore("/echo", false).body).named("Cookie").empty());

    ASSERT_TRUE(withStore("/cookies?set=stored%3D%3B%20Max-Age%3D0", true).sent);
    EXPECT_TRUE(parseEcho(withStore("/echo", true).body).named("Cookie").empty());
}

TEST_F(InternetWire, HeaderQueryFailsWhenTheTextAndItsZeroDoNotFit) {
    const Outcome big = exchange(plain("/big-headers?bytes=6000"));
    EXPECT_TRUE(big.sent);
    EXPECT_EQ(big.body, "big");
    EXPECT_FALSE(big.queried);
    EXPECT_GT(big.queryLength, HEADER_BUFFER) << "answers the size needed";
    EXPECT_TRUE(big.bufferBlank);

    // The edge: exactly the text and its zero fit.
    InternetHandle session = internet.internetOpenA("FromOpen", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    InternetHandle connection = internet.internetConnectA(session, "127.0.0.1", httpServer().port(), nullptr,
                                                          nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    InternetHandle request =
        internet.httpOpenRequestA(connection, "GET", "/landing", "HTTP/1.1", nullptr, nullptr, PLAIN_FLAGS, 0);
    ASSERT_TRUE(internet.httpSendRequestA(request, nullptr, 0, nullptr, 0));
    uint32_t needed = 0;
    EXPECT_FALSE(internet.httpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &needed, nullptr));
    ASSERT_GT(needed, 1u);
    std::string buffer(needed, '#');
    uint32_t length = needed - 1;
    EXPECT_FALSE(internet.httpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr));
    EXPECT_EQ(length, needed);
    EXPECT_EQ(buffer, std::string(needed, '#'));
    length = needed;
    EXPECT_TRUE(internet.httpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr));
    EXPECT_EQ(length, needed - 1);
    EXPECT_EQ(buffer.back(), '\0');
    EXPECT_TRUE(buffer.starts_with("HTTP/1.1 200 OK\r\n"));
    for (InternetHandle handle : {request, connection, session}) {
        EXPECT_TRUE(internet.internetCloseHandle(handle));
    }
}

TEST_F(InternetWire, UnreachablePortGivesNothingToReadAndNoHeaders) {
    const Outcome outcome = exchange(Call{.port = test::closedLoopbackPort(), .path = "/landing"});
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.body, "");
    EXPECT_TRUE(outcome.lastReadFailed);
    EXPECT_FALSE(outcome.queried);
    EXPECT_TRUE(outcome.bufferBlank);
}

TEST_F(InternetWire, LargeBodyWithNulsArrivesByteForByte) {
    constexpr size_t size = 3 * 1024 * 1024 + 17;
    for (const char* chunked : {"0", "1"}) {
        SCOPED_TRACE(chunked);
        const Outcome outcome =
            exchange(plain("/blob?size=" + std::to_string(size) + "&chunked=" + chunked));
        EXPECT_TRUE(outcome.sent);
        EXPECT_FALSE(outcome.lastReadFailed);
        ASSERT_EQ(outcome.body.size(), size);
        size_t wrong = 0;
        for (size_t i = 0; i < size; ++i) {
            wrong += static_cast<unsigned char>(outcome.body[i]) != test::blobByte(i) ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0u);
    }
}

TEST_F(InternetWire, HeaderBlockGoesOutLineByLineAsGiven) {
    struct Case {
        std::string agent;
        std::string block;
        std::vector<std::string> sent;  // after Host, in wire order
    } cases[] = {
        {"FromOpen",
         "User-Agent: FromBlock\r\nAccept: text/html\r\nX-Order: 1",
         {"User-Agent: FromBlock", "Accept: text/html", "X-Order: 1"}},
        {"FromOpen", "X-Order: 1\r\nX-Empty:", {"User-Agent: FromOpen", "X-Order: 1", "X-Empty: "}},
        {"", "", {}},
        {"FromOpen",
         "\r\nX-Text: \xD6\xD0\xCE\xC4\r\nno colon here\r\n\r\nuser-agent: lower",
         {"X-Text: \xD6\xD0\xCE\xC4", "user-agent: lower"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        Call call = plain("/echo");
        call.agent = c.agent;
        call.headers = c.block;
        const Echo echo = parseEcho(exchange(call).body);
        EXPECT_EQ(echo.requestLine, "GET /echo HTTP/1.1");
        ASSERT_FALSE(echo.headers.empty());
        EXPECT_EQ(echo.headers.front(), "Host: 127.0.0.1:" + std::to_string(httpServer().port()));
        EXPECT_EQ(std::vector<std::string>(echo.headers.begin() + 1, echo.headers.end()), c.sent);
    }
}

TEST_F(InternetWire, ObjectNameGoesOutAsItsBytesWithBlanksEscaped) {
    struct Case {
        std::string objectName;
        std::string requestLine;
    } cases[] = {
        {"/echo?q=a b", "GET /echo?q=a%20b HTTP/1.1"},
        {"/echo?q=\xD6\xD0%20x", "GET /echo?q=\xD6\xD0%20x HTTP/1.1"},
        {"echo", "GET /echo HTTP/1.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.objectName);
        const Outcome outcome = exchange(plain(c.objectName));
        EXPECT_TRUE(outcome.sent);
        EXPECT_EQ(parseEcho(outcome.body).requestLine, c.requestLine);
    }
}

TEST_F(InternetWire, OptionalDataIsSentByteForByteWithoutAddedContentType) {
    const std::string data("a\0b\xFF\r\n", 6);
    for (const char* verb : {"POST", "PUT"}) {
        SCOPED_TRACE(verb);
        Call call = plain("/echo");
        call.verb = verb;
        call.body = data;
        const Echo echo = parseEcho(exchange(call).body);
        EXPECT_EQ(echo.requestLine, std::string(verb) + " /echo HTTP/1.1");
        EXPECT_EQ(echo.named("Content-Length"), std::vector<std::string>{"Content-Length: 6"});
        EXPECT_TRUE(echo.named("Content-Type").empty());
        EXPECT_TRUE(echo.named("Expect").empty());
        EXPECT_EQ(echo.body, data);
    }
}

TEST_F(InternetWire, HeadAnswerEndsAtItsHeadersWhateverItsContentLength) {
    Call call = plain("/landing");
    call.verb = "HEAD";
    const Outcome outcome = exchange(call);
    EXPECT_TRUE(outcome.sent);
    EXPECT_EQ(outcome.body, "");
    EXPECT_FALSE(outcome.lastReadFailed);
    EXPECT_TRUE(contains(outcome.headers, "\r\nContent-Length: 6\r\n")) << outcome.headers;
}

TEST_F(InternetWire, StallingServerEndsWithinTheIdleTime) {
    struct Case {
        std::string path;
        bool headersArrive;
    } cases[] = {{"/stall", false}, {"/stall-body", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Outcome outcome = exchange(plain(c.path));
        EXPECT_EQ(outcome.sent, c.headersArrive);
        EXPECT_EQ(outcome.body, c.headersArrive ? std::string("\0\1\2\3\4\5\6\7\10\11", 10) : "");
        EXPECT_TRUE(outcome.lastReadFailed) << "a body cut short is no clean end";
        EXPECT_EQ(outcome.queried, c.headersArrive);
    }
}

TEST_F(InternetWire, SelfSignedCertificatePassesOnlyWhenEveryErrorItHasIsIgnored) {
    struct Case {
        std::optional<uint32_t> securityFlags;
        bool passes;
    } cases[] = {
        {std::nullopt, false},
        {0, false},
        {CLIENT_SECURITY_FLAGS, true},
        {SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_WRONG_USAGE | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
             SECURITY_FLAG_IGNORE_CERT_DATE_INVALID,
         true},
        // The name (localhost) still does not match 127.0.0.1.
        {SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_WRONG_USAGE | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID,
         false},
        // The issuer is still unknown.
        {SECURITY_FLAG_IGNORE_CERT_CN_INVALID, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.securityFlags.value_or(0xFFFFFFFF));
        const Outcome outcome = exchange(
            Call{.port = httpsServer().port(), .secure = true, .path = "/landing", .securityFlags = c.securityFlags});
        EXPECT_EQ(outcome.sent, c.passes);
        EXPECT_EQ(outcome.body, c.passes ? "landed" : "");
        EXPECT_EQ(outcome.queried, c.passes);
    }
}

TEST_F(InternetWire, ProxyListSendsTheRequestThroughTheProxyForItsScheme) {
    const uint16_t target = test::closedLoopbackPort();
    const std::string proxy = "127.0.0.1:" + std::to_string(httpServer().port());
    struct Case {
        std::string list;
        bool proxied;
    } cases[] = {{"http=" + proxy, true}, {proxy, true}, {"https=" + proxy, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        const Outcome outcome = exchange(Call{.port = target, .path = "/echo", .proxy = c.list});
        EXPECT_EQ(outcome.sent, c.proxied);
        if (c.proxied) {
            EXPECT_EQ(parseEcho(outcome.body).requestLine,
                      "GET http://127.0.0.1:" + std::to_string(target) + "/echo HTTP/1.1");
        }
    }
}

TEST_F(InternetWire, ConnectionCredentialsAnswerTheServersChallenge) {
    struct Case {
        const char* user;
        const char* password;
        std::string statusLine;
    } cases[] = {
        {"user", "secret", "HTTP/1.1 200 OK\r\n"},
        {nullptr, nullptr, "HTTP/1.1 401 Unauthorized\r\n"},
        {"user", "wrong", "HTTP/1.1 401 Unauthorized\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statusLine);
        Call call = plain("/auth?user=user&password=secret");
        call.user = c.user;
        call.password = c.password;
        const Outcome outcome = exchange(call);
        EXPECT_TRUE(outcome.headers.starts_with(c.statusLine)) << outcome.headers;
    }
}

TEST_F(InternetWire, ChildHandlesKeepWorkingAfterTheirParentsAreClosed) {
    InternetHandle session = internet.internetOpenA("FromOpen", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    InternetHandle connection = internet.internetConnectA(session, "127.0.0.1", httpServer().port(), nullptr,
                                                          nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    InternetHandle request =
        internet.httpOpenRequestA(connection, "GET", "/landing", "HTTP/1.1", nullptr, nullptr, PLAIN_FLAGS, 0);
    EXPECT_TRUE(internet.internetCloseHandle(session));
    EXPECT_TRUE(internet.internetCloseHandle(connection));
    ASSERT_TRUE(internet.httpSendRequestA(request, nullptr, 0, nullptr, 0));
    std::array<char, 16> piece{};
    uint32_t count = 0;
    EXPECT_TRUE(internet.internetReadFile(request, piece.data(), piece.size(), &count));
    EXPECT_EQ(std::string(piece.data(), count), "landed");
    EXPECT_TRUE(internet.internetCloseHandle(request));
}

TEST_F(InternetWire, NullUnknownClosedAndMismatchedHandlesFailCleanly) {
    InternetHandle session = internet.internetOpenA("FromOpen", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    InternetHandle closed = internet.internetOpenA("FromOpen", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_TRUE(internet.internetCloseHandle(closed));
    CurlInternet other;
    InternetHandle foreign = other.internetOpenA("FromOpen", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const uint32_t flags = CLIENT_SECURITY_FLAGS;
    for (InternetHandle handle : {InternetHandle{nullptr}, closed, foreign, session}) {
        EXPECT_EQ(internet.internetConnectA(handle == session ? nullptr : handle, "127.0.0.1", 80, nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0),
                  nullptr);
        EXPECT_EQ(internet.httpOpenRequestA(handle, "GET", "/", "HTTP/1.1", nullptr, nullptr, PLAIN_FLAGS, 0),
                  nullptr);
        EXPECT_FALSE(internet.internetSetOptionA(handle, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags));
        EXPECT_FALSE(internet.httpSendRequestA(handle, nullptr, 0, nullptr, 0));
        std::array<char, 8> piece{};
        uint32_t count = 7;
        EXPECT_FALSE(internet.internetReadFile(handle, piece.data(), piece.size(), &count));
        EXPECT_EQ(count, 0u);
        uint32_t length = 8;
        EXPECT_FALSE(internet.httpQueryInfoA(handle, HTTP_QUERY_RAW_HEADERS_CRLF, piece.data(), &length, nullptr));
    }
    EXPECT_FALSE(internet.internetCloseHandle(nullptr));
    EXPECT_FALSE(internet.internetCloseHandle(closed));
    EXPECT_FALSE(internet.internetCloseHandle(foreign));
    EXPECT_TRUE(internet.internetCloseHandle(session));
    EXPECT_TRUE(other.internetCloseHandle(foreign));
}

TEST_F(InternetWire, ReadsAndQueriesBeforeTheSendFail) {
    InternetHandle session = internet.internetOpenA("FromOpen", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    InternetHandle connection = internet.internetConnectA(session, "127.0.0.1", httpServer().port(), nullptr,
                                                          nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    InternetHandle request =
        internet.httpOpenRequestA(connection, "GET", "/landing", "HTTP/1.1", nullptr, nullptr, PLAIN_FLAGS, 0);
    std::array<char, 8> piece{};
    uint32_t count = 7;
    EXPECT_FALSE(internet.internetReadFile(request, piece.data(), piece.size(), &count));
    EXPECT_EQ(count, 0u);
    uint32_t length = 8;
    EXPECT_FALSE(internet.httpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, piece.data(), &length, nullptr));
    for (InternetHandle handle : {request, connection, session}) {
        EXPECT_TRUE(internet.internetCloseHandle(handle));
    }
}

TEST_F(InternetWire, OpenConnectAndOpenRequestRefuseWhatTheyCannotServe) {
    EXPECT_EQ(internet.internetOpenA("a", INTERNET_OPEN_TYPE_PROXY, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(internet.internetOpenA("a", 2, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(internet.internetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0x10000000), nullptr);
    InternetHandle session = internet.internetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    for (const char* host : {"", "a/b", "user@host", "a b", "::1/x"}) {
        EXPECT_EQ(internet.internetConnectA(session, host, 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0),
                  nullptr)
            << host;
    }
    EXPECT_EQ(internet.internetConnectA(session, "127.0.0.1", 80, nullptr, nullptr, 1, 0, 0), nullptr);
    InternetHandle connection =
        internet.internetConnectA(session, "127.0.0.1", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    for (const char* verb : {"GE T", "GET\r\nX: 1", "GET/"}) {
        EXPECT_EQ(internet.httpOpenRequestA(connection, verb, "/", nullptr, nullptr, nullptr, PLAIN_FLAGS, 0),
                  nullptr)
            << verb;
    }
    EXPECT_TRUE(internet.internetCloseHandle(connection));
    EXPECT_TRUE(internet.internetCloseHandle(session));
}

}  // namespace
}  // namespace kestrova::posix
