#include "tests/e2e/support/program_session.h"

#include <psapi.h>

#include <algorithm>

#include "tools/ui_driver/driver.h"

namespace lyra::test {

using namespace lyra::driver;

const std::wstring kAllMissingStatus = L"没有发现“背景音乐”和“收藏音乐”！";
const std::wstring kNoFavouritesStatus = L"没有发现“收藏音乐”！";
const std::wstring kNoBackgroundStatus = L"没有发现“背景音乐”！";
const std::wstring kDoneStatus = L"查询完毕！";

namespace {

const std::wstring kPromptText = L"请输入要查询的QQ";

}  // namespace

std::wstring TestProgramDirectory() {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, length);
    return path.substr(0, path.find_last_of(L'\\'));
}

ProgramSession::~ProgramSession() {
    if (process_.hProcess == nullptr) return;
    if (!Close(10000)) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

bool ProgramSession::Launch(const std::wstring& exeName, DWORD deadline) {
    std::wstring directory = TestProgramDirectory();
    std::wstring program = directory + L"\\" + exeName;
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &process_)) {
        return false;
    }
    if (!WaitFor([&] { return (main_ = FindTopLevel(process_.dwProcessId, nullptr, L"Lyrabox")) != nullptr; },
                 deadline)) {
        return false;
    }
    edit_ = FindControl(main_, kNumberEdit);
    group_ = FindControl(main_, kQueryGroup);
    background_ = FindControl(main_, kBackgroundList);
    favourites_ = FindControl(main_, kFavouriteList);
    BringToFront(main_);
    return edit_ && group_ && background_ && favourites_;
}

// Clicks into the box until it has the focus (a click may land before the
// window takes input).
bool ProgramSession::FocusEdit(DWORD deadline) {
    return WaitFor([&] {
        if (FocusOf(main_) == edit_) return true;
        ClickCentre(edit_);
        return WaitFor([&] { return FocusOf(main_) == edit_; }, 500);
    }, deadline);
}

bool ProgramSession::TypeNumber(const std::wstring& number, DWORD deadline) {
    if (!FocusEdit(deadline)) return false;
    // The prompt clears itself on focus; a number typed before is selected.
    if (TextOf(edit_) != kPromptText) SendMessageW(edit_, EM_SETSEL, 0, -1);
    if (!WaitFor([&] { return TextOf(edit_) != kPromptText; }, deadline)) return false;
    TypeText(number);
    return WaitFor([&] { return TextOf(edit_) == number; }, deadline);
}

bool ProgramSession::LookupFinished() const {
    std::wstring status = Status();
    return IsWindowEnabled(group_) && (status == kAllMissingStatus || status == kNoFavouritesStatus ||
                                       status == kNoBackgroundStatus || status == kDoneStatus);
}

bool ProgramSession::LookUp(const std::wstring& number, const std::function<size_t()>& lookupRequests,
                            DWORD deadline) {
    if (!TypeNumber(number, 10000)) return false;
    size_t before = lookupRequests();
    DWORD start = GetTickCount();
    PressKey(VK_RETURN);
    // The lookup shows its first status before it asks the server: once
    // the server has the request, a final status is this lookup's.
    if (!WaitFor([&] { return lookupRequests() > before; }, deadline)) return false;
    DWORD spent = GetTickCount() - start;
    return WaitFor([&] { return LookupFinished(); }, deadline - std::min(deadline, spent));
}

bool ProgramSession::Close(DWORD deadline) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return true;
    if (main_ != nullptr) PostMessageW(main_, WM_CLOSE, 0, 0);
    return WaitFor([&] {
        for (HWND box : MessageBoxesOf(process_.dwProcessId)) AnswerMessageBox(box, IDCANCEL);
        return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
    }, deadline);
}

std::wstring ProgramSession::Status() const { return TextOf(group_); }

std::vector<HWND> ProgramSession::MessageBoxes() const { return MessageBoxesOf(process_.dwProcessId); }

size_t ProgramSession::PrivateBytes() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process_.hProcess, &counters, sizeof counters);
    return counters.PagefileUsage;
}

}  // namespace lyra::test
