#include "window_units/components/window.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "runtime/gbk.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_state.h"
#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/window_block.h"
#include "window_units/contrast.h"
#include "window_units/mouse_pointers.h"
#include "window_units/property_table.h"
#include "window_units/tab_navigation.h"

namespace lyra {

namespace {

const wchar_t kWindowClassName[] = L"LyraboxWindow";

// The message the shell sends for the window's notification-area icon; its
// lParam is the mouse message that happened on the icon.
constexpr UINT kNotifyIconMessage = WM_APP + 0x100;
constexpr UINT kNotifyIconId = 1;

class WindowComponent : public TableComponent<WindowProperties> {
public:
    WindowComponent(uint32_t windowId, uint32_t unitId) : TableComponent(windowId, unitId, kWindowTable) {}

    bool Create(const CreateArgs& args);
    bool PreTranslateMessage(MSG& message) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Reapply(int ownNumber, uint32_t what) override;
    bool ReadLive(int ownNumber, PropertyValue* value) override;

private:
    COLORREF BackgroundColour() const {
        return ContrastColour(ResolveColour(properties_.backgroundColour, COLOR_BTNFACE), COLOR_BTNFACE);
    }
    void UpdateBackground() { background_.Reset(CreateSolidBrush(BackgroundColour())); }
    // The background and colour messages; false for any other message or
    // when the default procedure is to answer too.
    bool AnswerColourMessage(UINT message, WPARAM wParam, LRESULT* answer);
    // The system colours or the high-contrast mode changed: every component
    // takes the new colours (only top-level windows hear of it) and the
    // whole window is painted again.
    void RepaintInNewColours();
    // True when the closing question was answered with false.
    bool CloseRefused();
    // Adds, updates or removes the window's icon in the notification area.
    void ShowNotifyIcon(bool show);
    void NotifyIconMessage(LPARAM lParam);
    // Activation gives the focus back to the child that had it when the
    // window was last deactivated.
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);

    // The client area's place and size as last reported: the windowing
    // system repeats WM_MOVE and WM_SIZE without a change, which are no events.
    void RememberPlacement();
    bool Moved(LPARAM lParam);
    bool Resized(WPARAM wParam, LPARAM lParam);

    OwnedBrush background_;
    POINT clientOrigin_{};
    SIZE clientSize_{};
    WPARAM sizeKind_ = SIZE_RESTORED;
    bool activatedOnce_ = false;
    HWND savedFocus_ = nullptr;
    bool iconShown_ = false;
};

void FrameStyles(const WindowProperties& p, DWORD* style, DWORD* exStyle) {
    *style = WS_CLIPCHILDREN;
    *exStyle = 0;
    DWORD caption = WS_CAPTION | (p.controlBox ? WS_SYSMENU : 0);
    DWORD boxes = p.controlBox ? ((p.minButton ? WS_MINIMIZEBOX : 0) | (p.maxButton ? WS_MAXIMIZEBOX : 0)) : 0;
    switch (p.borderStyle) {
        case 0: *style |= WS_POPUP; break;
        case 2: *style |= WS_OVERLAPPED | caption | boxes | WS_THICKFRAME; break;
        case 3:
            *style |= WS_OVERLAPPED | caption | WS_DLGFRAME;
            *exStyle |= WS_EX_DLGMODALFRAME;
            break;
        case 4:
            *style |= WS_OVERLAPPED | caption;
            *exStyle |= WS_EX_TOOLWINDOW;
            break;
        default: *style |= WS_OVERLAPPED | caption | boxes; break;
    }
    if (p.topmost) *exStyle |= WS_EX_TOPMOST;
}

bool WindowComponent::Create(const CreateArgs& args) {
    framework::RegisterWindowClass(kWindowClassName, CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW), nullptr,
                                   &DefWindowProcW);
    DWORD style, exStyle;
    FrameStyles(properties_, &style, &exStyle);
    // Only the disabled bit applies to a top-level window (WS_TABSTOP is WS_MAXIMIZEBOX there).
    style |= args.style & WS_DISABLED;
    int left = args.left, top = args.top;
    if (properties_.startPosition == 1) {
        left = (GetSystemMetrics(SM_CXSCREEN) - args.width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - args.height) / 2;
    }
    HWND handle = CreateWindowExW(exStyle, kWindowClassName,
                                  GbkToWide(properties_.caption.data(), properties_.caption.size()).c_str(), style, left, top, args.width,
                                  args.height, args.parent, args.menu, GetModuleHandleW(nullptr), nullptr);
    if (handle == nullptr) return false;
    UpdateBackground();
    Attach(handle);
    RememberPlacement();
    HICON icons[2] = {nullptr, nullptr};
    RuntimeRequest(kRequestProgramIcons, reinterpret_cast<intptr_t>(icons), 0);
    if (icons[0] != nullptr) SendMessageW(handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons[0]));
    if (icons[1] != nullptr) SendMessageW(handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons[1]));
    if (properties_.notificationIcon != 0) ShowNotifyIcon(true);
    return true;
}

