#include "regex/syntax.h"

namespace lyra::regex {
namespace {

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }
bool IsOctalDigit(char16_t unit) { return unit >= u'0' && unit <= u'7'; }
bool IsLetter(char16_t unit) { return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z'); }

int HexValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') return unit - u'0';
    if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
    return -1;
}

// The number of capturing groups, counted before parsing so that \N can
// tell a back-reference from an octal escape.
uint32_t CountGroups(std::u16string_view source) {
    uint32_t count = 0;
    bool inSet = false;
    for (size_t at = 0; at < source.size(); ++at) {
        char16_t unit = source[at];
        if (unit == u'\\') {
            ++at;
        } else if (inSet) {
            if (unit == u']') inSet = false;
        } else if (unit == u'[') {
            inSet = true;
        } else if (unit == u'(' && (at + 1 >= source.size() || source[at + 1] != u'?')) {
            ++count;
        }
    }
    return count;
}

// One member of a [...] set: a unit, or a whole set such as \d.
struct SetItem {
    bool isSet = false;
    char16_t unit = 0;
    CharSet set;
};

class Parser {
public:
    Parser(std::u16string_view source, Syntax& syntax, std::string* error)
        : source_(source), syntax_(syntax), error_(error) {}

    bool Run();

private:
    struct Item {
        uint32_t node;
        uint32_t groupsBefore;
        bool repeatable;
        bool repeated;
    };
    struct Frame {
        NodeKind kind = NodeKind::Group;
        bool negative = false;
        uint32_t group = 0;
        uint32_t groupsBefore = 0;
        std::vector<uint32_t> alternatives;
        std::vector<Item> sequence;
    };

    bool Fail(const char* why) {
        if (error_ != nullptr) *error_ = std::string(why) + " at offset " + std::to_string(at_);
        return false;
    }
    bool More() const { return at_ < source_.size(); }
    char16_t Peek(size_t ahead = 0) const { return at_ + ahead < source_.size() ? source_[at_ + ahead] : 0; }

    uint32_t Add(Node node) {
        syntax_.nodes.push_back(std::move(node));
        return static_cast<uint32_t>(syntax_.nodes.size() - 1);
    }
    uint32_t AddUnit(char16_t unit) {
        Node node;
        node.kind = NodeKind::Unit;
        node.unit = unit;
        return Add(std::move(node));
    }
    uint32_t AddSet(CharSet set, bool negative) {
        syntax_.sets.push_back(std::move(set));
        Node node;
        node.kind = NodeKind::Set;
        node.index = static_cast<uint32_t>(syntax_.sets.size() - 1);
        node.negative = negative;
        return Add(std::move(node));
    }
    uint32_t AddKind(NodeKind kind) {
        Node node;
        node.kind = kind;
        return Add(std::move(node));
    }
    void Push(uint32_t node, bool repeatable) {
        frames_.back().sequence.push_back({node, groupCount_, repeatable, false});
    }

    void EndAlternative(Frame& frame);
    uint32_t EndFrame(Frame& frame);
    bool OpenGroup();
    bool CloseGroup();
    bool ParseBraces();
    bool ParseQuantifier(uint32_t* min, uint32_t* max);
    bool Repeat(uint32_t min, uint32_t max);
    bool ParseEscape();
    char16_t ParseUnitEscape();
    bool ParseSet();
    bool ParseSetItem(SetItem* item);
    char16_t ParseOctal();
    bool ParseHex(size_t digits, char16_t* unit);

