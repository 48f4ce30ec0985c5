#include "window_units/components/edit_box_block.h"

namespace lyra {

std::vector<uint8_t> WriteEditBoxBlock(const EditBoxProperties& p) {
    PropertyBlockWriter writer(kEditBoxBlockVersion);
    writer.Text(p.content);
    writer.U32(p.border);
    writer.U32(p.textColour);
    writer.U32(p.backgroundColour);
    writer.Block(p.font);
    writer.U32(p.keepSelection);
    writer.I32(p.maxLength);
    writer.U32(p.multiLine);
    writer.U32(p.scrollBars);
    writer.U32(p.alignment);
    writer.U32(p.inputMode);
    writer.Text(p.passwordChar);
    return writer.bytes();
}

EditBoxProperties ReadEditBoxBlock(const uint8_t* data, size_t size) {
    EditBoxProperties p;
    PropertyBlockReader reader(data, size);
    reader.Text(&p.content) && reader.U32(&p.border) && reader.U32(&p.textColour) &&
        reader.U32(&p.backgroundColour) && reader.Block(&p.font) && reader.U32(&p.keepSelection) &&
        reader.I32(&p.maxLength) && reader.U32(&p.multiLine) && reader.U32(&p.scrollBars) &&
        reader.U32(&p.alignment) && reader.U32(&p.inputMode) && reader.Text(&p.passwordChar);
    return p;
}

}  // namespace lyra
