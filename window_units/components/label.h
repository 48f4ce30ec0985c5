// The Label type: a child window that shows a caption in its font and colour.
#pragma once

#include <windows.h>

#include <string>

#include "window_units/components/label_block.h"

namespace lyra {

// The name a Label gives the control it labels: the caption, without its
// decoration, of the visible Label beside it in the same parent, ending
// just left of it on its line or just above it (the nearer one). Empty
// when no Label labels the control.
std::wstring NameFromLabel(HWND control);

void* LabelInterface(int op);

}  // namespace lyra
