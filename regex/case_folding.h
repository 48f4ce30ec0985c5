// The matcher's own case folding: one upper-case form per UTF-16 unit, the
// same on every platform. Covers ASCII, Latin-1 and Latin Extended-A, the
// pinyin letters, Greek, Cyrillic, Roman numerals, circled and full-width
// Latin letters. A letter whose upper case lies in ASCII while it does not
// (dotless i, long s) keeps its own form.
#pragma once

#include <utility>
#include <vector>

namespace lyra::regex {

char16_t UpperCase(char16_t unit);

// UpperCase of every unit, indexed by the unit.
const char16_t* UpperCaseTable();

// Every unit whose upper-case form differs from it, with that form, in
// ascending order of the unit.
const std::vector<std::pair<char16_t, char16_t>>& CasePairs();

}  // namespace lyra::regex
