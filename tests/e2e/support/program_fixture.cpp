#include "tests/e2e/support/program_fixture.h"

#include <psapi.h>

#include <algorithm>

namespace lyra::test {

void Lyrabox::SetUp() {
    directory_ = ProgramDirectory();
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((directory_ + L"LYRABOXMQ_*.txt").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do DeleteFileW((directory_ + entry.cFileName).c_str());
        while (FindNextFileW(search, &entry));
        FindClose(search);
    }
}

void Lyrabox::TearDown() {
    EndProgram();
    server_.Stop();
}

void Lyrabox::Serve(const Scenario& scenario) {
    scenario_ = scenario;
    if (!scenario_.serverRunning) return;
    StartServer([this](const PageRequest& request) {
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
    });
}

void Lyrabox::Serve(PageServer::Handler handler) {
    scenario_ = Scenario{};
    StartServer(std::move(handler));
}

void Lyrabox::StartServer(PageServer::Handler handler) {
    ASSERT_TRUE(server_.Start(kPort, std::move(handler))) << "port " << kPort;
}

size_t Lyrabox::Requests(const std::string& prefix) {
    size_t n = 0;
    for (const auto& request : server_.Requests()) n += request.target.rfind(prefix, 0) == 0;
    return n;
}

void Lyrabox::Launch(const wchar_t* program) { LaunchPath(directory_ + program); }

void Lyrabox::LaunchCopyIn(const std::wstring& folder) {
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    std::wstring copy = folder + kAsShipped;
    ASSERT_TRUE(CopyFileW((directory_ + kAsShipped).c_str(), copy.c_str(), FALSE));
    LaunchPath(copy);
}

void Lyrabox::LaunchPath(const std::wstring& path) {
    ASSERT_TRUE(process_.Start(path, std::wstring(), FolderOf(path)));
    // An update check may hide the window as soon as it shows: its box
    // then stands in for the window.
    ASSERT_TRUE(WaitFor([&] {
        main_ = FindAnyTopLevel(process_.processId(), L"LyraboxWindow");
        return main_ != nullptr && (IsWindowVisible(main_) || !MessageBoxes().empty());
    }, kDeadline)) << "main window";
    if (scenario_.serverRunning) {
        ASSERT_TRUE(WaitFor([&] { return Requests("/announce.html") > 0; }, kDeadline)) << "update check";
    }
    edit_ = FindControl(main_, kNumberEditControl);
    group_ = FindControl(main_, kQueryGroupControl);
    background_ = FindControl(main_, kBackgroundListControl);
    favourites_ = FindControl(main_, kFavouriteListControl);
    ASSERT_TRUE(edit_ && group_ && background_ && favourites_);
    BringToFront(main_);
}

::testing::AssertionResult Lyrabox::EditFocused() {
    if (!ClickUntilFocused(main_, edit_, kDeadline)) return ::testing::AssertionFailure() << "focus in the number box";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Lyrabox::NumberTyped(const std::wstring& number) {
    ::testing::AssertionResult focused = EditFocused();
    if (!focused) return focused;
    // A number typed before is selected, so that typing replaces it.
    if (TextOf(edit_) != kPromptText) SendMessageW(edit_, EM_SETSEL, 0, -1);
    if (!WaitFor([&] { return TextOf(edit_) != kPromptText; }, 5000)) {
        return ::testing::AssertionFailure() << "the prompt clears on focus";
    }
    TypeText(number);
    if (!WaitFor([&] { return TextOf(edit_) == number; }, 5000)) {
        return ::testing::AssertionFailure() << "typed " << Utf8(number) << ", the box shows " << Utf8(TextOf(edit_));
    }
    return ::testing::AssertionSuccess();
}

bool Lyrabox::LookupFinished() {
    std::wstring status = TextOf(group_);
    return IsWindowEnabled(group_) &&
           (status == kAllMissing || status == kNoFavourites || status == kNoBackground || status == kDone);
}

::testing::AssertionResult Lyrabox::LookUpWithin(const std::wstring& number, DWORD bound, bool withEnter) {
    size_t before = LookupRequests();
    if (!number.empty()) {
        ::testing::AssertionResult typed = NumberTyped(number);
        if (!typed) return typed;
    }
    DWORD start = GetTickCount();
    if (withEnter) {
        PressKey(VK_RETURN);
    } else {
        ClickCentre(FindControl(main_, kQueryButtonControl));
    }
    // The lookup shows its first status before it asks the server: once
    // the server has the request, a final status is this lookup's.
    if (scenario_.serverRunning && !WaitFor([&] { return LookupRequests() > before; }, bound)) {
        return ::testing::AssertionFailure() << "no request sent within " << bound << " ms";
    }
    DWORD spent = GetTickCount() - start;
    if (!WaitFor([&] { return LookupFinished(); }, bound - std::min(bound, spent))) {
        return ::testing::AssertionFailure() << "status " << Utf8(TextOf(group_)) << " after "
                                             << GetTickCount() - start << " ms";
    }
    return ::testing::AssertionSuccess();
}

void Lyrabox::StartLookUp(const std::wstring& number) {
    size_t before = LookupRequests();
    TypeNumber(number);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return LookupRequests() > before; }, kDeadline)) << "request sent";
}

