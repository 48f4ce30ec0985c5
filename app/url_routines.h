// Addresses and cookies: the parts of a web address that the page access
// needs, and the merging of received cookies into stored ones.
#pragma once

#include <cstdint>
#include <vector>

#include "app/services.h"

namespace lyra::app {

// The host of an address, lower-cased; "http://" is assumed without a
// scheme. mainDomainOnly keeps the last two dot-separated parts; keepPort
// keeps a ":port" after the name.
OwnedText HostFromUrl(const char* url, bool mainDomainOnly = false, bool keepPort = false);

// The explicit port, else 443 for "https" addresses and 80 for the rest.
int32_t PortFromUrl(const char* url);

// The path and query from the first "/" after the host, or "/".
OwnedText PathFromUrl(const char* url);

// The address a redirect's Location value leads to from the address that
// gave it: absolute ("http://…", "https://…"), without scheme ("//host/…"),
// an absolute path, a query alone, or a path relative to the directory of
// the base address; "." and ".." segments are resolved and a fragment is
// dropped. A base without scheme is an "http://" one. Empty when the value
// names any other scheme ("ftp:", "file:", "javascript:"): such a Location
// is not followed.
OwnedText ResolveLocation(const char* base, const char* location);

// Stores cookies = received entries, then the stored entries whose names
// were not received, "; " between them, without entries whose value is
// "deleted" and without repeats. Both variables lose their spaces.
void MergeCookies(char** cookies, char** received);

// The trimmed bytes before the first "=" (the whole entry without one).
OwnedText CookieName(const char* entry);

// True when an entry's CookieName equals name byte for byte.
bool CookieListHasName(const std::vector<OwnedText>& entries, const char* name);

}  // namespace lyra::app
