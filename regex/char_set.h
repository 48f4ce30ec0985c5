// A set of UTF-16 units as sorted, disjoint ranges, with a bitmap for the
// units below 256 so the common case is one bit test.
#pragma once

#include <cstdint>
#include <vector>

namespace lyra::regex {

class CharSet {
public:
    void Add(char16_t first, char16_t last);
    void Add(char16_t unit) { Add(unit, unit); }
    void AddSet(const CharSet& other);
    void AddComplementOf(const CharSet& other);
    // Adds the upper-case form of every member, so that a unit belongs to
    // the set ignoring case exactly when its upper-case form is a member.
    void AddUpperCaseForms();
    // Sorts and merges the ranges and fills the bitmap; call before Contains.
    void Finish();

    bool Contains(char16_t unit) const {
        if (unit < 256) return (low_[unit >> 5] >> (unit & 31)) & 1u;
        return ContainsHigh(unit);
    }
    bool IsEverything() const;
    bool IsEmpty() const { return ranges_.empty(); }

    struct Range {
        char16_t first;
        char16_t last;
    };
    const std::vector<Range>& Ranges() const { return ranges_; }

    static CharSet Digits();
    static CharSet WordUnits();
    static CharSet Spaces();

private:
    bool ContainsHigh(char16_t unit) const;
    std::vector<Range> ranges_;
    uint32_t low_[8] = {};
};

inline bool IsLineBreak(char16_t unit) {
    return unit == u'\n' || unit == u'\r' || unit == 0x2028 || unit == 0x2029;
}
inline bool IsWordUnit(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9') ||
           unit == u'_';
}

}  // namespace lyra::regex