void WindowComponent::ShowNotifyIcon(bool show) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = kNotifyIconId;
    if (!show) {
        if (iconShown_) Shell_NotifyIconW(NIM_DELETE, &data);
        iconShown_ = false;
        return;
    }
    HICON icons[2] = {nullptr, nullptr};
    RuntimeRequest(kRequestProgramIcons, reinterpret_cast<intptr_t>(icons), 0);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kNotifyIconMessage;
    data.hIcon = icons[1] != nullptr ? icons[1] : LoadIconW(nullptr, IDI_APPLICATION);
    std::wstring tip = GbkToWide(properties_.caption.data(), properties_.caption.size());
    wcsncpy(data.szTip, tip.c_str(), sizeof data.szTip / sizeof data.szTip[0] - 1);
    if (Shell_NotifyIconW(iconShown_ ? NIM_MODIFY : NIM_ADD, &data)) iconShown_ = true;
}

// Event 9: 1 the left button released, 2 a left double click, 3 the right
// button released or the icon's context menu.
void WindowComponent::NotifyIconMessage(LPARAM lParam) {
    int32_t kind = 0;
    switch (LOWORD(lParam)) {
        case WM_LBUTTONUP: kind = 1; break;
        case WM_LBUTTONDBLCLK: kind = 2; break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU: kind = 3; break;
        default: return;
    }
    RaiseEvent(kEventNotifyIcon, {static_cast<uint32_t>(kind)});
}

void WindowComponent::RememberPlacement() {
    POINT origin{0, 0};
    ClientToScreen(Handle(), &origin);
    RECT client;
    GetClientRect(Handle(), &client);
    clientOrigin_ = origin;
    clientSize_ = SIZE{client.right, client.bottom};
}

