#include "platform/fake/fake_internet.h"

#include <algorithm>
#include <cstring>

#include "platform/fake/quoted.h"

namespace kestrova::fake {

namespace {

std::string text(const char* value) { return value == nullptr ? "null" : quotedBytes(value); }

std::string number(uint32_t value) { return std::to_string(value); }

std::string list(const char** values) {
    if (values == nullptr) {
        return "null";
    }
    std::string rendered = "{";
    for (const char** value = values; *value != nullptr; ++value) {
        rendered += (value == values ? "" : ", ") + quotedBytes(*value);
    }
    return rendered + "}";
}

// A four-byte option value reads as the number it holds; anything else as bytes.
std::string optionBuffer(const void* buffer, uint32_t length) {
    if (buffer == nullptr) {
        return "null";
    }
    if (length == 4) {
        uint32_t value = 0;
        std::memcpy(&value, buffer, sizeof value);
        return hex32(value);
    }
    return quotedBytes(std::string_view(static_cast<const char*>(buffer), length));
}

}  // namespace

FakeInternet::FakeInternet(InternetScript script) : script_(std::move(script)) {}

platform::InternetHandle FakeInternet::handOut(Kind kind) {
    ++handedOut_;
    // Distinct, never dereferenced addresses.
    auto* handle = reinterpret_cast<platform::InternetHandle>(static_cast<uintptr_t>(0x1000 + 0x10 * handedOut_));
    open_[handle] = kind;
    numbers_[handle] = handedOut_;
    return handle;
}

std::string FakeInternet::name(platform::InternetHandle handle) const {
    if (handle == nullptr) {
        return "null";
    }
    const auto found = numbers_.find(handle);
    return found == numbers_.end() ? "#?" : "#" + std::to_string(found->second);
}

bool FakeInternet::isOpen(platform::InternetHandle handle, Kind kind) const {
    const auto found = open_.find(handle);
    return found != open_.end() && found->second == kind;
}

void FakeInternet::record(const std::string& function, const std::vector<std::string>& arguments) {
    std::string line = function + "(";
    for (size_t i = 0; i < arguments.size(); ++i) {
        line += (i == 0 ? "" : ", ") + arguments[i];
    }
    calls_.push_back(line + ")");
}

std::vector<std::string> FakeInternet::callsOf(const std::string& function) const {
    std::vector<std::string> found;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(found),
                 [&](const std::string& call) { return call.starts_with(function + "("); });
    return found;
}

platform::InternetHandle FakeInternet::internetOpenA(const char* agent, uint32_t accessType, const char* proxy,
                                                     const char* proxyBypass, uint32_t flags) {
    record("InternetOpenA", {text(agent), number(accessType), text(proxy), text(proxyBypass), hex32(flags)});
    return script_.openFails ? nullptr : handOut(Kind::internet);
}

platform::InternetHandle FakeInternet::internetConnectA(platform::InternetHandle internet, const char* serverName,
                                                        uint16_t serverPort, const char* userName, const char* password,
                                                        uint32_t service, uint32_t flags, uintptr_t context) {
    record("InternetConnectA", {name(internet), text(serverName), number(serverPort), text(userName), text(password),
                                number(service), hex32(flags), std::to_string(context)});
    if (script_.connectFails || !isOpen(internet, Kind::internet)) {
        return nullptr;
    }
    return handOut(Kind::connection);
}

platform::InternetHandle FakeInternet::httpOpenRequestA(platform::InternetHandle connection, const char* verb,
                                                        const char* objectName, const char* version,
                                                        const char* referrer, const char** acceptTypes, uint32_t flags,
                                                        uintptr_t context) {
    record("HttpOpenRequestA", {name(connection), text(verb), text(objectName), text(version), text(referrer),
                                list(acceptTypes), hex32(flags), std::to_string(context)});
    if (script_.openRequestFails || !isOpen(connection, Kind::connection)) {
        return nullptr;
    }
    return handOut(Kind::request);
}

bool FakeInternet::internetSetOptionA(platform::InternetHandle handle, uint32_t option, const void* buffer,
                                      uint32_t length) {
    record("InternetSetOptionA", {name(handle), number(option), optionBuffer(buffer, length), number(length)});
    return open_.contains(handle);
}

bool FakeInternet::httpSendRequestA(platform::InternetHandle request, const char* headers, uint32_t headersLength,
                                    const void* optional, uint32_t optionalLength) {
    const std::string sentHeaders = headers == nullptr ? "null" : quotedBytes(std::string_view(headers, headersLength));
    const std::string sentData =
        optional == nullptr ? "null"
                            : quotedBytes(std::string_view(static_cast<const char*>(optional), optionalLength));
    record("HttpSendRequestA", {name(request), sentHeaders, number(headersLength), sentData, number(optionalLength)});
    if (script_.unreachable || !isOpen(request, Kind::request)) {
        return false;
    }
    sent_ = true;
    return true;
}

bool FakeInternet::internetReadFile(platform::InternetHandle request, void* buffer, uint32_t bytesToRead,
                                    uint32_t* bytesRead) {
    record("InternetReadFile", {name(request), number(bytesToRead)});
    *bytesRead = 0;
    if (!sent_ || !isOpen(request, Kind::request)) {
        return false;
    }
    const auto& body = script_.body.data();
    const size_t piece = std::min<size_t>(bytesToRead, body.size() - bodyRead_);
    if (piece > 0) {
        std::memcpy(buffer, body.data() + bodyRead_, piece);
        bodyRead_ += piece;
    }
    *bytesRead = static_cast<uint32_t>(piece);
    return true;
}

bool FakeInternet::httpQueryInfoA(platform::InternetHandle request, uint32_t infoLevel, void* buffer,
                                  uint32_t* bufferLength, uint32_t* index) {
    record("HttpQueryInfoA",
           {name(request), number(infoLevel), number(*bufferLength), index == nullptr ? "null" : "index"});
    if (!sent_ || !script_.rawHeaders || infoLevel != platform::HTTP_QUERY_RAW_HEADERS_CRLF ||
        !isOpen(request, Kind::request)) {
        return false;
    }
    const std::string& headers = *script_.rawHeaders;
    const auto needed = static_cast<uint32_t>(headers.size() + 1);
    if (*bufferLength < needed) {
        *bufferLength = needed;
        return false;
    }
    std::memcpy(buffer, headers.c_str(), needed);
    *bufferLength = needed - 1;
    return true;
}

bool FakeInternet::internetCloseHandle(platform::InternetHandle handle) {
    record("InternetCloseHandle", {name(handle)});
    return open_.erase(handle) == 1;
}

}  // namespace kestrova::fake
