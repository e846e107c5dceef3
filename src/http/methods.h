#pragma once
// The request methods both HTTP clients take by index.

#include <cstdint>

namespace kestrova {

// An index below 0 or above 7 stands for 0, "GET".
inline int32_t clampMethod(int32_t method) { return (method < 0 || method > 7) ? 0 : method; }

// The verb of a clamped index.
inline const char* methodVerb(int32_t clampedMethod) {
    static constexpr const char* verbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
    return verbs[clampedMethod];
}

}  // namespace kestrova