bool WindowComponent::Moved(LPARAM lParam) {
    POINT origin{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    bool moved = origin.x != clientOrigin_.x || origin.y != clientOrigin_.y;
    clientOrigin_ = origin;
    return moved;
}

bool WindowComponent::Resized(WPARAM wParam, LPARAM lParam) {
    SIZE size{LOWORD(lParam), HIWORD(lParam)};
    bool resized = size.cx != clientSize_.cx || size.cy != clientSize_.cy || wParam != sizeKind_;
    clientSize_ = size;
    sizeKind_ = wParam;
    return resized;
}

bool WindowComponent::CloseRefused() {
    if (Runtime().shuttingDown.load()) return false;
    uint32_t result = 1;
    return RaiseEvent(kEventClosing, {}, &result) && result == 0;
}

LRESULT WindowComponent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT reflected = 0;
    if (ReflectNotification(message, wParam, lParam, &reflected)) return reflected;
    LRESULT answer = 0;
    if (AnswerColourMessage(message, wParam, &answer)) return answer;
    switch (message) {
        case WM_SETCURSOR:
            if (HCURSOR pointer = PointerOfWindow(reinterpret_cast<HWND>(wParam))) {
                if (LOWORD(lParam) == HTCLIENT) {
                    SetCursor(pointer);
                    return TRUE;
                }
            }
            break;
        case WM_CLOSE:
            if (CloseRefused()) return 0;
            break;
        case WM_QUERYENDSESSION:
            return CloseRefused() ? FALSE : TRUE;
        case WM_MOVE: {
            LRESULT result = DefaultProc(message, wParam, lParam);
            if (Moved(lParam)) RaiseEvent(kEventMoved, {});
            return result;
        }
        case WM_SIZE: {
            LRESULT result = DefaultProc(message, wParam, lParam);
            if (Resized(wParam, lParam)) RaiseEvent(kEventResized, {});
            return result;
        }
        case WM_ACTIVATE:
            return OnActivate(wParam, lParam);
        case WM_SHOWWINDOW:
            return AnswerThenRaise(message, wParam, lParam, wParam ? kEventShown : kEventHidden);
        case WM_SETFOCUS:
            return AnswerThenRaise(message, wParam, lParam, kEventFocusGained);
        case WM_KILLFOCUS:
            return AnswerThenRaise(message, wParam, lParam, kEventFocusLost);
        case kNotifyIconMessage:
            NotifyIconMessage(lParam);
            return 0;
        case WM_DESTROY:
            ShowNotifyIcon(false);
            break;
        case kUnitCreatedMessage:
        case kWindowCreatedMessage:
        case kUnitsShownMessage:
            return 0;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool WindowComponent::AnswerColourMessage(UINT message, WPARAM wParam, LRESULT* answer) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(Handle(), &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background_.get());
            *answer = 1;
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
            SetBkColor(reinterpret_cast<HDC>(wParam), BackgroundColour());
            *answer = reinterpret_cast<LRESULT>(background_.get());
            return true;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            if (ColoursChanged(message, wParam)) RepaintInNewColours();
            return false;
        default:
            return false;
    }
}

LRESULT WindowComponent::OnActivate(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Handle(), focus)) savedFocus_ = focus;
        return AnswerThenRaise(WM_ACTIVATE, wParam, lParam, kEventDeactivated);
    }
    LRESULT result = DefaultProc(WM_ACTIVATE, wParam, lParam);
    if (savedFocus_ != nullptr && IsWindow(savedFocus_) && IsChild(Handle(), savedFocus_)) SetFocus(savedFocus_);
    savedFocus_ = nullptr;
    if (!activatedOnce_) {
        activatedOnce_ = true;
        RaiseEvent(kEventFirstActivation, {});
    }
    RaiseEvent(kEventActivated, {});
    return result;
}

BOOL CALLBACK TellColoursChanged(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

void WindowComponent::RepaintInNewColours() {
    UpdateBackground();
    EnumChildWindows(Handle(), &TellColoursChanged, 0);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool WindowComponent::PreTranslateMessage(MSG& message) {
    if (Component::PreTranslateMessage(message)) return true;
    return MoveFocusOnTab(Handle(), message);
}

void WindowComponent::Reapply(int, uint32_t what) {
    if (what & kWindowCaption) SetWindowTextGbk(Handle(), properties_.caption);
    if (what & kWindowBackground) {
        UpdateBackground();
        RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    if (what & kWindowTopmost) {
        SetWindowPos(Handle(), properties_.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (what & kWindowNotifyIcon) ShowNotifyIcon(properties_.notificationIcon != 0);
}

bool WindowComponent::ReadLive(int, PropertyValue* value) {
    value->number = iconShown_ ? 1 : 0;
    return true;
}

}  // namespace

void* WindowInterface(int op) { return TypeInterface(op, &CreateFromBlock<WindowComponent>); }

}  // namespace lyra
