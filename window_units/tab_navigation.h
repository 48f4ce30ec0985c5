// Keyboard focus movement between a window's tab stops.
#pragma once

#include <windows.h>

#include <vector>

namespace lyra {

// The tab stops of a window that can take the focus now (shown, enabled
// with all their containers), in the order a person reads the window: line
// by line from the top, left to right within a line.
std::vector<HWND> TabStopsInReadingOrder(HWND window);

// Tab and Shift+Tab addressed to the window or any unit on it move the
// focus to the next or previous tab stop, round in a cycle, and make the
// focus visible. True when the message was such a key and is used up.
bool MoveFocusOnTab(HWND window, const MSG& message);

}  // namespace lyra
