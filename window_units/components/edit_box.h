// The EditBox type: an edit control.
#pragma once

#include "window_units/components/edit_box_block.h"

namespace lyra {

void* EditBoxInterface(int op);

}  // namespace lyra
