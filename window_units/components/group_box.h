// The GroupBox type: a frame with a caption that holds other components.
#pragma once

#include "window_units/components/group_box_block.h"

namespace lyra {

void* GroupBoxInterface(int op);

}  // namespace lyra
