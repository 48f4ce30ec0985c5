// The end-to-end fixture shared by the scenario files: the real program
// started beside the tests, a loopback server playing the lookup host and
// the announcement page, and the steps a person takes in the window.
#pragma once

#include <gtest/gtest.h>

#include <map>

#include "tests/e2e/support/page_server.h"
#include "tools/demo/lookup_pages.h"
#include "tools/ui_driver/driver.h"

namespace lyra::test {

using namespace lyra::driver;
using demo::LookupPage;
using demo::Song;

inline constexpr uint16_t kPort = LYRABOX_E2E_PORT;
inline constexpr DWORD kDeadline = 30000;

inline const std::wstring kAllMissing = L"没有发现“背景音乐”和“收藏音乐”！";
inline const std::wstring kNoFavourites = L"没有发现“收藏音乐”！";
inline const std::wstring kNoBackground = L"没有发现“背景音乐”！";
inline const std::wstring kDone = L"查询完毕！";
inline const std::wstring kPromptText = L"请输入要查询的QQ";

inline std::wstring Wide(const std::string& gbk) {
    if (gbk.empty()) return std::wstring();
    int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &out[0], n);
    return out;
}

inline std::string ReadBytes(const std::wstring& path) {
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

inline std::wstring ProgramDirectory() {
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
        // An update check may hide the window as soon as it shows: its box
        // then stands in for the window.
        ASSERT_TRUE(WaitFor([&] {
            main_ = FindAnyTopLevel(process_.dwProcessId, L"LyraboxWindow");
            return main_ != nullptr && (IsWindowVisible(main_) || !MessageBoxesOf(process_.dwProcessId).empty());
        }, kDeadline)) << "main window";
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

inline Scenario WithPage(const std::string& number, const LookupPage& page) {
    Scenario scenario;
    scenario.pages[number] = page;
    return scenario;
}

inline LookupPage Page(int backgroundSongs, int favouriteSongs) {
    LookupPage page;
    page.background = demo::MakeSongs(backgroundSongs, 1);
    page.favourites = demo::MakeSongs(favouriteSongs, 20);
    return page;
}

}  // namespace lyra::test
