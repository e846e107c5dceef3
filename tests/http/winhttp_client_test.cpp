#include "http/winhttp_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/automation_host.h"
#include "platform/fake/fake_automation.h"
#include "platform/fake/quoted.h"
#include "support/printers.h"

namespace kestrova {
namespace {

using fake::quotedBytes;
using platform::DISPATCH_METHOD;
using platform::DISPATCH_PROPERTYGET;
using platform::DISPATCH_PROPERTYPUT;

const Text progId = "WinHttp.WinHttpRequest.5.1";
const std::string object = "WinHttp.WinHttpRequest.5.1#1";
const Text defaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

std::string call(const std::string& member, const std::string& arguments, const std::string& on = object) {
    return on + " method " + member + "(" + arguments + ")";
}

std::string header(const Text& name, const Text& value) {
    return call("SetRequestHeader", quotedBytes(name.bytes()) + ", " + quotedBytes(value.bytes()));
}

class FetchViaWinHttpTest : public ::testing::Test {
protected:
    FetchViaWinHttpTest() {
        host.registerClass(progId)
            .on("SetTimeouts", DISPATCH_METHOD)
            .on("SetProxy", DISPATCH_METHOD)
            .on("Open", DISPATCH_METHOD)
            .on("Option", DISPATCH_PROPERTYPUT)
            .on("SetCredentials", DISPATCH_METHOD)
            .on("SetRequestHeader", DISPATCH_METHOD)
            .on("Send", DISPATCH_METHOD)
            .on("ResponseBody", DISPATCH_PROPERTYGET, [this](const std::vector<Variant>&) { return responseBody; })
            .on("GetAllResponseHeaders", DISPATCH_METHOD,
                [this](const std::vector<Variant>&) { return std::optional<Variant>(responseHeaders); })
            .on("Status", DISPATCH_PROPERTYGET, int32_t{302})
            .on("StatusText", DISPATCH_PROPERTYGET, Text("Found"));
    }

    std::vector<std::string> headersSet() const { return host.answeredCalls("SetRequestHeader"); }

