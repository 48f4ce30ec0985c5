#include "test_support/ui_driver.h"

#include <commctrl.h>

#include <cstring>

namespace lyra::test {

namespace {

// A block of memory inside another process, freed with the object.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_ != nullptr) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return address_ != nullptr; }
    uint8_t* address() const { return static_cast<uint8_t*>(address_); }
    bool Write(size_t offset, const void* data, size_t n) {
        return WriteProcessMemory(process_, address() + offset, data, n, nullptr) != 0;
    }
    bool Read(size_t offset, void* data, size_t n) {
        return ReadProcessMemory(process_, address() + offset, data, n, nullptr) != 0;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

INPUT MouseInput(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    // Absolute coordinates map back to pixels rounding down: round up here,
    // so that the pointer lands on the very pixel.
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + height - 1) / height);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void SendMouse(DWORD flags, POINT screen) {
    INPUT input = MouseInput(flags, screen);
    SendInput(1, &input, sizeof input);
}

POINT ScreenCentre(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    POINT point{rect.right / 2, rect.bottom / 2};
    ClientToScreen(window, &point);
    return point;
}

bool PointerAt(POINT point) {
    POINT at{};
    GetCursorPos(&at);
    return at.x == point.x && at.y == point.y;
}

}  // namespace


bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return WaitFor([&] { return GetForegroundWindow() == window; }, 2000);
}

void ClickClient(HWND window, int x, int y, bool doubleClick) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    // The pointer reaches its place before the button goes down, as a hand
    // moves before it clicks; each press carries the position too, so it
    // cannot land where the pointer was before.
    SendMouse(MOUSEEVENTF_MOVE, point);
    WaitFor([&] { return PointerAt(point); }, 2000);
    int clicks = doubleClick ? 2 : 1;
    for (int i = 0; i < clicks; ++i) {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, point);
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, point);
    }
}

void ClickCentre(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    ClickClient(window, rect.right / 2, rect.bottom / 2);
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_KEYBOARD;
        inputs[0].ki.wScan = c;
        inputs[0].ki.dwFlags = KEYEVENTF_UNICODE;
        inputs[1] = inputs[0];
        inputs[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, inputs, sizeof(INPUT));
    }
}

void PressKey(WORD virtualKey, WORD modifier) {
    INPUT inputs[4] = {};
    UINT count = 0;
    if (modifier != 0) {
        inputs[count].type = INPUT_KEYBOARD;
        inputs[count++].ki.wVk = modifier;
    }
    inputs[count].type = INPUT_KEYBOARD;
    inputs[count++].ki.wVk = virtualKey;
    inputs[count] = inputs[count - 1];
    inputs[count++].ki.dwFlags = KEYEVENTF_KEYUP;
    if (modifier != 0) {
        inputs[count].type = INPUT_KEYBOARD;
        inputs[count].ki.wVk = modifier;
        inputs[count++].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(count, inputs, sizeof(INPUT));
}

void MovePointerToCentre(HWND window) {
    POINT point = ScreenCentre(window);
    SendMouse(MOUSEEVENTF_MOVE, point);
    WaitFor([&] { return PointerAt(point); }, 2000);
}

bool ClickUntilFocused(HWND main, HWND control, DWORD milliseconds) {
    return WaitFor([&] {
        if (FocusOf(main) == control) return true;
        ClickCentre(control);
        return WaitFor([&] { return FocusOf(main) == control; }, 500);
    }, milliseconds);
}

bool CloseProgram(ChildProcess& program, HWND main, DWORD milliseconds) {
    if (program.Ended()) return true;
    if (main != nullptr) PostMessageW(main, WM_CLOSE, 0, 0);
    return WaitFor([&] {
        for (HWND box : MessageBoxesOf(program.processId())) AnswerMessageBox(box, IDCANCEL);
        return program.Ended();
    }, milliseconds);
}

InputBatch& InputBatch::Key(WORD virtualKey) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    inputs_.push_back(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs_.push_back(input);
    return *this;
}

InputBatch& InputBatch::Click(HWND window) {
    POINT point = ScreenCentre(window);
    inputs_.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, point));
    inputs_.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, point));
    return *this;
}

void InputBatch::Send() {
    SendInput(static_cast<UINT>(inputs_.size()), inputs_.data(), sizeof(INPUT));
    inputs_.clear();
}

int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListCell(HWND list, int row, int column) {
    const size_t capacity = 4096;
    RemoteBuffer remote(list, sizeof(LVITEMW) + capacity * sizeof(wchar_t));
    if (!remote.ok()) return std::wstring();
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(remote.address() + sizeof(LVITEMW));
    item.cchTextMax = static_cast<int>(capacity);
    remote.Write(0, &item, sizeof item);
    LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                  reinterpret_cast<LPARAM>(remote.address()));
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) remote.Read(sizeof(LVITEMW), &text[0], static_cast<size_t>(length) * sizeof(wchar_t));
    return text;
}

std::vector<std::vector<std::wstring>> ListRows(HWND list, int columns) {
    std::vector<std::vector<std::wstring>> rows;
    int count = ListRowCount(list);
    for (int row = 0; row < count; ++row) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < columns; ++column) cells.push_back(ListCell(list, row, column));
        rows.push_back(cells);
    }
    return rows;
}

RECT ListRowRect(HWND list, int row) {
    RECT rect{};
    RemoteBuffer remote(list, sizeof(RECT));
    if (!remote.ok()) return rect;
    rect.left = LVIR_LABEL;
    remote.Write(0, &rect, sizeof rect);
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.address()));
    remote.Read(0, &rect, sizeof rect);
    return rect;
}

RECT HeaderItemRect(HWND list, int column) {
    RECT rect{};
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RemoteBuffer remote(header, sizeof(RECT));
    if (header == nullptr || !remote.ok()) return rect;
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote.address()));
    remote.Read(0, &rect, sizeof rect);
    return rect;
}

std::vector<ColumnInfo> ListColumns(HWND list) {
    std::vector<ColumnInfo> columns;
    const size_t capacity = 256;
    RemoteBuffer remote(list, sizeof(LVCOLUMNW) + capacity * sizeof(wchar_t));
    if (!remote.ok()) return columns;
    for (int index = 0;; ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = reinterpret_cast<LPWSTR>(remote.address() + sizeof(LVCOLUMNW));
        column.cchTextMax = static_cast<int>(capacity);
        remote.Write(0, &column, sizeof column);
        if (!SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.address()))) {
            break;
        }
        remote.Read(0, &column, sizeof column);
        wchar_t title[256] = {};
        remote.Read(sizeof(LVCOLUMNW), title, sizeof title - sizeof(wchar_t));
        columns.push_back(ColumnInfo{title, column.cx, column.fmt & LVCFMT_JUSTIFYMASK});
    }
    return columns;
}

void ClickRow(HWND list, int row, bool doubleClick) {
    RECT rect = ListRowRect(list, row);
    ClickClient(list, rect.left + 4, (rect.top + rect.bottom) / 2, doubleClick);
}

void ClickHeader(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect = HeaderItemRect(list, column);
    ClickClient(header, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string ClipboardGbkBytes() {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (auto* chars = static_cast<const char*>(GlobalLock(data))) {
            bytes = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return bytes;
}

bool SetClipboardToMarker(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block != nullptr) {
        std::memcpy(GlobalLock(block), text.c_str(), bytes);
        GlobalUnlock(block);
        if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    }
    CloseClipboard();
    return block != nullptr;
}

}  // namespace lyra::test
