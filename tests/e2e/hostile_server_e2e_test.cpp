// The real program against servers that misbehave: every lookup ends with a
// final status, the query box usable again and no error box, whatever the
// lookup host answers or fails to answer. The network cases run the build
// whose page exchange ends after 6 s; the backtracking page runs the
// program as shipped.
#include <map>
#include <string>

#include "tests/e2e/support/program_fixture.h"
#include "tests/e2e/support/short_deadlines.h"

namespace lyra::test {
namespace {

constexpr DWORD kWebDeadline = kShortDeadlineLimits.exchangeDeadlineMs;

ScriptedResponse HtmlAnswer(const std::string& body) {
    ScriptedResponse response;
    response.headerLines = {"Content-Type: text/html; charset=gbk"};
    response.body = body;
    return response;
}

ScriptedResponse Redirect(int status, const std::string& location) {
    ScriptedResponse response = HtmlAnswer("moved");
    response.statusLine = "HTTP/1.1 " + std::to_string(status) + " Redirected";
    response.headerLines.push_back("Location: " + location);
    return response;
}

class HostileServer : public Lyrabox {
protected:
    // answers: the lookup page's answer by QQ number.
    void Serve(std::map<std::string, ScriptedResponse> answers) {
        answers_ = std::move(answers);
        Lyrabox::Serve([this](const PageRequest& request) {
            PageResponse response;
            if (request.target.rfind("/announce.html", 0) == 0) {
                response.script = HtmlAnswer(demo::RenderAnnouncement(demo::Announcement{}));
                return response;
            }
            auto answer = answers_.find(demo::QueryNumber(request.target));
            if (request.target.rfind("/5.aspx", 0) == 0 && answer != answers_.end()) {
                response.script = answer->second;
            } else {
                response.script = HtmlAnswer("");
                response.script->statusLine = "HTTP/1.1 404 Not Found";
            }
            return response;
        });
    }

    void Launch(const wchar_t* program = kShortDeadlines) { Lyrabox::Launch(program); }

    // Looks number up; it must end within bound, with the box usable again
    // and no box of any kind shown. Returns the final status.
    std::wstring ExpectLookupEnds(const std::string& number, DWORD bound) {
        EXPECT_TRUE(LookUpWithin(std::wstring(number.begin(), number.end()), bound)) << number;
        EXPECT_TRUE(MessageBoxes().empty()) << number << ": a box was shown";
        return TextOf(group_);
    }

    void ExpectLists(const LookupPage& page) {
        ExpectList(background_, page.background);
        ExpectList(favourites_, page.favourites);
    }

    // The last match at the top; cells ID, singer, song name, address.
    static void ExpectList(HWND list, const std::vector<Song>& songs) {
        size_t count = songs.size();
        ASSERT_EQ(static_cast<size_t>(ListRowCount(list)), count);
        for (size_t row = 0; row < count; ++row) {
            const Song& song = songs[count - 1 - row];
            int at = static_cast<int>(row);
            size_t id = count - row;
            EXPECT_EQ(ListCell(list, at, 0), (id < 10 ? L"0" : L"") + std::to_wstring(id)) << "row " << row;
            EXPECT_EQ(ListCell(list, at, 1), FromGbk(song.singer)) << "row " << row;
            EXPECT_EQ(ListCell(list, at, 2), FromGbk(song.name)) << "row " << row;
            EXPECT_EQ(ListCell(list, at, 3), FromGbk(song.address)) << "row " << row;
        }
    }

