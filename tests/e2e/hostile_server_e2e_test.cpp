// The real program against servers that misbehave: every lookup ends with a
// final status, the query box usable again and no error box, whatever the
// lookup host answers or fails to answer. The network cases run the build
// whose page exchange ends after 6 s; the backtracking page runs the
// program as shipped.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "tests/e2e/support/program_session.h"
#include "tests/windows/support/loopback_server.h"
#include "tools/demo/lookup_pages.h"
#include "tools/ui_driver/driver.h"

namespace lyra::test {
namespace {

using demo::LookupPage;

constexpr uint16_t kPort = LYRABOX_E2E_PORT;
constexpr DWORD kWebDeadline = LYRABOX_WEB_DEADLINE_MS;
const wchar_t kShortDeadlines[] = L"lyrabox_e2e_short_deadlines.exe";
const wchar_t kAsShipped[] = L"lyrabox_e2e.exe";

std::wstring Wide(const std::string& gbk) {
    if (gbk.empty()) return std::wstring();
    int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &out[0], n);
    return out;
}

std::string Utf8(const std::wstring& text) {
    std::string out;
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

ScriptedResponse Page(const std::string& body) {
    ScriptedResponse response;
    response.headerLines = {"Content-Type: text/html; charset=gbk"};
    response.body = body;
    return response;
}

ScriptedResponse Redirect(int status, const std::string& location) {
    ScriptedResponse response = Page("moved");
    response.statusLine = "HTTP/1.1 " + std::to_string(status) + " Redirected";
    response.headerLines.push_back("Location: " + location);
    return response;
}

LookupPage SongsPage(int background, int favourites) {
    LookupPage page;
    page.background = demo::MakeSongs(background, 1);
    page.favourites = demo::MakeSongs(favourites, 20);
    return page;
}

// Starts of a song entry that nothing later completes: the extraction
// pattern backtracks over such a page for minutes.
std::string UnfinishedStarts(size_t bytes) {
    const std::string start = "<a onmouseover=x musicUrl>u</div>\r\n";
    std::string page;
    while (page.size() < bytes) page += start;
    return page;
}

class HostileServer : public ::testing::Test {
protected:
    // answers: the lookup page's answer by QQ number.
    void Serve(std::map<std::string, ScriptedResponse> answers) {
        answers_ = std::move(answers);
        server_ = std::make_unique<LoopbackServer>(
            [this](const RecordedRequest& request) {
                std::string path = request.Path();
                if (path.rfind("/announce.html", 0) == 0) return Page(demo::RenderAnnouncement(demo::Announcement{}));
                auto answer = answers_.find(demo::QueryNumber(path));
                if (path.rfind("/5.aspx", 0) == 0 && answer != answers_.end()) return answer->second;
                ScriptedResponse missing = Page("");
                missing.statusLine = "HTTP/1.1 404 Not Found";
                return missing;
            },
            kPort);
        ASSERT_TRUE(server_->listening()) << "port " << kPort;
    }

    void Launch(const wchar_t* program = kShortDeadlines) {
        ASSERT_TRUE(program_.Launch(program, 30000)) << "main window";
        ASSERT_TRUE(driver::WaitFor([&] { return Requests("/announce.html") > 0; }, 30000)) << "update check";
    }

    size_t Requests(const std::string& prefix) {
        size_t n = 0;
        for (const RecordedRequest& request : server_->Requests()) n += request.Path().rfind(prefix, 0) == 0;
        return n;
    }

    // Looks number up; it must end within bound, with the box usable again
    // and no box of any kind shown. Returns the final status.
    std::wstring ExpectLookupEnds(const std::string& number, DWORD bound) {
        DWORD start = GetTickCount();
        bool ended = program_.LookUp(std::wstring(number.begin(), number.end()), [&] { return Requests("/5.aspx"); },
                                     bound);
        DWORD elapsed = GetTickCount() - start;
        EXPECT_TRUE(ended) << number << ": status " << Utf8(program_.Status()) << " after " << elapsed << " ms";
        EXPECT_TRUE(program_.MessageBoxes().empty()) << number << ": a box was shown";
        return program_.Status();
    }

    void ExpectLists(const LookupPage& page) {
        ExpectList(program_.background(), page.background);
        ExpectList(program_.favourites(), page.favourites);
    }

    // The last match at the top; cells ID, singer, song name, address.
    static void ExpectList(HWND list, const std::vector<demo::Song>& songs) {
        size_t count = songs.size();
        ASSERT_EQ(static_cast<size_t>(driver::ListRowCount(list)), count);
        for (size_t row = 0; row < count; ++row) {
            const demo::Song& song = songs[count - 1 - row];
            int at = static_cast<int>(row);
            size_t id = count - row;
            EXPECT_EQ(driver::ListCell(list, at, 0), (id < 10 ? L"0" : L"") + std::to_wstring(id)) << "row " << row;
            EXPECT_EQ(driver::ListCell(list, at, 1), Wide(song.singer)) << "row " << row;
            EXPECT_EQ(driver::ListCell(list, at, 2), Wide(song.name)) << "row " << row;
            EXPECT_EQ(driver::ListCell(list, at, 3), Wide(song.address)) << "row " << row;
        }
    }

    std::map<std::string, ScriptedResponse> answers_;
    std::unique_ptr<LoopbackServer> server_;
    ProgramSession program_;  // ends before the server stops
};

TEST_F(HostileServer, EveryBrokenAnswerEndsTheLookupWithTheBoxUsableAgain) {
    std::string origin = "http://127.0.0.1:" + std::to_string(kPort);
    LookupPage songs = SongsPage(3, 2);
    std::string page = demo::RenderLookupPage(songs);

    std::map<std::string, ScriptedResponse> answers;
    answers["301"] = Redirect(301, "/5.aspx?qq=301");
    answers["302"] = Redirect(302, origin + "/5.aspx?qq=302");
    answers["3031"] = Redirect(303, "/5.aspx?qq=3032");
    answers["3032"] = Redirect(307, "/5.aspx?qq=3031");
    ScriptedResponse reset = Page(page);
    reset.mode = ScriptedResponse::Mode::Reset;
    reset.cutAfter = page.size() / 2;
    answers["4"] = reset;
    ScriptedResponse closed;
    closed.mode = ScriptedResponse::Mode::CloseAtOnce;
    answers["5"] = closed;
    ScriptedResponse notHttp = Page(page);
    notHttp.statusLine = "SSH-2.0-OpenSSH_9.2p1";
    answers["6"] = notHttp;
    ScriptedResponse longLine = Page(page);
    longLine.headerLines.push_back("X-Long: " + std::string(1 << 20, 'h'));
    answers["7"] = longLine;
    ScriptedResponse trickle = Page(page);
    trickle.chunkSize = 1;
    trickle.chunkPauseMs = 2000;
    answers["8"] = trickle;
    answers["9"] = Redirect(302, "5.aspx?qq=10001");
    answers["10001"] = Page(page);
    ScriptedResponse chunked = Page(page);
    chunked.contentLength = false;
    chunked.chunkedSizes = {1, 2, 3, 5, 7, 11};  // borders inside characters and inside the marker
    answers["11"] = chunked;
    Serve(answers);
    Launch();

    // Redirect loops: ten follow-ups and no more, then the last answer.
    for (const char* number : {"301", "302", "3031"}) {
        size_t before = Requests("/5.aspx");
        EXPECT_EQ(ExpectLookupEnds(number, 30000), kAllMissingStatus) << number;
        EXPECT_EQ(Requests("/5.aspx") - before, 11u) << number;
    }
    // Answers cut, refused, garbled or oversized: a final status, whichever.
    for (const char* number : {"4", "6", "7"}) ExpectLookupEnds(number, 30000);
    EXPECT_EQ(ExpectLookupEnds("5", 30000), kAllMissingStatus);

    // One byte every 2 s: the exchange ends at its deadline.
    DWORD start = GetTickCount();
    EXPECT_EQ(ExpectLookupEnds("8", 90000), kAllMissingStatus);
    EXPECT_GE(GetTickCount() - start + 100, kWebDeadline);

    // A relative redirect and a chunked page arrive whole.
    EXPECT_EQ(ExpectLookupEnds("9", 30000), kDoneStatus);
    ExpectLists(songs);
    EXPECT_EQ(ExpectLookupEnds("11", 30000), kDoneStatus);
    ExpectLists(songs);
}

TEST_F(HostileServer, HundredMegabytePageLeavesNoMemoryBehind) {
    ScriptedResponse huge = Page("<td>0123456789abcdef</td>\r\n");
    huge.repeatUntil = uint64_t{100} << 20;
    Serve({{"1", Page(demo::RenderLookupPage(SongsPage(20, 5)))}, {"2", huge}});
    Launch();
    EXPECT_EQ(ExpectLookupEnds("1", 30000), kDoneStatus);
    size_t before = program_.PrivateBytes();
    EXPECT_EQ(ExpectLookupEnds("2", 60000), kAllMissingStatus);
    // The exchange, if cut at its deadline, lets go of its body at its next read.
    EXPECT_TRUE(driver::WaitFor([&] { return program_.PrivateBytes() <= before + (2u << 20); }, 10000))
        << "private memory " << before / 1024 << " KB before, " << program_.PrivateBytes() / 1024 << " KB after";
}

TEST_F(HostileServer, PageOnWhichThePatternBacktracksEndsAsNothingFoundAndClosingIsImmediate) {
    // Before the marker: the background half, 40 KB of it, minutes of
    // backtracking. The extraction deadline as shipped ends it.
    std::string unfinished = UnfinishedStarts(40 * 1024) + "收藏列表";
    Serve({{"1", Page(unfinished)}});
    Launch(kAsShipped);
    EXPECT_EQ(ExpectLookupEnds("1", 30000), kAllMissingStatus);
    // The abandoned extraction keeps a core busy; the program closes at once.
    DWORD start = GetTickCount();
    EXPECT_TRUE(program_.Close(5000));
    EXPECT_LT(GetTickCount() - start, 5000u);
    DWORD code = 1;
    GetExitCodeProcess(program_.process(), &code);
    EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace lyra::test
