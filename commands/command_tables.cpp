// The command tables, indexed by command number. The application calls
// commands by entry point; the tables list them for the library records.
#include "commands/com_object.h"
#include "commands/thread_library.h"
#include "runtime/program_image.h"

namespace lyra {

extern const CommandFunction kCoreCommands[38] = {
    nullptr,  // 0 ToText
    nullptr,  // 1 FindText
    nullptr,  // 2 TrimSpaces
    nullptr,  // 3 CharFromCode
    nullptr,  // 4 BitOr
    nullptr,  // 5 TextLeft
    nullptr,  // 6 ToLowerCase
    nullptr,  // 7 LengthOfText
    nullptr,  // 8 ToBytes
    nullptr,  // 9 BytesLength
    nullptr,  // 10 BlankBytes
    nullptr,  // 11 BytesLeft
    nullptr,  // 12 BlankText
    nullptr,  // 13 SplitText
    nullptr,  // 14 ReplaceSubtext
    nullptr,  // 15 TextMid
    nullptr,  // 16 TextRight
    nullptr,  // 17 FindTextReverse
    nullptr,  // 18 ToInteger
    nullptr,  // 19 RemoveAllSpaces
    nullptr,  // 20 ShowMessageBox
    nullptr,  // 21 SetClipboardText
    nullptr,  // 22 ToFloat
    nullptr,  // 23 RunDirectory
    nullptr,  // 24 WriteFileBytes
    &ObjectClear,  // 25
    &ObjectCreate,  // 26
    &ObjectWriteProperty,  // 27
    &ObjectCallObjectMethod,  // 28
    &ObjectIsEmpty,  // 29
    &ObjectReadTextProperty,  // 30
    &ObjectCallTextMethod,  // 31
    &ObjectReadNumberProperty,  // 32
    &ObjectReadObjectProperty,  // 33
    &ObjectReadVariantProperty,  // 34
    &VariantToText,  // 35
    &VariantReset,  // 36
    &ObjectAssign,  // 37
};

extern const CommandFunction kUiLibrary1Commands[5] = {};

extern const CommandFunction kThreadCommands[1] = {&LaunchThread};

}  // namespace lyra
