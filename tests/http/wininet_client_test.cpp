#include "http/wininet_client.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_internet.h"
#include "platform/fake/quoted.h"
#include "platform/internet.h"
#include "support/printers.h"

namespace kestrova {
namespace {

using fake::quotedBytes;

const Text defaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

std::string openLine(const Text& agent, int accessType = 1, const char* proxy = "null", const char* bypass = "null") {
    return "InternetOpenA(" + quotedBytes(agent.bytes()) + ", " + std::to_string(accessType) + ", " + proxy + ", " +
           bypass + ", 0x00000000)";
}

std::string openRequestLine(const char* verb, const Text& object, uint32_t flags) {
    return std::string("HttpOpenRequestA(#2, \"") + verb + "\", " + quotedBytes(object.bytes()) +
           ", \"HTTP/1.1\", null, null, " + fake::hex32(flags) + ", 0)";
}

std::string sendLine(const Text& block, const std::string& data = "null", size_t dataLength = 0) {
    return "HttpSendRequestA(#3, " + quotedBytes(block.bytes()) + ", " + std::to_string(block.bytes().size()) + ", " +
           data + ", " + std::to_string(dataLength) + ")";
}

// Runs one fetch against a session scripted with `script`.
struct Fetch {
    explicit Fetch(fake::InternetScript script = {}) : internet(std::move(script)) {}
    Bytes run(WinInetRequest& request) {
        platform::ScopedAdapter<platform::Internet> guard(internet);
        return fetchViaWinInet(request);
    }
    std::string only(const std::string& function) const {
        const std::vector<std::string> calls = internet.callsOf(function);
        return calls.size() == 1 ? calls[0] : "not called exactly once";
    }
    fake::FakeInternet internet;
};

TEST(FetchViaWinInet, TheHarvestPageRequest) {
    const Text agent = "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:60.0) Gecko/20100101 Firefox/60.0";
    const Text url = "https://www.baidu.com/s?wd=%E4%BD%A0&pn=10";
    const Text cookie = "BAIDUID=A1:FG=1; BIDUPSID=B2";
    std::vector<unsigned char> page(2500, 'x');
    page[7] = 0;
    fake::InternetScript script;
    script.body = Bytes(page);
    script.rawHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie: H_PS=9; path=/\r\nContent-Type: text/html\r\n\r\n";
    Fetch fetch(script);
    WinInetRequest request{.url = url, .cookie = cookie, .requestHeaders = concatText("User-Agent: ", agent)};

    const Bytes body = fetch.run(request);

    const Text block = concatText("User-Agent: ", agent, "\r\nAccept: */*", "\r\nReferer: ", url,
                                  "\r\nAccept-Language: zh-cn", "\r\nCookie: ", cookie);
    EXPECT_EQ(fetch.internet.calls(), (std::vector<std::string>{
                                          openLine(agent),
                                          "InternetConnectA(#1, \"www.baidu.com\", 443, null, null, 3, 0x00000000, 0)",
                                          openRequestLine("GET", "/s?wd=%E4%BD%A0&pn=10", 0x80880010),
                                          "InternetSetOptionA(#3, 31, 0x0001F380, 4)",
                                          sendLine(block),
                                          "InternetReadFile(#3, 1024)",
                                          "InternetReadFile(#3, 1024)",
                                          "InternetReadFile(#3, 1024)",
                                          "InternetReadFile(#3, 1024)",
                                          "HttpQueryInfoA(#3, 22, 5000, null)",
                                          "InternetCloseHandle(#3)",
                                          "InternetCloseHandle(#2)",
                                          "InternetCloseHandle(#1)",
                                      }));
    EXPECT_EQ(body, Bytes(page));
    EXPECT_EQ(request.requestHeaders, block);
    EXPECT_EQ(request.responseHeaders, Text(*script.rawHeaders));
    EXPECT_EQ(request.receivedCookies, Text("H_PS=9; BAIDUID=A1:FG=1; BIDUPSID=B2"));
    EXPECT_EQ(request.cookie, Text("H_PS=9; BAIDUID=A1:FG=1; BIDUPSID=B2"));
    EXPECT_EQ(fetch.internet.openHandles(), 0);
}

TEST(FetchViaWinInet, AgentFlagsAndHeaderBlock) {
    struct Case {
        const char* name;
        WinInetRequest request;
        Text agent;
        const char* verb;
        Text object;
        uint32_t flags;
        Text block;
    };
    const Case cases[] = {
        {"defaults over HTTP",
         {.url = "http://h.example/p"},
         defaultAgent,
         "GET",
         "/p",
         0x80004010,
         "Accept: */*\r\nReferer: http://h.example/p\r\nAccept-Language: zh-cn"},
        {"no redirect over a scheme in capitals",
         {.url = "HTTPS://h.example/p", .noRedirect = true},
         defaultAgent,
         "GET",
         "/p",
         0x80A00010,
         "Accept: */*\r\nReferer: HTTPS://h.example/p\r\nAccept-Language: zh-cn"},
        {"agent from a lower-case line made canonical",
         {.url = "http://h.example/", .requestHeaders = "user-agent:  Bot/1 "},
         "Bot/1",
         "GET",
         "/",
         0x80004010,
         "User-Agent:  Bot/1 \r\nAccept: */*\r\nReferer: http://h.example/\r\nAccept-Language: zh-cn"},
        {"keys found in any case and inside longer names",
         {.url = "http://h.example/",
          .requestHeaders = "X-Accept: 1\r\nreferer: r\r\naccept-language: en",
          .normalizeHeaders = false},
         defaultAgent,
         "GET",
         "/",
         0x80004010,
         "X-Accept: 1\r\nreferer: r\r\naccept-language: en"},
        {"lines without a colon dropped",
         {.url = "http://h.example/", .requestHeaders = "junk\r\n\r\nAccept: a"},
         defaultAgent,
         "GET",
         "/",
         0x80004010,
         "Accept: a\r\nReferer: http://h.example/\r\nAccept-Language: zh-cn"},
        {"cookie without completion",
         {.url = "http://h.example/", .cookie = "a=1", .completeHeaders = false},
         defaultAgent,
         "GET",
         "/",
         0x80084010,
         "\r\nCookie: a=1"},
        {"cookie that is already a header line",
         {.url = "http://h.example/", .cookie = "Cookie: a=1", .completeHeaders = false},
         defaultAgent,
         "GET",
         "/",
         0x80084010,
         "\r\nCookie: a=1"},
        {"given empty cookie adds no line but turns stored cookies off",
         {.url = "http://h.example/", .cookie = "", .completeHeaders = false},
         defaultAgent,
         "GET",
         "/",
         0x80084010,
         ""},
        {"POST gets a content type",
         {.url = "http://h.example/", .method = 1, .completeHeaders = true},
         defaultAgent,
         "POST",
         "/",
         0x80004010,
         "Accept: */*\r\nReferer: http://h.example/\r\nAccept-Language: zh-cn"
         "\r\nContent-Type: application/x-www-form-urlencoded"},
        {"PUT gets none",
         {.url = "http://h.example/", .method = 3},
         defaultAgent,
         "PUT",
         "/",
         0x80004010,
         "Accept: */*\r\nReferer: http://h.example/\r\nAccept-Language: zh-cn"},
        {"index above the table is GET",
         {.url = "http://h.example/", .method = 8, .completeHeaders = false},
         defaultAgent,
         "GET",
         "/",
         0x80004010,
         ""},
        {"negative index is GET",
         {.url = "http://h.example/", .method = -1, .completeHeaders = false},
         defaultAgent,
         "GET",
         "/",
         0x80004010,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch fetch;
        WinInetRequest request = c.request;
        fetch.run(request);
        EXPECT_EQ(fetch.only("InternetOpenA"), openLine(c.agent));
        EXPECT_EQ(fetch.only("HttpOpenRequestA"), openRequestLine(c.verb, c.object, c.flags));
        EXPECT_EQ(fetch.only("HttpSendRequestA"), sendLine(c.block));
        EXPECT_EQ(request.requestHeaders, c.block);
    }
}

TEST(FetchViaWinInet, ProxyListByScheme) {
    struct Case {
        Text url;
        std::string expected;
    };
    const Case cases[] = {
        {"http://h.example/", openLine(defaultAgent, 3, "\"http=proxy.example:8080\"", "\"\"")},
        {"https://h.example/", openLine(defaultAgent, 3, "\"proxy.example:8080\"", "\"\"")},
    };
    for (const Case& c : cases) {
        Fetch fetch;
        WinInetRequest request{.url = c.url, .proxy = "proxy.example:8080"};
        fetch.run(request);
        EXPECT_EQ(fetch.only("InternetOpenA"), c.expected);
    }
}

TEST(FetchViaWinInet, RequestBodies) {
    struct Case {
        const char* name;
        int32_t method;
        Text bodyText;
        Bytes bodyBytes;
        std::string sentData;
        size_t sentLength;
        Bytes bodyBytesAfter;
    };
    const Case cases[] = {
        {"text becomes the bytes sent", 1, "a=1", {}, "\"a=1\"", 3, {'a', '=', '1'}},
        {"bytes win over text, zero bytes included", 3, "ignored", {'x', 0, 'y'}, "\"x\\x00y\"", 3, {'x', 0, 'y'}},
        {"nothing to send", 2, "", {}, "null", 0, {}},
        {"GET sends no body", 0, "a=1", {}, "null", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch fetch;
        WinInetRequest request{.url = "http://h.example/",
                               .method = c.method,
                               .bodyText = c.bodyText,
                               .bodyBytes = c.bodyBytes,
                               .completeHeaders = false};
        fetch.run(request);
        EXPECT_EQ(fetch.only("HttpSendRequestA"), sendLine("", c.sentData, c.sentLength));
        EXPECT_EQ(request.bodyBytes, c.bodyBytesAfter);
    }
}

TEST(FetchViaWinInet, AFailedOpeningClosesWhatWasOpenedAndLeavesTheOutputsAlone) {
    struct Case {
        const char* name;
        fake::InternetScript script;
        Text url;
        std::vector<std::string> tail;
    };
    const std::string connect = "InternetConnectA(#1, \"h.example\", 80, null, null, 3, 0x00000000, 0)";
    const Case cases[] = {
        {"session", {.openFails = true}, "http://h.example/", {}},
        {"connection", {.connectFails = true}, "http://h.example/", {connect, "InternetCloseHandle(#1)"}},
        {"request",
         {.openRequestFails = true},
         "http://h.example/",
         {connect, openRequestLine("GET", "/", 0x80084010), "InternetCloseHandle(#2)", "InternetCloseHandle(#1)"}},
        // No TCP port: better no connection than one to the port 16 bits of it name.
        {"port beyond 65535", {}, "http://h.example:70000/", {"InternetCloseHandle(#1)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch fetch(c.script);
        WinInetRequest request{.url = c.url,
                               .bodyText = "unused",
                               .cookie = "k=v",
                               .receivedCookies = "before",
                               .requestHeaders = "accept: x",
                               .responseHeaders = "before"};
        EXPECT_EQ(fetch.run(request), Bytes());
        std::vector<std::string> expected = {openLine(defaultAgent)};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(fetch.internet.calls(), expected);
        EXPECT_EQ(fetch.internet.openHandles(), 0);
        EXPECT_EQ(request.requestHeaders, Text("Accept: x"));
        EXPECT_EQ(request.cookie, Text("k=v"));
        EXPECT_EQ(request.receivedCookies, Text("before"));
        EXPECT_EQ(request.responseHeaders, Text("before"));
    }
}

TEST(FetchViaWinInet, AnUnreachableServerGivesNoBodyAndBlankHeaders) {
    const struct {
        std::optional<Text> cookie;
        Text receivedCookies;
    } cases[] = {
        {std::nullopt, ""},
        {Text("a=1; b=deleted"), "a=1"},
    };
    for (const auto& c : cases) {
        Fetch fetch({.unreachable = true, .body = Bytes{'x'}, .rawHeaders = "HTTP/1.1 200 OK\r\n\r\n"});
        WinInetRequest request{.url = "http://h.example/", .cookie = c.cookie, .receivedCookies = "before"};
        EXPECT_EQ(fetch.run(request), Bytes());
        EXPECT_EQ(request.responseHeaders, blankText(5000));
        EXPECT_EQ(request.receivedCookies, c.receivedCookies);
        EXPECT_EQ(fetch.internet.openHandles(), 0);
    }
}

TEST(FetchViaWinInet, HeaderTextMustFitFiveThousandBytesWithItsTerminator) {
    const std::string head = "HTTP/1.1 200 OK\r\nX: ";
    for (const size_t size : {4999u, 5000u}) {
        SCOPED_TRACE(size);
        const std::string raw = head + std::string(size - head.size() - 4, 'v') + "\r\n\r\n";
        Fetch fetch({.rawHeaders = raw});
        WinInetRequest request{.url = "http://h.example/"};
        fetch.run(request);
        EXPECT_EQ(request.responseHeaders, size == 4999 ? Text(raw) : blankText(5000));
    }
}

TEST(FetchViaWinInet, CollectsAndMergesReceivedCookies) {
    struct Case {
        const char* name;
        std::string rawHeaders;
        std::optional<Text> cookie;
        bool merge;
        Text received;
        std::optional<Text> cookieAfter;
    };
    const std::string twoCookies =
        "HTTP/1.1 302 Found\r\nSet-Cookie: a=1; path=/; HttpOnly\r\nLocation: /x\r\n"
        "Set-Cookie: b=2\r\n\r\n";
    const Case cases[] = {
        {"pairs without attributes, in order", twoCookies, std::nullopt, true, "a=1; b=2", std::nullopt},
        {"none", "HTTP/1.1 200 OK\r\nX: y\r\n\r\n", Text("k=v"), false, "", Text("k=v")},
        {"a lower-case name is not collected", "HTTP/1.1 200 OK\r\nset-cookie: c=3\r\n\r\n", std::nullopt, true, "",
         std::nullopt},
        {"merged into the given cookie", twoCookies, Text("b=0; k=v"), true, "a=1; b=2; k=v", Text("a=1; b=2; k=v")},
        {"kept apart when not merging", twoCookies, Text("b=0; k=v"), false, "a=1; b=2", Text("b=0; k=v")},
        {"a deleted cookie leaves both", "HTTP/1.1 200 OK\r\nSet-Cookie: k=deleted; path=/\r\n\r\n", Text("k=v; m=n"),
         true, "m=n", Text("m=n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fetch fetch({.rawHeaders = c.rawHeaders});
        WinInetRequest request{.url = "http://h.example/", .cookie = c.cookie, .mergeReceivedCookies = c.merge};
        fetch.run(request);
        EXPECT_EQ(request.receivedCookies, c.received);
        EXPECT_EQ(request.cookie, c.cookieAfter);
    }
}

}  // namespace
}  // namespace kestrova
