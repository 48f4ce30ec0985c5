// The application's RegexObject: options, positions in GBK subjects, the
// lookup's extraction pattern on pages of our own, worker threads and the
// balance of references, memory and COM initialisations. The program runs
// twice: on the system's VBScript.RegExp, and with VBScript switched off,
// on the program's own RegExp class.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/extraction_pattern.h"
#include "app/own_regexp.h"
#include "app/regex_object.h"
#include "runtime/memory.h"
#include "test_support/test_program.h"
#include "tests/windows/support/vbscript_presence.h"
#include "tools/demo/lookup_pages.h"

namespace lyra::test {
namespace {

using app::RegexObject;
using demo::LookupPage;
using demo::Song;

using app::kExtractionPattern;
using app::kSplitMarker;

class RegexEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        InitialiseTestProgram();
        ASSERT_EQ(VBScriptRegExpCreatable(), !VBScriptSwitchedOff()) << "the class this run is meant to use";
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new RegexEnvironment);

// Takes a text result over.
std::string Take(char* text) {
    std::string bytes = text != nullptr ? text : "";
    FreeMemory(text);
    return bytes;
}

std::string BeforeMarker(const std::string& page) {
    size_t at = page.find(kSplitMarker);
    return at == std::string::npos ? std::string() : page.substr(0, at);
}

std::string AfterLastMarker(const std::string& page) {
    size_t at = page.rfind(kSplitMarker);
    return at == std::string::npos ? std::string() : page.substr(at + std::strlen(kSplitMarker));
}

// Every match's three submatches: address, song name, singer.
std::vector<Song> Extract(RegexObject& regex) {
    std::vector<Song> songs;
    int32_t count = regex.MatchCount();
    for (int32_t i = 1; i <= count; ++i) {
        Song song;
        song.address = Take(regex.SubmatchText(i, 1));
        song.name = Take(regex.SubmatchText(i, 2));
        song.singer = Take(regex.SubmatchText(i, 3));
        songs.push_back(song);
    }
    return songs;
}

void ExpectSongs(const std::vector<Song>& actual, const std::vector<Song>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].address, expected[i].address) << "match " << i + 1;
        EXPECT_EQ(actual[i].name, expected[i].name) << "match " << i + 1;
        EXPECT_EQ(actual[i].singer, expected[i].singer) << "match " << i + 1;
    }
}

TEST(ExtractionPattern, IsTheLookupsTextOf176Bytes) { EXPECT_EQ(std::strlen(kExtractionPattern), 176u); }

// ---- Create and its options ----

TEST(RegexObjectCreate, DefaultsIgnoreCaseMatchLineBreaksAndCollectEveryMatch) {
    RegexObject regex;
    EXPECT_TRUE(regex.Create("^ab$", "xx\nAB\nab\nyy"));
    EXPECT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(Take(regex.MatchText(1)), "AB");

    EXPECT_TRUE(regex.Create("^ab$", "xx\nAB\nab\nyy", true));
    EXPECT_EQ(regex.MatchCount(), 1) << "case-sensitive";
    EXPECT_TRUE(regex.Create("^ab$", "xx\nAB\nab\nyy", false, false));
    EXPECT_EQ(regex.MatchCount(), 0) << "without multiline ^ and $ hold only at the ends";
    EXPECT_TRUE(regex.Create("ab", "xx\nAB\nab\nyy", false, true, false));
    EXPECT_EQ(regex.MatchCount(), 1) << "not global: the first match only";
    EXPECT_TRUE(regex.Create("a.b", "a\nb"));
    EXPECT_EQ(regex.MatchCount(), 0) << "'.' never matches a line break";
}

TEST(RegexObjectCreate, QuoteMarkerStandsForADoubleQuoteOnlyWhenAsked) {
    RegexObject regex;
    EXPECT_TRUE(regex.Create("a#引号b", "xa\"by a#引号b", false, true, true, true));
    EXPECT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(Take(regex.MatchText(1)), "a\"b");
    EXPECT_EQ(Take(regex.GetPattern()), "a\"b");

    EXPECT_TRUE(regex.Create("a#引号b", "xa\"by a#引号b"));
    EXPECT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(Take(regex.MatchText(1)), "a#引号b");

    EXPECT_TRUE(regex.Create("#引号+", "\"\"\" #引号", false, true, true, true));
    EXPECT_EQ(Take(regex.MatchText(1)), "\"\"\"") << "every occurrence of the marker";
}

TEST(RegexObjectCreate, AnEmptySubjectHasNoMatchesAndEmptyTexts) {
    RegexObject regex;
    EXPECT_TRUE(regex.Create(kExtractionPattern, ""));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubmatchText(1, 1), nullptr);
    EXPECT_EQ(regex.MatchText(1), nullptr);
    EXPECT_EQ(regex.SubmatchCount(), 0);
}

TEST(RegexObjectCreate, BeforeCreateEverythingReadsEmpty) {
    RegexObject regex;
    regex.NoOperation();
    EXPECT_EQ(regex.GetPattern(), nullptr);
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubmatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), nullptr);
    EXPECT_EQ(regex.ReplaceAll("x"), nullptr);
}

