// The command tables, indexed by command number. The application calls
// commands by entry point; the tables list them for the library records.
#include "commands/command_tables.h"

#include "commands/com_object.h"
#include "commands/list_view_commands.h"
#include "commands/text_commands.h"
#include "commands/thread_library.h"
#include "commands/ui_commands.h"
#include "runtime/numbered_table.h"

namespace lyra {

constexpr std::array<CommandFunction, kCoreCommandCount> kCoreCommands =
    NumberedTable<CommandFunction, kCoreCommandCount>({
        {0, &ToText},
        {1, &FindText},
        {2, &TrimSpaces},
        {3, &CharFromCode},
        {4, &BitOr},
        {5, &TextLeft},
        {6, &ToLowerCase},
        {7, &LengthOfText},
        {8, &ToBytes},
        {9, &BytesLength},
        {10, &BlankBytes},
        {11, &BytesLeft},
        {12, &BlankText},
        {13, &SplitText},
        {14, &ReplaceSubtext},
        {15, &TextMid},
        {16, &TextRight},
        {17, &FindTextReverse},
        {18, &ToInteger},
        {19, &RemoveAllSpaces},
        {20, &ShowMessageBox},
        {21, &SetClipboardText},
        {22, &ToFloat},
        {23, &RunDirectory},
        {24, &WriteFileBytes},
        {25, &ObjectClear},
        {26, &ObjectCreate},
        {27, &ObjectWriteProperty},
        {28, &ObjectCallObjectMethod},
        {29, &ObjectIsEmpty},
        {30, &ObjectReadTextProperty},
        {31, &ObjectCallTextMethod},
        {32, &ObjectReadNumberProperty},
        {33, &ObjectReadObjectProperty},
        {34, &ObjectReadVariantProperty},
        {35, &VariantToText},
        {36, &VariantReset},
        {37, &ObjectAssign},
    });

constexpr std::array<CommandFunction, kUiLibrary1CommandCount> kUiLibrary1Commands =
    NumberedTable<CommandFunction, kUiLibrary1CommandCount>({
        {0, &ClearRows},
        {1, &InsertRow},
        {2, &SetCellText},
        {3, &GetCellText},
        {4, &GetRowCount},
        {5, &GetRowTexts},
        {6, &GetAllRowTexts},
    });

constexpr std::array<CommandFunction, kThreadCommandCount> kThreadCommands =
    NumberedTable<CommandFunction, kThreadCommandCount>({
        {0, &LaunchThread},
    });

}  // namespace lyra
