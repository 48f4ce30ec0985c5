// The matcher against tables of patterns, subjects and expected matches,
// the patterns it refuses, the lookup's extraction pattern on generated
// pages, and the limits that stop a run.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "app/extraction_pattern.h"
#include "regex/regex.h"
#include "test_support/gbk_utf16.h"
#include "tools/demo/lookup_pages.h"

namespace lyra::regex {
namespace {

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F) {
            out.push_back(static_cast<char>(unit));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
            out += escaped;
        }
    }
    return out;
}

// "start:value[group,group]" per match, separated by spaces; a group that
// took no part is ~.
std::string Describe(std::u16string_view subject, const std::vector<Match>& matches) {
    std::string out;
    for (const Match& match : matches) {
        if (!out.empty()) out += ' ';
        out += std::to_string(match.whole.start) + ':' + Narrow(subject.substr(match.whole.start, match.whole.length));
        if (match.groups.empty()) continue;
        out += '[';
        for (size_t i = 0; i < match.groups.size(); ++i) {
            if (i > 0) out += ',';
            const Span& group = match.groups[i];
            out += group.matched() ? Narrow(subject.substr(group.start, group.length)) : "~";
        }
        out += ']';
    }
    return out;
}

struct Case {
    const char16_t* pattern;
    const char* flags;  // i: ignore case, m: multiline, g: global
    const char16_t* subject;
    const char* expected;
};

std::string Run(const Case& test) {
    std::string flags = test.flags;
    Options options;
    options.ignoreCase = flags.find('i') != std::string::npos;
    options.multiline = flags.find('m') != std::string::npos;
    std::string error;
    auto pattern = Pattern::Compile(test.pattern, options, &error);
    if (!pattern) return "error";
    std::vector<Match> matches;
    EXPECT_EQ(FindAll(*pattern, test.subject, flags.find('g') != std::string::npos, Limits(), &matches),
              Outcome::Done);
    return Describe(test.subject, matches);
}

void ExpectTable(const std::vector<Case>& table) {
    for (const Case& test : table) {
        EXPECT_EQ(Run(test), test.expected)
            << "pattern " << Narrow(test.pattern) << " flags " << test.flags << " subject " << Narrow(test.subject);
    }
}

