// The GroupBox type: a frame with a caption that holds other components.
#pragma once

#include "runtime/program_image.h"

namespace lyra {

void* GroupBoxInterface(int op);
extern const PropertyDescription kGroupBoxPropertyDescriptions[];
extern const uint32_t kGroupBoxPropertyDescriptionCount;

}  // namespace lyra
