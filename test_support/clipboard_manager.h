// Wine keeps its clipboard in step with the X selections through a manager
// thread in the desktop process. As that thread starts it takes over the
// clipboard from the X selection, emptying it when no X client owns one. A
// test program can run before that moment: what it placed on the clipboard
// by then is gone a moment later.
#pragma once

#include <windows.h>

namespace lyra::test {

// Starts the desktop when there is none yet and waits, up to milliseconds,
// until its clipboard manager has started and taken the clipboard over.
// False when no manager answered in time.
bool WaitForClipboardManager(DWORD milliseconds);

}  // namespace lyra::test
