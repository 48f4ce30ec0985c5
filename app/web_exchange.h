// One page's exchange in WinINet, through the external function table:
// session, then for the address and every redirect WinINet would have
// followed, connection, request, send, header query and reads. It never
// lets WinINet follow a redirect itself, and it ends by its deadline
// wherever WinINet is blocked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/services.h"

namespace lyra::app {

// The size of the buffer the response headers are queried into.
constexpr int32_t kHeaderBufferSize = 5000;

struct ExchangeRequest {
    std::string address;
    std::string verb;
    std::string agent;
    bool viaProxy = false;
    std::string proxyName;  // with its "http=" prefix
    bool withoutWinInetCookies = false;
    // Redirects followed the way WinINet would follow them, up to
    // redirectsAllowed; none when false.
    bool followRedirects = false;
    int redirectsAllowed = 0;
    std::string headers;  // completed
    bool sendsBody = false;
    std::string body;
    uint32_t networkTimeoutMs = 0;
    size_t bodyLimit = 0;
};

struct ExchangeOutcome {
    // False when the session, or the first address's connection or
    // request, could not be opened.
    bool opened = false;
    // The raw headers of the last answer; the header buffer's blanks when
    // none came or they did not fit.
    std::string responseHeaders;
    // What arrived of the last answer's body by the deadline, up to the
    // body limit; null when empty.
    OwnedBytes body;
    int redirectsFollowed = 0;
};

// Runs the exchange and waits for it until deadline (a GetTickCount64
// value). Past the deadline the body ends as a failed read ends it: with
// what has arrived.
ExchangeOutcome RunExchange(ExchangeRequest request, uint64_t deadline);

}  // namespace lyra::app
