// A compiled pattern: instructions for the backtracking matcher, the sets
// they test, and what the search may skip before running them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/char_set.h"
#include "regex/regex.h"
#include "regex/syntax.h"

namespace lyra::regex {

enum class Op : uint8_t {
    Unit,             // a: the unit (its upper-case form when ignoring case)
    AnyButLineBreak,  //
    Set,              // a: the set, b: 1 for its complement
    LineStart,
    LineEnd,
    WordBoundary,
    NotWordBoundary,
    BackReference,    // a: the group
    GroupOpen,        // a: the group
    GroupClose,       // a: the group
    Split,            // try a, then b
    Jump,             // a
    RepeatStart,      // a: the repeat
    RepeatLoop,       // a: the repeat; decides between another iteration and the exit
    RepeatIteration,  // a: the repeat; starts an iteration
    RepeatEnd,        // a: the repeat; ends an iteration
    Star,             // a: the star, a repeat of one unit test
    LookStart,        // a: the lookahead
    LookEnd,          // a: the lookahead
    Match,
};

struct Instruction {
    Op op;
    uint32_t a = 0;
    uint32_t b = 0;
};

// A test of one unit: a unit, any unit but a line break, or a set.
struct UnitTest {
    enum class Kind : uint8_t { Unit, AnyButLineBreak, Set, Everything, Nothing } kind = Kind::Nothing;
    char16_t unit = 0;
    bool negative = false;
    uint32_t set = 0;
};

struct RepeatInfo {
    uint32_t min = 0;
    uint32_t max = 0;
    bool greedy = true;
    uint32_t firstGroup = 0;
    uint32_t groupCount = 0;
    uint32_t loop = 0;
    uint32_t iteration = 0;
    uint32_t exit = 0;
};

struct StarInfo {
    UnitTest test;
    uint32_t min = 0;
    uint32_t max = 0;
    bool greedy = true;
    // What the unit after the star must pass, when the instructions after
    // the star begin with a unit test; the star skips the positions where
    // it fails.
    UnitTest next;
};

struct LookInfo {
    bool negative = false;
    uint32_t end = 0;
};

class Program {
public:
    std::vector<Instruction> code;
    std::vector<CharSet> sets;
    std::vector<RepeatInfo> repeats;
    std::vector<StarInfo> stars;
    std::vector<LookInfo> looks;
    uint32_t groupCount = 0;
    bool ignoreCase = false;
    bool multiline = false;

    // Where a match may start: only at the start of the subject; only at
    // the first position tried (the pattern begins with a repeat of any
    // unit, so a later start finds nothing an earlier one missed); at an
    // occurrence of a literal prefix; at a unit of a set.
    bool onlyAtSubjectStart = false;
    bool onlyAtFirstTry = false;
    std::u16string prefix;
    bool hasFirstUnits = false;
    CharSet firstUnits;

    size_t RegisterCount() const { return groupCount + 2 * repeats.size() + looks.size(); }
    size_t OpenRegister(uint32_t group) const { return group - 1; }
    size_t CountRegister(uint32_t repeat) const { return groupCount + 2 * repeat; }
    size_t StartRegister(uint32_t repeat) const { return groupCount + 2 * repeat + 1; }
    size_t LookRegister(uint32_t look) const { return groupCount + 2 * repeats.size() + look; }
};

void BuildProgram(const Syntax& syntax, Options options, Program* program);

}  // namespace lyra::regex
