// The EditBox type: an edit control.
#pragma once

#include "runtime/program_image.h"

namespace lyra {

void* EditBoxInterface(int op);
extern const PropertyDescription kEditBoxPropertyDescriptions[];
extern const uint32_t kEditBoxPropertyDescriptionCount;

}  // namespace lyra
