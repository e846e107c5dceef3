#pragma once
// The proxy one request goes through, chosen from a proxy list and a bypass
// list written as both Windows HTTP components accept them.

#include <string>
#include <string_view>

namespace kestrova::posix {

// `proxyList`: entries separated by blanks or ";", each "server" (for every
// scheme) or "http=server" / "https=server" (for that scheme only, and
// preferred to a plain entry); entries for other schemes are ignored.
// `bypassList`: host patterns separated by blanks, ";" or ",", matched without
// regard to ASCII case, "*" standing for any run of characters; "<local>"
// matches a host without a dot.
// Answers the proxy as libcurl takes it ("http://" is put before a server
// that names no scheme), or empty for a direct connection.
std::string proxyForRequest(std::string_view proxyList, std::string_view bypassList, bool secure,
                            std::string_view host);

}  // namespace kestrova::posix
