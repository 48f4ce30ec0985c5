#include "regex/program.h"

#include "regex/case_folding.h"

namespace lyra::regex {
namespace {

// Every unit whose upper-case form is that of a member.
void AddCaseForms(CharSet* set) {
    CharSet uppers = *set;
    uppers.AddUpperCaseForms();
    CharSet extra;
    for (const auto& [unit, upper] : CasePairs()) {
        if (uppers.Contains(upper)) extra.Add(unit);
    }
    set->AddSet(uppers);
    set->AddSet(extra);
    set->Finish();
}

// The units a match of a node can begin with, and whether it can match
// the empty text.
struct Start {
    CharSet units;
    bool canBeEmpty = false;
};

class Compiler {
public:
    Compiler(const Syntax& syntax, Options options, Program& program)
        : syntax_(syntax), options_(options), program_(program) {}

    void Run();

private:
    uint32_t Here() const { return static_cast<uint32_t>(program_.code.size()); }
    uint32_t Put(Op op, uint32_t a = 0, uint32_t b = 0) {
        program_.code.push_back({op, a, b});
        return Here() - 1;
    }
    char16_t Fold(char16_t unit) const { return options_.ignoreCase ? UpperCase(unit) : unit; }
    UnitTest TestOf(const Node& node) const;
    void Emit(uint32_t id);
    void EmitLookahead(const Node& node);
    void EmitAlternation(const Node& node);
    void EmitRepeat(const Node& node);
    void FindStarNext();
    Start StartOf(uint32_t id) const;
    void FindStarts();

