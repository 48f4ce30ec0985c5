// The common events: mouse, key, character and wheel messages addressed to
// a component's window become its events -1..-6 and -9..-12 before they are
// dispatched, and the routine's result decides whether they go on.
#include <windows.h>

#include "runtime/gbk.h"
#include "window_units/component.h"

namespace lyra {

namespace {

enum KeyStateBits : uint32_t { kCtrl = 1, kShift = 2, kAlt = 4 };

uint32_t KeyState() {
    uint32_t state = 0;
    if (GetKeyState(VK_CONTROL) < 0) state |= kCtrl;
    if (GetKeyState(VK_SHIFT) < 0) state |= kShift;
    if (GetKeyState(VK_MENU) < 0) state |= kAlt;
    return state;
}

// A modifier key reports no state bit of its own kind.
uint32_t KeyStateFor(uint32_t key) {
    uint32_t state = KeyState();
    switch (key) {
        case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return state & ~kCtrl;
        case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return state & ~kShift;
        case VK_MENU: case VK_LMENU: case VK_RMENU: return state & ~kAlt;
        default: return state;
    }
}

// Keypad digits, minus, point and divide as their main-keyboard keys.
uint32_t MainKeyboardCode(uint32_t key) {
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return '0' + (key - VK_NUMPAD0);
    switch (key) {
        case VK_SUBTRACT: return VK_OEM_MINUS;
        case VK_DECIMAL: return VK_OEM_PERIOD;
        case VK_DIVIDE: return VK_OEM_2;
        default: return key;
    }
}

// The program sees characters as GBK codes: one byte, or lead byte << 8 |
// trail byte. The window receives UTF-16.
uint32_t GbkCharacterCode(WPARAM character) {
    if (character < 0x80) return static_cast<uint32_t>(character);
    wchar_t wide = static_cast<wchar_t>(character);
    std::string gbk = WideToGbk(&wide, 1);
    if (gbk.size() == 1) return static_cast<uint8_t>(gbk[0]);
    if (gbk.size() == 2) return static_cast<uint32_t>(static_cast<uint8_t>(gbk[0]) << 8 | static_cast<uint8_t>(gbk[1]));
    return static_cast<uint32_t>(character);
}

WPARAM WideCharacter(uint32_t code) {
    if (code < 0x80) return code;
    char gbk[2];
    size_t length = 0;
    if (code <= 0xFF) {
        gbk[length++] = static_cast<char>(code);
    } else if (code <= 0xFFFF) {
        gbk[length++] = static_cast<char>(code >> 8);
        gbk[length++] = static_cast<char>(code & 0xFF);
    } else {
        return code;
    }
    std::wstring wide = GbkToWide(gbk, length);
    return wide.size() == 1 ? static_cast<WPARAM>(wide[0]) : static_cast<WPARAM>(code);
}

uint32_t MouseX(LPARAM lParam) { return LOWORD(lParam); }
uint32_t MouseY(LPARAM lParam) { return HIWORD(lParam); }

int32_t MouseEventOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN: return kEventLeftButtonDown;
        case WM_LBUTTONUP: return kEventLeftButtonUp;
        case WM_LBUTTONDBLCLK: return kEventDoubleClick;
        case WM_RBUTTONDOWN: return kEventRightButtonDown;
        case WM_RBUTTONUP: return kEventRightButtonUp;
        case WM_MOUSEMOVE: return kEventMouseMove;
        default: return 0;
    }
}

bool IsKeyOrMouseInput(UINT message) {
    switch (message) {
        case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case WM_DEADCHAR:
        case WM_SYSKEYDOWN: case WM_SYSKEYUP: case WM_SYSCHAR:
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        case WM_MOUSEMOVE: case WM_MOUSEWHEEL:
            return true;
        default:
            return false;
    }
}

// Keys that still go on, without an event, from a unit that takes no input:
// system keys (Alt+F4, Alt+letter), so that a person can close the window
// whatever has the focus, and Tab, so that the focus can leave a disabled
// container. Nothing else of the keyboard reaches the unit.
bool PassesDisabledUnit(const MSG& message) {
    switch (message.message) {
        case WM_SYSKEYDOWN: case WM_SYSKEYUP: case WM_SYSCHAR: return true;
        case WM_KEYDOWN: case WM_KEYUP: return message.wParam == VK_TAB;
        default: return false;
    }
}

}  // namespace

bool InputDisabled(HWND window) {
    for (HWND current = window; current != nullptr; current = GetParent(current)) {
        if (!IsWindowEnabled(current)) return true;
        if ((GetWindowLongPtrW(current, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    return false;
}

bool Component::PreTranslateMessage(MSG& message) {
    if (message.hwnd == nullptr || message.hwnd != Handle()) return false;
    if (IsKeyOrMouseInput(message.message) && InputDisabled(message.hwnd)) return !PassesDisabledUnit(message);
    uint32_t result = 0;
    bool hasResult = false;
    switch (message.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEMOVE:
            hasResult = RaiseEvent(MouseEventOf(message.message),
                                   {MouseX(message.lParam), MouseY(message.lParam), KeyState()}, &result);
            return hasResult && result == 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            uint32_t key = static_cast<uint32_t>(message.wParam);
            bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
            hasResult = RaiseEvent(down ? kEventKeyDown : kEventKeyUp, {MainKeyboardCode(key), KeyStateFor(key)}, &result);
            return hasResult && result == 0;
        }
        case WM_CHAR:
            hasResult = RaiseEvent(kEventCharacter, {GbkCharacterCode(message.wParam)}, &result);
            if (!hasResult) return false;
            if (result == 0) return true;
            message.wParam = WideCharacter(result);
            return false;
        case WM_MOUSEWHEEL: {
            int32_t distance = GET_WHEEL_DELTA_WPARAM(message.wParam) / WHEEL_DELTA;
            hasResult = RaiseEvent(kEventMouseWheel, {static_cast<uint32_t>(distance), KeyState()}, &result);
            return hasResult && result == 0;
        }
        default:
            return false;
    }
}

}  // namespace lyra