TEST(RegexObjectCreate, AnInvalidPatternGivesFalseAndNoMatches) {
    RegexObject regex;
    EXPECT_FALSE(regex.Create("(", "abc"));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObjectCreate, ASecondCreateReplacesPatternMatchesAndSubject) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create("a", "banana"));
    EXPECT_EQ(regex.MatchCount(), 3);
    ASSERT_TRUE(regex.Create("b+", "xbbxb"));
    EXPECT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(Take(regex.MatchText(1)), "bb");
    EXPECT_EQ(Take(regex.GetPattern()), "b+");
    EXPECT_EQ(Take(regex.ReplaceAll("-")), "x-x-");
}

TEST(RegexObjectCreate, ReplaceAllFollowsGlobal) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create("A", "banana"));
    EXPECT_EQ(Take(regex.ReplaceAll("-")), "b-n-n-");
    ASSERT_TRUE(regex.Create("a", "banana", false, true, false));
    EXPECT_EQ(Take(regex.ReplaceAll("中")), "b中nana");
}

// ---- Submatches and positions ----

TEST(RegexObjectSubmatches, CountsGroupsAndANonParticipatingGroupIsEmpty) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create("(a)(x)?(c)", "ac"));
    EXPECT_EQ(regex.SubmatchCount(), 3);
    EXPECT_EQ(Take(regex.SubmatchText(1, 1)), "a");
    EXPECT_EQ(regex.SubmatchText(1, 2), nullptr);
    EXPECT_EQ(Take(regex.SubmatchText(1, 3)), "c");
    EXPECT_EQ(regex.SubmatchText(1, 4), nullptr) << "beyond the last group";
    EXPECT_EQ(regex.SubmatchText(2, 1), nullptr) << "beyond the last match";
}

TEST(RegexObjectSubmatches, PositionsAreByteOffsetsInTheGbkSubject) {
    const char subject[] = "中国abc中国abc";
    // The COM object counts characters: the second abc starts at character 7.
    RegexObject regex;
    ASSERT_TRUE(regex.Create("abc", subject));
    int32_t position = 99;
    EXPECT_EQ(Take(regex.MatchText(2, &position)), "abc");
    EXPECT_EQ(position, 11);
    EXPECT_EQ(Take(regex.MatchText(1, &position)), "abc");
    EXPECT_EQ(position, 4);

    ASSERT_TRUE(regex.Create("a(b)(c)", subject));
    EXPECT_EQ(Take(regex.SubmatchText(2, 2, &position)), "c");
    EXPECT_EQ(position, 13);
}

TEST(RegexObjectSubmatches, FirstIndexOfTheGbkExampleIsSeven) {
    // The premise of the position example, read from the match itself
    // through the commands the class uses.
    app::ObjectValue regexp;
    app::CoreCommand(&ObjectCreate, {regexp.arg(), TextArg("VBScript.RegExp"), EmptyRecord()});
    if (VBScriptSwitchedOff()) regexp.Attach(app::NewOwnRegExp());
    ASSERT_FALSE(app::ObjectEmpty(regexp));
    app::WriteObjectLogical(regexp, "Global", true);
    app::WriteObjectText(regexp, "Pattern", "abc");
    app::ObjectValue matches(
        app::CoreCommand(&ObjectCallObjectMethod, {regexp.arg(), TextArg("Execute"), TextArg("中国abc中国abc")}));
    app::ObjectValue second = app::ReadItemObject(matches, 1);
    EXPECT_EQ(app::ReadObjectNumber(second, "FirstIndex"), 7.0);
}

TEST(RegexObjectSubmatches, APositionIsTheMatchsOwnNotAnEarlierEqualText) {
    // Two-byte characters before the match put the character index of the
    // second abc (5) on the first abc's bytes.
    RegexObject regex;
    ASSERT_TRUE(regex.Create("abc", "中中abcabc"));
    int32_t position = 99;
    EXPECT_EQ(Take(regex.MatchText(2, &position)), "abc");
    EXPECT_EQ(position, 7);
    ASSERT_TRUE(regex.Create("abc", "中中中ABCabc", true));
    EXPECT_EQ(Take(regex.MatchText(1, &position)), "abc");
    EXPECT_EQ(position, 9);
}

TEST(RegexObjectSubmatches, BytesThatAreCharactersOfTheirOwnCountOnce) {
    // 0x80 and 0xFF are single characters in code page 936, whatever follows.
    RegexObject regex;
    ASSERT_TRUE(regex.Create("abc", "\x80xabc\xFFyabc"));
    int32_t position = 99;
    EXPECT_EQ(Take(regex.MatchText(1, &position)), "abc");
    EXPECT_EQ(position, 2);
    EXPECT_EQ(Take(regex.MatchText(2, &position)), "abc");
    EXPECT_EQ(position, 7);
}

// ---- The extraction pattern on lookup pages ----