    const Syntax& syntax_;
    Options options_;
    Program& program_;
};

UnitTest Compiler::TestOf(const Node& node) const {
    UnitTest test;
    if (node.kind == NodeKind::Unit) {
        test.kind = UnitTest::Kind::Unit;
        test.unit = Fold(node.unit);
    } else if (node.kind == NodeKind::AnyButLineBreak) {
        test.kind = UnitTest::Kind::AnyButLineBreak;
    } else {
        const CharSet& set = program_.sets[node.index];
        if (set.IsEverything() || set.IsEmpty()) {
            test.kind = set.IsEverything() != node.negative ? UnitTest::Kind::Everything : UnitTest::Kind::Nothing;
        } else {
            test.kind = UnitTest::Kind::Set;
            test.set = node.index;
            test.negative = node.negative;
        }
    }
    return test;
}

void Compiler::Emit(uint32_t id) {
    const Node& node = syntax_.nodes[id];
    switch (node.kind) {
    case NodeKind::Empty:
        break;
    case NodeKind::Unit:
        Put(Op::Unit, Fold(node.unit));
        break;
    case NodeKind::AnyButLineBreak:
        Put(Op::AnyButLineBreak);
        break;
    case NodeKind::Set:
        Put(Op::Set, node.index, node.negative ? 1 : 0);
        break;
    case NodeKind::LineStart:
        Put(Op::LineStart);
        break;
    case NodeKind::LineEnd:
        Put(Op::LineEnd);
        break;
    case NodeKind::WordBoundary:
        Put(Op::WordBoundary);
        break;
    case NodeKind::NotWordBoundary:
        Put(Op::NotWordBoundary);
        break;
    case NodeKind::BackReference:
        Put(Op::BackReference, node.index);
        break;
    case NodeKind::Group:
        if (node.index != 0) Put(Op::GroupOpen, node.index);
        Emit(node.children[0]);
        if (node.index != 0) Put(Op::GroupClose, node.index);
        break;
    case NodeKind::Lookahead:
        EmitLookahead(node);
        break;
    case NodeKind::Sequence:
        for (uint32_t child : node.children) Emit(child);
        break;
    case NodeKind::Alternation:
        EmitAlternation(node);
        break;
    case NodeKind::Repeat:
        EmitRepeat(node);
        break;
    }
}

void Compiler::EmitLookahead(const Node& node) {
    uint32_t look = static_cast<uint32_t>(program_.looks.size());
    program_.looks.push_back({node.negative, 0});
    Put(Op::LookStart, look);
    Emit(node.children[0]);
    Put(Op::LookEnd, look);
    program_.looks[look].end = Here();
}

// Each alternative but the last is tried first and, once it has matched,
// jumps past the others.
void Compiler::EmitAlternation(const Node& node) {
    std::vector<uint32_t> jumps;
    for (size_t i = 0; i + 1 < node.children.size(); ++i) {
        uint32_t split = Put(Op::Split, Here() + 1);
        Emit(node.children[i]);
        jumps.push_back(Put(Op::Jump));
        program_.code[split].b = Here();
    }
    Emit(node.children.back());
    for (uint32_t jump : jumps) program_.code[jump].a = Here();
}

// A repeat of one unit test is a star, which the matcher scans without
// an instruction per unit; any other repeat counts its iterations.
void Compiler::EmitRepeat(const Node& node) {
    if (node.max == 0) return;
    const Node& child = syntax_.nodes[node.children[0]];
    if (child.kind == NodeKind::Unit || child.kind == NodeKind::AnyButLineBreak || child.kind == NodeKind::Set) {
        StarInfo star;
        star.test = TestOf(child);
        star.min = node.min;
        star.max = node.max;
        star.greedy = node.greedy;
        Put(Op::Star, static_cast<uint32_t>(program_.stars.size()));
        program_.stars.push_back(star);
        return;
    }
    if (node.min == 1 && node.max == 1) {
        Emit(node.children[0]);
        return;
    }
    uint32_t repeat = static_cast<uint32_t>(program_.repeats.size());
    program_.repeats.push_back({});
    Put(Op::RepeatStart, repeat);
    uint32_t loop = Put(Op::RepeatLoop, repeat);
    uint32_t iteration = Put(Op::RepeatIteration, repeat);
    Emit(node.children[0]);
    Put(Op::RepeatEnd, repeat);
    RepeatInfo& info = program_.repeats[repeat];
    info.min = node.min;
    info.max = node.max;
    info.greedy = node.greedy;
    info.firstGroup = node.firstGroup;
    info.groupCount = node.groupCount;
    info.loop = loop;
    info.iteration = iteration;
    info.exit = Here();
}

// The unit test that begins what follows each star, looking past group
// marks and jumps, which neither consume nor fail.
void Compiler::FindStarNext() {
    const std::vector<Instruction>& code = program_.code;
    for (uint32_t pc = 0; pc < code.size(); ++pc) {
        if (code[pc].op != Op::Star) continue;
        uint32_t next = pc + 1;
        for (size_t hops = 0; hops < code.size(); ++hops) {
            Op op = code[next].op;
            if (op == Op::GroupOpen || op == Op::GroupClose) {
                ++next;
            } else if (op == Op::Jump) {
                next = code[next].a;
            } else {
                break;
            }
        }
        const Instruction& at = code[next];
        UnitTest& test = program_.stars[code[pc].a].next;
        if (at.op == Op::Unit) {
            test.kind = UnitTest::Kind::Unit;
            test.unit = static_cast<char16_t>(at.a);
        } else if (at.op == Op::Set) {
            test.kind = UnitTest::Kind::Set;
            test.set = at.a;
            test.negative = at.b != 0;
        } else if (at.op == Op::AnyButLineBreak) {
            test.kind = UnitTest::Kind::AnyButLineBreak;
        } else {
            test.kind = UnitTest::Kind::Everything;
        }
    }
}

Start Compiler::StartOf(uint32_t id) const {
    const Node& node = syntax_.nodes[id];
    Start start;
    switch (node.kind) {
    case NodeKind::Empty:
    case NodeKind::LineStart:
    case NodeKind::LineEnd:
    case NodeKind::WordBoundary:
    case NodeKind::NotWordBoundary:
    case NodeKind::Lookahead:
        start.canBeEmpty = true;
        break;
    case NodeKind::Unit:
        start.units.Add(node.unit);
        if (options_.ignoreCase) AddCaseForms(&start.units);
        break;
    case NodeKind::AnyButLineBreak: {
        CharSet breaks;
        breaks.Add(u'\n');
        breaks.Add(u'\r');
        breaks.Add(0x2028, 0x2029);
        start.units.AddComplementOf(breaks);
        break;
    }
    case NodeKind::Set:
        if (node.negative) {
            start.units.AddComplementOf(syntax_.sets[node.index]);
        } else {
            start.units.AddSet(syntax_.sets[node.index]);
        }
        if (options_.ignoreCase) AddCaseForms(&start.units);
        break;
    case NodeKind::BackReference:
        start.units.Add(0, 0xFFFF);
        start.canBeEmpty = true;
        break;
    case NodeKind::Group:
        return StartOf(node.children[0]);
    case NodeKind::Sequence:
        start.canBeEmpty = true;
        for (uint32_t child : node.children) {
            Start part = StartOf(child);
            start.units.AddSet(part.units);
            if (!part.canBeEmpty) {
                start.canBeEmpty = false;
                break;
            }
        }
        break;
    case NodeKind::Alternation:
        for (uint32_t child : node.children) {
            Start part = StartOf(child);
            start.units.AddSet(part.units);
            start.canBeEmpty = start.canBeEmpty || part.canBeEmpty;
        }
        break;
    case NodeKind::Repeat:
        if (node.max == 0) {
            start.canBeEmpty = true;
            break;
        }
        start = StartOf(node.children[0]);
        start.canBeEmpty = start.canBeEmpty || node.min == 0;
        break;
    }
    start.units.Finish();
    return start;
}

void Compiler::FindStarts() {
    const Node* first = &syntax_.nodes[syntax_.root];
    const Node* root = first;
    if (root->kind == NodeKind::Sequence) first = &syntax_.nodes[root->children[0]];
    if (first->kind == NodeKind::LineStart && !options_.multiline) {
        program_.onlyAtSubjectStart = true;
        return;
    }
    if (first->kind == NodeKind::Repeat && first->max == kUnbounded) {
        const Node& child = syntax_.nodes[first->children[0]];
        if (child.kind == NodeKind::Set && TestOf(child).kind == UnitTest::Kind::Everything) {
            program_.onlyAtFirstTry = true;
            return;
        }
    }
    if (root->kind == NodeKind::Sequence) {
        for (uint32_t child : root->children) {
            const Node& node = syntax_.nodes[child];
            if (node.kind != NodeKind::Unit) break;
            program_.prefix.push_back(Fold(node.unit));
        }
    } else if (root->kind == NodeKind::Unit) {
        program_.prefix.push_back(Fold(root->unit));
    }
    if (!program_.prefix.empty()) return;
    Start start = StartOf(syntax_.root);
    if (!start.canBeEmpty && !start.units.IsEverything()) {
        program_.hasFirstUnits = true;
        program_.firstUnits = std::move(start.units);
    }
}

void Compiler::Run() {
    program_.groupCount = syntax_.groupCount;
    program_.ignoreCase = options_.ignoreCase;
    program_.multiline = options_.multiline;
    program_.sets = syntax_.sets;
    for (CharSet& set : program_.sets) {
        if (options_.ignoreCase) {
            set.AddUpperCaseForms();
        } else {
            set.Finish();
        }
    }
    Emit(syntax_.root);
    Put(Op::Match);
    FindStarNext();
    FindStarts();
}

}  // namespace

void BuildProgram(const Syntax& syntax, Options options, Program* program) {
    *program = Program();
    Compiler compiler(syntax, options, *program);
    compiler.Run();
}

}  // namespace lyra::regex
