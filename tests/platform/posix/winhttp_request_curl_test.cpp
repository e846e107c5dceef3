#include "platform/posix/winhttp_request_curl.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/echo.h"
#include "support/printers.h"
#include "support/test_server.h"

namespace kestrova::posix {
namespace {

using platform::DISPATCH_METHOD;
using platform::DISPATCH_PROPERTYGET;
using platform::DISPATCH_PROPERTYPUT;
using test::Echo;
using test::parseEcho;
using test::TestServer;

constexpr int32_t OPTION_SSL_ERROR_IGNORE_FLAGS = 4;
constexpr int32_t OPTION_ENABLE_REDIRECTS = 6;
constexpr int32_t CLIENT_IGNORE_FLAGS = 0x3300;
constexpr const char* DEFAULT_AGENT = "Mozilla/4.0 (compatible; Win32; WinHttp.WinHttpRequest.5)";

TestServer& httpServer() {
    static TestServer server;
    return server;
}

TestServer& httpsServer() {
    static TestServer server(TestServer::Scheme::Https);
    return server;
}

Variant text(const std::string& value) { return Variant(Text(value)); }

class WinHttpWire : public ::testing::Test {
protected:
    std::shared_ptr<platform::Dispatch> request = createWinHttpRequest();

    std::optional<Variant> call(const char* member, const std::vector<Variant>& arguments = {}) {
        return request->invoke(member, DISPATCH_METHOD, arguments);
    }
    std::optional<Variant> get(const char* member, const std::vector<Variant>& arguments = {}) {
        return request->invoke(member, DISPATCH_PROPERTYGET, arguments);
    }
    std::optional<Variant> put(const char* member, const std::vector<Variant>& arguments) {
        return request->invoke(member, DISPATCH_PROPERTYPUT, arguments);
    }

    bool open(const std::string& url) { return call("Open", {text("GET"), text(url), false}).has_value(); }
    bool send(const std::vector<Variant>& body = {}) { return call("Send", body).has_value(); }
    bool fetch(const std::string& url) { return open(url) && send(); }
    void shortTimeouts() { ASSERT_TRUE(call("SetTimeouts", {1000, 1000, 1000, 1000})); }

