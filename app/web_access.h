// The application's HTTP client: one request through the WinINet exchange,
// with default request headers, cookies, the raw response headers and its
// own follow-up of redirects. Every call ends within its limits: so many
// redirects in all, one deadline for the whole exchange, and a limit to the
// body's size.
#pragma once

#include <cstdint>

#include "app/page_limits.h"
#include "app/services.h"

namespace lyra::app {

// A by-reference member is the address of the caller's variable (it may be
// given a new block, the old one freed), or null when not given.
struct WebRequest {
    const char* url = nullptr;
    // 1 sends "POST", any other value "GET"; 0 sends no body.
    int32_t method = 0;
    // The body when postBytes is empty.
    const char* postText = nullptr;
    // Given: WinINet keeps no cookies of its own; the cookies to send, and
    // afterwards the received ones merged in.
    char** sendCookies = nullptr;
    // Out: name=value entries joined by "; ".
    char** receivedCookies = nullptr;
    // Extra request lines separated by CR LF; the defaults are appended to it.
    char** headers = nullptr;
    // Out: the Location value, or all response headers.
    char** location = nullptr;
    // False: 301, 302, 303, 307 and 308 are followed as WinINet would (never
    // by WinINet itself); true: only the 301 follow-up, which asks the
    // Location with the first path appended. The out-variables describe the
    // last answer.
    bool noRedirect = false;
    // The body bytes; filled from postText when empty.
    void** postBytes = nullptr;
    // Given: through the HTTP proxy "http=" + proxy.
    char** proxy = nullptr;
    // Out: the raw response headers.
    char** responseHeaders = nullptr;
};

// The response body; empty when no session, connection or request could be
// opened, in which case no variable is touched. Past the exchange's
// deadline, or once the body reaches its limit, the body ends as a failed
// read ends it: with what has arrived.
OwnedBytes AccessWebPage(const WebRequest& request, const PageLimits& limits);

// The page at url as text: the body up to its first zero byte.
OwnedText FetchPage(const char* url, const PageLimits& limits);

}  // namespace lyra::app
