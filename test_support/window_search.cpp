#include "test_support/window_search.h"

#include "test_support/waits.h"

namespace lyra::test {

namespace {

struct TopLevelSearch {
    DWORD processId;
    const wchar_t* className;
    const std::wstring* caption;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    wchar_t className[64];
    GetClassNameW(window, className, 64);
    if (search->className != nullptr && lstrcmpW(className, search->className) != 0) return TRUE;
    if (search->caption != nullptr) {
        wchar_t caption[256];
        int length = GetWindowTextW(window, caption, 256);
        if (std::wstring(caption, static_cast<size_t>(length)) != *search->caption) return TRUE;
    }
    search->found = window;
    return FALSE;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ControlSearch*>(context);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectBoxes(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<std::pair<DWORD, std::vector<HWND>*>*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64];
    GetClassNameW(window, className, 64);
    if (owner == search->first && IsWindowVisible(window) && lstrcmpW(className, L"#32770") == 0) {
        search->second->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM context) {
    auto* text = reinterpret_cast<std::wstring*>(context);
    wchar_t className[64];
    GetClassNameW(window, className, 64);
    if (lstrcmpiW(className, L"Static") != 0) return TRUE;
    std::wstring piece = TextOf(window);
    if (!piece.empty()) {
        if (!text->empty()) *text += L"\n";
        *text += piece;
    }
    return TRUE;
}

}  // namespace

HWND FindTopLevel(DWORD processId, const wchar_t* className, const std::wstring& caption) {
    TopLevelSearch search{processId, className, &caption, true, nullptr};
    EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindAnyTopLevel(DWORD processId, const wchar_t* className) {
    TopLevelSearch search{processId, className, nullptr, false, nullptr};
    EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindControl(HWND main, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(main, &MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(copied);
    return text;
}

std::vector<HWND> MessageBoxesOf(DWORD processId) {
    std::vector<HWND> boxes;
    std::pair<DWORD, std::vector<HWND>*> search{processId, &boxes};
    EnumWindows(&CollectBoxes, reinterpret_cast<LPARAM>(&search));
    return boxes;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, &CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

void AnswerMessageBox(HWND box, int buttonId) { PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(buttonId), 0); }

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::wstring AnswerErrorBox(DWORD processId, DWORD milliseconds) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindTopLevel(processId, L"#32770", L"错误")) != nullptr; }, milliseconds);
    if (box == nullptr) return L"<no box>";
    std::wstring text;
    WaitFor([&] { return !(text = MessageBoxText(box)).empty(); }, 5000);
    AnswerMessageBox(box, IDOK);
    return text;
}

}  // namespace lyra::test
