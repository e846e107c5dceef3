#pragma once
// The Internet-session seam on Linux, over libcurl.
//
// Each handle names an object in this adapter's own table: a null, closed or
// foreign handle fails cleanly, and a child keeps working after its parent is
// closed. The request is made in full by httpSendRequestA: it answers true
// once the final response's header block has arrived (the body may have broken
// off after it, which the last internetReadFile then reports as a failure), and
// the body waits in memory for internetReadFile. httpQueryInfoA knows level 22
// only: the status line and every header line of the final response, each
// ended by CR LF, then the empty line that ends the block ("\r\n\r\n" at the
// end), as WinInet gives it. Access types 3 (a proxy list) and 0, 1, 4 (direct:
// Linux has no system proxy settings here); security flags are option 31 only.
// Without INTERNET_FLAG_NO_COOKIES requests share one process-wide cookie
// store. libcurl adds no header of its own besides Host and Content-Length: the
// agent goes out only when the block has no User-Agent, and there is no
// Accept unless the block or the accept types give one.

#include <memory>

#include "platform/internet.h"

namespace kestrova::posix {

struct CurlTimeouts {
    long connectSeconds = 60;
    // A transfer that receives nothing for this long ends.
    long idleSeconds = 60;
};

class CurlInternet final : public platform::Internet {
public:
    explicit CurlInternet(CurlTimeouts timeouts = {});
    ~CurlInternet() override;

    platform::InternetHandle internetOpenA(const char* agent, uint32_t accessType, const char* proxy,
                                           const char* proxyBypass, uint32_t flags) override;
    platform::InternetHandle internetConnectA(platform::InternetHandle internet, const char* serverName,
                                              uint16_t serverPort, const char* userName, const char* password,
                                              uint32_t service, uint32_t flags, uintptr_t context) override;
    platform::InternetHandle httpOpenRequestA(platform::InternetHandle connection, const char* verb,
                                              const char* objectName, const char* version, const char* referrer,
                                              const char** acceptTypes, uint32_t flags,
                                              uintptr_t context) override;
    bool internetSetOptionA(platform::InternetHandle handle, uint32_t option, const void* buffer,
                            uint32_t length) override;
    bool httpSendRequestA(platform::InternetHandle request, const char* headers, uint32_t headersLength,
                          const void* optional, uint32_t optionalLength) override;
    bool internetReadFile(platform::InternetHandle request, void* buffer, uint32_t bytesToRead,
                          uint32_t* bytesRead) override;
    bool httpQueryInfoA(platform::InternetHandle request, uint32_t infoLevel, void* buffer, uint32_t* bufferLength,
                        uint32_t* index) override;
    bool internetCloseHandle(platform::InternetHandle handle) override;

private:
    struct Handles;

    CurlTimeouts timeouts_;
    std::unique_ptr<Handles> handles_;
};

}  // namespace kestrova::posix
