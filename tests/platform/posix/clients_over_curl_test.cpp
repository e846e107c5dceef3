// End-to-end: the two HTTP clients of the system over the libcurl adapters,
// against the loopback test server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/text.h"
#include "http/headers.h"
#include "http/winhttp_client.h"
#include "http/wininet_client.h"
#include "platform/posix/automation_posix.h"
#include "platform/posix/internet_curl.h"
#include "support/echo.h"
#include "support/printers.h"
#include "support/test_server.h"

namespace kestrova {
namespace {

using test::parseEcho;
using test::TestServer;

TestServer& httpServer() {
    static TestServer server;
    return server;
}

std::string closedUrl(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(test::closedLoopbackPort()) + path;
}

class ClientsOverCurl : public ::testing::Test {
protected:
    posix::CurlInternet internet{posix::CurlTimeouts{.connectSeconds = 5, .idleSeconds = 1}};
    platform::ScopedAdapter<platform::Internet> useInternet{internet};
    posix::PosixAutomationHost automation;
    platform::ScopedAdapter<platform::AutomationHost> useAutomation{automation};
};

Bytes blob(size_t size) {
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = test::blobByte(i);
    }
    return Bytes(std::move(bytes));
}

TEST_F(ClientsOverCurl, WinInetFollowsARedirectUnlessTold) {
    struct Case {
        bool noRedirect;
        std::string statusLine;
        Text location;
        std::string body;
    } cases[] = {
        {false, "HTTP/1.1 200 OK\r\n", "", "landed"},
        {true, "HTTP/1.1 302 Found\r\n", "/landing", "redirecting"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statusLine);
        WinInetRequest request{.url = Text(httpServer().url("/redirect?to=/landing")), .noRedirect = c.noRedirect};
        EXPECT_EQ(fetchViaWinInet(request), Bytes::fromRaw(c.body));
        EXPECT_TRUE(request.responseHeaders.bytes().starts_with(c.statusLine)) << request.responseHeaders.bytes();
        EXPECT_EQ(findHeaderValue(request.responseHeaders, "Location"), c.location);
    }
}

TEST_F(ClientsOverCurl, WinHttpFollowsARedirectUnlessTold) {
    struct Case {
        bool noRedirect;
        int32_t status;
        Text location;
        std::string body;
    } cases[] = {{false, 200, "", "landed"}, {true, 302, "/landing", "redirecting"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        WinHttpRequest request{.url = Text(httpServer().url("/redirect?to=/landing")), .noRedirect = c.noRedirect};
        EXPECT_EQ(fetchViaWinHttp(request), Bytes::fromRaw(c.body));
        EXPECT_EQ(request.statusCode, c.status);
        EXPECT_EQ(findHeaderValue(request.responseHeaders, "Location"), c.location);
    }
}

// The response sets b again (with an attribute) and adds c; a stays from the
// caller's string.
const std::string COOKIE_PATH = "/cookies?set=b%3D3%3B%20Path%3D%2F&set=c%3D4";

TEST_F(ClientsOverCurl, BothClientsCollectSetCookieAndMergeIt) {
    struct Case {
        bool merge;
        Text received;
        Text cookieAfter;
    } cases[] = {{true, "b=3; c=4; a=1", "b=3; c=4; a=1"}, {false, "b=3; c=4", "a=1; b=2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.merge);
        WinInetRequest inet{.url = Text(httpServer().url(COOKIE_PATH)), .cookie = Text("a=1; b=2"),
                            .mergeReceivedCookies = c.merge};
        EXPECT_EQ(fetchViaWinInet(inet), Bytes::fromRaw("cookies"));
        EXPECT_EQ(inet.receivedCookies, c.received);
        EXPECT_EQ(inet.cookie, c.cookieAfter);

        WinHttpRequest http{.url = Text(httpServer().url(COOKIE_PATH)), .cookie = Text("a=1; b=2"),
                            .mergeReceivedCookies = c.merge};
        EXPECT_EQ(fetchViaWinHttp(http), Bytes::fromRaw("cookies"));
        EXPECT_EQ(http.receivedCookies, c.received);
        EXPECT_EQ(http.cookie, c.cookieAfter);
    }
}

TEST_F(ClientsOverCurl, WinInetGivesBlanksForHeadersBeyondItsBuffer) {
    WinInetRequest request{.url = Text(httpServer().url("/big-headers?bytes=6000&set=lost%3D1"))};
    EXPECT_EQ(fetchViaWinInet(request), Bytes::fromRaw("big"));
    EXPECT_EQ(request.responseHeaders, blankText(5000));
    EXPECT_EQ(request.receivedCookies, Text());
}

TEST_F(ClientsOverCurl, UnreachablePortGivesAnEmptyBodyAndTheDocumentedOutValues) {
    WinInetRequest inet{.url = Text(closedUrl("/landing")), .cookie = Text("a=1")};
    EXPECT_EQ(fetchViaWinInet(inet), Bytes());
    EXPECT_EQ(inet.responseHeaders, blankText(5000));
    EXPECT_EQ(inet.receivedCookies, Text("a=1")) << "the merge of the cookie with nothing";
    EXPECT_EQ(inet.cookie, Text("a=1"));

    WinInetRequest bare{.url = Text(closedUrl("/landing"))};
    EXPECT_EQ(fetchViaWinInet(bare), Bytes());
    EXPECT_EQ(bare.receivedCookies, Text());

    WinHttpRequest http{.url = Text(closedUrl("/landing")), .responseHeaders = Text("stale"), .statusCode = 99};
    EXPECT_EQ(fetchViaWinHttp(http), Bytes());
    EXPECT_EQ(http.responseHeaders, Text());
    EXPECT_EQ(http.statusCode, 0);
    EXPECT_EQ(http.receivedCookies, Text());
}

TEST_F(ClientsOverCurl, MultiMegabyteBodyWithNulsArrivesByteForByte) {
    constexpr size_t size = 3 * 1024 * 1024 + 17;
    const std::string path = "/blob?size=" + std::to_string(size) + "&chunked=1";
    WinInetRequest inet{.url = Text(httpServer().url(path))};
    const Bytes viaWinInet = fetchViaWinInet(inet);
    EXPECT_EQ(viaWinInet.length(), static_cast<int32_t>(size));
    EXPECT_TRUE(viaWinInet == blob(size));

    WinHttpRequest http{.url = Text(httpServer().url(path))};
    const Bytes viaWinHttp = fetchViaWinHttp(http);
    EXPECT_EQ(viaWinHttp.length(), static_cast<int32_t>(size));
    EXPECT_TRUE(viaWinHttp == blob(size));
}

TEST_F(ClientsOverCurl, StallingServerEndsWithinTheTimeOut) {
    for (const char* path : {"/stall", "/stall-body"}) {
        SCOPED_TRACE(path);
        WinInetRequest inet{.url = Text(httpServer().url(path))};
        const Bytes body = fetchViaWinInet(inet);
        EXPECT_EQ(body.length(), std::string(path) == "/stall" ? 0 : 10);

        WinHttpRequest http{.url = Text(httpServer().url(path)), .timeoutSeconds = 1};
        EXPECT_EQ(fetchViaWinHttp(http), Bytes());
        EXPECT_EQ(http.statusCode, 0);
    }
}

TEST_F(ClientsOverCurl, HeaderBlocksGoOutAsTheClientsCompleteThem) {
    const std::string url = httpServer().url("/echo");
    const std::string host = "Host: 127.0.0.1:" + std::to_string(httpServer().port());

    WinInetRequest inet{.url = Text(url), .cookie = Text("k=v"), .requestHeaders = Text("user-agent: Fox/60")};
    const auto sentByWinInet = parseEcho(fetchViaWinInet(inet).view());
    const std::vector<std::string> expectedWinInet = {
        host, "User-Agent: Fox/60", "Accept: */*", "Referer: " + url, "Accept-Language: zh-cn", "Cookie: k=v"};
    EXPECT_EQ(sentByWinInet.headers, expectedWinInet);

    WinHttpRequest http{.url = Text(url), .cookie = Text("k=v")};
    const auto sentByWinHttp = parseEcho(fetchViaWinHttp(http).view());
    const std::vector<std::string> expectedWinHttp = {
        host, "Cookie: k=v", "Accept: */*", "Referer: " + url, "Accept-Language: zh-cn",
        "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"};
    EXPECT_EQ(sentByWinHttp.headers, expectedWinHttp);
}

}  // namespace
}  // namespace kestrova
