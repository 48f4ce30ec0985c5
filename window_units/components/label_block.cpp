#include "window_units/components/label_block.h"

namespace lyra {

std::vector<uint8_t> WriteLabelBlock(const LabelProperties& p) {
    PropertyBlockWriter writer(kLabelBlockVersion);
    writer.Text(p.caption);
    writer.U32(p.border);
    writer.U32(p.textColour);
    writer.U32(p.backgroundColour);
    writer.Block(p.font);
    writer.U32(p.alignment);
    writer.U32(p.verticalAlignment);
    writer.U32(p.wordWrap);
    writer.Block(p.picture);
    return writer.bytes();
}

LabelProperties ReadLabelBlock(const uint8_t* data, size_t size) {
    LabelProperties p;
    PropertyBlockReader reader(data, size);
    reader.Text(&p.caption) && reader.U32(&p.border) && reader.U32(&p.textColour) &&
        reader.U32(&p.backgroundColour) && reader.Block(&p.font) && reader.U32(&p.alignment) &&
        reader.U32(&p.verticalAlignment) && reader.U32(&p.wordWrap) && reader.Block(&p.picture);
    return p;
}

}  // namespace lyra
