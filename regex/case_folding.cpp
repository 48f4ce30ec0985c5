#include "regex/case_folding.h"

#include <cstdint>

namespace lyra::regex {
namespace {

// Runs of lower-case letters and the distance to their upper-case forms.
// step 2 means every other unit from first is a lower-case letter whose
// upper-case form is the unit before it.
struct FoldRun {
    char16_t first;
    char16_t last;
    int delta;
    int step;
};

constexpr FoldRun kRuns[] = {
    {u'a', u'z', -32, 1},
    {0x00B5, 0x00B5, 0x039C - 0x00B5, 1},
    {0x00E0, 0x00F6, -32, 1},
    {0x00F8, 0x00FE, -32, 1},
    {0x00FF, 0x00FF, 0x0178 - 0x00FF, 1},
    {0x0101, 0x012F, -1, 2},
    {0x0133, 0x0137, -1, 2},
    {0x013A, 0x0148, -1, 2},
    {0x014B, 0x0177, -1, 2},
    {0x017A, 0x017E, -1, 2},
    {0x01CE, 0x01DC, -1, 2},
    {0x01F9, 0x01F9, -1, 1},
    {0x03AC, 0x03AC, 0x0386 - 0x03AC, 1},
    {0x03AD, 0x03AF, 0x0388 - 0x03AD, 1},
    {0x03B1, 0x03C1, -32, 1},
    {0x03C2, 0x03C2, 0x03A3 - 0x03C2, 1},
    {0x03C3, 0x03CB, -32, 1},
    {0x03CC, 0x03CC, 0x038C - 0x03CC, 1},
    {0x03CD, 0x03CE, 0x038E - 0x03CD, 1},
    {0x0430, 0x044F, -32, 1},
    {0x0450, 0x045F, -80, 1},
    {0x2170, 0x217F, -16, 1},
    {0x24D0, 0x24E9, -26, 1},
    {0xFF41, 0xFF5A, -32, 1},
};

}  // namespace

char16_t UpperCase(char16_t unit) {
    if (unit < u'a') return unit;
    for (const FoldRun& run : kRuns) {
        if (unit < run.first) return unit;
        if (unit <= run.last && (unit - run.first) % run.step == 0) {
            return static_cast<char16_t>(unit + run.delta);
        }
    }
    return unit;
}

const char16_t* UpperCaseTable() {
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> all(0x10000);
        for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) all[unit] = UpperCase(static_cast<char16_t>(unit));
        return all;
    }();
    return table.data();
}

const std::vector<std::pair<char16_t, char16_t>>& CasePairs() {
    static const std::vector<std::pair<char16_t, char16_t>> pairs = [] {
        std::vector<std::pair<char16_t, char16_t>> all;
        for (const FoldRun& run : kRuns) {
            for (unsigned unit = run.first; unit <= run.last; unit += static_cast<unsigned>(run.step)) {
                all.emplace_back(static_cast<char16_t>(unit), static_cast<char16_t>(static_cast<int>(unit) + run.delta));
            }
        }
        return all;
    }();
    return pairs;
}

}  // namespace lyra::regex