    std::map<std::string, ScriptedResponse> answers_;
};

TEST_F(HostileServer, EveryBrokenAnswerEndsTheLookupWithTheBoxUsableAgain) {
    std::string origin = "http://127.0.0.1:" + std::to_string(kPort);
    LookupPage songs = Page(3, 2);
    std::string page = demo::RenderLookupPage(songs);

    std::map<std::string, ScriptedResponse> answers;
    answers["301"] = Redirect(301, "/5.aspx?qq=301");
    answers["302"] = Redirect(302, origin + "/5.aspx?qq=302");
    answers["3031"] = Redirect(303, "/5.aspx?qq=3032");
    answers["3032"] = Redirect(307, "/5.aspx?qq=3031");
    ScriptedResponse reset = HtmlAnswer(page);
    reset.mode = ScriptedResponse::Mode::Reset;
    reset.cutAfter = page.size() / 2;
    answers["4"] = reset;
    ScriptedResponse closed;
    closed.mode = ScriptedResponse::Mode::CloseAtOnce;
    answers["5"] = closed;
    ScriptedResponse notHttp = HtmlAnswer(page);
    notHttp.statusLine = "SSH-2.0-OpenSSH_9.2p1";
    answers["6"] = notHttp;
    ScriptedResponse longLine = HtmlAnswer(page);
    longLine.headerLines.push_back("X-Long: " + std::string(1 << 20, 'h'));
    answers["7"] = longLine;
    ScriptedResponse trickle = HtmlAnswer(page);
    trickle.chunkSize = 1;
    trickle.chunkPauseMs = 2000;
    answers["8"] = trickle;
    answers["9"] = Redirect(302, "5.aspx?qq=10001");
    answers["10001"] = HtmlAnswer(page);
    ScriptedResponse chunked = HtmlAnswer(page);
    chunked.contentLength = false;
    chunked.chunkedSizes = {1, 2, 3, 5, 7, 11};  // borders inside characters and inside the marker
    answers["11"] = chunked;
    Serve(answers);
    Launch();

    // Redirect loops: ten follow-ups and no more, then the last answer.
    for (const char* number : {"301", "302", "3031"}) {
        size_t before = Requests("/5.aspx");
        EXPECT_EQ(ExpectLookupEnds(number, 30000), kAllMissing) << number;
        EXPECT_EQ(Requests("/5.aspx") - before, 11u) << number;
    }
    // Answers cut, refused, garbled or oversized: a final status, whichever.
    for (const char* number : {"4", "6", "7"}) ExpectLookupEnds(number, 30000);
    EXPECT_EQ(ExpectLookupEnds("5", 30000), kAllMissing);

    // One byte every 2 s: the exchange ends at its deadline.
    DWORD start = GetTickCount();
    EXPECT_EQ(ExpectLookupEnds("8", 90000), kAllMissing);
    EXPECT_GE(GetTickCount() - start + 100, kWebDeadline);

    // A relative redirect and a chunked page arrive whole.
    EXPECT_EQ(ExpectLookupEnds("9", 30000), kDone);
    ExpectLists(songs);
    EXPECT_EQ(ExpectLookupEnds("11", 30000), kDone);
    ExpectLists(songs);
}

TEST_F(HostileServer, HundredMegabytePageLeavesNoMemoryBehind) {
    ScriptedResponse huge = HtmlAnswer("<td>0123456789abcdef</td>\r\n");
    huge.repeatUntil = uint64_t{100} << 20;
    Serve({{"1", HtmlAnswer(demo::RenderLookupPage(Page(20, 5)))}, {"2", huge}});
    Launch();
    EXPECT_EQ(ExpectLookupEnds("1", 30000), kDone);
    size_t before = PrivateBytes();
    EXPECT_EQ(ExpectLookupEnds("2", 60000), kAllMissing);
    // The exchange, if cut at its deadline, lets go of its body at its next read.
    EXPECT_TRUE(WaitFor([&] { return PrivateBytes() <= before + (2u << 20); }, 10000))
        << "private memory " << before / 1024 << " KB before, " << PrivateBytes() / 1024 << " KB after";
}

TEST_F(HostileServer, PageOnWhichThePatternBacktracksEndsAsNothingFoundAndClosingIsImmediate) {
    // Before the marker: the background half, 40 KB of it, minutes of
    // backtracking. The extraction deadline as shipped ends it.
    std::string unfinished = demo::UnfinishedSongStarts(40 * 1024) + "收藏列表";
    Serve({{"1", HtmlAnswer(unfinished)}});
    Launch(kAsShipped);
    EXPECT_EQ(ExpectLookupEnds("1", 30000), kAllMissing);
    // The abandoned extraction keeps a core busy; the program closes at once.
    DWORD start = GetTickCount();
    EXPECT_TRUE(Close(5000));
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(ExitCode(0), 0u);
}

}  // namespace
}  // namespace lyra::test
