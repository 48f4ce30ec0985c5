// The command tables, indexed by command number. The application calls
// commands by entry point; the tables list them for the library records.
#include "commands/com_object.h"
#include "commands/list_view_commands.h"
#include "commands/text_commands.h"
#include "commands/thread_library.h"
#include "commands/ui_commands.h"
#include "runtime/program_image.h"

namespace lyra {

extern const CommandFunction kCoreCommands[38] = {
    &ToText,            // 0
    &FindText,          // 1
    &TrimSpaces,        // 2
    &CharFromCode,      // 3
    &BitOr,             // 4
    &TextLeft,          // 5
    &ToLowerCase,       // 6
    &LengthOfText,      // 7
    &ToBytes,           // 8
    &BytesLength,       // 9
    &BlankBytes,        // 10
    &BytesLeft,         // 11
    &BlankText,         // 12
    &SplitText,         // 13
    &ReplaceSubtext,    // 14
    &TextMid,           // 15
    &TextRight,         // 16
    &FindTextReverse,   // 17
    &ToInteger,         // 18
    &RemoveAllSpaces,   // 19
    &ShowMessageBox,    // 20
    &SetClipboardText,  // 21
    &ToFloat,           // 22
    &RunDirectory,      // 23
    &WriteFileBytes,    // 24
    &ObjectClear,                // 25
    &ObjectCreate,               // 26
    &ObjectWriteProperty,        // 27
    &ObjectCallObjectMethod,     // 28
    &ObjectIsEmpty,              // 29
    &ObjectReadTextProperty,     // 30
    &ObjectCallTextMethod,       // 31
    &ObjectReadNumberProperty,   // 32
    &ObjectReadObjectProperty,   // 33
    &ObjectReadVariantProperty,  // 34
    &VariantToText,              // 35
    &VariantReset,               // 36
    &ObjectAssign,               // 37
};

extern const CommandFunction kUiLibrary1Commands[7] = {&ClearRows,   &InsertRow,   &SetCellText,   &GetCellText,
                                                      &GetRowCount, &GetRowTexts, &GetAllRowTexts};

extern const CommandFunction kThreadCommands[1] = {&LaunchThread};

}  // namespace lyra
