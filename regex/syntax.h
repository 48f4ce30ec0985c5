// A pattern's syntax tree: nodes in one vector, children by index, so that
// neither building nor freeing a tree recurses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/char_set.h"

namespace lyra::regex {

inline constexpr uint32_t kUnbounded = UINT32_MAX;

// Groups and lookaheads nested deeper than this are refused like a syntax
// error; it bounds every walk over the tree.
inline constexpr size_t kMaxNesting = 100;

enum class NodeKind : uint8_t {
    Empty,
    Unit,             // unit
    AnyButLineBreak,  // .
    Set,              // index: the set; negative: its complement
    LineStart,
    LineEnd,
    WordBoundary,
    NotWordBoundary,
    BackReference,  // index: the group number
    Group,          // index: the group number, 0 for (?:); one child
    Lookahead,      // negative: (?!); one child
    Sequence,
    Alternation,
    Repeat,  // min, max, greedy; one child; the groups firstGroup + 1 ... firstGroup + groupCount lie inside
};

struct Node {
    NodeKind kind = NodeKind::Empty;
    char16_t unit = 0;
    bool negative = false;
    bool greedy = true;
    uint32_t index = 0;
    uint32_t min = 0;
    uint32_t max = 0;
    uint32_t firstGroup = 0;
    uint32_t groupCount = 0;
    std::vector<uint32_t> children;
};

struct Syntax {
    std::vector<Node> nodes;
    std::vector<CharSet> sets;
    uint32_t root = 0;
    uint32_t groupCount = 0;
};

// False, with the reason in error, when source is not a pattern of the
// dialect.
bool Parse(std::u16string_view source, Syntax* syntax, std::string* error);

}  // namespace lyra::regex
