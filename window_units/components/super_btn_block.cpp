#include "window_units/components/super_btn_block.h"

#include <algorithm>

#include "window_units/components/block_codec.h"

namespace lyra {

namespace {
int32_t Clamp(int32_t v, int32_t low, int32_t high) { return std::min(std::max(v, low), high); }
}  // namespace

void ClampSuperBtnProperties(SuperBtnProperties* p) {
    p->buttonType = Clamp(p->buttonType, 0, 2);
    p->pictureAlignment = Clamp(p->pictureAlignment, 0, 3);
    p->switch4 = Clamp(p->switch4, 0, 1);
    p->switch26 = Clamp(p->switch26, 0, 1);
}

std::vector<uint8_t> WriteSuperBtnBlock(const SuperBtnProperties& p) {
    BlockWriter w(kSuperBtnBlockVersion);
    w.I32(p.buttonType);
    w.I32(p.styleWord);
    w.I32(p.pressed);
    w.I32(p.pictureAlignment);
    w.I32(p.switch4);
    w.I32(p.layout5);
    w.I32(p.layout6);
    for (const SuperBtnPicture& picture : p.pictures) {
        w.Counted(picture.file);
        w.I32(picture.word);
    }
    w.Counted(p.font);
    w.Counted(p.caption);
    w.I32(p.useColours);
    for (const SuperBtnColours& c : p.colours) {
        w.U32(c.text);
        w.U32(c.back);
    }
    w.I32(p.builtInSound);
    w.Counted(p.enterSound);
    w.Counted(p.clickSound);
    w.Counted(p.tip);
    w.I32(p.switch26);
    return w.Take();
}

bool ReadSuperBtnBlock(const uint8_t* data, size_t size, SuperBtnProperties* properties) {
    SuperBtnProperties p;
    try {
        framework::MemoryArchive a(data, size);
        if (ReadBlockHeader(a) != kSuperBtnBlockVersion) return false;
        p.buttonType = a.ReadI32();
        p.styleWord = a.ReadI32();
        p.pressed = a.ReadI32();
        p.pictureAlignment = a.ReadI32();
        p.switch4 = a.ReadI32();
        p.layout5 = a.ReadI32();
        p.layout6 = a.ReadI32();
        for (SuperBtnPicture& picture : p.pictures) {
            picture.file = ReadCounted(a);
            picture.word = a.ReadI32();
        }
        p.font = ReadCounted(a);
        p.caption = ReadCounted(a);
        p.useColours = a.ReadI32();
        for (SuperBtnColours& c : p.colours) {
            c.text = a.ReadU32();
            c.back = a.ReadU32();
        }
        p.builtInSound = a.ReadI32();
        p.enterSound = ReadCounted(a);
        p.clickSound = ReadCounted(a);
        p.tip = ReadCounted(a);
        p.switch26 = a.ReadI32();
    } catch (const framework::ArchiveError&) {
        return false;
    }
    ClampSuperBtnProperties(&p);
    *properties = std::move(p);
    return true;
}

}  // namespace lyra
