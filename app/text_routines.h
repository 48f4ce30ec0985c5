// Small text routines shared by the web page access, the music lookup and
// the update check. Results are new texts; arguments are not changed.
#pragma once

#include <cstdint>
#include <vector>

#include "app/services.h"

namespace lyra::app {

// The bytes between the first left marker at or after start and the next
// right marker after it; empty when either is missing. "#引号" in a marker
// stands for a double quote. Case is ignored unless caseSensitive.
OwnedText TextBetween(const char* text, const char* left, const char* right, int32_t start = 1,
                 bool caseSensitive = false);

// The trimmed bytes after the first ":"; empty when there is none.
OwnedText ValueAfterColon(const char* line);

// The bytes before the first marker at or after start (below 1 reads as 1).
OwnedText TextBeforeMarker(const char* text, const char* marker, int32_t start = 1, bool ignoreCase = false);

// The bytes after the last marker in the whole text; start has no effect.
OwnedText TextAfterLastMarker(const char* text, const char* marker, int32_t start = 1, bool ignoreCase = false);

// 1-based index of the first element equal to text byte for byte, or -1.
int32_t IndexOfText(const std::vector<OwnedText>& texts, const char* text);

// The entries of text between separators, each kept at its first
// occurrence only, joined again by the separator.
OwnedText RemoveDuplicateEntries(const char* text, const char* separator);

}  // namespace lyra::app
