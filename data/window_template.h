// The program's window template as data: one window, the start window, with
// its fifteen units. The template compiler (tools/) writes it out as the
// binary template that the program embeds.
#pragma once

#include <cstdint>

#include "data/unit_ids.h"
#include "window_units/template_format.h"

namespace lyra {

WindowTemplate ProgramWindowTemplate();

}  // namespace lyra