TEST(Regex, LiteralsAndEscapes) {
    ExpectTable({
        {u"abc", "g", u"xabcabc", "1:abc 4:abc"},
        {u"a\\.b", "", u"axb a.b", "4:a.b"},
        {u"\\d+\\D", "g", u"12a3b", "0:12a 3:3b"},
        {u"\\w+", "g", u"ab_1-c", "0:ab_1 5:c"},
        {u"\\W", "g", u"a-b c", "1:- 3: "},
        {u"\\s\\S", "g", u"a b\tc\u3000d", "1: b 3:\\u0009c 5:\\u3000d"},
        {u"\\n\\r\\t\\f\\v", "", u"\n\r\t\f\v", "0:\\u000A\\u000D\\u0009\\u000C\\u000B"},
        {u"\\x41\\u4E2D", "", u"A\u4E2D", "0:A\\u4E2D"},
        {u"\\x4G", "", u"x4G", "0:x4G"},
        {u"\\cJ", "", u"a\n", "1:\\u000A"},
        {u"\\101\\0", "", u"A", ""},
        {u"\\101", "", u"A", "0:A"},
        {u"(a)\\141", "", u"aa", "0:aa[a]"},
        {u"(a)\\18", "", u"a\u00018", "0:a\\u00018[a]"},
        {u"(a)\\10", "", u"aa\b", "1:a\\u0008[a]"},
        {u"\\1411*c", "", u" c", "1:c"},
        {u"\\400", "", u" 0", "0: "},
        {u"\\8|8", "", u"8", "0:8"},
        {u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10", "", u"abcdefghijj", "0:abcdefghijj[a,b,c,d,e,f,g,h,i,j]"},
        {u"\\q\\/", "", u"q/", "0:q/"},
        {u"a{b", "", u"a{b", "0:a{b"},
        {u"a}", "", u"a}", "0:a}"},
        {u"]", "", u"]", "0:]"},
    });
}

TEST(Regex, Sets) {
    ExpectTable({
        {u"[a-c]+", "g", u"abcdcba", "0:abc 4:cba"},
        {u"[^a-c]+", "g", u"abcdcba", "3:d"},
        {u"[\\s\\S]+", "", u"a\r\nb", "0:a\\u000D\\u000Ab"},
        {u"[\\d-]+", "", u"1-2", "0:1-2"},
        {u"[-a]+", "", u"-a-", "0:-a-"},
        {u"[a-]+", "", u"-a-", "0:-a-"},
        {u"[\\b]", "", u"\b", "0:\\u0008"},
        {u"[]a]", "", u"]a", ""},
        {u"[^]", "", u"\n", "0:\\u000A"},
        {u"[\\c1\\c_]+", "", u"\u0011\u001F", "0:\\u0011\\u001F"},
        {u"[\\d-\\w]+", "", u"1-a", "0:1-a"},
        {u"[\\]]", "", u"]", "0:]"},
        {u"[\u4E00-\u9FA5]+", "", u"ab\u4E2D\u6587c", "2:\\u4E2D\\u6587"},
    });
}

TEST(Regex, DotAndAnchors) {
    ExpectTable({
        {u".+", "g", u"ab\ncd\re\r\nf", "0:ab 3:cd 6:e 9:f"},
        {u"^\\w", "g", u"ab\ncd", "0:a"},
        {u"^\\w", "gm", u"ab\ncd\ref\r\ngh", "0:a 3:c 6:e 10:g"},
        {u"\\w$", "g", u"ab\ncd", "4:d"},
        {u"\\w$", "gm", u"ab\ncd\r\nef", "1:b 4:d 8:f"},
        {u"\\bfoo\\b", "g", u"foo food afoo foo", "0:foo 14:foo"},
        {u"\\Boo", "g", u"foo oo", "1:oo"},
        {u"^$", "gm", u"a\n\nb", "2:"},
    });
}

TEST(Regex, Quantifiers) {
    ExpectTable({
        {u"a*", "g", u"baaa", "0: 1:aaa 4:"},
        {u"a+?", "g", u"aaa", "0:a 1:a 2:a"},
        {u"a??b", "", u"ab", "0:ab"},
        {u"a{2}", "g", u"aaaaa", "0:aa 2:aa"},
        {u"a{2,}", "g", u"aaaaa", "0:aaaaa"},
        {u"a{2,3}", "g", u"aaaaa", "0:aaa 3:aa"},
        {u"a{2,3}?", "g", u"aaaaa", "0:aa 2:aa"},
        {u"<.*>", "", u"<a><b>", "0:<a><b>"},
        {u"<.*?>", "g", u"<a><b>", "0:<a> 3:<b>"},
        {u"(ab)+", "", u"ababab", "0:ababab[ab]"},
        {u"(?:ab){2}c", "", u"abababc", "2:ababc"},
        {u"(a|ab)(c|bcd)(d*)", "", u"abcd", "0:abcd[a,bcd,]"},
        {u"(a*)*b", "", u"aab", "0:aab[aa]"},
        {u"(a*)+b", "", u"b", "0:b[]"},
        {u"(a|b)*?c", "", u"abc", "0:abc[b]"},
        {u"(z)((a+)?(b+)?(c))*", "", u"zaacbbbcac", "0:zaacbbbcac[z,ac,a,~,c]"},
        {u"(x*)*", "", u"xx", "0:xx[xx]"},
        {u"(a|)*b", "", u"aab", "0:aab[a]"},
    });
}

TEST(Regex, GroupsLookaheadAndBackReferences) {
    ExpectTable({
        {u"(a)|(b)", "g", u"ab", "0:a[a,~] 1:b[~,b]"},
        {u"(?:a)(b)", "", u"ab", "0:ab[b]"},
        {u"a(?=b)", "g", u"abac", "0:a"},
        {u"a(?!b)", "g", u"abac", "2:a"},
        {u"(?=(a+))a*b\\1", "", u"baaabac", "3:aba[a]"},
        {u"(?=(a+))", "", u"baaabac", "1:[aaa]"},
        {u"(.*?)a(?!(a+)b\\2c)\\2(.*)", "", u"baaabaac", "0:baaabaac[ba,~,abaac]"},
        {u"(a)\\1", "g", u"aaaa", "0:aa[a] 2:aa[a]"},
        {u"(a)\\1", "gi", u"aAAa", "0:aA[a] 2:Aa[A]"},
        {u"\\1(a)", "", u"a", "0:a[a]"},
        {u"(a\\1)", "", u"a", "0:a[a]"},
        {u"(?!(a))\\1b", "", u"b", "0:b[~]"},
        {u"(\\w+)\\s\\1", "", u"the the", "0:the the[the]"},
        {u"((a)|b)+", "", u"ab", "0:ab[b,~]"},
        {u"(a)|b\\1", "", u"b", "0:b[~]"},
    });
}

TEST(Regex, IgnoreCase) {
    ExpectTable({
        {u"abc", "gi", u"ABC aBc", "0:ABC 4:aBc"},
        {u"[a-z]+", "i", u"HeLLo", "0:HeLLo"},
        {u"[^a-z]+", "i", u"HeLLo1", "5:1"},
        {u"\uFF41", "i", u"\uFF21", "0:\\uFF21"},
        {u"[\uFF41-\uFF5A]+", "i", u"\uFF21\uFF42", "0:\\uFF21\\uFF42"},
        {u"\u03B1\u03C3", "i", u"\u0391\u03A3", "0:\\u0391\\u03A3"},
        {u"\u0436", "i", u"\u0416", "0:\\u0416"},
        {u"\u0451", "i", u"\u0401", "0:\\u0401"},
        {u"[\u03C2]+", "gi", u"x\u03C3\u03A3\u03C2", "1:\\u03C3\\u03A3\\u03C2"},
        {u"\u00E9", "i", u"\u00C9", "0:\\u00C9"},
        {u"\u01CE", "i", u"\u01CD", "0:\\u01CD"},
        {u"\\w", "i", u"\u017F", ""},
        {u"abc", "g", u"ABC", ""},
    });
}

TEST(Regex, ReplaceExpandsTheDollarForms) {
    struct ReplaceCase {
        const char16_t* pattern;
        bool global;
        const char16_t* subject;
        const char16_t* replacement;
        const char16_t* expected;
    };
    const ReplaceCase table[] = {
        {u"b", false, u"abcb", u"[$&]", u"a[b]cb"},
        {u"b", true, u"abcb", u"[$&]", u"a[b]c[b]"},
        {u"(a)(b)?", true, u"ab a", u"$2$1", u"ba a"},
        {u"b", false, u"abc", u"$`|$'", u"aa|cc"},
        {u"b", false, u"abc", u"$$", u"a$c"},
        {u"b", false, u"abc", u"$", u"a$c"},
        {u"b", false, u"abc", u"$x$0$1", u"a$x$0$1c"},
        {u"(b)", false, u"abc", u"$10$01", u"ab0bc"},
        {u"x*", true, u"ab", u"-", u"-a-b-"},
    };
    for (const ReplaceCase& test : table) {
        auto pattern = Pattern::Compile(test.pattern, Options());
        ASSERT_TRUE(pattern) << Narrow(test.pattern);
        std::u16string result;
        EXPECT_EQ(Replace(*pattern, test.subject, test.replacement, test.global, Limits(), &result), Outcome::Done);
        EXPECT_EQ(Narrow(result), Narrow(test.expected)) << Narrow(test.pattern) << " / " << Narrow(test.replacement);
    }
}

TEST(Regex, RefusesWhatIsNotAPattern) {
    const char16_t* refused[] = {
        u"(", u"(a", u"a)", u")", u"((a)", u"*", u"a**", u"+a", u"a{2}{3}", u"a{2,1}", u"[b-a]", u"[a",
        u"a\\", u"(?<a>)", u"(?x)", u"|*", u"^*", u"a|?", u"[a-\\d]",
    };
    for (const char16_t* source : refused) {
        std::string error;
        EXPECT_FALSE(Pattern::Compile(source, Options(), &error)) << Narrow(source);
        EXPECT_FALSE(error.empty()) << Narrow(source);
    }
    std::u16string deep(1000, u'(');
    deep += u"a";
    deep += std::u16string(1000, u')');
    EXPECT_FALSE(Pattern::Compile(deep, Options()));
}

std::u16string FromGbk(const std::string& bytes) {
    bool ok = false;
    std::u16string text = lyra::test::Utf16FromGbk(bytes, &ok);
    EXPECT_TRUE(ok);
    return text;
}

std::unique_ptr<Pattern> ExtractionPattern() {
    Options options;
    options.ignoreCase = true;
    options.multiline = true;
    auto pattern = Pattern::Compile(FromGbk(app::kExtractionPattern), options);
    EXPECT_TRUE(pattern);
    return pattern;
}

TEST(ExtractionPattern, FindsEverySongOfGeneratedPages) {
    auto pattern = ExtractionPattern();
    ASSERT_TRUE(pattern);
    ASSERT_EQ(pattern->GroupCount(), 3u);
    struct PageCase {
        int background;
        int favourites;
        bool crlf;
        bool upperCaseTags;
    };
    const PageCase pages[] = {{3, 2, true, false}, {150, 12, false, false}, {0, 3, true, true}, {4, 0, false, true},
                              {0, 0, true, false}, {5000, 0, true, false}};
    for (const PageCase& shape : pages) {
        demo::LookupPage page;
        page.background = demo::MakeSongs(shape.background, 1);
        page.favourites = demo::MakeSongs(shape.favourites, 9);
        page.crlf = shape.crlf;
        page.upperCaseTags = shape.upperCaseTags;
        std::u16string subject = FromGbk(demo::RenderLookupPage(page));
        std::vector<Match> matches;
        ASSERT_EQ(FindAll(*pattern, subject, true, Limits(), &matches), Outcome::Done);
        std::vector<demo::Song> songs = page.background;
        songs.insert(songs.end(), page.favourites.begin(), page.favourites.end());
        ASSERT_EQ(matches.size(), songs.size()) << shape.background << "/" << shape.favourites;
        for (size_t i = 0; i < songs.size(); ++i) {
            auto group = [&](size_t n) {
                const Span& span = matches[i].groups[n];
                return std::u16string(subject.substr(span.start, span.length));
            };
            ASSERT_EQ(group(0), FromGbk(songs[i].address)) << "song " << i;
            ASSERT_EQ(group(1), FromGbk(songs[i].name)) << "song " << i;
            ASSERT_EQ(group(2), FromGbk(songs[i].singer)) << "song " << i;
        }
    }
}

// The page on which the pattern's nested lazy spans backtrack for minutes:
// a step budget or the cancel flag ends the run.
TEST(ExtractionPattern, BacktrackingPageEndsAtTheLimits) {
    auto pattern = ExtractionPattern();
    ASSERT_TRUE(pattern);
    std::u16string subject = FromGbk(demo::UnfinishedSongStarts(200000));
    Limits budget;
    budget.stepBudget = 2000000;
    std::vector<Match> matches;
    EXPECT_EQ(FindAll(*pattern, subject, true, budget, &matches), Outcome::Stopped);

    std::atomic<bool> cancel{false};
    Limits cancellable;
    cancellable.cancel = &cancel;
    auto run = std::async(std::launch::async, [&] {
        std::vector<Match> found;
        return FindAll(*pattern, subject, true, cancellable, &found);
    });
    EXPECT_EQ(run.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    cancel = true;
    ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(run.get(), Outcome::Stopped);
}

TEST(Regex, LimitsStopSearchAndReplace) {
    auto pattern = Pattern::Compile(u"(a|aa)*b", Options());
    ASSERT_TRUE(pattern);
    std::u16string subject(60, u'a');
    Limits limits;
    limits.stepBudget = 100000;
    Match match;
    bool found = true;
    EXPECT_EQ(pattern->Search(subject, 0, limits, &match, &found), Outcome::Stopped);
    EXPECT_FALSE(found);
    std::u16string replaced = u"unchanged";
    EXPECT_EQ(Replace(*pattern, subject, u"x", true, limits, &replaced), Outcome::Stopped);
    std::atomic<bool> cancel{true};
    Limits cancelled;
    cancelled.cancel = &cancel;
    std::vector<Match> matches;
    EXPECT_EQ(FindAll(*pattern, subject, true, cancelled, &matches), Outcome::Stopped);
}

// Runs work on a thread whose stack is small: the matcher keeps its
// backtracking state on the heap, whatever the subject's length.
void OnSmallStack(std::function<void()> work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    auto body = [](void* argument) -> void* {
        (*static_cast<std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, body, &work), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

TEST(Regex, LongSubjectsAndDeepPatternsNeedNoStack) {
    OnSmallStack([] {
        std::u16string subject(4u << 20, u'a');
        auto lazy = Pattern::Compile(u"[\\s\\S]*?x", Options());
        std::vector<Match> matches;
        EXPECT_EQ(FindAll(*lazy, subject, true, Limits(), &matches), Outcome::Done);
        EXPECT_TRUE(matches.empty());
        subject.back() = u'x';
        EXPECT_EQ(FindAll(*lazy, subject, true, Limits(), &matches), Outcome::Done);
        ASSERT_EQ(matches.size(), 1u);
        EXPECT_EQ(matches[0].whole.length, subject.size());

        subject.resize(1u << 20);
        auto loop = Pattern::Compile(u"(?:(a)|b)*$", Options());
        EXPECT_EQ(FindAll(*loop, subject, false, Limits(), &matches), Outcome::Done);
        ASSERT_EQ(matches.size(), 1u);
        EXPECT_EQ(matches[0].whole.length, subject.size());

        std::u16string deep = std::u16string(90, u'(') + u"a" + std::u16string(90, u')') + u"+";
        auto nested = Pattern::Compile(deep, Options());
        ASSERT_TRUE(nested);
        EXPECT_EQ(FindAll(*nested, u"aaa", true, Limits(), &matches), Outcome::Done);
        ASSERT_EQ(matches.size(), 1u);
        EXPECT_EQ(matches[0].groups.size(), 90u);
    });
}

}  // namespace
}  // namespace lyra::regex
