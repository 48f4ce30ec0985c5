#include "regex/matcher.h"
#include "regex/program.h"
#include "regex/regex.h"
#include "regex/syntax.h"

namespace lyra::regex {

std::unique_ptr<Pattern> Pattern::Compile(std::u16string_view source, Options options, std::string* error) {
    Syntax syntax;
    if (!Parse(source, &syntax, error)) return nullptr;
    auto program = std::make_unique<Program>();
    BuildProgram(syntax, options, program.get());
    return std::unique_ptr<Pattern>(new Pattern(std::move(program)));
}

Pattern::Pattern(std::unique_ptr<Program> program) : program_(std::move(program)) {}

Pattern::~Pattern() = default;

size_t Pattern::GroupCount() const { return program_->groupCount; }

Outcome Pattern::Search(std::u16string_view subject, size_t from, const Limits& limits, Match* match,
                        bool* found) const {
    Matcher matcher(*program_, subject, limits);
    return matcher.Search(from, match, found);
}

namespace {

// Every match left to right (only the first without global), each handed
// to take as it is found.
template <typename Take>
Outcome EachMatch(const Pattern& pattern, std::u16string_view subject, bool global, const Limits& limits, Take take) {
    Matcher matcher(pattern.Compiled(), subject, limits);
    size_t from = 0;
    Match match;
    for (;;) {
        bool found = false;
        if (matcher.Search(from, &match, &found) == Outcome::Stopped) return Outcome::Stopped;
        if (!found) return Outcome::Done;
        take(match);
        size_t end = match.whole.start + match.whole.length;
        from = match.whole.length == 0 ? end + 1 : end;
        if (!global || from > subject.size()) return Outcome::Done;
    }
}

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

void AppendSpan(std::u16string* out, std::u16string_view subject, Span span) {
    if (span.matched()) out->append(subject.substr(span.start, span.length));
}

// The replacement for one match: $1..$99, $&, $`, $' and $$ expanded.
// $nn names a group when there are that many, else $n followed by the
// digit n does.
void Expand(std::u16string* out, std::u16string_view replacement, std::u16string_view subject, const Match& match) {
    const size_t groups = match.groups.size();
    for (size_t at = 0; at < replacement.size(); ++at) {
        char16_t unit = replacement[at];
        if (unit != u'$' || at + 1 >= replacement.size()) {
            out->push_back(unit);
            continue;
        }
        char16_t next = replacement[at + 1];
        if (next == u'$') {
            out->push_back(u'$');
            ++at;
        } else if (next == u'&') {
            AppendSpan(out, subject, match.whole);
            ++at;
        } else if (next == u'`') {
            out->append(subject.substr(0, match.whole.start));
            ++at;
        } else if (next == u'\'') {
            out->append(subject.substr(match.whole.start + match.whole.length));
            ++at;
        } else if (IsDigit(next)) {
            size_t one = static_cast<size_t>(next - u'0');
            size_t two = at + 2 < replacement.size() && IsDigit(replacement[at + 2])
                             ? one * 10 + static_cast<size_t>(replacement[at + 2] - u'0')
                             : 0;
            if (two >= 1 && two <= groups) {
                AppendSpan(out, subject, match.groups[two - 1]);
                at += 2;
            } else if (one >= 1 && one <= groups) {
                AppendSpan(out, subject, match.groups[one - 1]);
                at += 1;
            } else {
                out->push_back(u'$');
            }
        } else {
            out->push_back(u'$');
        }
    }
}

}  // namespace

Outcome FindAll(const Pattern& pattern, std::u16string_view subject, bool global, const Limits& limits,
                std::vector<Match>* matches) {
    matches->clear();
    return EachMatch(pattern, subject, global, limits, [&](const Match& match) { matches->push_back(match); });
}

Outcome Replace(const Pattern& pattern, std::u16string_view subject, std::u16string_view replacement, bool global,
                const Limits& limits, std::u16string* result) {
    result->clear();
    size_t copied = 0;
    Outcome outcome = EachMatch(pattern, subject, global, limits, [&](const Match& match) {
        result->append(subject.substr(copied, match.whole.start - copied));
        Expand(result, replacement, subject, match);
        copied = match.whole.start + match.whole.length;
    });
    if (outcome == Outcome::Stopped) {
        result->clear();
        return outcome;
    }
    result->append(subject.substr(copied));
    return outcome;
}

}  // namespace lyra::regex
