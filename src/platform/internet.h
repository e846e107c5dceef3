#pragma once
// The Internet-session seam: the synchronous ANSI subset of WinInet that one
// page fetch needs, with WinInet's own flag and option numbers.

#include <cstdint>

#include "platform/seam.h"

namespace kestrova::platform {

using InternetHandle = void*;

inline constexpr uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr uint32_t INTERNET_OPEN_TYPE_PROXY = 3;
inline constexpr uint32_t INTERNET_SERVICE_HTTP = 3;
inline constexpr uint32_t INTERNET_FLAG_RELOAD = 0x80000000u;
inline constexpr uint32_t INTERNET_FLAG_NEED_FILE = 0x00000010u;
inline constexpr uint32_t INTERNET_FLAG_NO_COOKIES = 0x00080000u;
inline constexpr uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000u;
inline constexpr uint32_t INTERNET_FLAG_SECURE = 0x00800000u;
inline constexpr uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000u;
inline constexpr uint32_t INTERNET_OPTION_SECURITY_FLAGS = 31;
inline constexpr uint32_t HTTP_QUERY_RAW_HEADERS_CRLF = 22;

// Certificate checks that INTERNET_OPTION_SECURITY_FLAGS can switch off.
inline constexpr uint32_t SECURITY_FLAG_IGNORE_REVOCATION = 0x00000080u;
inline constexpr uint32_t SECURITY_FLAG_IGNORE_UNKNOWN_CA = 0x00000100u;
inline constexpr uint32_t SECURITY_FLAG_IGNORE_WRONG_USAGE = 0x00000200u;
inline constexpr uint32_t SECURITY_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000u;
inline constexpr uint32_t SECURITY_FLAG_IGNORE_CERT_DATE_INVALID = 0x00002000u;

class Internet {
public:
    static constexpr const char* seamName = "Internet session";
    virtual ~Internet() = default;

    // Each answers a null handle or false on failure, as WinInet does.
    virtual InternetHandle internetOpenA(const char* agent, uint32_t accessType, const char* proxy,
                                         const char* proxyBypass, uint32_t flags) = 0;
    virtual InternetHandle internetConnectA(InternetHandle internet, const char* serverName, uint16_t serverPort,
                                            const char* userName, const char* password, uint32_t service,
                                            uint32_t flags, uintptr_t context) = 0;
    virtual InternetHandle httpOpenRequestA(InternetHandle connection, const char* verb, const char* objectName,
                                            const char* version, const char* referrer, const char** acceptTypes,
                                            uint32_t flags, uintptr_t context) = 0;
    virtual bool internetSetOptionA(InternetHandle handle, uint32_t option, const void* buffer, uint32_t length) = 0;
    virtual bool httpSendRequestA(InternetHandle request, const char* headers, uint32_t headersLength,
                                  const void* optional, uint32_t optionalLength) = 0;
    // Sets *bytesRead to 0 before anything else; 0 with true means the end.
    virtual bool internetReadFile(InternetHandle request, void* buffer, uint32_t bytesToRead,
                                  uint32_t* bytesRead) = 0;
    // Writes the zero-terminated text into `buffer` and its length, without
    // the zero, into *bufferLength; fails when it does not fit, answering the
    // size needed.
    virtual bool httpQueryInfoA(InternetHandle request, uint32_t infoLevel, void* buffer, uint32_t* bufferLength,
                                uint32_t* index) = 0;
    virtual bool internetCloseHandle(InternetHandle handle) = 0;
};

inline Internet& internet() { return Installed<Internet>::get(); }

}  // namespace kestrova::platform
