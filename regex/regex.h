// The program's own regular expressions, in the dialect of VBScript 5.5's
// RegExp class (the JScript 5.5 dialect): literals and escapes, classes,
// anchors, greedy and lazy quantifiers, capturing and non-capturing
// groups, lookahead, alternation and back-references. Texts are UTF-16
// code units (char16_t) and every position and length counts those units,
// as the COM class reports them. Platform-free: no wchar_t, no locale.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lyra::regex {

// A part of the subject, in UTF-16 units. A group that took no part in a
// match has start kUnmatched and length 0.
inline constexpr size_t kUnmatched = static_cast<size_t>(-1);
struct Span {
    size_t start = kUnmatched;
    size_t length = 0;
    bool matched() const { return start != kUnmatched; }
};

struct Match {
    Span whole;
    std::vector<Span> groups;  // groups[i] is capture group i + 1
};

struct Options {
    bool ignoreCase = false;
    bool multiline = false;  // ^ and $ also at line breaks
};

// What may stop a run early: a flag another thread sets (polled often
// enough that a run stops within a few milliseconds) and a budget of
// matcher steps (0: none). Both pointers may be null.
struct Limits {
    const std::atomic<bool>* cancel = nullptr;
    uint64_t stepBudget = 0;
};

enum class Outcome { Done, Stopped };

class Program;

// A compiled pattern; immutable, so one may be shared between threads.
class Pattern {
public:
    // Null when the source is not a pattern of the dialect; error then
    // (when given) says why, in English, for tests.
    static std::unique_ptr<Pattern> Compile(std::u16string_view source, Options options,
                                            std::string* error = nullptr);
    ~Pattern();
    Pattern(const Pattern&) = delete;
    Pattern& operator=(const Pattern&) = delete;

    size_t GroupCount() const;

    // The leftmost match that starts at or after from. found tells whether
    // there was one; Stopped when the limits ended the run first (found is
    // then false).
    Outcome Search(std::u16string_view subject, size_t from, const Limits& limits, Match* match,
                   bool* found) const;

    const Program& Compiled() const { return *program_; }

private:
    explicit Pattern(std::unique_ptr<Program> program);
    std::unique_ptr<Program> program_;
};

// The matches Execute returns: without global the first one at most; with
// global every match left to right, the next search starting where the
// last match ended, or one unit further after an empty match.
Outcome FindAll(const Pattern& pattern, std::u16string_view subject, bool global, const Limits& limits,
                std::vector<Match>* matches);

// The subject with the first match (every match with global) replaced by
// replacement, in which $1..$99 stand for a group's text, $& for the
// match, $` for the text before it, $' for the text after it and $$ for a
// single $; any other $ stands for itself.
Outcome Replace(const Pattern& pattern, std::u16string_view subject, std::u16string_view replacement, bool global,
                const Limits& limits, std::u16string* result);

}  // namespace lyra::regex
