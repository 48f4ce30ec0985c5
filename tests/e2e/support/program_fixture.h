// The end-to-end fixture shared by the scenario files: the real program
// started beside the tests, a loopback server playing the lookup host and
// the announcement page, and the steps a person takes in the window. Every
// wait has a deadline; the fixture ends the program whatever happened.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "test_support/processes.h"
#include "test_support/ui_driver.h"
#include "tests/e2e/support/page_server.h"
#include "tools/demo/lookup_pages.h"

namespace lyra::test {

using demo::LookupPage;
using demo::Song;

inline constexpr uint16_t kPort = LYRABOX_E2E_PORT;
inline constexpr DWORD kDeadline = 30000;

// The program as shipped, and the build with kShortDeadlineLimits; both lie
// beside the test program.
inline constexpr wchar_t kAsShipped[] = L"lyrabox_e2e.exe";
inline constexpr wchar_t kShortDeadlines[] = L"lyrabox_e2e_short_deadlines.exe";

// The final statuses of a lookup, and the number box's prompt.
inline const std::wstring kAllMissing = L"没有发现“背景音乐”和“收藏音乐”！";
inline const std::wstring kNoFavourites = L"没有发现“收藏音乐”！";
inline const std::wstring kNoBackground = L"没有发现“背景音乐”！";
inline const std::wstring kDone = L"查询完毕！";
inline const std::wstring kPromptText = L"请输入要查询的QQ";

// What the loopback server plays.
struct Scenario {
    std::map<std::string, LookupPage> pages;  // by number
    demo::Announcement announcement;
    DWORD lookupDelay = 0;
    bool serverRunning = true;
};

class Lyrabox : public ::testing::Test {
protected:
    // Removes the files earlier saves left beside the program.
    void SetUp() override;
    void TearDown() override;

    // The server answers as the scenario says: its pages by number, its
    // announcement, 404 for anything else.
    void Serve(const Scenario& scenario);
    // The server answers every request through handler.
    void Serve(PageServer::Handler handler);
    // Requests received whose target starts with prefix.
    size_t Requests(const std::string& prefix);
    size_t LookupRequests() { return Requests("/5.aspx"); }

    // Starts the program and waits for its window; with a server running,
    // also until the update check has read the announcement.
    void Launch(const wchar_t* program = kAsShipped);
    // Starts a copy of the program as shipped, made in folder (which is
    // created; its name ends with a backslash).
    void LaunchCopyIn(const std::wstring& folder);
    // Clicks into the box until it has the focus (a click may land before
    // the window takes input).
    void FocusEdit() { ASSERT_TRUE(EditFocused()); }
    // Replaces whatever the box shows (the prompt clears itself on focus).
    void TypeNumber(const std::wstring& number) { ASSERT_TRUE(NumberTyped(number)); }
    // The query group usable again with a final status.
    bool LookupFinished();
    // Types number (none when empty), starts the lookup with Enter or the
    // query button and waits until the server has its request (when a
    // server runs) and the final status shows, within bound of the start.
    ::testing::AssertionResult LookUpWithin(const std::wstring& number, DWORD bound, bool withEnter = true);
    void LookUp(const std::wstring& number, bool withEnter = true) {
        ASSERT_TRUE(LookUpWithin(number, kDeadline, withEnter));
    }
    // Types number and presses Enter; returns once the server has the
    // lookup's request, leaving the lookup running.
    void StartLookUp(const std::wstring& number);

    HWND WaitForBox(const std::wstring& title);
    std::vector<HWND> MessageBoxes() { return MessageBoxesOf(process_.processId()); }
    std::vector<std::wstring> Column(HWND list, int column);
    // The exit code once the program has ended within wait, else STILL_ACTIVE.
    DWORD ExitCode(DWORD wait = kDeadline);
    // Asks the window to close and answers the closing box with Cancel;
    // true once the program has ended within deadline.
    bool Close(DWORD deadline);
    // Closes the window as a person does, the closing box answered with
    // Cancel: the program ends with 0 and shows no runtime error box.
    void CloseExpectingACleanEnd();
    // Closes the program (ends it when it will not close) and lets go of
    // it, so that the next Launch starts another.
    void EndProgram();
    // The program's private memory, in bytes.
    size_t PrivateBytes();

    Scenario scenario_;
    PageServer server_;
    std::wstring directory_;  // where the program lies, with a trailing backslash
    ChildProcess process_;
    HWND main_ = nullptr;
    HWND edit_ = nullptr;
    HWND group_ = nullptr;
    HWND background_ = nullptr;
    HWND favourites_ = nullptr;

private:
    void StartServer(PageServer::Handler handler);
    void LaunchPath(const std::wstring& path);
    ::testing::AssertionResult EditFocused();
    ::testing::AssertionResult NumberTyped(const std::wstring& number);
};

inline Scenario WithPage(const std::string& number, const LookupPage& page) {
    Scenario scenario;
    scenario.pages[number] = page;
    return scenario;
}

// The rows a list shows after a lookup found songs: the last match on top,
// each row its ID, singer, song name and address.
std::vector<std::vector<std::wstring>> ShownRows(const std::vector<Song>& songs);

// Runs a helper program in its own folder; its exit code, or STILL_ACTIVE
// when it did not end within kDeadline (it is then ended).
DWORD RunToEnd(const std::wstring& path);

// While it lives, Wine loads the named libraries of a program (by its file
// name) in the given order: "native,builtin" is Windows' order for a library
// beside the program, "" switches the library off. WINEDLLOVERRIDES cannot
// do this for a program the tests start: a Wine process hands its children
// the Wine variables it was started with, not those set since.
class DllOverrides {
public:
    DllOverrides(const std::wstring& program, std::initializer_list<const wchar_t*> libraries, const wchar_t* order);
    ~DllOverrides();
    DllOverrides(const DllOverrides&) = delete;
    DllOverrides& operator=(const DllOverrides&) = delete;
    bool ok() const { return ok_; }

private:
    std::wstring key_;
    bool ok_ = false;
};

inline LookupPage Page(int backgroundSongs, int favouriteSongs) {
    LookupPage page;
    page.background = demo::MakeSongs(backgroundSongs, 1);
    page.favourites = demo::MakeSongs(favouriteSongs, 20);
    return page;
}

}  // namespace lyra::test
