#include "data/window_template.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "data/button_media.h"
#include "data/routine_indices.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/group_box_block.h"
#include "window_units/components/hyper_linker_block.h"
#include "window_units/components/label_block.h"
#include "window_units/components/list_view_block.h"
#include "window_units/components/super_btn_block.h"
#include "window_units/components/window_block.h"
#include "window_units/event_numbers.h"

namespace lyra {

namespace {

constexpr uint32_t kShown = kUnitVisible;
constexpr uint32_t kShownTabStop = kUnitVisible | kUnitTabStop;
constexpr uint32_t kOnWindow = 0;

struct Binding {
    int32_t event;
    ApplicationRoutineIndex routine;
};

struct UnitRow {
    uint32_t id;
    uint32_t typeCode;
    const char* name;
    int32_t left, top, width, height;
    uint32_t parent;
    uint32_t flags;
    std::vector<Binding> events;
    std::vector<uint8_t> block;
};

// ---- Property blocks, one function per unit type ----

std::vector<uint8_t> WindowBlock() {
    WindowProperties p;
    p.caption = "Lyrabox";
    p.borderStyle = 1;
    p.minButton = 1;
    return WriteWindowBlock(p);
}

std::vector<uint8_t> EditBlock(const char* content, uint32_t textColour) {
    EditBoxProperties p;
    p.content = content;
    p.textColour = textColour;
    p.font = MakeFontBlock(-12, 400, "宋体");
    return WriteEditBoxBlock(p);
}

std::vector<uint8_t> GroupBlock(const char* caption) {
    GroupBoxProperties p;
    p.caption = caption;
    p.font = MakeFontBlock(-12, 400, "宋体");
    return WriteGroupBoxBlock(p);
}

std::vector<uint8_t> LabelBlock(const char* caption, int32_t fontHeight, uint32_t textColour, uint32_t alignment) {
    LabelProperties p;
    p.caption = caption;
    p.textColour = textColour;
    p.font = MakeFontBlock(fontHeight, 400, fontHeight == -12 ? "" : "宋体");
    p.alignment = alignment;
    p.verticalAlignment = 1;
    return WriteLabelBlock(p);
}

std::string Bytes(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// An ordinary white report list whose header stays clickable.
std::vector<uint8_t> ListViewBlock() {
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

struct ButtonLook {
    uint32_t textColour;
    uint32_t backgroundColour;
};

// What a SuperBtn unit shows: three looks (normal, mouse over, pressed),
// each with an optional picture and a colour pair, a caption in a font,
// and the sounds for the mouse entering and for a click. A button whose
// picture stands in for its caption carries its name as its tip: what a
// screen reader says, and what high contrast shows in the picture's place.
struct SuperBtnDescription {
    const char* caption;
    const char* tip;
    int32_t fontHeight;
    ButtonLook looks[3];
    std::vector<uint8_t> pictures[3];
    std::vector<uint8_t> enterSound;
    std::vector<uint8_t> clickSound;
};

std::vector<uint8_t> SuperBtnBlock(const SuperBtnDescription& d) {
    SuperBtnProperties p;
    p.caption = d.caption;
    p.tip = d.tip;
    p.font = Bytes(MakeFontBlock(d.fontHeight, 400, ""));
    // Look 0 normal, 1 mouse over, 2 pressed, for pictures and colours alike.
    for (int look = 0; look < 3; ++look) {
        p.pictures[look].file = Bytes(d.pictures[look]);
        p.colours[look] = {d.looks[look].textColour, d.looks[look].backgroundColour};
    }
    p.enterSound = Bytes(d.enterSound);
    p.clickSound = Bytes(d.clickSound);
    return WriteSuperBtnBlock(p);
}

// The maker's page, which the closing box offers too.
std::vector<uint8_t> HyperLinkerBlock(const char* caption) {
    HyperLinkerProperties p;
    p.caption = caption;
    p.target = LYRABOX_MAKER_URL;
    p.mode = kWebAddress;
    p.font = Bytes(MakeFontBlock(-12, 400, ""));
    p.textColour = 0x00FF0000;
    return WriteHyperLinkerBlock(p);
}

SuperBtnDescription SaveButton() {
    return SuperBtnDescription{"保存音乐列表", "", -14,
                               {{0x00FFFFFF, 0x00FF8800}, {0x00FFFFFF, 0x000080FF}, {0x00FFFFFF, 0x00FF8800}},
                               {}, {}, {}};
}

SuperBtnDescription QueryButton() {
    std::vector<uint8_t> normal = QueryButtonPicture(false);
    return SuperBtnDescription{"", "查询", -12, {{0, 0x00F0F0F0}, {0, 0x00FFFFFF}, {0, 0x00F0F0F0}},
                               {normal, QueryButtonPicture(true), normal}, {}, {}};
}

SuperBtnDescription BadgeButton(const char* tip, std::vector<uint8_t> picture) {
    return SuperBtnDescription{"", tip, -12,
                               {{0, kDefaultColour}, {0, kDefaultColour}, {0, kDefaultColour}},
                               {picture, picture, picture}, MouseEnterSound(), ClickSound()};
}

constexpr uint32_t kPromptGrey = 0x00808080;
constexpr uint32_t kTitleBlue = 0x00C05000;

// The start window's units in table order; unit 0 is the window itself.
std::vector<UnitRow> StartWindowUnits() {
    return {
        {kWindowUnitId, kTypeCodeWindow, "", 50, 50, 612, 615, kOnWindow, kShown,
         {{kEventFirstActivation, kRoutineStartUpdateThread}, {kEventClosing, kRoutineConfirmClose}}, WindowBlock()},
        {units::kSavedNumberEdit, kTypeCodeEditBox, "编辑框_保存QQ", 216, 552, 104, 24, kOnWindow, 0, {}, EditBlock("", kDefaultColour)},
        {units::kMakerLink, kTypeCodeHyperLinker, "超级链接框_宣传", 16, 566, 168, 12, kOnWindow, kShown, {},
         HyperLinkerBlock("Lyrabox 主页")},
        {units::kHelpButton, kTypeCodeSuperBtn, "超级按钮_说明", 486, 543, 38, 38, kOnWindow, kShown,
         {{kEventButtonClicked, kRoutineShowHelp}}, SuperBtnBlock(BadgeButton("使用说明", HelpButtonPicture()))},
        {units::kAboutButton, kTypeCodeSuperBtn, "超级按钮_关于", 550, 543, 38, 38, kOnWindow, kShown,
         {{kEventButtonClicked, kRoutineShowAbout}}, SuperBtnBlock(BadgeButton("关于", AboutButtonPicture()))},
        {units::kSaveButton, kTypeCodeSuperBtn, "超级按钮_保存音乐列表", 349, 548, 100, 30, kOnWindow, kShown,
         {{kEventButtonClicked, kRoutineSaveMusicLists}}, SuperBtnBlock(SaveButton())},
        {units::kFavouriteList, kTypeCodeListView, "超级列表框_收藏音乐列表", 8, 332, 590, 205, kOnWindow, kShownTabStop,
         {{kEventDoubleClick, kRoutineCopyMusicAddressFavourite}, {kEventColumnClicked, kRoutineCopyByHeaderFavourite}},
         ListViewBlock()},
        {units::kHintLabel, kTypeCodeLabel, "标_说明", 370, 24, 210, 20, units::kQueryGroup, kShown, {},
         LabelBlock("（点击查询按钮或按回车键来进行查询）", -11, kDefaultColour, 0)},
        {units::kQueryGroup, kTypeCodeGroupBox, "分组框_查询", 8, 8, 590, 56, kOnWindow, kShown, {}, GroupBlock("查询")},
        {units::kNumberLabel, kTypeCodeLabel, "标签_QQ", 11, 25, 35, 20, units::kQueryGroup, kShown, {},
         LabelBlock("ＱＱ：", -12, kDefaultColour, 2)},
        {units::kNumberEdit, kTypeCodeEditBox, "编辑框_QQ", 48, 23, 220, 22, units::kQueryGroup, kShownTabStop,
         {{kEventFocusGained, kRoutineClearPrompt},
          {kEventFocusLost, kRoutineRestorePrompt},
          {kEventKeyDown, kRoutineStartLookupOnEnter}},
         EditBlock("请输入要查询的QQ", kPromptGrey)},
        {units::kQueryButton, kTypeCodeSuperBtn, "超级按钮_查询", 276, 21, 90, 26, units::kQueryGroup, kShownTabStop,
         {{kEventButtonClicked, kRoutineStartLookupThread}}, SuperBtnBlock(QueryButton())},
        {units::kBackgroundList, kTypeCodeListView, "超级列表框_背景音乐列表", 8, 95, 590, 205, kOnWindow, kShownTabStop,
         {{kEventDoubleClick, kRoutineCopyMusicAddressBackground}, {kEventColumnClicked, kRoutineCopyByHeaderBackground}},
         ListViewBlock()},
        {units::kBackgroundTitle, kTypeCodeLabel, "标签_背景音乐列表", 8, 72, 590, 24, kOnWindow, kShown, {},
         LabelBlock("★ 背景音乐列表 ★", -16, kTitleBlue, 1)},
        {units::kFavouriteTitle, kTypeCodeLabel, "标签_收藏音乐列表", 8, 309, 590, 24, kOnWindow, kShown, {},
         LabelBlock("★ 收藏音乐列表 ★", -16, kTitleBlue, 1)},
    };
}

UnitRecord MakeUnit(const UnitRow& row, const std::vector<UnitRow>& rows) {
    UnitRecord unit;
    unit.id = row.id;
    unit.typeCode = row.typeCode;
    unit.name = row.name;
    unit.left = row.left;
    unit.top = row.top;
    unit.width = row.width;
    unit.height = row.height;
    unit.parentId = row.parent;
    for (const UnitRow& other : rows) {
        if (other.parent == row.id && other.id != row.id) unit.children.push_back(other.id);
    }
    unit.mousePointer = {0, 0, 0, 0};  // the default pointer
    unit.flags = row.flags;
    for (const Binding& binding : row.events) {
        EventBinding stored;
        stored.eventNumber = binding.event;
        stored.routineWord = binding.routine;
        unit.events.push_back(stored);
    }
    unit.propertyBlock = row.block;
    return unit;
}

}  // namespace

std::vector<ListViewColumn> MusicListColumns() {
    auto column = [](const char* title, int32_t alignment, int32_t width) {
        ListViewColumn c;
        c.title = title;
        c.alignment = alignment;
        c.width = width;
        return c;
    };
    return {column(" ID", kAlignLeft, 36), column("歌手名", kAlignCentre, 125), column("歌曲名", kAlignCentre, 125),
            column("音乐地址", kAlignCentre, 300)};
}

WindowTemplate ProgramWindowTemplate() {
    std::vector<UnitRow> rows = StartWindowUnits();
    WindowRecord window;
    window.id = units::kMainWindow;
    for (const UnitRow& row : rows) window.units.push_back(MakeUnit(row, rows));
    WindowTemplate result;
    result.windows.push_back(std::move(window));
    return result;
}

}  // namespace lyra
