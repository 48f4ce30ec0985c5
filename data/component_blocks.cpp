#include "data/component_blocks.h"

#include <cstring>

#include "data/button_art.h"
#include "window_units/components/hyper_linker_block.h"
#include "window_units/components/list_view_block.h"
#include "window_units/components/super_btn_block.h"

namespace lyra {

namespace {

constexpr uint8_t kGb2312 = 134;

void PutI32(std::string& out, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
}

SuperBtnProperties BadgeButton(std::string picture, std::string sound) {
    SuperBtnProperties p;
    p.buttonType = 2;  // flat: framed only under the mouse
    p.pictures[kLookNormal].file = std::move(picture);
    p.useColours = 0;
    p.enterSound = std::move(sound);
    return p;
}

}  // namespace

std::string FontBlock(int32_t height, const std::string& face) {
    // LOGFONTA: five LONGs, eight bytes, then a 32-byte face name.
    std::string block(60, '\0');
    PutI32(block, 0, height);
    PutI32(block, 16, 400);
    block[23] = static_cast<char>(kGb2312);
    std::memcpy(&block[28], face.data(), face.size() < 31 ? face.size() : 31);
    return block;
}

std::vector<uint8_t> MusicListBlock() {
    ListViewProperties p;
    p.border = 1;
    p.textColour = 0x00000000;
    p.textBackColour = 0x00FFFFFF;
    p.backColour = 0x00FFFFFF;
    p.viewType = 3;
    p.columns = WriteColumnBlock(MusicListColumns());
    p.clickableHeader = 1;
    p.fullRowSelect = 1;
    p.alwaysShowSelection = 1;
    return WriteListViewBlock(p);
}

std::vector<uint8_t> QueryButtonBlock() {
    SuperBtnProperties p;
    p.pictures[kLookNormal].file = QueryButtonNormalGif();
    p.pictures[kLookHot].file = QueryButtonHotGif();
    p.colours[kLookNormal] = {0x00000000, 0x00F0F0F0};
    p.colours[kLookHot] = {0x00000000, 0x00FFFFFF};
    p.colours[kLookPressed] = {0x00000000, 0x00F0F0F0};
    return WriteSuperBtnBlock(p);
}

std::vector<uint8_t> HelpButtonBlock() { return WriteSuperBtnBlock(BadgeButton(HelpButtonBmp(), HelpButtonWave())); }

std::vector<uint8_t> AboutButtonBlock() { return WriteSuperBtnBlock(BadgeButton(AboutButtonBmp(), AboutButtonWave())); }

std::vector<uint8_t> SaveButtonBlock() {
    SuperBtnProperties p;
    p.colours[kLookNormal] = {0x00FFFFFF, 0x00FF8800};
    p.colours[kLookHot] = {0x00FFFFFF, 0x000080FF};
    p.colours[kLookPressed] = {0x00FFFFFF, 0x00FF8800};
    p.font = FontBlock(-14, "");
    p.caption = "保存音乐列表";
    return WriteSuperBtnBlock(p);
}

std::vector<uint8_t> MakerLinkBlock(const std::string& makerPageUrl) {
    HyperLinkerProperties p;
    p.caption = "访问 Lyrabox 主页";
    p.target = makerPageUrl;
    p.mode = kWebAddress;
    p.font = FontBlock(-12, "");
    p.textColour = 0x00FF0000;
    return WriteHyperLinkerBlock(p);
}

}  // namespace lyra
