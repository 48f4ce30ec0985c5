// The window type: the top-level window that holds the components.
#pragma once

#include "runtime/program_image.h"

namespace lyra {

void* WindowInterface(int op);
extern const PropertyDescription kWindowPropertyDescriptions[];
extern const uint32_t kWindowPropertyDescriptionCount;

}  // namespace lyra
