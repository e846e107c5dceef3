#pragma once
// The "WinHttp.WinHttpRequest.5.1" class on Linux, over libcurl.
//
// Members, matched without regard to ASCII case: SetTimeouts, SetProxy (0 or 1:
// direct; 2 with a proxy list and an optional bypass list), Open (synchronous
// only: an async Open fails), Option (0 user agent, 4 certificate errors to
// ignore out of 0x3300, 6 redirects, on by default), SetCredentials (0 server,
// 1 proxy), SetRequestHeader (a header set again replaces the earlier value),
// Send (text or bytes, sent as their bytes), and, once a Send has succeeded,
// ResponseBody, GetAllResponseHeaders, Status, StatusText. A call out of order,
// or one whose arguments are wrong, answers nothing.
//
// Time-outs: resolve and connect together bound libcurl's connect time-out;
// the larger of send and receive, in whole seconds rounded up, is the idle
// limit of libcurl's low-speed check (a transfer moving no byte for that long
// ends). A value of 0 or less, which the component reads as "no limit", keeps
// the default instead, so no request waits forever.
// GetAllResponseHeaders gives the final response's header lines without its
// status line, each ended by CR LF, then the empty line ending the block. There
// is no cookie engine: cookies go out only as the caller's Cookie header.

#include <memory>

#include "platform/automation_host.h"

namespace kestrova::posix {

std::shared_ptr<platform::Dispatch> createWinHttpRequest();

}  // namespace kestrova::posix