    std::optional<std::string> body() {
        const auto value = get("ResponseBody");
        if (!value || !std::holds_alternative<Bytes>(*value)) {
            return std::nullopt;
        }
        return std::string(std::get<Bytes>(*value).view());
    }
    std::string headers() {
        const auto value = call("GetAllResponseHeaders");
        return value && std::holds_alternative<Text>(*value) ? std::get<Text>(*value).bytes() : "(none)";
    }
    std::optional<int32_t> status() {
        const auto value = get("Status");
        if (!value || !std::holds_alternative<int32_t>(*value)) {
            return std::nullopt;
        }
        return std::get<int32_t>(*value);
    }
    Echo echo() { return parseEcho(body().value_or("")); }
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(WinHttpWire, RedirectsAreFollowedUnlessOptionSixTurnsThemOff) {
    struct Case {
        std::optional<Variant> enableRedirects;
        int32_t status;
        std::string statusText;
        std::string body;
    } cases[] = {
        {std::nullopt, 200, "OK", "landed"},
        {Variant(0), 302, "Found", "redirecting"},
        {Variant(true), 200, "OK", "landed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        request = createWinHttpRequest();
        ASSERT_TRUE(open(httpServer().url("/redirect?to=/landing")));
        if (c.enableRedirects) {
            ASSERT_TRUE(put("Option", {OPTION_ENABLE_REDIRECTS, *c.enableRedirects}));
        }
        ASSERT_TRUE(send());
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(get("StatusText"), Variant(Text(c.statusText)));
        EXPECT_EQ(body(), c.body);
        const std::string all = headers();
        EXPECT_FALSE(all.starts_with("HTTP/")) << all;
        EXPECT_TRUE(all.ends_with("\r\n\r\n"));
        EXPECT_EQ(contains(all, "Location: /landing\r\n"), c.status == 302) << all;
    }
}

TEST_F(WinHttpWire, AllResponseHeadersHoldEverySetCookieLine) {
    ASSERT_TRUE(fetch(httpServer().url("/cookies?set=a%3D1%3B%20Path%3D%2F&set=b%3D2")));
    EXPECT_TRUE(contains(headers(), "\r\nSet-Cookie: a=1; Path=/\r\nSet-Cookie: b=2\r\n")) << headers();
}

TEST_F(WinHttpWire, LargeBodyWithNulsArrivesByteForByte) {
    constexpr size_t size = 3 * 1024 * 1024 + 17;
    for (const char* chunked : {"0", "1"}) {
        SCOPED_TRACE(chunked);
        ASSERT_TRUE(fetch(httpServer().url("/blob?size=" + std::to_string(size) + "&chunked=" + chunked)));
        const std::string received = body().value_or("");
        ASSERT_EQ(received.size(), size);
        size_t wrong = 0;
        for (size_t i = 0; i < size; ++i) {
            wrong += static_cast<unsigned char>(received[i]) != test::blobByte(i) ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0u);
    }
}

TEST_F(WinHttpWire, RequestHeadersGoOutOnceEachAsLastSet) {
    using Header = std::pair<std::string, std::string>;
    struct Case {
        std::vector<Header> set;
        std::vector<std::string> sent;  // after Host, in wire order
    } cases[] = {
        {{}, {std::string("User-Agent: ") + DEFAULT_AGENT, "Accept: */*"}},
        {{{"User-Agent", "Custom"}, {"Accept", "text/html"}, {"X-Twice", "1"}, {"x-twice", "2"}, {"Cookie", ""}},
         {"User-Agent: Custom", "Accept: text/html", "X-Twice: 2", "Cookie: "}},
        {{{"X-Text", "\xD6\xD0\xCE\xC4"}},
         {std::string("User-Agent: ") + DEFAULT_AGENT, "Accept: */*", "X-Text: \xD6\xD0\xCE\xC4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent.back());
        ASSERT_TRUE(open(httpServer().url("/echo")));
        for (const auto& [name, value] : c.set) {
            EXPECT_TRUE(call("SetRequestHeader", {text(name), text(value)}));
        }
        ASSERT_TRUE(send());
        const Echo sent = echo();
        ASSERT_FALSE(sent.headers.empty());
        EXPECT_EQ(sent.headers.front(), "Host: 127.0.0.1:" + std::to_string(httpServer().port()));
        EXPECT_EQ(std::vector<std::string>(sent.headers.begin() + 1, sent.headers.end()), c.sent);
    }
}

TEST_F(WinHttpWire, SetRequestHeaderRefusesWhatIsNoHeader) {
    ASSERT_TRUE(open(httpServer().url("/echo")));
    const std::pair<std::string, std::string> refused[] = {
        {"", "value"}, {"Two Words", "value"}, {"Colon:", "value"}, {"X-Split", "a\r\nInjected: 1"}};
    for (const auto& [name, value] : refused) {
        EXPECT_FALSE(call("SetRequestHeader", {text(name), text(value)})) << name;
    }
    ASSERT_TRUE(send());
    EXPECT_EQ(echo().headers.size(), 3u) << "Host, User-Agent and Accept only";
}

TEST_F(WinHttpWire, UrlGoesOutAsItsBytesWithBlanksEscaped) {
    struct Case {
        std::string pathAndQuery;
        std::string requestLine;
    } cases[] = {
        {"/echo?q=a b", "GET /echo?q=a%20b HTTP/1.1"},
        {"/echo?q=\xD6\xD0%20x", "GET /echo?q=\xD6\xD0%20x HTTP/1.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pathAndQuery);
        ASSERT_TRUE(fetch(httpServer().url(c.pathAndQuery)));
        EXPECT_EQ(echo().requestLine, c.requestLine);
    }
}

TEST_F(WinHttpWire, BodyGoesOutByteForByte) {
    const std::string bytes("a\0b\xFF", 4);
    struct Case {
        Variant body;
        std::string sent;
    } cases[] = {
        {Variant(Bytes::fromRaw(bytes)), bytes},
        {text("\xD6\xD0=1"), "\xD6\xD0=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        ASSERT_TRUE(call("Open", {text("POST"), text(httpServer().url("/echo"))}));
        ASSERT_TRUE(send({c.body}));
        const Echo sent = echo();
        EXPECT_EQ(sent.requestLine, "POST /echo HTTP/1.1");
        EXPECT_EQ(sent.named("Content-Length"),
                  std::vector<std::string>{"Content-Length: " + std::to_string(c.sent.size())});
        EXPECT_EQ(sent.body, c.sent);
    }
}

TEST_F(WinHttpWire, StallingServerFailsTheSendWithinTheTimeouts) {
    for (const char* path : {"/stall", "/stall-body"}) {
        SCOPED_TRACE(path);
        shortTimeouts();
        EXPECT_TRUE(open(httpServer().url(path)));
        EXPECT_FALSE(send());
        EXPECT_EQ(status(), std::nullopt);
        EXPECT_EQ(body(), std::nullopt);
    }
}

TEST_F(WinHttpWire, UnreachablePortFailsTheSendAndLeavesNoResponse) {
    ASSERT_TRUE(open("http://127.0.0.1:" + std::to_string(test::closedLoopbackPort()) + "/landing"));
    EXPECT_FALSE(send());
    EXPECT_EQ(status(), std::nullopt);
    EXPECT_EQ(headers(), "(none)");
}

TEST_F(WinHttpWire, SelfSignedCertificatePassesOnlyWithTheIgnoreFlags) {
    struct Case {
        std::optional<int32_t> flags;
        bool passes;
    } cases[] = {{std::nullopt, false}, {0, false}, {CLIENT_IGNORE_FLAGS, true}, {0x2300, false}, {0x1000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags.value_or(-1));
        request = createWinHttpRequest();
        ASSERT_TRUE(open(httpsServer().url("/landing")));
        if (c.flags) {
            ASSERT_TRUE(put("Option", {OPTION_SSL_ERROR_IGNORE_FLAGS, *c.flags}));
        }
        EXPECT_EQ(send(), c.passes);
        EXPECT_EQ(status(), c.passes ? std::optional<int32_t>(200) : std::nullopt);
    }
}

TEST_F(WinHttpWire, NamedProxyCarriesTheRequestUntilADirectSettingReplacesIt) {
    const std::string target = "http://127.0.0.1:" + std::to_string(test::closedLoopbackPort()) + "/echo";
    ASSERT_TRUE(call("SetProxy", {2, text("127.0.0.1:" + std::to_string(httpServer().port()))}));
    ASSERT_TRUE(fetch(target));
    EXPECT_EQ(echo().requestLine, "GET " + target + " HTTP/1.1");

    ASSERT_TRUE(call("SetProxy", {1}));
    EXPECT_FALSE(fetch(target));
}

TEST_F(WinHttpWire, CredentialsAnswerTheServersOrTheProxysChallenge) {
    const std::string proxy = "127.0.0.1:" + std::to_string(httpServer().port());
    struct Case {
        bool viaProxy;
        std::optional<int32_t> target;
        int32_t status;
    } cases[] = {
        {false, 0, 200}, {false, std::nullopt, 401}, {true, 1, 200}, {true, std::nullopt, 407}, {true, 0, 407},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.viaProxy << c.target.value_or(-1));
        request = createWinHttpRequest();
        std::string url = httpServer().url("/auth?user=user&password=secret");
        if (c.viaProxy) {
            ASSERT_TRUE(call("SetProxy", {2, text(proxy)}));
            url = "http://127.0.0.1:" + std::to_string(test::closedLoopbackPort()) +
                  "/auth?user=user&password=secret&for=proxy";
        }
        ASSERT_TRUE(open(url));
        if (c.target) {
            ASSERT_TRUE(call("SetCredentials", {text("user"), text("secret"), *c.target}));
        }
        ASSERT_TRUE(send());
        EXPECT_EQ(status(), c.status);
    }
}

TEST_F(WinHttpWire, CallsOutOfOrderFail) {
    EXPECT_FALSE(send());
    EXPECT_FALSE(call("SetRequestHeader", {text("X-A"), text("1")}));
    EXPECT_FALSE(call("SetCredentials", {text("u"), text("p"), 0}));
    EXPECT_EQ(status(), std::nullopt);
    EXPECT_EQ(body(), std::nullopt);
    EXPECT_FALSE(get("StatusText"));
    EXPECT_EQ(headers(), "(none)");

    ASSERT_TRUE(open(httpServer().url("/landing")));
    EXPECT_EQ(status(), std::nullopt) << "nothing sent yet";
    ASSERT_TRUE(send());
    EXPECT_FALSE(send()) << "a second Send needs a new Open";
    EXPECT_EQ(status(), 200);

    EXPECT_FALSE(open("no url at all"));
    EXPECT_FALSE(send()) << "a failed Open keeps nothing to send";
    EXPECT_EQ(status(), std::nullopt);
}

TEST_F(WinHttpWire, OpenRefusesWhatItCannotRequest) {
    const std::vector<Variant> refused[] = {
        {text("GET"), text(httpServer().url("/landing")), true},
        {text("GET"), text("file:///etc/hostname")},
        {text("GET"), text("ftp://127.0.0.1/")},
        {text("GET"), text("/landing")},
        {text("BAD VERB"), text(httpServer().url("/landing"))},
        {text("GET")},
    };
    for (const auto& arguments : refused) {
        EXPECT_FALSE(call("Open", arguments));
    }
    EXPECT_TRUE(call("Open", {text("GET"), text(httpServer().url("/landing"))}));
}

TEST_F(WinHttpWire, MembersMatchWithoutCaseAndOnlyAsTheirKind) {
    ASSERT_TRUE(call("oPeN", {text("GET"), text(httpServer().url("/landing"))}));
    ASSERT_TRUE(call("SEND"));
    EXPECT_EQ(get("status"), Variant(int32_t{200}));
    EXPECT_FALSE(put("Status", {int32_t{500}}));
    EXPECT_FALSE(get("Open"));
    EXPECT_FALSE(call("NoSuchMember"));
    EXPECT_EQ(request->invoke("getallresponseheaders", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}).has_value(),
              true);
}

TEST_F(WinHttpWire, OptionReadsBackWhatWasWrittenAndRefusesTheUnknown) {
    EXPECT_EQ(get("Option", {OPTION_ENABLE_REDIRECTS}), Variant(true));
    EXPECT_EQ(get("Option", {OPTION_SSL_ERROR_IGNORE_FLAGS}), Variant(int32_t{0}));
    EXPECT_EQ(get("Option", {0}), Variant(Text(DEFAULT_AGENT)));
    ASSERT_TRUE(put("Option", {OPTION_ENABLE_REDIRECTS, 0}));
    ASSERT_TRUE(put("Option", {OPTION_SSL_ERROR_IGNORE_FLAGS, CLIENT_IGNORE_FLAGS}));
    EXPECT_EQ(get("Option", {OPTION_ENABLE_REDIRECTS}), Variant(false));
    EXPECT_EQ(get("Option", {OPTION_SSL_ERROR_IGNORE_FLAGS}), Variant(CLIENT_IGNORE_FLAGS));
    EXPECT_FALSE(put("Option", {OPTION_SSL_ERROR_IGNORE_FLAGS, 0x4000}));
    EXPECT_FALSE(put("Option", {99, 1}));
    EXPECT_FALSE(get("Option", {99}));
}

}  // namespace
}  // namespace kestrova::posix
