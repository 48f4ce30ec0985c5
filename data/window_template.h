// The program's window template as data: one window, the start window, with
// its fifteen units. The template compiler (tools/) writes it out as the
// binary template that the program embeds.
#pragma once

#include <cstdint>
#include <vector>

#include "data/unit_ids.h"
#include "window_units/components/list_view_block.h"
#include "window_units/template_format.h"

namespace lyra {

// The four columns of the program's two lists (79 bytes as a block).
std::vector<ListViewColumn> MusicListColumns();

WindowTemplate ProgramWindowTemplate();

}  // namespace lyra
