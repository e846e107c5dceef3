#pragma once
// The Internet-session seam on Linux, over libcurl.

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
    CurlTimeouts timeouts_;
};

}  // namespace kestrova::posix
