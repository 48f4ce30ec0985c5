#include "regex/matcher.h"

#include <algorithm>

#include "regex/case_folding.h"

namespace lyra::regex {
namespace {

// Steps (instructions run or units scanned) between two looks at the
// limits: a few tens of microseconds of work.
constexpr uint64_t kPollInterval = 1u << 14;
constexpr size_t kScanChunk = 1u << 14;

}  // namespace

Matcher::Matcher(const Program& program, std::u16string_view subject, const Limits& limits)
    : program_(program), subject_(subject), limits_(limits), upper_(UpperCaseTable()) {
    captures_.assign(2 * (static_cast<size_t>(program.groupCount) + 1), kUnmatched);
    registers_.assign(program.RegisterCount(), 0);
    nextPoll_ = kPollInterval;
    if (limits_.stepBudget != 0) nextPoll_ = std::min(nextPoll_, limits_.stepBudget + 1);
}

bool Matcher::Tick(uint64_t steps) {
    steps_ += steps;
    if (steps_ < nextPoll_) return !stopped_;
    nextPoll_ = steps_ + kPollInterval;
    if (limits_.cancel != nullptr && limits_.cancel->load(std::memory_order_relaxed)) stopped_ = true;
    if (limits_.stepBudget != 0) {
        if (steps_ > limits_.stepBudget) stopped_ = true;
        nextPoll_ = std::min(nextPoll_, limits_.stepBudget + 1);
    }
    return !stopped_;
}

bool Matcher::Accepts(const UnitTest& test, char16_t unit) const {
    switch (test.kind) {
    case UnitTest::Kind::Unit:
        return Fold(unit) == test.unit;
    case UnitTest::Kind::AnyButLineBreak:
        return !IsLineBreak(unit);
    case UnitTest::Kind::Set:
        return program_.sets[test.set].Contains(Fold(unit)) != test.negative;
    case UnitTest::Kind::Everything:
        return true;
    case UnitTest::Kind::Nothing:
        return false;
    }
    return false;
}

size_t Matcher::ScanWhile(const UnitTest& test, size_t pos, size_t limit) {
    while (pos < limit) {
        size_t chunkEnd = limit - pos > kScanChunk ? pos + kScanChunk : limit;
        size_t chunkStart = pos;
        if (test.kind == UnitTest::Kind::Everything) {
            pos = chunkEnd;
        } else {
            while (pos < chunkEnd && Accepts(test, subject_[pos])) ++pos;
        }
        if (!Tick(pos - chunkStart) || pos < chunkEnd) break;
    }
    return pos;
}

bool Matcher::AdvanceLazy(const StarInfo& star, size_t* pos, size_t limit) {
    if (star.next.kind == UnitTest::Kind::Everything) return true;
    size_t at = *pos;
    size_t counted = at;
    bool found = false;
    for (;;) {
        if (at < subject_.size() && Accepts(star.next, subject_[at])) {
            found = true;
            break;
        }
        if (at >= limit || !Accepts(star.test, subject_[at])) break;
        ++at;
        if (at - counted >= kScanChunk) {
            if (!Tick(at - counted)) return false;
            counted = at;
        }
    }
    if (!Tick(at - counted)) return false;
    *pos = at;
    return found;
}

bool Matcher::RetreatGreedy(const StarInfo& star, size_t* pos, size_t minPos) {
    if (star.next.kind == UnitTest::Kind::Everything) return true;
    size_t at = *pos;
    while (at > minPos && !AcceptsAt(star.next, at)) --at;
    if (!Tick(*pos - at)) return false;
    *pos = at;
    return AcceptsAt(star.next, at);
}

void Matcher::SetCapture(uint32_t group, size_t start, size_t end) {
    size_t slot = 2 * static_cast<size_t>(group);
    trail_.push_back({EntryKind::Capture, group, captures_[slot], captures_[slot + 1]});
    captures_[slot] = start;
    captures_[slot + 1] = end;
}

void Matcher::SetRegister(size_t index, size_t value) {
    trail_.push_back({EntryKind::Register, static_cast<uint32_t>(index), registers_[index], 0});
    registers_[index] = value;
}

void Matcher::Undo(const Entry& entry) {
    if (entry.kind == EntryKind::Capture) {
        captures_[2 * static_cast<size_t>(entry.a)] = entry.b;
        captures_[2 * static_cast<size_t>(entry.a) + 1] = entry.c;
    } else if (entry.kind == EntryKind::Register) {
        registers_[entry.a] = entry.b;
    }
}

// Back to the latest open choice: pc and pos are where to go on from there.
// False when no choice is left, or the limits ended the run.
bool Matcher::Backtrack(uint32_t* pc, size_t* pos) {
    while (!trail_.empty()) {
        if (!Tick(1)) return false;
        Entry& entry = trail_.back();
        switch (entry.kind) {
        case EntryKind::Choice:
            *pc = entry.a;
            *pos = entry.b;
            trail_.pop_back();
            return true;
        case EntryKind::Capture:
        case EntryKind::Register:
            Undo(entry);
            trail_.pop_back();
            break;
        case EntryKind::GreedyStar: {
            const StarInfo& star = program_.stars[program_.code[entry.a].a];
            size_t at = entry.b - 1;
            uint32_t next = entry.a + 1;
            if (!RetreatGreedy(star, &at, entry.c)) {
                trail_.pop_back();
                if (stopped_) return false;
                break;
            }
            if (at == entry.c) {
                trail_.pop_back();
            } else {
                entry.b = at;
            }
            *pc = next;
            *pos = at;
            return true;
        }
        case EntryKind::LazyStar: {
            const StarInfo& star = program_.stars[program_.code[entry.a].a];
            size_t at = entry.b;
            if (at >= entry.c || !AcceptsAt(star.test, at)) {
                trail_.pop_back();
                break;
            }
            ++at;
            if (!AdvanceLazy(star, &at, entry.c)) {
                trail_.pop_back();
                if (stopped_) return false;
                break;
            }
            entry.b = at;
            *pc = entry.a + 1;
            *pos = at;
            return true;
        }
        case EntryKind::Look:
            if (program_.looks[entry.a].negative) {
                *pc = program_.looks[entry.a].end;
                *pos = entry.b;
                trail_.pop_back();
                return true;
            }
            trail_.pop_back();
            break;
        }
    }
    return false;
}

bool Matcher::AssertionHolds(Op op, size_t pos) const {
    const size_t size = subject_.size();
    switch (op) {
    case Op::LineStart:
        return pos == 0 || (program_.multiline && IsLineBreak(subject_[pos - 1]));
    case Op::LineEnd:
        return pos == size || (program_.multiline && IsLineBreak(subject_[pos]));
    default: {
        bool before = pos > 0 && IsWordUnit(subject_[pos - 1]);
        bool after = pos < size && IsWordUnit(subject_[pos]);
        return (before != after) == (op == Op::WordBoundary);
    }
    }
}

// A group's start waits in a register; its capture changes only when it
// closes.
void Matcher::MarkGroup(const Instruction& in, size_t pos) {
    if (in.op == Op::GroupOpen) {
        SetRegister(program_.OpenRegister(in.a), pos);
    } else {
        SetCapture(in.a, registers_[program_.OpenRegister(in.a)], pos);
    }
}

bool Matcher::TakeBackReference(uint32_t group, size_t* pos) const {
    size_t groupStart = captures_[2 * static_cast<size_t>(group)];
    size_t length = groupStart == kUnmatched ? 0 : captures_[2 * static_cast<size_t>(group) + 1] - groupStart;
    if (length > subject_.size() - *pos) return false;
    for (size_t i = 0; i < length; ++i) {
        if (Fold(subject_[groupStart + i]) != Fold(subject_[*pos + i])) return false;
    }
    *pos += length;
    return true;
}

uint32_t Matcher::ChooseIteration(uint32_t index, size_t pos) {
    const RepeatInfo& repeat = program_.repeats[index];
    size_t count = registers_[program_.CountRegister(index)];
    if (count < repeat.min) return repeat.iteration;
    if (count >= repeat.max) return repeat.exit;
    if (repeat.greedy) {
        trail_.push_back({EntryKind::Choice, repeat.exit, pos, 0});
        return repeat.iteration;
    }
    trail_.push_back({EntryKind::Choice, repeat.iteration, pos, 0});
    return repeat.exit;
}

// An iteration starts with its groups unmatched, so that a group matched
// in an earlier iteration but not in this one reports nothing.
void Matcher::StartIteration(uint32_t index, size_t pos) {
    const RepeatInfo& repeat = program_.repeats[index];
    SetRegister(program_.StartRegister(index), pos);
    SetRegister(program_.CountRegister(index), registers_[program_.CountRegister(index)] + 1);
    for (uint32_t group = repeat.firstGroup + 1; group <= repeat.firstGroup + repeat.groupCount; ++group) {
        if (captures_[2 * static_cast<size_t>(group)] != kUnmatched) SetCapture(group, kUnmatched, kUnmatched);
    }
}

// An iteration past the minimum that matched nothing fails.
bool Matcher::EndIteration(uint32_t index, size_t pos) const {
    size_t count = registers_[program_.CountRegister(index)];
    return !(count > program_.repeats[index].min && pos == registers_[program_.StartRegister(index)]);
}

// The star at pc takes as many units as it may (greedy) or as few, and
// leaves a choice to take fewer or more. False when it cannot match here,
// and when the limits end the run.
bool Matcher::RunStar(uint32_t pc, size_t* pos) {
    const StarInfo& star = program_.stars[program_.code[pc].a];
    const size_t size = subject_.size();
    size_t room = size - *pos;
    if (star.min > room) return false;
    size_t limit = star.max == kUnbounded || star.max >= room ? size : *pos + star.max;
    size_t minPos = *pos + star.min;
    if (star.greedy) {
        size_t at = ScanWhile(star.test, *pos, limit);
        if (stopped_ || at < minPos || !RetreatGreedy(star, &at, minPos)) return false;
        if (at > minPos) trail_.push_back({EntryKind::GreedyStar, pc, at, minPos});
        *pos = at;
        return true;
    }
    size_t end = ScanWhile(star.test, *pos, minPos);
    size_t at = minPos;
    if (stopped_ || end != minPos || !AdvanceLazy(star, &at, limit)) return false;
    trail_.push_back({EntryKind::LazyStar, pc, at, limit});
    *pos = at;
    return true;
}

void Matcher::StartLook(uint32_t index, size_t pos) {
    SetRegister(program_.LookRegister(index), trail_.size() + 1);
    trail_.push_back({EntryKind::Look, index, pos, 0});
}

// A negative lookahead that matched fails, undoing what it did. A positive
// one goes on from where it started, with no way back into it; what it
// captured stays, undone only when the run backtracks past it.
bool Matcher::EndLook(uint32_t index, size_t* pos) {
    size_t base = registers_[program_.LookRegister(index)];
    if (program_.looks[index].negative) {
        while (trail_.size() > base) {
            Undo(trail_.back());
            trail_.pop_back();
        }
        return false;
    }
    *pos = trail_[base].b;
    size_t kept = base;
    for (size_t i = base + 1; i < trail_.size(); ++i) {
        if (trail_[i].kind == EntryKind::Capture || trail_[i].kind == EntryKind::Register) {
            trail_[kept++] = trail_[i];
        }
    }
    trail_.resize(kept);
    return true;
}

// One run of the program from start. A step that fails goes back to the
// latest open choice; a run the limits end there reports Stopped.
Matcher::Result Matcher::Run(size_t start) {
    trail_.clear();
    std::fill(captures_.begin(), captures_.end(), kUnmatched);
    uint32_t pc = 0;
    size_t pos = start;
    for (;;) {
        if (!Tick(1)) return Result::Stopped;
        const Instruction& in = program_.code[pc];
        bool ok = true;
        switch (in.op) {
        case Op::Unit:
            ok = pos < subject_.size() && Fold(subject_[pos]) == in.a;
            if (ok) ++pos, ++pc;
            break;
        case Op::AnyButLineBreak:
            ok = pos < subject_.size() && !IsLineBreak(subject_[pos]);
            if (ok) ++pos, ++pc;
            break;
        case Op::Set:
            ok = pos < subject_.size() && program_.sets[in.a].Contains(Fold(subject_[pos])) != (in.b != 0);
            if (ok) ++pos, ++pc;
            break;
        case Op::LineStart:
        case Op::LineEnd:
        case Op::WordBoundary:
        case Op::NotWordBoundary:
            ok = AssertionHolds(in.op, pos);
            ++pc;
            break;
        case Op::BackReference:
            ok = TakeBackReference(in.a, &pos);
            ++pc;
            break;
        case Op::GroupOpen:
        case Op::GroupClose:
            MarkGroup(in, pos);
            ++pc;
            break;
        case Op::Split:
            trail_.push_back({EntryKind::Choice, in.b, pos, 0});
            pc = in.a;
            break;
        case Op::Jump:
            pc = in.a;
            break;
        case Op::RepeatStart:
            SetRegister(program_.CountRegister(in.a), 0);
            ++pc;
            break;
        case Op::RepeatLoop:
            pc = ChooseIteration(in.a, pos);
            break;
        case Op::RepeatIteration:
            StartIteration(in.a, pos);
            ++pc;
            break;
        case Op::RepeatEnd:
            ok = EndIteration(in.a, pos);
            pc = program_.repeats[in.a].loop;
            break;
        case Op::Star:
            ok = RunStar(pc, &pos);
            ++pc;
            break;
        case Op::LookStart:
            StartLook(in.a, pos);
            ++pc;
            break;
        case Op::LookEnd:
            ok = EndLook(in.a, &pos);
            ++pc;
            break;
        case Op::Match:
            captures_[0] = start;
            captures_[1] = pos;
            return Result::Matched;
        }
        if (!ok && !Backtrack(&pc, &pos)) return stopped_ ? Result::Stopped : Result::Failed;
    }
}

bool Matcher::NextStart(size_t* start) {
    const size_t size = subject_.size();
    size_t at = *start;
    if (program_.onlyAtSubjectStart) return at == 0;
    if (!program_.prefix.empty()) {
        const std::u16string& prefix = program_.prefix;
        size_t counted = at;
        for (; at + prefix.size() <= size; ++at) {
            if (Fold(subject_[at]) != prefix[0]) continue;
            size_t i = 1;
            while (i < prefix.size() && Fold(subject_[at + i]) == prefix[i]) ++i;
            if (i == prefix.size()) break;
            if (at - counted >= kScanChunk) {
                if (!Tick(at - counted)) return false;
                counted = at;
            }
        }
        if (!Tick(at - counted)) return false;
        *start = at;
        return at + prefix.size() <= size;
    }
    if (program_.hasFirstUnits) {
        size_t counted = at;
        while (at < size && !program_.firstUnits.Contains(subject_[at])) {
            ++at;
            if (at - counted >= kScanChunk) {
                if (!Tick(at - counted)) return false;
                counted = at;
            }
        }
        if (!Tick(at - counted)) return false;
        *start = at;
        return at < size;
    }
    return true;
}

Outcome Matcher::Search(size_t from, Match* match, bool* found) {
    *found = false;
    if (stopped_) return Outcome::Stopped;
    const size_t size = subject_.size();
    if (from > size) return Outcome::Done;
    size_t start = from;
    for (;;) {
        if (!NextStart(&start)) return stopped_ ? Outcome::Stopped : Outcome::Done;
        Result result = Run(start);
        if (result == Result::Stopped) return Outcome::Stopped;
        if (result == Result::Matched) {
            match->whole = {captures_[0], captures_[1] - captures_[0]};
            match->groups.assign(program_.groupCount, Span());
            for (size_t group = 1; group <= program_.groupCount; ++group) {
                if (captures_[2 * group] != kUnmatched) {
                    match->groups[group - 1] = {captures_[2 * group], captures_[2 * group + 1] - captures_[2 * group]};
                }
            }
            *found = true;
            return Outcome::Done;
        }
        if (program_.onlyAtFirstTry || start >= size) return Outcome::Done;
        ++start;
    }
}

}  // namespace lyra::regex
