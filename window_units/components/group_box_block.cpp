#include "window_units/components/group_box_block.h"

namespace lyra {

std::vector<uint8_t> WriteGroupBoxBlock(const GroupBoxProperties& p) {
    PropertyBlockWriter writer(kGroupBoxBlockVersion);
    writer.Text(p.caption);
    writer.I32(p.alignment);
    writer.U32(p.captionColour);
    writer.U32(p.backgroundColour);
    writer.Block(p.font);
    return writer.bytes();
}

GroupBoxProperties ReadGroupBoxBlock(const uint8_t* data, size_t size) {
    GroupBoxProperties p;
    PropertyBlockReader reader(data, size);
    reader.Text(&p.caption) && reader.I32(&p.alignment) && reader.U32(&p.captionColour) &&
        reader.U32(&p.backgroundColour) && reader.Block(&p.font);
    p.alignment = ClampGroupBoxAlignment(p.alignment);
    return p;
}

}  // namespace lyra