HWND Lyrabox::WaitForBox(const std::wstring& title) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindTopLevel(process_.processId(), L"#32770", title)) != nullptr; }, kDeadline);
    return box;
}

std::vector<std::wstring> Lyrabox::Column(HWND list, int column) {
    std::vector<std::wstring> cells;
    for (int row = 0; row < ListRowCount(list); ++row) cells.push_back(ListCell(list, row, column));
    return cells;
}

DWORD Lyrabox::ExitCode(DWORD wait) {
    return process_.WaitForExit(wait) ? process_.exitCode() : STILL_ACTIVE;
}

bool Lyrabox::Close(DWORD deadline) { return CloseProgram(process_, main_, deadline); }

void Lyrabox::CloseExpectingACleanEnd() {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    HWND box = WaitForBox(L"更多精彩：");
    ASSERT_NE(box, nullptr) << "the closing box";
    AnswerMessageBox(box, IDCANCEL);
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_EQ(FindTopLevel(process_.processId(), L"#32770", L"错误"), nullptr) << "no runtime error box";
}

void Lyrabox::EndProgram() {
    if (!process_.started()) return;
    Close(10000);
    process_.End();
    main_ = edit_ = group_ = background_ = favourites_ = nullptr;
}

std::vector<std::vector<std::wstring>> ShownRows(const std::vector<Song>& songs) {
    std::vector<std::vector<std::wstring>> rows;
    for (size_t i = songs.size(); i > 0; --i) {
        std::wstring id = (i < 10 ? L"0" : L"") + std::to_wstring(i);
        const Song& song = songs[i - 1];
        rows.push_back({id, FromGbk(song.singer), FromGbk(song.name), FromGbk(song.address)});
    }
    return rows;
}

size_t Lyrabox::PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process_.process(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

DWORD RunToEnd(const std::wstring& path) {
    ChildProcess helper;
    if (!helper.Start(path, std::wstring(), FolderOf(path))) return STILL_ACTIVE;
    return helper.WaitForExit(kDeadline) ? helper.exitCode() : STILL_ACTIVE;
}

DllOverrides::DllOverrides(const std::wstring& program, std::initializer_list<const wchar_t*> libraries,
                           const wchar_t* order)
    : key_(L"Software\\Wine\\AppDefaults\\" + program) {
    HKEY overrides = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (key_ + L"\\DllOverrides").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &overrides, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const DWORD bytes = static_cast<DWORD>((wcslen(order) + 1) * sizeof(wchar_t));
    ok_ = true;
    for (const wchar_t* library : libraries) {
        ok_ = RegSetValueExW(overrides, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(order), bytes) ==
                  ERROR_SUCCESS &&
              ok_;
    }
    RegCloseKey(overrides);
}

DllOverrides::~DllOverrides() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

}  // namespace lyra::test
