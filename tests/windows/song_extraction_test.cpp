// The lookup's extraction within its deadline: every song of a page that
// finishes, nothing from one on which the pattern backtracks for minutes,
// and an abandoned extraction that finishes alone without holding up the
// next one. The program runs twice: on VBScript.RegExp, whose abandoned
// run goes on alone, and with VBScript switched off, on the program's own
// class, whose abandoned run stops as soon as it is let go.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/deadline_job.h"
#include "app/extraction_pattern.h"
#include "app/song_extraction.h"
#include "test_support/test_program.h"
#include "test_support/waits.h"
#include "tests/windows/support/vbscript_presence.h"
#include "tools/demo/lookup_pages.h"

namespace lyra::test {
namespace {

using app::DeadlineJob;
using app::ExtractedSong;
using app::kSplitMarker;
using app::SongExtraction;
using demo::Song;

class ExtractionEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        InitialiseTestProgram();
        ASSERT_EQ(VBScriptRegExpCreatable(), !VBScriptSwitchedOff()) << "the class this run is meant to use";
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ExtractionEnvironment);

// Every song of both halves, taken from the extraction as the lookup takes
// them; finished is false when the deadline passed first.
struct ExtractedSongs {
    bool finished = false;
    std::vector<ExtractedSong> background;
    std::vector<ExtractedSong> favourites;
};

ExtractedSongs ExtractSongs(const char* backgroundHalf, const char* favouriteHalf, uint32_t deadlineMs) {
    const uint64_t deadline = GetTickCount64() + deadlineMs;
    SongExtraction extraction(backgroundHalf, favouriteHalf);
    ExtractedSongs result;
    int32_t counts[2] = {0, 0};
    if (!extraction.WaitForCounts(deadline, counts)) return result;
    std::vector<ExtractedSong> songs[2];
    for (int half = 0; half < 2; ++half) {
        while (extraction.TakeSongs(half, &songs[half], deadline)) {
        }
        if (songs[half].size() != static_cast<size_t>(counts[half])) return result;
    }
    result.finished = true;
    result.background.swap(songs[0]);
    result.favourites.swap(songs[1]);
    return result;
}

void ExpectSongs(const std::vector<ExtractedSong>& actual, const std::vector<Song>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].address, expected[i].address) << "match " << i + 1;
        EXPECT_EQ(actual[i].name, expected[i].name) << "match " << i + 1;
        EXPECT_EQ(actual[i].singer, expected[i].singer) << "match " << i + 1;
    }
}

bool WaitForLiveJobs(long count, DWORD milliseconds) {
    return test::WaitFor([&] { return DeadlineJob::LiveCount() == count; }, milliseconds);
}

TEST(SongExtraction, PageOf5000SongsGivesEverySongWithinTheDeadline) {
    demo::LookupPage page;
    page.background = demo::MakeSongs(5000, 1);
    page.favourites = demo::MakeSongs(30, 7);
    std::string text = demo::RenderLookupPage(page);
    size_t first = text.find(kSplitMarker);
    size_t last = text.rfind(kSplitMarker);
    ASSERT_NE(first, std::string::npos);
    std::string background = text.substr(0, first);
    std::string favourites = text.substr(last + std::strlen(kSplitMarker));

    DWORD start = GetTickCount();
    ExtractedSongs songs = ExtractSongs(background.c_str(), favourites.c_str(), 20000);
    EXPECT_TRUE(songs.finished) << GetTickCount() - start << " ms";
    ExpectSongs(songs.background, page.background);
    ExpectSongs(songs.favourites, page.favourites);
}

TEST(SongExtraction, AbandonedExtractionFinishesAloneAndFreesItself) {
    // Seconds of backtracking against a deadline of a fraction of it: VBScript
    // takes about two on 6 KB, the program's own class as long on more.
    std::string slow = demo::UnfinishedSongStarts((VBScriptSwitchedOff() ? 40 : 6) * 1024);
    DWORD start = GetTickCount();
    ExtractedSongs songs = ExtractSongs(slow.c_str(), "", 300);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_FALSE(songs.finished);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_TRUE(songs.background.empty() && songs.favourites.empty());
    if (!VBScriptSwitchedOff()) {
        EXPECT_EQ(DeadlineJob::LiveCount(), 1) << "still working alone";
    }

    // The next extraction does not wait for the abandoned one.
    demo::LookupPage page;
    page.background = demo::MakeSongs(3, 2);
    std::string normal = demo::RenderLookupPage(page);
    normal = normal.substr(0, normal.find(kSplitMarker));
    ExtractedSongs next = ExtractSongs(normal.c_str(), "", 20000);
    EXPECT_TRUE(next.finished);
    ExpectSongs(next.background, page.background);

    EXPECT_TRUE(WaitForLiveJobs(0, 60000)) << "the abandoned extraction ends and frees itself";
}

// Last: on VBScript.RegExp the abandoned extraction of this case keeps one
// core busy for minutes, until the test program ends; on the program's own
// class it ends as soon as it is let go.
TEST(SongExtraction, PageOfUnfinishedStartsEndsAtTheDeadlineAsNothingFound) {
    const long jobsBefore = DeadlineJob::LiveCount();
    std::string page = demo::UnfinishedSongStarts(40 * 1024);
    DWORD start = GetTickCount();
    ExtractedSongs songs = ExtractSongs(page.c_str(), page.c_str(), 2000);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_FALSE(songs.finished);
    EXPECT_GE(elapsed + 50, 2000u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_TRUE(songs.background.empty());
    EXPECT_TRUE(songs.favourites.empty());
    if (VBScriptSwitchedOff()) {
        EXPECT_TRUE(WaitForLiveJobs(jobsBefore, 2000)) << "the abandoned extraction stops and frees itself";
    }
}

}  // namespace
}  // namespace lyra::test
