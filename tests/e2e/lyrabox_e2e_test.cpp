// Lyrabox as a person uses it: the real program under Wine, its real
// window driven through input events, and a loopback server standing in
// for the lookup host and the announcement page.
#include <gtest/gtest.h>

#include <map>

#include "tests/e2e/support/page_server.h"
#include "tools/demo/lookup_pages.h"
#include "tools/ui_driver/driver.h"

namespace lyra::test {
namespace {

using namespace lyra::driver;
using demo::LookupPage;
using demo::Song;

constexpr uint16_t kPort = LYRABOX_E2E_PORT;
constexpr DWORD kDeadline = 30000;

const std::wstring kAllMissing = L"没有发现“背景音乐”和“收藏音乐”！";
const std::wstring kNoFavourites = L"没有发现“收藏音乐”！";
const std::wstring kNoBackground = L"没有发现“背景音乐”！";
const std::wstring kDone = L"查询完毕！";
const std::wstring kPromptText = L"请输入要查询的QQ";

std::wstring Wide(const std::string& gbk) {
    if (gbk.empty()) return std::wstring();
    int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &out[0], n);
    return out;
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::wstring ProgramDirectory() {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, length);
    return path.substr(0, path.find_last_of(L'\\'));
}

struct Scenario {
    std::map<std::string, LookupPage> pages;  // by number
    demo::Announcement announcement;
    DWORD lookupDelay = 0;
    bool serverRunning = true;
};

class Lyrabox : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = ProgramDirectory();
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((directory_ + L"\\LYRABOXMQ_*.txt").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileW((directory_ + L"\\" + entry.cFileName).c_str());
            while (FindNextFileW(search, &entry));
            FindClose(search);
        }
    }

    void TearDown() override {
        if (process_.hProcess == nullptr) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            if (main_ != nullptr) PostMessageW(main_, WM_CLOSE, 0, 0);
            WaitFor([&] {
                for (HWND box : MessageBoxesOf(process_.dwProcessId)) AnswerMessageBox(box, IDCANCEL);
                return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
            }, 10000);
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        server_.Stop();
    }

    void Serve(const Scenario& scenario) {
        scenario_ = scenario;
        if (!scenario_.serverRunning) return;
        ASSERT_TRUE(server_.Start(kPort, [this](const PageRequest& request) {
            PageResponse response;
            if (request.target.rfind("/announce.html", 0) == 0) {
                response.body = demo::RenderAnnouncement(scenario_.announcement);
            } else if (request.target.rfind("/5.aspx", 0) == 0) {
                auto page = scenario_.pages.find(demo::QueryNumber(request.target));
                response.body = demo::RenderLookupPage(page != scenario_.pages.end() ? page->second : LookupPage{});
                response.delayMilliseconds = scenario_.lookupDelay;
            } else {
                response.status = 404;
            }
            return response;
        })) << "port " << kPort;
    }

    size_t LookupRequests() {
        size_t n = 0;
        for (const auto& request : server_.Requests()) n += request.target.rfind("/5.aspx", 0) == 0;
        return n;
    }
    bool AnnouncementFetched() {
        for (const auto& request : server_.Requests()) {
            if (request.target.rfind("/announce.html", 0) == 0) return true;
        }
        return false;
    }

    // Starts the program and waits for its window; with a server running,
    // also until the update check has read the announcement.
    void Launch() {
        std::wstring program = directory_ + L"\\lyrabox_e2e.exe";
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   directory_.c_str(), &startup, &process_));
        ASSERT_TRUE(WaitFor([&] { return (main_ = FindTopLevel(process_.dwProcessId, nullptr, L"Lyrabox")) != nullptr; },
                            kDeadline))
            << "main window";
        if (scenario_.serverRunning) {
            ASSERT_TRUE(WaitFor([&] { return AnnouncementFetched(); }, kDeadline));
        }
        edit_ = FindControl(main_, kNumberEdit);
        group_ = FindControl(main_, kQueryGroup);
        background_ = FindControl(main_, kBackgroundList);
        favourites_ = FindControl(main_, kFavouriteList);
        ASSERT_TRUE(edit_ && group_ && background_ && favourites_);
        BringToFront(main_);
    }

    // Clicks into the box until it has the focus (a click may land before
    // the window takes input).
    void FocusEdit() {
        ASSERT_TRUE(WaitFor([&] {
            if (FocusOf(main_) == edit_) return true;
            ClickCentre(edit_);
            return WaitFor([&] { return FocusOf(main_) == edit_; }, 500);
        }, kDeadline)) << "focus in the number box";
    }

    // Replaces whatever the box shows (the prompt clears itself on focus).
    void TypeNumber(const std::wstring& number) {
        FocusEdit();
        if (TextOf(edit_) != kPromptText) SendMessageW(edit_, EM_SETSEL, 0, -1);
        ASSERT_TRUE(WaitFor([&] { return TextOf(edit_) != kPromptText; }, 5000)) << "the prompt clears on focus";
        TypeText(number);
        ASSERT_TRUE(WaitFor([&] { return TextOf(edit_) == number; }, 5000)) << Utf8(TextOf(edit_));
    }

    bool LookupFinished() {
        std::wstring status = TextOf(group_);
        return IsWindowEnabled(group_) &&
               (status == kAllMissing || status == kNoFavourites || status == kNoBackground || status == kDone);
    }

    // Starts a lookup with Enter or the button and waits for its final status.
    void LookUp(const std::wstring& number, bool withEnter = true) {
        size_t before = LookupRequests();
        if (!number.empty()) TypeNumber(number);
        if (withEnter) {
            PressKey(VK_RETURN);
        } else {
            ClickCentre(FindControl(main_, kQueryButton));
        }
        if (scenario_.serverRunning) {
            ASSERT_TRUE(WaitFor([&] { return LookupRequests() > before; }, kDeadline)) << "request sent";
        }
        ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline)) << "status " << Utf8(TextOf(group_));
    }

    HWND WaitForBox(const std::wstring& title) {
        HWND box = nullptr;
        WaitFor([&] { return (box = FindTopLevel(process_.dwProcessId, L"#32770", title)) != nullptr; }, kDeadline);
        return box;
    }

    static std::string Utf8(const std::wstring& text) {
        std::string out;
        int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
        if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
        return out;
    }

    std::vector<std::wstring> Column(HWND list, int column) {
        std::vector<std::wstring> cells;
        for (int row = 0; row < ListRowCount(list); ++row) cells.push_back(ListCell(list, row, column));
        return cells;
    }

    DWORD ExitCode(DWORD wait = kDeadline) {
        if (WaitForSingleObject(process_.hProcess, wait) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    Scenario scenario_;
    PageServer server_;
    std::wstring directory_;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    HWND edit_ = nullptr;
    HWND group_ = nullptr;
    HWND background_ = nullptr;
    HWND favourites_ = nullptr;
};

Scenario WithPage(const std::string& number, const LookupPage& page) {
    Scenario scenario;
    scenario.pages[number] = page;
    return scenario;
}

LookupPage Page(int backgroundSongs, int favouriteSongs) {
    LookupPage page;
    page.background = demo::MakeSongs(backgroundSongs, 1);
    page.favourites = demo::MakeSongs(favouriteSongs, 20);
    return page;
}

TEST_F(Lyrabox, ThreeBackgroundSongsAndNoFavourites) {
    LookupPage page = Page(3, 0);
    Serve(WithPage("10001", page));
    Launch();
    LookUp(L"10001");
    EXPECT_EQ(TextOf(group_), kNoFavourites);
    EXPECT_EQ(Column(background_, 0), (std::vector<std::wstring>{L"03", L"02", L"01"}));
    EXPECT_EQ(ListRowCount(favourites_), 0);
    // Top row: the last match; cells singer, song, address.
    EXPECT_EQ(ListCell(background_, 0, 1), Wide(page.background[2].singer));
    EXPECT_EQ(ListCell(background_, 0, 2), Wide(page.background[2].name));
    EXPECT_EQ(ListCell(background_, 0, 3), Wide(page.background[2].address));
    EXPECT_EQ(ListCell(background_, 2, 3), Wide(page.background[0].address));
}

TEST_F(Lyrabox, TwelveMatchesAreNumberedFromTheBottom) {
    Serve(WithPage("10002", Page(12, 1)));
    Launch();
    LookUp(L"10002", false);
    EXPECT_EQ(TextOf(group_), kDone) << "both halves found";
    auto ids = Column(background_, 0);
    ASSERT_EQ(ids.size(), 12u);
    EXPECT_EQ(ids.front(), L"12");
    EXPECT_EQ(ids[2], L"10");
    EXPECT_EQ(ids[3], L"09");
    EXPECT_EQ(ids.back(), L"01");
    EXPECT_EQ(Column(favourites_, 0), (std::vector<std::wstring>{L"01"}));
}

TEST_F(Lyrabox, NoServerMeansNothingFound) {
    Scenario scenario;
    scenario.serverRunning = false;
    Serve(scenario);
    Launch();
    LookUp(L"10001");
    EXPECT_EQ(TextOf(group_), kAllMissing);
    EXPECT_EQ(ListRowCount(background_), 0);
}

TEST_F(Lyrabox, ThePromptItselfIsLookedUp) {
    Serve(Scenario{});
    Launch();
    EXPECT_EQ(TextOf(edit_), kPromptText);
    LookUp(L"", false);
    EXPECT_EQ(TextOf(group_), kAllMissing);
    auto requests = server_.Requests();
    std::string expected = std::string("/5.aspx?qq=") + "\xC7\xEB\xCA\xE4\xC8\xEB\xD2\xAA\xB2\xE9\xD1\xAF\xB5\xC4QQ";
    bool found = false;
    for (const auto& request : requests) found = found || request.target == expected;
    EXPECT_TRUE(found) << "the prompt's GBK bytes, unencoded";
}

TEST_F(Lyrabox, PromptClearsOnFocusAndReturnsWhenLeftEmpty) {
    Serve(Scenario{});
    Launch();
    FocusEdit();
    ASSERT_TRUE(WaitFor([&] { return TextOf(edit_).empty(); }, 5000)) << "the prompt clears on focus";
    EXPECT_EQ(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0), 11) << "typing is limited to 11";
    ClickCentre(background_);  // focus moves to the list
    ASSERT_TRUE(WaitFor([&] { return TextOf(edit_) == kPromptText; }, 5000)) << "the prompt returns";
    EXPECT_GT(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0), 11) << "no limit while the prompt shows";

    TypeNumber(L"123");
    ClickCentre(background_);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(main_) == background_; }, 5000));
    FocusEdit();
    EXPECT_EQ(TextOf(edit_), L"123") << "a typed number stays";
}