    fake::FakeAutomation host;
    platform::ScopedAdapter<platform::AutomationHost> guard{host};
    std::optional<Variant> responseBody = Variant(Bytes{'o', 0, 'k'});
    Text responseHeaders = "Location: http://target.example/\r\nSet-Cookie: s=1; path=/\r\n";
};

TEST_F(FetchViaWinHttpTest, DefaultsMakeTheseCallsInThisOrder) {
    WinHttpRequest request{.url = "http://h.example/x"};
    const Bytes body = fetchViaWinHttp(request);
    EXPECT_EQ(host.answeredCalls(), (std::vector<std::string>{
                                        call("SetTimeouts", "15000, 15000, 15000, 15000"),
                                        call("Open", "\"GET\", \"http://h.example/x\", false"),
                                        object + " put Option(4, 13056)",
                                        header("Accept", "*/*"),
                                        header("Referer", "http://h.example/x"),
                                        header("Accept-Language", "zh-cn"),
                                        header("User-Agent", defaultAgent),
                                        call("Send", "\"\""),
                                        object + " get ResponseBody()",
                                        object + " method GetAllResponseHeaders()",
                                        object + " get Status()",
                                        object + " get StatusText()",
                                    }));
    EXPECT_EQ(body, (Bytes{'o', 0, 'k'}));
    EXPECT_EQ(request.requestHeaders, concatText("Accept: */*\r\nReferer: http://h.example/x\r\n"
                                                 "Accept-Language: zh-cn\r\nUser-Agent: ",
                                                 defaultAgent));
    EXPECT_EQ(request.responseHeaders, responseHeaders);
    EXPECT_EQ(request.statusCode, 302);
    EXPECT_EQ(request.receivedCookies, Text("s=1"));
    EXPECT_EQ(host.coInitializeCount(), 1);
    EXPECT_EQ(host.coUninitializeCount(), 1);
    EXPECT_EQ(host.liveObjects(), 0);
}

TEST_F(FetchViaWinHttpTest, TheLinkProbeTurnsRedirectsOffBeforeTheCertificateOption) {
    WinHttpRequest request{.url = "http://www.baidu.com/link?url=x", .noRedirect = true};
    fetchViaWinHttp(request);
    EXPECT_EQ(host.answeredCalls("Option"),
              (std::vector<std::string>{object + " put Option(6, 0)", object + " put Option(4, 13056)"}));
}

TEST_F(FetchViaWinHttpTest, TimeOuts) {
    struct Case {
        int32_t seconds;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {0, {call("SetTimeouts", "15000, 15000, 15000, 15000")}},
        {30, {call("SetTimeouts", "30000, 30000, 30000, 30000")}},
        {-5, {call("SetTimeouts", "15000, 15000, 15000, 15000")}},
        {-1, {}},
        // Beyond 32 bits of milliseconds: the longest time-out there is.
        {3000000, {call("SetTimeouts", "2147483647, 2147483647, 2147483647, 2147483647")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        fake::FakeAutomation fresh;
        fresh.registerClass(progId).on("SetTimeouts", DISPATCH_METHOD);
        platform::ScopedAdapter<platform::AutomationHost> use(fresh);
        WinHttpRequest request{.url = "http://h.example/", .timeoutSeconds = c.seconds};
        fetchViaWinHttp(request);
        EXPECT_EQ(fresh.answeredCalls("SetTimeouts"), c.calls);
    }
}

TEST_F(FetchViaWinHttpTest, MethodsAndTheContentTypeDefault) {
    struct Case {
        int32_t method;
        const char* verb;
        bool contentType;
    };
    const Case cases[] = {{8, "GET", false}, {-1, "GET", false}, {1, "POST", true}, {3, "PUT", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        fake::FakeAutomation fresh;
        fresh.registerClass(progId).on("Open", DISPATCH_METHOD).on("SetRequestHeader", DISPATCH_METHOD);
        platform::ScopedAdapter<platform::AutomationHost> use(fresh);
        WinHttpRequest request{.url = "http://h.example/", .method = c.method};
        fetchViaWinHttp(request);
        EXPECT_EQ(
            fresh.answeredCalls("Open"),
            std::vector<std::string>{call("Open", std::string("\"") + c.verb + "\", \"http://h.example/\", false")});
        const std::vector<std::string> headers = fresh.answeredCalls("SetRequestHeader");
        const std::string contentType = header("Content-Type", "application/x-www-form-urlencoded");
        EXPECT_EQ(std::count(headers.begin(), headers.end(), contentType), c.contentType ? 1 : 0);
    }
}

TEST_F(FetchViaWinHttpTest, HeaderLinesSent) {
    struct Case {
        const char* name;
        WinHttpRequest request;
        std::vector<std::string> headers;
    };
    const Case cases[] = {
        {"keys found in any case and inside longer names",
         {.url = "http://h/", .requestHeaders = "X-Accept: 1\r\nreferer: r\r\naccept-language: en\r\nuser-agent: u"},
         {header("X-Accept", "1"), header("Referer", "r"), header("Accept-Language", "en"), header("User-Agent", "u")}},
        {"an empty block without completion or normalisation",
         {.url = "http://h/", .completeHeaders = false, .normalizeHeaders = false},
         {header("", "")}},
        {"a single line without a colon",
         {.url = "http://h/", .requestHeaders = "no colon", .completeHeaders = false, .normalizeHeaders = false},
         {header("", "")}},
        {"keep-alive connection dropped, other connections sent",
         {.url = "http://h/",
          .requestHeaders = "Connection: keep-alive\r\n\r\nConnection: close\r\nX: a: b",
          .completeHeaders = false,
          .normalizeHeaders = false},
         {header("Connection", "close"), header("X", "a: b")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeAutomation fresh;
        fresh.registerClass(progId).on("SetRequestHeader", DISPATCH_METHOD);
        platform::ScopedAdapter<platform::AutomationHost> use(fresh);
        WinHttpRequest request = c.request;
        fetchViaWinHttp(request);
        EXPECT_EQ(fresh.answeredCalls("SetRequestHeader"), c.headers);
    }
}

TEST_F(FetchViaWinHttpTest, CompletionStartsWithALineBreakAndNormalisationDropsIt) {
    WinHttpRequest request{.url = "http://h/", .normalizeHeaders = false};
    fetchViaWinHttp(request);
    EXPECT_EQ(
        request.requestHeaders,
        concatText("\r\nAccept: */*\r\nReferer: http://h/\r\nAccept-Language: zh-cn\r\nUser-Agent: ", defaultAgent));
    EXPECT_EQ(headersSet().front(), header("Accept", "*/*"));
}

TEST_F(FetchViaWinHttpTest, ProxyAndItsCredentials) {
    struct Case {
        const char* name;
        WinHttpRequest request;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"proxy alone", {.url = "http://h/", .proxy = "p.example:3128"}, {call("SetProxy", "2, \"p.example:3128\"")}},
        {"user without proxy", {.url = "http://h/", .proxyUser = "u", .proxyPassword = "pw"}, {}},
        {"credentials for the proxy",
         {.url = "http://h/", .proxy = "p:1", .proxyUser = "u", .proxyPassword = "pw"},
         {call("SetProxy", "2, \"p:1\""), call("SetCredentials", "\"u\", \"pw\", 1"),
          header("Proxy-Authorization", "Basic dTpwdw==")}},
        {"an empty password keeps its colon",
         {.url = "http://h/", .proxy = "p:1", .proxyUser = "u"},
         {call("SetProxy", "2, \"p:1\""), call("SetCredentials", "\"u\", \"\", 1"),
          header("Proxy-Authorization", "Basic dTo=")}},
        {"credentials for the server",
         {.url = "http://h/", .proxy = "p:1", .proxyUser = "u", .proxyPassword = "pw", .credentialTarget = 0},
         {call("SetProxy", "2, \"p:1\""), call("SetCredentials", "\"u\", \"pw\", 0")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeAutomation fresh;
        fresh.registerClass(progId)
            .on("SetProxy", DISPATCH_METHOD)
            .on("SetCredentials", DISPATCH_METHOD)
            .on("SetRequestHeader", DISPATCH_METHOD, [](const std::vector<Variant>& arguments) {
                // Only the proxy header is of interest here.
                return arguments.at(0) == Variant(Text("Proxy-Authorization")) ? std::optional<Variant>(Variant())
                                                                               : std::nullopt;
            });
        platform::ScopedAdapter<platform::AutomationHost> use(fresh);
        WinHttpRequest request = c.request;
        fetchViaWinHttp(request);
        EXPECT_EQ(fresh.answeredCalls(), c.calls);
    }
}

TEST_F(FetchViaWinHttpTest, CookieHeaderAndTheCallersCookie) {
    struct Case {
        const char* name;
        std::optional<Text> cookie;
        bool merge;
        std::vector<std::string> cookieHeaders;
        std::optional<Text> cookieAfter;
        Text received;
    };
    const Case cases[] = {
        {"absent", std::nullopt, true, {}, std::nullopt, "s=1"},
        {"given empty", Text(""), true, {header("Cookie", "")}, Text("s=1"), "s=1"},
        {"header name removed, blank kept",
         Text("cookie: a=2"),
         false,
         {header("Cookie", " a=2")},
         Text(" a=2"),
         "s=1"},
        {"merged when asked",
         Text("Cookie: a=2; s=0"),
         true,
         {header("Cookie", " a=2; s=0")},
         Text("s=1; a=2"),
         "s=1; a=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeAutomation fresh;
        fresh.registerClass(progId)
            .on("SetRequestHeader", DISPATCH_METHOD)
            .on("GetAllResponseHeaders", DISPATCH_METHOD, responseHeaders);
        platform::ScopedAdapter<platform::AutomationHost> use(fresh);
        WinHttpRequest request{.url = "http://h/", .cookie = c.cookie, .mergeReceivedCookies = c.merge};
        fetchViaWinHttp(request);
        std::vector<std::string> cookieHeaders;
        for (const std::string& line : fresh.answeredCalls("SetRequestHeader")) {
            if (line.starts_with(object + " method SetRequestHeader(\"Cookie\", ")) {
                cookieHeaders.push_back(line);
            }
        }
        EXPECT_EQ(cookieHeaders, c.cookieHeaders);
        EXPECT_EQ(request.cookie, c.cookieAfter);
        EXPECT_EQ(request.receivedCookies, c.received);
    }
}

TEST_F(FetchViaWinHttpTest, CollectsTheCookiesTheResponseSets) {
    struct Case {
        Text headers;
        Text received;
    };
    const Case cases[] = {
        {"Set-Cookie: a=1; path=/\r\nLocation: x\r\nSet-Cookie: b=2\r\n", "a=1; b=2"},
        {"Set-Cookie: a=1\r\nSet-Cookie: a=1\r\n", "a=1; a=1"},
        {"Location: x\r\n", ""},
        {"set-cookie: c=3\r\n", ""},
    };
    for (const Case& c : cases) {
        responseHeaders = c.headers;
        WinHttpRequest request{.url = "http://h/"};
        fetchViaWinHttp(request);
        EXPECT_EQ(request.receivedCookies, c.received) << c.headers.bytes();
    }
}

TEST_F(FetchViaWinHttpTest, BodyBytesWinOverBodyText) {
    struct Case {
        Text bodyText;
        Bytes bodyBytes;
        std::string send;
    };
    const Case cases[] = {
        {"t=1", {'b', 0}, call("Send", "bytes \"b\\x00\"")},
        {"t=1", {}, call("Send", "\"t=1\"")},
    };
    for (const Case& c : cases) {
        fake::FakeAutomation fresh;
        fresh.registerClass(progId).on("Send", DISPATCH_METHOD);
        platform::ScopedAdapter<platform::AutomationHost> use(fresh);
        WinHttpRequest request{.url = "http://h/", .method = 1, .bodyText = c.bodyText, .bodyBytes = c.bodyBytes};
        fetchViaWinHttp(request);
        EXPECT_EQ(fresh.answeredCalls("Send"), std::vector<std::string>{c.send});
    }
}

TEST_F(FetchViaWinHttpTest, OnlyAByteArrayIsABody) {
    responseBody = Variant(Text("text"));
    WinHttpRequest request{.url = "http://h/"};
    EXPECT_EQ(fetchViaWinHttp(request), Bytes());
    responseBody = std::nullopt;
    EXPECT_EQ(fetchViaWinHttp(request), Bytes());
}

TEST_F(FetchViaWinHttpTest, AGivenObjectIsUsedAndLivesOn) {
    const AutomationObject mine = host.makeObject(progId);
    WinHttpRequest request{.url = "http://h/", .requestObject = mine};
    fetchViaWinHttp(request);
    fetchViaWinHttp(request);
    EXPECT_TRUE(host.creationRequests().empty());
    EXPECT_EQ(host.liveObjects(), 1);
    EXPECT_EQ(host.answeredCalls("Open").size(), 2u);
    for (const fake::Invocation& invocation : host.invocations()) {
        EXPECT_EQ(invocation.object, object);
    }
    EXPECT_EQ(request.requestObject, mine);
}

TEST_F(FetchViaWinHttpTest, WithoutAGivenObjectEveryCallMakesAndEndsItsOwn) {
    WinHttpRequest request{.url = "http://h/"};
    fetchViaWinHttp(request);
    fetchViaWinHttp(request);
    EXPECT_EQ(host.creationRequests(), (std::vector<Text>{progId, progId}));
    EXPECT_EQ(
        host.answeredCalls("Open"),
        (std::vector<std::string>{call("Open", "\"GET\", \"http://h/\", false"),
                                  call("Open", "\"GET\", \"http://h/\", false", "WinHttp.WinHttpRequest.5.1#2")}));
    EXPECT_EQ(host.liveObjects(), 0);
}

TEST_F(FetchViaWinHttpTest, NoObjectNoChange) {
    fake::FakeAutomation empty;
    platform::ScopedAdapter<platform::AutomationHost> use(empty);
    WinHttpRequest request{.url = "http://h/",
                           .cookie = "Cookie: k=v",
                           .receivedCookies = "r",
                           .requestHeaders = "accept: x",
                           .responseHeaders = "h",
                           .statusCode = 200};
    const WinHttpRequest before = request;
    EXPECT_EQ(fetchViaWinHttp(request), Bytes());
    EXPECT_EQ(request.cookie, before.cookie);
    EXPECT_EQ(request.receivedCookies, before.receivedCookies);
    EXPECT_EQ(request.requestHeaders, before.requestHeaders);
    EXPECT_EQ(request.responseHeaders, before.responseHeaders);
    EXPECT_EQ(request.statusCode, before.statusCode);
    EXPECT_EQ(empty.creationRequests(), std::vector<Text>{progId});
    EXPECT_EQ(empty.coInitializeCount(), 1);
    EXPECT_EQ(empty.coUninitializeCount(), 1);
}

TEST_F(FetchViaWinHttpTest, AGivenEmptyObjectFailsEveryOperation) {
    WinHttpRequest request{
        .url = "http://h/", .responseHeaders = "old", .statusCode = 200, .requestObject = AutomationObject()};
    EXPECT_EQ(fetchViaWinHttp(request), Bytes());
    EXPECT_TRUE(host.creationRequests().empty());
    EXPECT_EQ(request.responseHeaders, Text());
    EXPECT_EQ(request.statusCode, 0);
    EXPECT_EQ(host.coUninitializeCount(), 1);
}

}  // namespace
}  // namespace kestrova
