// Linked into programs that use the runtime's parts without running it as a
// program: an empty program image, no window layer, an entry that does nothing.
#include "runtime/program_image.h"
#include "runtime/window_layer.h"

namespace lyra {

const ProgramImageHeader kProgramImageHeader = {};
const WindowLayer* const kProgramWindowLayer = nullptr;
int ApplicationEntry() { return 0; }

}  // namespace lyra
