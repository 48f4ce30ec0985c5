// Windows of another process found and read from outside, and its message
// boxes read and answered.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lyra::test {

// A visible top-level window of the process; a null class name matches any class.
HWND FindTopLevel(DWORD processId, const wchar_t* className, const std::wstring& caption);
// Visible or not; the first top-level window of the process with that class.
HWND FindAnyTopLevel(DWORD processId, const wchar_t* className);
HWND FindControl(HWND main, int id);
std::wstring TextOf(HWND window);  // WM_GETTEXT
// The window that has the keyboard focus in the thread owning window.
HWND FocusOf(HWND window);

// The visible dialog boxes of the process.
std::vector<HWND> MessageBoxesOf(DWORD processId);
// The box's static texts (the message), joined by newlines.
std::wstring MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

// Waits up to milliseconds for the runtime's error box of the process,
// returns its message and presses OK; "<no box>" when none came.
std::wstring AnswerErrorBox(DWORD processId, DWORD milliseconds = 20000);

}  // namespace lyra::test
