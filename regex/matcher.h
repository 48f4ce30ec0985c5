// The backtracking matcher: runs a program at one start position after
// another. Its only stack is the trail, a vector on the heap holding the
// choices still open and what to undo on the way back to them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "regex/program.h"
#include "regex/regex.h"

namespace lyra::regex {

class Matcher {
public:
    Matcher(const Program& program, std::u16string_view subject, const Limits& limits);

    // As Pattern::Search; one matcher may search many times, and its limits
    // count over all of them.
    Outcome Search(size_t from, Match* match, bool* found);

private:
    enum class Result { Matched, Failed, Stopped };
    enum class EntryKind : uint8_t { Choice, Capture, Register, GreedyStar, LazyStar, Look };
    struct Entry {
        EntryKind kind;
        uint32_t a;
        size_t b;
        size_t c;
    };

    Result Run(size_t start);
    bool Backtrack(uint32_t* pc, size_t* pos);
    bool NextStart(size_t* start);

    // The steps of Run, one per kind of instruction that needs more than a
    // line. Each answers false when the run must backtrack.
    bool AssertionHolds(Op op, size_t pos) const;
    bool TakeBackReference(uint32_t group, size_t* pos) const;
    void MarkGroup(const Instruction& in, size_t pos);
    // The instruction to go on with: another iteration or the exit; the
    // other way is left as a choice when both are open.
    uint32_t ChooseIteration(uint32_t repeat, size_t pos);
    void StartIteration(uint32_t repeat, size_t pos);
    bool EndIteration(uint32_t repeat, size_t pos) const;
    bool RunStar(uint32_t pc, size_t* pos);
    void StartLook(uint32_t look, size_t pos);
    bool EndLook(uint32_t look, size_t* pos);

    bool Accepts(const UnitTest& test, char16_t unit) const;
    bool AcceptsAt(const UnitTest& test, size_t pos) const {
        return pos < subject_.size() && Accepts(test, subject_[pos]);
    }
    // The first position from pos (up to limit) whose unit test fails.
    size_t ScanWhile(const UnitTest& test, size_t pos, size_t limit);
    // From pos on, the first position where next passes, every unit before
    // it passing test; limit if none (then no position is found).
    bool AdvanceLazy(const StarInfo& star, size_t* pos, size_t limit);
    // Back from pos (not below minPos) to the last position where the unit
    // after the star passes; false if there is none.
    bool RetreatGreedy(const StarInfo& star, size_t* pos, size_t minPos);
    // Counts steps; false once the limits end the run.
    bool Tick(uint64_t steps);
    char16_t Fold(char16_t unit) const { return program_.ignoreCase ? upper_[unit] : unit; }

    void SetCapture(uint32_t group, size_t start, size_t end);
    void SetRegister(size_t index, size_t value);
    void Undo(const Entry& entry);

    const Program& program_;
    std::u16string_view subject_;
    Limits limits_;
    const char16_t* upper_;
    uint64_t steps_ = 0;
    uint64_t nextPoll_ = 0;
    bool stopped_ = false;
    std::vector<Entry> trail_;
    std::vector<size_t> captures_;  // start and end of the whole match, then of each group
    std::vector<size_t> registers_;
};

}  // namespace lyra::regex
