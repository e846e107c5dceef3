#include "http/url_parts.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/printers.h"

namespace kestrova {
namespace {

struct UrlCase {
    Text url;
    Text host;
    Text hostWithPort;
    int32_t port;
    Text path;
};

TEST(UrlParts, HostPortAndPath) {
    const UrlCase cases[] = {
        {"HTTPS://Shop.Site.EXAMPLE:8443/Path?q=1", "shop.site.example", "shop.site.example:8443", 8443, "/Path?q=1"},
        {"http://site.example", "site.example", "site.example", 80, "/"},
        {"https://site.example/a/b#f", "site.example", "site.example", 443, "/a/b#f"},
        {"site.example/x", "site.example", "site.example", 80, "/x"},
        {"https.example/x", "https.example", "https.example", 443, "/x"},
        {"site.example/?u=http://other.test/", "other.test", "other.test", 80, "/"},
        {"http://site.example?x=1", "site.example?x=1", "site.example?x=1", 80, "/"},
        {"http://site.example:/x", "site.example", "site.example:", 0, "/x"},
        {"http://site.example:8080x/", "site.example", "site.example:8080x", 8080, "/"},
        {"", "", "", 80, "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url.bytes());
        EXPECT_EQ(urlHost(c.url), c.host);
        EXPECT_EQ(urlHost(c.url, false, true), c.hostWithPort);
        EXPECT_EQ(urlPort(c.url), c.port);
        EXPECT_EQ(urlPath(c.url), c.path);
    }
}

struct MainDomainCase {
    Text url;
    bool keepPort;
    Text expected;
};

TEST(UrlHost, MainDomainKeepsTheLastTwoLabels) {
    const MainDomainCase cases[] = {
        {"a.b.site.example", false, "site.example"},
        {"localhost", false, "localhost"},
        {"site.example:8080", true, "site.example:8080"},
        {"site.example:8080", false, "site.example"},
        {"https://A.B.Site.Example:8080/x", true, "site.example:8080"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(urlHost(c.url, true, c.keepPort), c.expected) << c.url.bytes();
    }
}

struct LevelsCase {
    Text url;
    bool mainDomain;
    bool keepPort;
    int32_t levels;
    Text expected;
};

TEST(UrlHost, LevelsCountLabelsFromTheRight) {
    constexpr int32_t kMost = std::numeric_limits<int32_t>::max();
    const LevelsCase cases[] = {
        {"a.b.c.site.example", true, false, 1, "site.example"},
        {"a.b.c.site.example", false, false, 1, "c.site.example"},
        {"a.b.c.site.example", true, false, 0, "example"},
        {"a.b.c.site.example", false, false, 0, "site.example"},
        {"a.b.c.site.example", true, false, -3, "example"},
        {"a.b.c.site.example", true, false, 2, "c.site.example"},
        {"HTTPS://A.B.C.Site.Example:8080/p.q", true, false, 1, "site.example"},
        {"https://a.b.c.site.example:8080/p", true, true, 1, "site.example:8080"},
        {"site.example", true, false, 5, "site.example"},
        {"site.example", false, false, 5, "site.example"},
        {"a.b.site.example", true, false, kMost, "a.b.site.example"},
        {"", true, false, 1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(urlHost(c.url, c.mainDomain, c.keepPort, c.levels), c.expected)
            << c.url.bytes() << ", levels " << c.levels << ", mainDomain " << c.mainDomain;
    }
}

}  // namespace
}  // namespace kestrova
