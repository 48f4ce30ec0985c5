// The Label type: a child window that shows a caption in its font and colour.
#pragma once

#include "runtime/program_image.h"

namespace lyra {

void* LabelInterface(int op);
extern const PropertyDescription kLabelPropertyDescriptions[];
extern const uint32_t kLabelPropertyDescriptionCount;

}  // namespace lyra