TEST_F(Lyrabox, SavedFileOfALookup) {
    LookupPage page;
    page.background = {{"U1", "T1", "S1"}, {"U2", "T2", "S2"}};
    Serve(WithPage("10001", page));
    Launch();
    LookUp(L"10001");
    // A number typed later, not looked up, does not change the file name.
    TypeNumber(L"777");
    ClickCentre(FindControl(main_, kSaveButton));
    HWND box = WaitForBox(L"保存完成：");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"“LYRABOXMQ_10001.txt”已保存在软件运行目录下！");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ReadBytes(directory_ + L"\\LYRABOXMQ_10001.txt"),
              "10001\xA1\xBE\xB1\xB3\xBE\xB0\xD2\xF4\xC0\xD6\xC1\xD0\xB1\xED\xA1\xBF\r\n\r\n"
              "ID\xA3\xBA" "02\r\n\xB8\xE8\xCA\xD6\xC3\xFB\xA3\xBAS2\r\n\xB8\xE8\xC7\xFA\xC3\xFB\xA3\xBAT2\r\n"
              "\xD2\xF4\xC0\xD6\xB5\xD8\xD6\xB7\xA3\xBAU2\r\n\r\n"
              "ID\xA3\xBA" "01\r\n\xB8\xE8\xCA\xD6\xC3\xFB\xA3\xBAS1\r\n\xB8\xE8\xC7\xFA\xC3\xFB\xA3\xBAT1\r\n"
              "\xD2\xF4\xC0\xD6\xB5\xD8\xD6\xB7\xA3\xBAU1\r\n\r\n"
              "\r\n"
              "10001\xA1\xBE\xCA\xD5\xB2\xD8\xD2\xF4\xC0\xD6\xC1\xD0\xB1\xED\xA1\xBF\r\n\r\n"
              "\xC3\xBB\xD3\xD0\xB7\xA2\xCF\xD6\xA1\xB0\xCA\xD5\xB2\xD8\xD2\xF4\xC0\xD6\xA1\xB1\xA3\xA1\r\n");
}

