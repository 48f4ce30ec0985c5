// How long and how much fetching a page and reading its songs may take. Each
// program build links one definition of kPageLimits: the shipped program
// the defaults below, a test program its own.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lyra::app {

struct PageLimits {
    // How long a connect, a send or a receive may wait before the request is
    // given up.
    uint32_t networkTimeoutMs = 30000;
    // How long one page's whole exchange may take: every redirect, the send
    // and every read.
    uint32_t exchangeDeadlineMs = 60000;
    // A body stops growing here: thirty times the largest lookup page seen,
    // and with the copies a lookup makes of it (text, halves, UTF-16 for the
    // regular expression) still far inside a 32-bit process.
    size_t bodyLimit = size_t{64} << 20;
    // Redirects followed for one page, WinINet's kind and the 301 follow-up
    // together: a Location that leads back would otherwise be followed for ever.
    int redirectHops = 10;
    // How long both halves' extraction may take: a 5,000-song page takes
    // about 0.15 s.
    uint32_t extractionDeadlineMs = 20000;
};

// This program build's limits.
extern const PageLimits kPageLimits;

}  // namespace lyra::app
