#include "window_units/components/window_block.h"

namespace lyra {

std::vector<uint8_t> WriteWindowBlock(const WindowProperties& p) {
    PropertyBlockWriter writer(kWindowBlockVersion);
    writer.Text(p.caption);
    writer.U32(p.borderStyle);
    writer.U32(p.controlBox);
    writer.U32(p.maxButton);
    writer.U32(p.minButton);
    writer.U32(p.startPosition);
    writer.U32(p.backgroundColour);
    writer.U32(p.topmost);
    writer.Block(p.icon);
    writer.U32(p.notificationIcon);
    return writer.bytes();
}

WindowProperties ReadWindowBlock(const uint8_t* data, size_t size) {
    WindowProperties p;
    PropertyBlockReader reader(data, size);
    reader.Text(&p.caption) && reader.U32(&p.borderStyle) && reader.U32(&p.controlBox) &&
        reader.U32(&p.maxButton) && reader.U32(&p.minButton) && reader.U32(&p.startPosition) &&
        reader.U32(&p.backgroundColour) && reader.U32(&p.topmost) && reader.Block(&p.icon) &&
        reader.U32(&p.notificationIcon);
    return p;
}

}  // namespace lyra