TEST_F(Lyrabox, SaveBeforeAnyLookupHasNoNumber) {
    Serve(Scenario{});
    Launch();
    ClickCentre(FindControl(main_, kSaveButton));
    HWND box = WaitForBox(L"保存完成：");
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDOK);
    std::string bytes = ReadBytes(directory_ + L"\\LYRABOXMQ_.txt");
    EXPECT_EQ(bytes.rfind("\xA1\xBE", 0), 0u) << "the heading begins with 【";
}

TEST_F(Lyrabox, CopyingCellsAndRows) {
    LookupPage page;
    page.background = {{"U1", "T1", "S1"}};
    Serve(WithPage("5", page));
    Launch();
    LookUp(L"5");
    // No selection: the singer header copies the empty text.
    SetClipboardToMarker(L"marker");
    ClickHeader(background_, 1);
    EXPECT_TRUE(WaitFor([] { return ClipboardText().empty(); }, 5000)) << Utf8(ClipboardText());

    SetClipboardToMarker(L"marker");
    ClickHeader(background_, 0);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"ID：\r\n歌手名：\r\n歌曲名：\r\n音乐地址：\r\n"; }, 5000));

    ClickRow(background_, 0);
    SetClipboardToMarker(L"marker");
    ClickHeader(background_, 2);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"T1"; }, 5000)) << Utf8(ClipboardText());
    EXPECT_EQ(ClipboardGbkBytes(), "T1");

    SetClipboardToMarker(L"marker");
    ClickHeader(background_, 0);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"ID：01\r\n歌手名：S1\r\n歌曲名：T1\r\n音乐地址：U1\r\n"; }, 5000));

    SetClipboardToMarker(L"marker");
    ClickRow(background_, 0, true);
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == L"U1"; }, 5000)) << "double click copies the address";
}

