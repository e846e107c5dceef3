#pragma once
// Runs tests/support/http_test_server.py on 127.0.0.1 for the lifetime of one
// object: plain HTTP, or HTTPS with a throw-away self-signed certificate for
// the name "localhost" (so it fails every certificate check a client makes at
// 127.0.0.1 unless told to ignore it). The script's header lists the routes:
// /echo, /redirect, /landing, /cookies, /big-headers, /blob, /auth, /stall,
// /stall-body.
//
//     kestrova::test::TestServer server;                                    // HTTP
//     kestrova::test::TestServer tls(kestrova::test::TestServer::Scheme::Https);
//     server.url("/echo")   // "http://127.0.0.1:<port>/echo"
//
// The constructor throws std::runtime_error when the server does not come up
// (GoogleTest reports that as the test's failure). The destructor sends
// SIGTERM and waits for the process; should the test process die first, the
// server sees its stdin close and exits by itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova::test {

class TestServer {
public:
    enum class Scheme { Http, Https };

    explicit TestServer(Scheme scheme = Scheme::Http);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    uint16_t port() const { return port_; }
    bool secure() const { return secure_; }
    // The scheme, "://127.0.0.1:", the port and `path` (which starts with "/").
    std::string url(std::string_view path) const;

private:
    int pid_ = -1;
    int stdinPipe_ = -1;
    uint16_t port_ = 0;
    bool secure_ = false;
};

// A loopback port nothing listens on: bound to find a free one, then released.
uint16_t closedLoopbackPort();

// Byte `index` of every /blob body: index % 251, so NULs recur.
inline unsigned char blobByte(size_t index) { return static_cast<unsigned char>(index % 251); }

}  // namespace kestrova::test
