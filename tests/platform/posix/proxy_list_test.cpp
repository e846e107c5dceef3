#include "platform/posix/proxy_list.h"

#include <gtest/gtest.h>

namespace kestrova::posix {
namespace {

TEST(ProxyForRequest, PicksTheEntryForTheSchemeThenThePlainOneAndHonoursTheBypassList) {
    struct Case {
        const char* list;
        const char* bypass;
        bool secure;
        const char* host;
        const char* proxy;
    } cases[] = {
        {"", "", false, "example.com", ""},
        {"p:8080", "", false, "example.com", "http://p:8080"},
        {"p:8080", "", true, "example.com", "http://p:8080"},
        {"http=h:1", "", false, "example.com", "http://h:1"},
        {"http=h:1", "", true, "example.com", ""},
        {"https=s:2 http=h:1", "", true, "example.com", "http://s:2"},
        {"p:9;HTTP=h:1", "", false, "example.com", "http://h:1"},
        {"ftp=f:21", "", false, "example.com", ""},
        {"http=http://h:1", "", false, "example.com", "http://h:1"},
        {"p:9", "*.example.com", false, "www.EXAMPLE.com", ""},
        {"p:9", "*.example.com", false, "example.com", "http://p:9"},
        {"p:9", "other.org; exa*e.com", false, "example.com", ""},
        {"p:9", "<local>", false, "intranet", ""},
        {"p:9", "<local>", false, "intranet.example", "http://p:9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(proxyForRequest(c.list, c.bypass, c.secure, c.host), c.proxy)
            << c.list << " | " << c.bypass << " | " << c.secure << " | " << c.host;
    }
}

}  // namespace
}  // namespace kestrova::posix
