#pragma once
// A scripted Internet session for tests: every call is recorded with all its
// arguments, in order, and answered from a script.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/text.h"
#include "platform/internet.h"

namespace kestrova::fake {

struct InternetScript {
    bool openFails = false;
    bool connectFails = false;
    bool openRequestFails = false;
    // The server cannot be reached: the send fails, reads deliver nothing and
    // the header query fails.
    bool unreachable = false;
    // Handed out in pieces of the size each read asks for.
    Bytes body{};
    // The raw header text; absent, the header query fails as with no response.
    std::optional<std::string> rawHeaders{};
};

class FakeInternet final : public platform::Internet {
public:
    explicit FakeInternet(InternetScript script = {});

    platform::InternetHandle internetOpenA(const char* agent, uint32_t accessType, const char* proxy,
                                           const char* proxyBypass, uint32_t flags) override;
    platform::InternetHandle internetConnectA(platform::InternetHandle internet, const char* serverName,
                                              uint16_t serverPort, const char* userName, const char* password,
                                              uint32_t service, uint32_t flags, uintptr_t context) override;
    platform::InternetHandle httpOpenRequestA(platform::InternetHandle connection, const char* verb,
                                              const char* objectName, const char* version, const char* referrer,
                                              const char** acceptTypes, uint32_t flags, uintptr_t context) override;
    bool internetSetOptionA(platform::InternetHandle handle, uint32_t option, const void* buffer,
                            uint32_t length) override;
    bool httpSendRequestA(platform::InternetHandle request, const char* headers, uint32_t headersLength,
                          const void* optional, uint32_t optionalLength) override;
    bool internetReadFile(platform::InternetHandle request, void* buffer, uint32_t bytesToRead,
                          uint32_t* bytesRead) override;
    bool httpQueryInfoA(platform::InternetHandle request, uint32_t infoLevel, void* buffer, uint32_t* bufferLength,
                        uint32_t* index) override;
    bool internetCloseHandle(platform::InternetHandle handle) override;

    // Every call as one line, e.g. HttpOpenRequestA(#2, "GET", "/", "HTTP/1.1",
    // null, null, 0x80000010, 0): handles as #n in the order they were handed
    // out, texts quoted (see quotedBytes()), null pointers as null, flags in hex.
    const std::vector<std::string>& calls() const { return calls_; }
    // The calls of one function, in order.
    std::vector<std::string> callsOf(const std::string& function) const;
    // Handles handed out and not yet closed.
    int openHandles() const { return static_cast<int>(open_.size()); }

private:
    enum class Kind { internet, connection, request };
    platform::InternetHandle handOut(Kind kind);
    std::string name(platform::InternetHandle handle) const;
    bool isOpen(platform::InternetHandle handle, Kind kind) const;
    void record(const std::string& function, const std::vector<std::string>& arguments);

    InternetScript script_;
    std::vector<std::string> calls_;
    std::map<platform::InternetHandle, Kind> open_;
    std::map<platform::InternetHandle, int> numbers_;
    int handedOut_ = 0;
    bool sent_ = false;
    size_t bodyRead_ = 0;
};

}  // namespace kestrova::fake