    std::u16string_view source_;
    Syntax& syntax_;
    std::string* error_;
    size_t at_ = 0;
    uint32_t groupCount_ = 0;
    uint32_t totalGroups_ = 0;
    std::vector<Frame> frames_;
};

void Parser::EndAlternative(Frame& frame) {
    uint32_t node;
    if (frame.sequence.empty()) {
        node = AddKind(NodeKind::Empty);
    } else if (frame.sequence.size() == 1) {
        node = frame.sequence[0].node;
    } else {
        Node sequence;
        sequence.kind = NodeKind::Sequence;
        for (const Item& item : frame.sequence) sequence.children.push_back(item.node);
        node = Add(std::move(sequence));
    }
    frame.sequence.clear();
    frame.alternatives.push_back(node);
}

uint32_t Parser::EndFrame(Frame& frame) {
    EndAlternative(frame);
    if (frame.alternatives.size() == 1) return frame.alternatives[0];
    Node alternation;
    alternation.kind = NodeKind::Alternation;
    alternation.children = std::move(frame.alternatives);
    return Add(std::move(alternation));
}

bool Parser::Run() {
    totalGroups_ = CountGroups(source_);
    frames_.emplace_back();
    while (More()) {
        char16_t unit = Peek();
        switch (unit) {
        case u'|':
            ++at_;
            EndAlternative(frames_.back());
            break;
        case u'(':
            if (!OpenGroup()) return false;
            break;
        case u')':
            if (!CloseGroup()) return false;
            break;
        case u'*':
        case u'+':
        case u'?':
            ++at_;
            if (!Repeat(unit == u'+' ? 1 : 0, unit == u'?' ? 1 : kUnbounded)) return false;
            break;
        case u'{':
            if (!ParseBraces()) return false;
            break;
        case u'^':
            ++at_;
            Push(AddKind(NodeKind::LineStart), false);
            break;
        case u'$':
            ++at_;
            Push(AddKind(NodeKind::LineEnd), false);
            break;
        case u'.':
            ++at_;
            Push(AddKind(NodeKind::AnyButLineBreak), true);
            break;
        case u'[':
            if (!ParseSet()) return false;
            break;
        case u'\\':
            if (!ParseEscape()) return false;
            break;
        default:
            ++at_;
            Push(AddUnit(unit), true);
            break;
        }
    }
    if (frames_.size() != 1) return Fail("missing )");
    syntax_.root = EndFrame(frames_.back());
    syntax_.groupCount = groupCount_;
    return true;
}

// (, (?:, (?= or (?!, with at_ on the (: a frame that collects what the
// group holds until its ).
bool Parser::OpenGroup() {
    ++at_;
    Frame frame;
    frame.groupsBefore = groupCount_;
    if (Peek() == u'?') {
        char16_t kind = Peek(1);
        if (kind == u':') {
            frame.kind = NodeKind::Group;
        } else if (kind == u'=' || kind == u'!') {
            frame.kind = NodeKind::Lookahead;
            frame.negative = kind == u'!';
        } else {
            return Fail("unknown group kind");
        }
        at_ += 2;
    } else {
        frame.group = ++groupCount_;
    }
    if (frames_.size() > kMaxNesting) return Fail("groups nested too deeply");
    frames_.push_back(std::move(frame));
    return true;
}

bool Parser::CloseGroup() {
    if (frames_.size() == 1) return Fail("unmatched )");
    ++at_;
    Frame frame = std::move(frames_.back());
    frames_.pop_back();
    Node node;
    node.kind = frame.kind;
    node.negative = frame.negative;
    node.index = frame.group;
    node.children.push_back(EndFrame(frame));
    uint32_t id = Add(std::move(node));
    frames_.back().sequence.push_back({id, frame.groupsBefore, true, false});
    return true;
}

// A { that does not begin a quantifier stands for itself.
bool Parser::ParseBraces() {
    uint32_t min = 0;
    uint32_t max = 0;
    size_t start = at_;
    if (!ParseQuantifier(&min, &max)) {
        at_ = start + 1;
        Push(AddUnit(u'{'), true);
        return true;
    }
    if (min > max) {
        at_ = start;
        return Fail("quantifier range out of order");
    }
    return Repeat(min, max);
}

// {n}, {n,} or {n,m}, with at_ on the {. Leaves at_ after the } on success.
bool Parser::ParseQuantifier(uint32_t* min, uint32_t* max) {
    ++at_;
    auto number = [this](uint32_t* value) {
        if (!IsDigit(Peek())) return false;
        uint64_t total = 0;
        while (IsDigit(Peek())) {
            total = total * 10 + static_cast<uint64_t>(Peek() - u'0');
            if (total >= kUnbounded) total = kUnbounded - 1;
            ++at_;
        }
        *value = static_cast<uint32_t>(total);
        return true;
    };
    if (!number(min)) return false;
    *max = *min;
    if (Peek() == u',') {
        ++at_;
        *max = kUnbounded;
        if (IsDigit(Peek()) && !number(max)) return false;
    }
    if (Peek() != u'}') return false;
    ++at_;
    return true;
}

bool Parser::Repeat(uint32_t min, uint32_t max) {
    Frame& frame = frames_.back();
    if (frame.sequence.empty() || !frame.sequence.back().repeatable || frame.sequence.back().repeated) {
        return Fail("nothing to repeat");
    }
    bool greedy = true;
    if (Peek() == u'?') {
        ++at_;
        greedy = false;
    }
    Item& item = frame.sequence.back();
    Node node;
    node.kind = NodeKind::Repeat;
    node.min = min;
    node.max = max;
    node.greedy = greedy;
    node.firstGroup = item.groupsBefore;
    node.groupCount = groupCount_ - item.groupsBefore;
    node.children.push_back(item.node);
    item.node = Add(std::move(node));
    item.repeated = true;
    return true;
}

// Every octal digit that follows; the value is that of the first ones, as
// long as it stays within one byte.
char16_t Parser::ParseOctal() {
    unsigned value = 0;
    bool full = false;
    while (IsOctalDigit(Peek())) {
        unsigned next = value * 8 + static_cast<unsigned>(Peek() - u'0');
        if (next > 0377) full = true;
        if (!full) value = next;
        ++at_;
    }
    return static_cast<char16_t>(value);
}

bool Parser::ParseHex(size_t digits, char16_t* unit) {
    unsigned value = 0;
    for (size_t i = 0; i < digits; ++i) {
        int digit = HexValue(Peek(i));
        if (digit < 0) return false;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    at_ += digits;
    *unit = static_cast<char16_t>(value);
    return true;
}

// The escapes a pattern and a [...] set share, with at_ on the unit after
// the backslash: control characters, \xHH, \uHHHH, \cX, \0 and an
// identity escape. A \x, \u or \c without its digits or letter stands for
// the letter itself (for \c: a backslash, the c read again next).
char16_t Parser::ParseUnitEscape() {
    char16_t unit = Peek();
    ++at_;
    char16_t value = 0;
    switch (unit) {
    case u'n':
        return u'\n';
    case u'r':
        return u'\r';
    case u't':
        return u'\t';
    case u'f':
        return u'\f';
    case u'v':
        return u'\v';
    case u'x':
        return ParseHex(2, &value) ? value : u'x';
    case u'u':
        return ParseHex(4, &value) ? value : u'u';
    case u'c':
        if (IsLetter(Peek())) {
            ++at_;
            return static_cast<char16_t>(source_[at_ - 1] % 32);
        }
        --at_;
        return u'\\';
    case u'0':
        --at_;
        return ParseOctal();
    default:
        return unit;
    }
}

bool Parser::ParseEscape() {
    ++at_;
    if (!More()) return Fail("\\ at end of pattern");
    char16_t unit = Peek();
    switch (unit) {
    case u'd':
    case u'D':
        ++at_;
        Push(AddSet(CharSet::Digits(), unit == u'D'), true);
        return true;
    case u'w':
    case u'W':
        ++at_;
        Push(AddSet(CharSet::WordUnits(), unit == u'W'), true);
        return true;
    case u's':
    case u'S':
        ++at_;
        Push(AddSet(CharSet::Spaces(), unit == u'S'), true);
        return true;
    case u'b':
        ++at_;
        Push(AddKind(NodeKind::WordBoundary), false);
        return true;
    case u'B':
        ++at_;
        Push(AddKind(NodeKind::NotWordBoundary), false);
        return true;
    default:
        break;
    }
    if (IsDigit(unit) && unit != u'0') {
        // All the digits name a group when there are that many; otherwise
        // they begin an octal escape, and \8 or \9 matches nothing.
        uint64_t number = 0;
        size_t end = at_;
        while (end < source_.size() && IsDigit(source_[end])) {
            if (number <= totalGroups_) number = number * 10 + static_cast<uint64_t>(source_[end] - u'0');
            ++end;
        }
        if (number <= totalGroups_) {
            at_ = end;
            Node node;
            node.kind = NodeKind::BackReference;
            node.index = static_cast<uint32_t>(number);
            Push(Add(std::move(node)), true);
            return true;
        }
        if (!IsOctalDigit(unit)) {
            at_ = end;
            Push(AddSet(CharSet(), false), true);
            return true;
        }
        Push(AddUnit(ParseOctal()), true);
        return true;
    }
    Push(AddUnit(ParseUnitEscape()), true);
    return true;
}

bool Parser::ParseSetItem(SetItem* item) {
    if (Peek() != u'\\') {
        item->unit = Peek();
        ++at_;
        return true;
    }
    ++at_;
    if (!More()) return Fail("\\ at end of pattern");
    char16_t unit = Peek();
    switch (unit) {
    case u'd':
    case u'D':
    case u'w':
    case u'W':
    case u's':
    case u'S': {
        ++at_;
        CharSet base = unit == u'd' || unit == u'D'   ? CharSet::Digits()
                       : unit == u'w' || unit == u'W' ? CharSet::WordUnits()
                                                      : CharSet::Spaces();
        item->isSet = true;
        if (unit >= u'a') {
            item->set = std::move(base);
        } else {
            item->set.AddComplementOf(base);
        }
        return true;
    }
    case u'b':
        ++at_;
        item->unit = u'\b';
        return true;
    case u'c':
        if (IsDigit(Peek(1)) || Peek(1) == u'_') {
            item->unit = static_cast<char16_t>(Peek(1) % 32);
            at_ += 2;
            return true;
        }
        break;
    default:
        break;
    }
    if (IsOctalDigit(unit)) {
        item->unit = ParseOctal();
    } else if (IsDigit(unit)) {
        ++at_;
        item->unit = unit;
    } else {
        item->unit = ParseUnitEscape();
    }
    return true;
}

// [...] or [^...]; a - between two units is a range, anywhere else (or
// next to a set such as \d) a hyphen.
bool Parser::ParseSet() {
    ++at_;
    bool negative = false;
    if (Peek() == u'^' && More()) {
        negative = true;
        ++at_;
    }
    CharSet set;
    for (;;) {
        if (!More()) return Fail("missing ]");
        if (Peek() == u']') {
            ++at_;
            break;
        }
        SetItem first;
        if (!ParseSetItem(&first)) return false;
        if (Peek() == u'-' && at_ + 1 < source_.size() && source_[at_ + 1] != u']') {
            size_t rangeAt = at_;
            ++at_;
            SetItem last;
            if (!ParseSetItem(&last)) return false;
            if (last.isSet && !first.isSet) {
                at_ = rangeAt;
                return Fail("range ends in a set");
            }
            if (first.isSet) {
                set.AddSet(first.set);
                set.Add(u'-');
                last.isSet ? set.AddSet(last.set) : set.Add(last.unit);
            } else if (first.unit > last.unit) {
                at_ = rangeAt;
                return Fail("range out of order in set");
            } else {
                set.Add(first.unit, last.unit);
            }
        } else if (first.isSet) {
            set.AddSet(first.set);
        } else {
            set.Add(first.unit);
        }
    }
    Push(AddSet(std::move(set), negative), true);
    return true;
}

}  // namespace

bool Parse(std::u16string_view source, Syntax* syntax, std::string* error) {
    *syntax = Syntax();
    Parser parser(source, *syntax, error);
    return parser.Run();
}

}  // namespace lyra::regex
