#pragma once
// libcurl's process-wide state: its one global initialisation and the cookie
// store shared by every session that keeps cookies.

#include <curl/curl.h>

namespace kestrova::posix {

// Initialises libcurl exactly once per process. The adapters' constructors call
// it; a front end calls it before starting any thread, as libcurl asks.
void initCurlGlobal();

// The process-wide cookie store: a share whose cookie data is guarded by locks,
// so transfers on several threads may use it at once.
CURLSH* sharedCookieStore();

}  // namespace kestrova::posix
