#include "window_units/tab_navigation.h"

#include <algorithm>

namespace lyra {

namespace {

struct TabStop {
    HWND window;
    RECT rect;  // screen coordinates
};

struct StopSearch {
    HWND top;
    std::vector<TabStop>* stops;
};

bool EnabledUpTo(HWND window, HWND top) {
    for (HWND at = window; at != nullptr; at = GetParent(at)) {
        if (!IsWindowEnabled(at)) return false;
        if (at == top) return true;
    }
    return true;
}

BOOL CALLBACK CollectStop(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<StopSearch*>(context);
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if ((style & WS_TABSTOP) && (style & WS_CHILD) && IsWindowVisible(window) && EnabledUpTo(window, search->top)) {
        TabStop stop{window, {}};
        GetWindowRect(window, &stop.rect);
        search->stops->push_back(stop);
    }
    return TRUE;
}

bool IsShiftDown() { return GetKeyState(VK_SHIFT) < 0; }
bool IsCtrlOrAltDown() { return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0; }

}  // namespace

std::vector<HWND> TabStopsInReadingOrder(HWND window) {
    std::vector<TabStop> stops;
    StopSearch search{window, &stops};
    EnumChildWindows(window, &CollectStop, reinterpret_cast<LPARAM>(&search));
    std::stable_sort(stops.begin(), stops.end(),
                     [](const TabStop& a, const TabStop& b) { return a.rect.top < b.rect.top; });
    // A line holds the stops whose middle lies within the height of its
    // highest stop: a box and the button beside it are one line even when
    // their tops differ by a pixel or two.
    std::vector<HWND> ordered;
    for (size_t first = 0; first < stops.size();) {
        const RECT& head = stops[first].rect;
        size_t end = first + 1;
        while (end < stops.size() && (stops[end].rect.top + stops[end].rect.bottom) / 2 < head.bottom) ++end;
        std::stable_sort(stops.begin() + static_cast<std::ptrdiff_t>(first), stops.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const TabStop& a, const TabStop& b) { return a.rect.left < b.rect.left; });
        for (size_t i = first; i < end; ++i) ordered.push_back(stops[i].window);
        first = end;
    }
    return ordered;
}

bool MoveFocusOnTab(HWND window, const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || IsCtrlOrAltDown()) return false;
    if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
    std::vector<HWND> stops = TabStopsInReadingOrder(window);
    if (stops.empty()) return true;
    bool backward = IsShiftDown();
    // The stop that holds the focus: the focused window or one of its containers.
    auto current = stops.end();
    for (HWND at = GetFocus(); at != nullptr && at != window && current == stops.end(); at = GetParent(at)) {
        current = std::find(stops.begin(), stops.end(), at);
    }
    size_t next;
    if (current == stops.end()) {
        next = backward ? stops.size() - 1 : 0;
    } else {
        size_t index = static_cast<size_t>(current - stops.begin());
        next = backward ? (index + stops.size() - 1) % stops.size() : (index + 1) % stops.size();
    }
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    HWND target = stops[next];
    SetFocus(target);
    // As in a dialog, a text box entered by Tab has its text selected.
    wchar_t className[16];
    if (GetClassNameW(target, className, 16) > 0 && lstrcmpiW(className, L"Edit") == 0) {
        SendMessageW(target, EM_SETSEL, 0, -1);
    }
    return true;
}

}  // namespace lyra
