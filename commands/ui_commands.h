// The core library's desktop commands: message boxes, the clipboard, the
// program's folder and writing files. Texts cross to the platform as UTF-16
// converted from code page 936.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace lyra {

// ShowMessageBox(content, flags, [title]) -> button 0..6 (OK, Cancel, Abort, Retry, Ignore, Yes, No).
void ShowMessageBox(ValueRecord* result, int32_t count, ValueRecord* args);
// SetClipboardText(text) -> logical.
void SetClipboardText(ValueRecord* result, int32_t count, ValueRecord* args);
// RunDirectory() -> the program's folder without a trailing backslash.
void RunDirectory(ValueRecord* result, int32_t count, ValueRecord* args);
// WriteFileBytes(file name, byte set, ...) -> logical. A relative name lies
// in the program's folder. The file is replaced whole or not at all: on
// failure an existing file keeps its bytes.
void WriteFileBytes(ValueRecord* result, int32_t count, ValueRecord* args);

}  // namespace lyra
