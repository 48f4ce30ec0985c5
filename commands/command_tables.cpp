// The command tables, indexed by command number. The application calls
// commands by entry point; the tables list them for the library records.
#include "commands/list_view_commands.h"
#include "commands/thread_library.h"
#include "runtime/program_image.h"

namespace lyra {

extern const CommandFunction kCoreCommands[38] = {};

extern const CommandFunction kUiLibrary1Commands[5] = {&ClearRows, &InsertRow, &SetCellText, &GetCellText,
                                                      &GetRowCount};

extern const CommandFunction kThreadCommands[1] = {&LaunchThread};

}  // namespace lyra
