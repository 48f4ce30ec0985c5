#include "regex/char_set.h"

#include <algorithm>

#include "regex/case_folding.h"

namespace lyra::regex {

void CharSet::Add(char16_t first, char16_t last) { ranges_.push_back({first, last}); }

void CharSet::AddSet(const CharSet& other) {
    ranges_.insert(ranges_.end(), other.ranges_.begin(), other.ranges_.end());
}

void CharSet::AddComplementOf(const CharSet& other) {
    CharSet sorted = other;
    sorted.Finish();
    uint32_t next = 0;
    for (const Range& range : sorted.ranges_) {
        if (range.first > next) Add(static_cast<char16_t>(next), static_cast<char16_t>(range.first - 1));
        next = static_cast<uint32_t>(range.last) + 1;
    }
    if (next <= 0xFFFF) Add(static_cast<char16_t>(next), 0xFFFF);
}

void CharSet::AddUpperCaseForms() {
    Finish();
    std::vector<Range> extra;
    for (const auto& [unit, upper] : CasePairs()) {
        if (Contains(unit)) extra.push_back({upper, upper});
    }
    ranges_.insert(ranges_.end(), extra.begin(), extra.end());
    Finish();
}

void CharSet::Finish() {
    std::sort(ranges_.begin(), ranges_.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
    std::vector<Range> merged;
    for (const Range& range : ranges_) {
        if (!merged.empty() && static_cast<uint32_t>(range.first) <= static_cast<uint32_t>(merged.back().last) + 1) {
            merged.back().last = std::max(merged.back().last, range.last);
        } else {
            merged.push_back(range);
        }
    }
    ranges_ = std::move(merged);
    std::fill(std::begin(low_), std::end(low_), 0u);
    for (const Range& range : ranges_) {
        if (range.first >= 256) break;
        for (uint32_t unit = range.first; unit <= range.last && unit < 256; ++unit) low_[unit >> 5] |= 1u << (unit & 31);
    }
}

bool CharSet::IsEverything() const { return ranges_.size() == 1 && ranges_[0].first == 0 && ranges_[0].last == 0xFFFF; }

bool CharSet::ContainsHigh(char16_t unit) const {
    auto after = std::upper_bound(ranges_.begin(), ranges_.end(), unit,
                                  [](char16_t value, const Range& range) { return value < range.first; });
    return after != ranges_.begin() && unit <= (after - 1)->last;
}

CharSet CharSet::Digits() {
    CharSet set;
    set.Add(u'0', u'9');
    return set;
}

CharSet CharSet::WordUnits() {
    CharSet set;
    set.Add(u'0', u'9');
    set.Add(u'A', u'Z');
    set.Add(u'_');
    set.Add(u'a', u'z');
    return set;
}

CharSet CharSet::Spaces() {
    CharSet set;
    set.Add(u'\t', u'\r');
    set.Add(u' ');
    set.Add(0x00A0);
    set.Add(0x1680);
    set.Add(0x180E);
    set.Add(0x2000, 0x200A);
    set.Add(0x2028, 0x2029);
    set.Add(0x202F);
    set.Add(0x205F);
    set.Add(0x3000);
    set.Add(0xFEFF);
    return set;
}

}  // namespace lyra::regex