struct PageCase {
    const char* name;
    int songs;
    bool crlf;
    bool upper;
};

class ExtractionPatternPages : public ::testing::TestWithParam<PageCase> {};

TEST_P(ExtractionPatternPages, EverySongsThreeSubmatchesComeOutInOrder) {
    const PageCase& c = GetParam();
    LookupPage page;
    page.background = demo::MakeSongs(c.songs, 4);
    page.favourites = demo::MakeSongs(2, 9);
    page.crlf = c.crlf;
    page.upperCaseTags = c.upper;
    std::string html = demo::RenderLookupPage(page);

    RegexObject background;
    RegexObject favourites;
    background.Create(kExtractionPattern, BeforeMarker(html).c_str());
    favourites.Create(kExtractionPattern, AfterLastMarker(html).c_str());
    EXPECT_EQ(background.MatchCount(), c.songs);
    EXPECT_EQ(background.SubmatchCount(), 3);
    ExpectSongs(Extract(background), page.background);
    ExpectSongs(Extract(favourites), page.favourites);
}

INSTANTIATE_TEST_SUITE_P(Pages, ExtractionPatternPages,
                         ::testing::Values(PageCase{"ThreeCrlf", 3, true, false}, PageCase{"ThreeLf", 3, false, false},
                                           PageCase{"TwelveCrlf", 12, true, false}, PageCase{"TwelveLf", 12, false, false},
                                           PageCase{"ThreeUpperCase", 3, true, true},
                                           PageCase{"TwelveUpperCaseLf", 12, false, true}),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST(ExtractionPattern, AnEmptySongNameLeavesItsSubmatchEmpty) {
    LookupPage page;
    page.background = demo::MakeSongs(3, 2);
    page.background[1].name.clear();
    page.background[2].singer.clear();
    std::string html = demo::RenderLookupPage(page);
    RegexObject regex;
    regex.Create(kExtractionPattern, BeforeMarker(html).c_str());
    ASSERT_EQ(regex.MatchCount(), 3);
    EXPECT_EQ(regex.SubmatchText(2, 2), nullptr);
    EXPECT_EQ(regex.SubmatchText(3, 3), nullptr);
    ExpectSongs(Extract(regex), page.background);
}

TEST(ExtractionPattern, APageWithoutTheMarkerGivesNoHalves) {
    LookupPage page;
    page.background = demo::MakeSongs(2, 5);
    page.hasMarker = false;
    std::string html = demo::RenderLookupPage(page);
    RegexObject regex;
    regex.Create(kExtractionPattern, BeforeMarker(html).c_str());
    EXPECT_EQ(regex.MatchCount(), 0);
    regex.Create(kExtractionPattern, html.c_str());
    EXPECT_EQ(regex.MatchCount(), 2) << "the page itself has the songs";
}

// ---- Threads and the balance of resources ----

TEST(RegexObjectThreads, AnObjectMadeOnAWorkerExtractsEverySong) {
    LookupPage page;
    page.background = demo::MakeSongs(12, 6);
    std::string half = BeforeMarker(demo::RenderLookupPage(page));
    std::vector<Song> songs;
    HRESULT afterwards = E_FAIL;
    // The worker does not initialise COM itself: the objects do.
    std::thread worker([&] {
        {
            RegexObject regex;
            regex.Create(kExtractionPattern, half.c_str());
            RegexObject copy(regex);
            songs = Extract(copy);
        }
        // Every initialisation was balanced: COM starts afresh on this thread.
        afterwards = CoInitialize(nullptr);
        if (SUCCEEDED(afterwards)) CoUninitialize();
    });
    worker.join();
    ExpectSongs(songs, page.background);
    EXPECT_EQ(afterwards, S_OK);
}

// Committed private memory. (Wine reports PrivateUsage as 0; PagefileUsage is the same figure.)
size_t CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

DWORD HandleCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

TEST(RegexObjectResources, AThousandObjectsCreatedCopiedAndDestroyedLeaveNothingBehind) {
    LookupPage page;
    page.background = demo::MakeSongs(12, 8);
    std::string half = BeforeMarker(demo::RenderLookupPage(page));
    auto cycle = [&] {
        RegexObject regex;
        regex.Create(kExtractionPattern, half.c_str());
        RegexObject copy(regex);
        FreeMemory(copy.SubmatchText(12, 3));
    };
    for (int i = 0; i < 100; ++i) cycle();  // warm up heaps and caches
    size_t memoryBefore = CommittedBytes();
    DWORD handlesBefore = HandleCount();
    for (int i = 0; i < 1000; ++i) cycle();
    size_t memoryAfter = CommittedBytes();
    DWORD handlesAfter = HandleCount();
    // One leaked subject copy alone would be 3.5 MB over the thousand.
    EXPECT_LT(memoryAfter, memoryBefore + 1024 * 1024) << memoryBefore << " -> " << memoryAfter;
    EXPECT_LE(handlesAfter, handlesBefore + 4) << handlesBefore << " -> " << handlesAfter;
}

}  // namespace
}  // namespace lyra::test