struct UpdateCase {
    const char* version;
    bool markers;
    bool prompts;
};

class UpdateCheck : public Lyrabox, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(UpdateCheck, PromptsOnlyForANewerVersion) {
    Scenario scenario;
    scenario.announcement.version = GetParam().version;
    scenario.announcement.markers = GetParam().markers;
    scenario.pages["1"] = Page(1, 1);
    Serve(scenario);
    Launch();
    if (GetParam().prompts) {
        HWND box = WaitForBox(L"更新提示：");
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(IsWindowVisible(main_)) << "the window hides while the box shows";
        AnswerMessageBox(box, IDCANCEL);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main_) != FALSE; }, kDeadline)) << "Cancel brings it back";
    } else {
        // A whole lookup later still no box: the check has long finished.
        LookUp(L"1");
        EXPECT_TRUE(MessageBoxesOf(process_.dwProcessId).empty());
        EXPECT_TRUE(IsWindowVisible(main_));
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, UpdateCheck,
                         ::testing::Values(UpdateCase{"1.0", true, false}, UpdateCase{"1.1", true, true},
                                           UpdateCase{"v1.1", true, false}, UpdateCase{"1.1", false, false},
                                           UpdateCase{"1.0000001", true, true}));

TEST_F(Lyrabox, ForcedUpdateEndsTheProgramWhateverTheAnswer) {
    for (int answer : {IDCANCEL, IDOK}) {
        Scenario scenario;
        scenario.announcement.version = "1.1";
        scenario.announcement.forced = "\xC7\xBF\xD6\xC6";  // 强制
        scenario.announcement.downloadUrl = "file:///c:/windows/notepad.exe";
        Serve(scenario);
        Launch();
        HWND box = WaitForBox(L"更新提示（强制更新）：");
        ASSERT_NE(box, nullptr);
        AnswerMessageBox(box, answer);
        EXPECT_EQ(ExitCode(), 0u);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = PROCESS_INFORMATION{};
        server_.Stop();
    }
}

