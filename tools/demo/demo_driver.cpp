// The demo's driver: starts Lyrabox, looks up one number as a person would,
// saves the lists, prints what it saw and the saved file (UTF-8), waits
// while a screenshot is taken, then closes the window.
//
// lyrabox_demo_driver LYRABOX.EXE NUMBER SCREENSHOT-DONE-FILE
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "test_support/processes.h"
#include "test_support/ui_driver.h"

using namespace lyra::test;

namespace {

void Say(const std::wstring& line) {
    std::printf("%s\n", Utf8(line).c_str());
    std::fflush(stdout);
}

int Fail(const wchar_t* what) {
    Say(std::wstring(L"demo: ") + what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return Fail(L"usage: lyrabox_demo_driver LYRABOX.EXE NUMBER DONE-FILE");
    std::wstring program = argv[1];
    std::wstring number = argv[2];
    std::wstring doneFile = argv[3];

    ChildProcess process;
    std::wstring directory = FolderOf(program);
    if (!process.Start(program, std::wstring(), directory)) return Fail(L"could not start Lyrabox");
    DWORD pid = process.processId();
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = FindTopLevel(pid, nullptr, L"Lyrabox")) != nullptr; }, 30000)) {
        return Fail(L"the main window did not appear");
    }
    HWND edit = FindControl(main, kNumberEditControl);
    HWND group = FindControl(main, kQueryGroupControl);
    HWND background = FindControl(main, kBackgroundListControl);
    HWND favourites = FindControl(main, kFavouriteListControl);
    if (!edit || !group || !background || !favourites) return Fail(L"a control is missing");

    BringToFront(main);
    ClickUntilFocused(main, edit, 30000);
    WaitFor([&] { return TextOf(edit).empty(); }, 5000);
    TypeText(number);
    PressKey(VK_RETURN);
    Say(L"looking up " + number);
    WaitFor([&] { return TextOf(group) == L"正在查询……" || !IsWindowEnabled(group); }, 5000);
    if (!WaitFor([&] { return IsWindowEnabled(group) && TextOf(group) != L"正在查询……"; }, 60000)) {
        return Fail(L"the lookup did not finish");
    }
    Say(L"status: " + TextOf(group));
    for (auto [title, list] : {std::pair<const wchar_t*, HWND>{L"背景音乐列表", background},
                               std::pair<const wchar_t*, HWND>{L"收藏音乐列表", favourites}}) {
        Say(std::wstring(L"== ") + title);
        for (const auto& row : ListRows(list)) Say(row[0] + L" | " + row[1] + L" | " + row[2] + L" | " + row[3]);
    }

    ClickCentre(FindControl(main, kSaveButtonControl));
    HWND box = nullptr;
    WaitFor([&] {
        auto boxes = MessageBoxesOf(pid);
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr;
    }, 10000);
    if (box != nullptr) {
        Say(L"save: " + MessageBoxText(box));
        AnswerMessageBox(box, IDOK);
    }
    std::wstring saved = directory + L"LYRABOXMQ_" + number + L".txt";
    Say(L"== " + saved);
    Say(FromGbk(ReadFileBytes(saved)));

    Say(L"READY-FOR-SCREENSHOT");
    WaitFor([&] { return GetFileAttributesW(doneFile.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000);

    CloseProgram(process, main, 25000);
    Say(L"Lyrabox ended with exit code " + std::to_wstring(static_cast<int>(process.exitCode())));
    return 0;
}
