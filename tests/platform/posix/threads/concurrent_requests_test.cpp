#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/internet_curl.h"
#include "platform/posix/winhttp_request_curl.h"
#include "support/echo.h"
#include "support/test_server.h"

namespace kestrova::posix {
namespace {

using namespace platform;
using test::TestServer;

constexpr int THREADS = 4;
constexpr int ROUNDS = 5;

// GET `path` with the cookie store on; the body, or "(not sent)".
std::string fetch(Internet& internet, uint16_t port, const std::string& path) {
    InternetHandle session = internet.internetOpenA("Concurrent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    InternetHandle connection =
        internet.internetConnectA(session, "127.0.0.1", port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    InternetHandle request = internet.httpOpenRequestA(connection, "GET", path.c_str(), "HTTP/1.1", nullptr,
                                                       nullptr, INTERNET_FLAG_RELOAD, 0);
    std::string body = "(not sent)";
    if (internet.httpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        body.clear();
        std::array<char, 1024> piece{};
        uint32_t count = 0;
        while (internet.internetReadFile(request, piece.data(), piece.size(), &count) && count > 0) {
            body.append(piece.data(), count);
        }
    }
    internet.internetCloseHandle(request);
    internet.internetCloseHandle(connection);
    internet.internetCloseHandle(session);
    return body;
}

bool sendsCookie(const std::string& echoBody, const std::string& pair) {
    for (const std::string& line : test::parseEcho(echoBody).named("Cookie")) {
        if (line.find(pair) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(ConcurrentRequests, ThreadsOfOneSessionAdapterShareTheCookieStoreSafely) {
    TestServer server;
    CurlInternet internet(CurlTimeouts{.connectSeconds = 5, .idleSeconds = 5});
    std::vector<std::thread> workers;
    for (int t = 0; t < THREADS; ++t) {
        workers.emplace_back([&, t] {
            for (int round = 0; round < ROUNDS; ++round) {
                const std::string name = "thread" + std::to_string(t) + "round" + std::to_string(round);
                EXPECT_EQ(fetch(internet, server.port(), "/cookies?set=" + name + "%3D1"), "cookies");
                EXPECT_TRUE(sendsCookie(fetch(internet, server.port(), "/echo"), name + "=1")) << name;
                EXPECT_EQ(fetch(internet, server.port(), "/cookies?set=" + name + "%3D%3B%20Max-Age%3D0"), "cookies");
                EXPECT_FALSE(sendsCookie(fetch(internet, server.port(), "/echo"), name + "=")) << name;
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
}

TEST(ConcurrentRequests, RequestObjectsOnSeveralThreadsEachGetTheirOwnAnswer) {
    TestServer server;
    std::vector<std::thread> workers;
    for (int t = 0; t < THREADS; ++t) {
        workers.emplace_back([&, t] {
            for (int round = 0; round < ROUNDS; ++round) {
                const size_t size = 1000 * static_cast<size_t>(t + 1) + static_cast<size_t>(round);
                const auto request = createWinHttpRequest();
                const std::vector<Variant> open = {Variant(Text("GET")),
                                                   Variant(Text(server.url("/blob?size=" + std::to_string(size))))};
                ASSERT_TRUE(request->invoke("Open", DISPATCH_METHOD, open));
                ASSERT_TRUE(request->invoke("Send", DISPATCH_METHOD, {}));
                const auto body = request->invoke("ResponseBody", DISPATCH_PROPERTYGET, {});
                ASSERT_TRUE(body && std::holds_alternative<Bytes>(*body));
                const Bytes& bytes = std::get<Bytes>(*body);
                ASSERT_EQ(static_cast<size_t>(bytes.length()), size);
                for (size_t i = 0; i < size; ++i) {
                    ASSERT_EQ(bytes.data()[i], test::blobByte(i)) << i;
                }
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
}

}  // namespace
}  // namespace kestrova::posix