TEST_F(Lyrabox, ClosingDuringASlowLookupEndsCleanly) {
    Scenario scenario = WithPage("9", Page(3, 3));
    scenario.lookupDelay = 3000;
    Serve(scenario);
    Launch();
    TypeNumber(L"9");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return LookupRequests() > 0; }, kDeadline));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    HWND box = WaitForBox(L"更多精彩：");
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDCANCEL);
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_EQ(FindTopLevel(process_.dwProcessId, L"#32770", L"错误"), nullptr) << "no runtime error box";
}

TEST_F(Lyrabox, EnterAndTheQueryButtonDuringALookupDoNothing) {
    LookupPage page = Page(3, 2);
    Scenario scenario = WithPage("8", page);
    scenario.lookupDelay = 6000;
    Serve(scenario);
    Launch();
    TypeNumber(L"8");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return LookupRequests() == 1; }, kDeadline));
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(group_); }, kDeadline)) << "the query group is disabled";
    // The focus is still in the number box, which looks enabled: nothing of this may reach it.
    PressKey(VK_RETURN);
    TypeText(L"5");
    ClickCentre(FindControl(main_, kQueryButton));
    PressKey(VK_RETURN);
    // The input was given well inside the lookup: the server still holds its answer.
    ASSERT_FALSE(IsWindowEnabled(group_)) << "the lookup ended before the input was given";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline)) << "status " << Utf8(TextOf(group_));
    EXPECT_EQ(LookupRequests(), 1u) << "exactly one request";
    EXPECT_EQ(TextOf(edit_), L"8") << "typing during the lookup did not reach the box";
    EXPECT_EQ(TextOf(group_), kDone);
    EXPECT_EQ(Column(background_, 0), (std::vector<std::wstring>{L"03", L"02", L"01"}));
    EXPECT_EQ(Column(favourites_, 0), (std::vector<std::wstring>{L"02", L"01"}));
    EXPECT_EQ(ListCell(background_, 0, 3), Wide(page.background[2].address));
    EXPECT_EQ(ListCell(favourites_, 1, 1), Wide(page.favourites[0].singer));
}

// Closing (and answering the closing box with Cancel) at several moments of
// a 5,000-song fill: the program ends with code 0 and no other box, every
// time. The stress target runs this many times over.
TEST_F(Lyrabox, ClosingWhileALongPageFillsEndsCleanly) {
    for (int rowsBeforeClosing : {0, 1, 2500}) {
        SCOPED_TRACE(rowsBeforeClosing);
        Serve(WithPage("7", Page(5000, 0)));
        Launch();
        TypeNumber(L"7");
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return LookupRequests() > 0; }, kDeadline));
        if (rowsBeforeClosing > 0) {
            WaitFor([&] { return ListRowCount(background_) >= rowsBeforeClosing || LookupFinished(); }, kDeadline);
        }
        PostMessageW(main_, WM_CLOSE, 0, 0);
        HWND box = WaitForBox(L"更多精彩：");
        ASSERT_NE(box, nullptr);
        AnswerMessageBox(box, IDCANCEL);
        EXPECT_EQ(ExitCode(), 0u);
        EXPECT_EQ(FindTopLevel(process_.dwProcessId, L"#32770", L"错误"), nullptr) << "no runtime error box";
        EXPECT_TRUE(MessageBoxesOf(process_.dwProcessId).empty());
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = PROCESS_INFORMATION{};
        server_.Stop();
    }
}

}  // namespace
}  // namespace lyra::test
