// The application's HTTP client: one request through the WinINet functions
// of the external function table, with default request headers, cookies,
// the raw response headers and its own follow-up of redirects. Every call
// ends: at most ten redirects in all, one deadline for the whole exchange,
// and a limit to the body's size.
#pragma once

#include <cstdint>

#include "app/services.h"

namespace lyra::app {

// A by-reference argument is the address of the caller's variable (it may
// be given a new block, the old one freed), or null when not given. The
// result is the response body; empty when no session, connection or
// request could be opened, in which case no variable is touched.
//
//   method        1 sends "POST", any other value "GET"; 0 sends no body
//   postText      the body when postBytes is empty
//   sendCookies   given: WinINet keeps no cookies of its own; the cookies to
//                 send, and afterwards the received ones merged in
//   receivedCookies  out: name=value entries joined by "; "
//   headers       extra request lines separated by CR LF; the defaults are
//                 appended to it
//   location      out: the Location value, or all response headers
//   noRedirect    false: 301, 302, 303, 307 and 308 are followed as WinINet
//                 would (never by WinINet itself); true: only the 301
//                 follow-up, which asks the Location with the first path
//                 appended. Ten follow-ups at most in all; the out-variables
//                 describe the last answer
//
// Past the exchange's deadline, or once the body reaches its limit, the
// body ends as a failed read ends it: with what has arrived.
//   postBytes     the body bytes; filled from postText when empty
//   proxy         given: through the HTTP proxy "http=" + proxy
//   responseHeaders  out: the raw response headers
OwnedBytes AccessWebPage(const char* url, int32_t method = 0, const char* postText = nullptr,
                    char** sendCookies = nullptr, char** receivedCookies = nullptr, char** headers = nullptr,
                    char** location = nullptr, bool noRedirect = false, void** postBytes = nullptr,
                    char** proxy = nullptr, char** responseHeaders = nullptr);

// The page at url as text: the body up to its first zero byte.
OwnedText FetchPage(const char* url);

}  // namespace lyra::app
