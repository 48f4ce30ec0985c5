// Drives the real Lyrabox window from another process, as a person would:
// mouse clicks and typing through SendInput, list rows read across the
// process boundary, the clipboard read and set.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "test_support/processes.h"
#include "test_support/text_files.h"
#include "test_support/waits.h"
#include "test_support/window_search.h"

namespace lyra::test {

// Child-window identifiers the window builder gives the template's units
// (100, 110, … in creation order: the last unit first).
enum ControlId : int {
    kSavedNumberEditControl = 230,
    kMakerLinkControl = 220,
    kHelpButtonControl = 210,
    kAboutButtonControl = 200,
    kSaveButtonControl = 190,
    kFavouriteListControl = 180,
    kHintLabelControl = 170,
    kQueryGroupControl = 160,
    kNumberLabelControl = 150,
    kNumberEditControl = 140,
    kQueryButtonControl = 130,
    kBackgroundListControl = 120,
};

// Input as a person gives it.
bool BringToFront(HWND window);
void ClickClient(HWND window, int x, int y, bool doubleClick = false);
void ClickCentre(HWND window);
void TypeText(const std::wstring& text);
// With a modifier (VK_SHIFT, VK_CONTROL) held around the key.
void PressKey(WORD virtualKey, WORD modifier = 0);
// Moves the pointer to the window's centre and waits until it is there.
void MovePointerToCentre(HWND window);
// Clicks the control until it has the focus in main's thread (a click may
// land before the window takes input); false when it never came.
bool ClickUntilFocused(HWND main, HWND control, DWORD milliseconds);
// Asks main to close and answers every box the program shows with Cancel
// until it has ended; false when it had not within milliseconds.
bool CloseProgram(ChildProcess& program, HWND main, DWORD milliseconds);

// Key presses and clicks given in one SendInput call, as a quick hand gives
// them: all of them are queued before the program handles the first.
class InputBatch {
public:
    InputBatch& Key(WORD virtualKey);
    // A press and release at the window's centre.
    InputBatch& Click(HWND window);
    void Send();

private:
    std::vector<INPUT> inputs_;
};

// The list view of another process.
int ListRowCount(HWND list);
std::wstring ListCell(HWND list, int row, int column);
std::vector<std::vector<std::wstring>> ListRows(HWND list, int columns = 4);
RECT ListRowRect(HWND list, int row);
RECT HeaderItemRect(HWND list, int column);
struct ColumnInfo {
    std::wstring title;
    int width;
    int format;
};
std::vector<ColumnInfo> ListColumns(HWND list);
void ClickRow(HWND list, int row, bool doubleClick = false);
void ClickHeader(HWND list, int column);

std::wstring ClipboardText();
std::string ClipboardGbkBytes();
bool SetClipboardToMarker(const std::wstring& text);

}  // namespace lyra::test
