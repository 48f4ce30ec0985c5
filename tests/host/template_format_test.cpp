// The window template codec on the program's own template: layout, round
// trip, relocation of routine words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "data/routine_indices.h"
#include "data/window_template.h"
#include "runtime/framework/archive.h"
#include "window_units/template_format.h"

namespace lyra {
namespace {

std::vector<uint8_t> ProgramBytes() { return WriteTemplate(ProgramWindowTemplate()); }

bool Contains(const std::vector<uint8_t>& haystack, const std::vector<uint8_t>& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

TEST(ProgramTemplate, ReadsBackByteForByte) {
    std::vector<uint8_t> bytes = ProgramBytes();
    WindowTemplate read = ReadTemplate(bytes.data(), bytes.size());
    EXPECT_EQ(WriteTemplate(read), bytes);
}

TEST(ProgramTemplate, HoldsTheStartWindowWithItsFifteenUnitsInTableOrder) {
    std::vector<uint8_t> bytes = ProgramBytes();
    WindowTemplate t = ReadTemplate(bytes.data(), bytes.size());
    ASSERT_EQ(t.windows.size(), 1u);
    const WindowRecord& window = t.windows[0];
    EXPECT_EQ(window.id, 0x52010001u);
    const uint32_t ids[15] = {0x06010000, 0x16014AF7, 0x16014AB7, 0x16014AB0, 0x16014AB1,
                              0x16014AAF, 0x16014A44, 0x16014A3E, 0x16014A35, 0x16014A36,
                              0x16014A37, 0x16014A38, 0x160117F7, 0x16014A58, 0x16014A59};
    const uint32_t types[15] = {0x00010001, 0x00010005, 0x0001001D, 0x00030001, 0x00030001,
                                0x00030001, 0x00020004, 0x0001000A, 0x00010009, 0x0001000A,
                                0x00010005, 0x00030001, 0x00020004, 0x0001000A, 0x0001000A};
    const uint32_t flags[15] = {1, 0, 1, 1, 1, 1, 5, 1, 1, 1, 5, 5, 5, 1, 1};
    ASSERT_EQ(window.units.size(), 15u);
    for (size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(window.units[i].id, ids[i]) << i;
        EXPECT_EQ(window.units[i].typeCode, types[i]) << i;
        EXPECT_EQ(window.units[i].flags, flags[i]) << i;
        EXPECT_EQ(window.units[i].mousePointer, (std::vector<uint8_t>{0, 0, 0, 0})) << i;
        EXPECT_TRUE(IsValidUnitId(window.units[i].id)) << i;
    }
    const UnitRecord& self = window.units[0];
    EXPECT_TRUE(self.name.empty());
    EXPECT_EQ(self.parentId, 0u);
    EXPECT_EQ((std::vector<int32_t>{self.left, self.top, self.width, self.height}),
              (std::vector<int32_t>{50, 50, 612, 615}));

    const UnitRecord* edit = window.FindUnit(units::kNumberEdit);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->name, "编辑框_QQ");
    EXPECT_EQ(edit->parentId, units::kQueryGroup);
    EXPECT_EQ((std::vector<int32_t>{edit->left, edit->top, edit->width, edit->height}),
              (std::vector<int32_t>{48, 23, 220, 22}));
    const UnitRecord* group = window.FindUnit(units::kQueryGroup);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->children,
              (std::vector<uint32_t>{units::kHintLabel, units::kNumberLabel, units::kNumberEdit, units::kQueryButton}));
    for (const UnitRecord& unit : window.units) {
        if (&unit != group) {
            EXPECT_TRUE(unit.children.empty()) << unit.name;
        }
    }
}

TEST(ProgramTemplate, BindsTheApplicationRoutinesToTheirEvents) {
    std::vector<uint8_t> bytes = ProgramBytes();
    WindowTemplate t = ReadTemplate(bytes.data(), bytes.size());
    const WindowRecord& window = t.windows[0];
    auto bindings = [&](uint32_t unitId) {
        std::vector<std::pair<int32_t, uint32_t>> pairs;
        for (const EventBinding& b : window.FindUnit(unitId)->events) pairs.emplace_back(b.eventNumber, b.routineWord);
        return pairs;
    };
    using Pairs = std::vector<std::pair<int32_t, uint32_t>>;
    EXPECT_EQ(bindings(kWindowUnitId), (Pairs{{8, kRoutineStartUpdateThread}, {1, kRoutineConfirmClose}}));
    EXPECT_EQ(bindings(units::kNumberEdit),
              (Pairs{{-7, kRoutineClearPrompt}, {-8, kRoutineRestorePrompt}, {-9, kRoutineStartLookupOnEnter}}));
    EXPECT_EQ(bindings(units::kQueryButton), (Pairs{{0, kRoutineStartLookupThread}}));
    EXPECT_EQ(bindings(units::kHelpButton), (Pairs{{0, kRoutineShowHelp}}));
    EXPECT_EQ(bindings(units::kAboutButton), (Pairs{{0, kRoutineShowAbout}}));
    EXPECT_EQ(bindings(units::kSaveButton), (Pairs{{0, kRoutineSaveMusicLists}}));
    EXPECT_EQ(bindings(units::kBackgroundList),
              (Pairs{{-3, kRoutineCopyMusicAddressBackground}, {2, kRoutineCopyByHeaderBackground}}));
    EXPECT_EQ(bindings(units::kFavouriteList),
              (Pairs{{-3, kRoutineCopyMusicAddressFavourite}, {2, kRoutineCopyByHeaderFavourite}}));
    EXPECT_TRUE(bindings(units::kSavedNumberEdit).empty());
    EXPECT_TRUE(bindings(units::kQueryGroup).empty());
}

TEST(ProgramTemplate, StoresNamesAndCaptionsAsGbk) {
    std::vector<uint8_t> bytes = ProgramBytes();
    // "编辑框_QQ" as a zero-terminated name.
    EXPECT_TRUE(Contains(bytes, {0xB1, 0xE0, 0xBC, 0xAD, 0xBF, 0xF2, 0x5F, 0x51, 0x51, 0x00}));
    // The label caption "ＱＱ：" as a counted text.
    EXPECT_TRUE(Contains(bytes, {0x06, 0, 0, 0, 0xA3, 0xD1, 0xA3, 0xD1, 0xA3, 0xBA}));
}

TEST(ProgramTemplate, EveryPropertyBlockOpensWithTheHeader) {
    std::vector<uint8_t> bytes = ProgramBytes();
    WindowTemplate t = ReadTemplate(bytes.data(), bytes.size());
    for (const UnitRecord& unit : t.windows[0].units) {
        ASSERT_GE(unit.propertyBlock.size(), 24u) << unit.name;
        EXPECT_TRUE(std::all_of(unit.propertyBlock.begin(), unit.propertyBlock.begin() + 20,
                                [](uint8_t b) { return b == 0; }))
            << unit.name;
        uint32_t version;
        std::memcpy(&version, unit.propertyBlock.data() + 20, 4);
        EXPECT_TRUE(version == 1 || version == 2) << unit.name;
    }
}

bool RoutineA(const int64_t*, int, int64_t*) { return false; }
bool RoutineB(const int64_t*, int, int64_t*) { return false; }

TEST(Relocation, NoRoutineBecomesNullAndIndexesBecomeTheirRoutines) {
    WindowTemplate t = ProgramWindowTemplate();
    UnitRecord& edit = *t.windows[0].FindUnit(units::kNumberEdit);
    edit.events.push_back(EventBinding{-10, kNoRoutine, nullptr});
    ApplicationRoutine table[kApplicationRoutineCount] = {};
    table[kRoutineClearPrompt] = &RoutineA;
    table[kRoutineRestorePrompt] = &RoutineB;
    RoutineTable routines{kApplicationRoutineCount, table};
    RelocateRoutines(t, &routines);
    EXPECT_EQ(edit.events[0].routine, &RoutineA);
    EXPECT_EQ(edit.events[1].routine, &RoutineB);
    EXPECT_EQ(edit.events[2].routine, nullptr) << "a null table entry stays unbound";
    EXPECT_EQ(edit.events[3].routine, nullptr) << "0xFFFFFFFF is no routine";
}

TEST(Relocation, AWordOutsideTheRoutineTableMakesTheTemplateUnreadable) {
    WindowTemplate t = ProgramWindowTemplate();
    ApplicationRoutine table[3] = {};
    RoutineTable shortTable{3, table};
    EXPECT_THROW(RelocateRoutines(t, &shortTable), framework::ArchiveError);
}

TEST(TemplateCodec, SizeZeroHasNoWindows) {
    EXPECT_TRUE(ReadTemplate(nullptr, 0).windows.empty());
}

TEST(TemplateCodec, MenuItemsAndSeveralWindowsRoundTrip) {
    WindowTemplate t = ProgramWindowTemplate();
    UnitRecord menu;
    menu.id = 0x26010001;
    menu.typeCode = kTypeCodeMenuItem;
    menu.name = "菜单_文件";
    menu.menuWords[1] = 7;
    menu.menuCaption = "文件";
    menu.menuRoutine.routineWord = 2;
    menu.propertyBlock = {1, 2, 3};
    t.windows[0].units.push_back(menu);
    WindowRecord second = t.windows[0];
    second.id = 0x52010002;
    second.word1 = 0x00B997D0;
    second.text1 = "窗口";
    t.windows.push_back(second);

    std::vector<uint8_t> bytes = WriteTemplate(t);
    WindowTemplate read = ReadTemplate(bytes.data(), bytes.size());
    EXPECT_EQ(WriteTemplate(read), bytes);
    ASSERT_EQ(read.windows.size(), 2u);
    const UnitRecord* readMenu = read.windows[1].FindUnit(0x26010001);
    ASSERT_NE(readMenu, nullptr);
    EXPECT_TRUE(readMenu->isMenuItem());
    EXPECT_EQ(readMenu->menuCaption, "文件");
    EXPECT_EQ(readMenu->menuRoutine.routineWord, 2u);
    EXPECT_EQ(readMenu->propertyBlock, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(read.windows[1].text1, "窗口");

    ApplicationRoutine table[kApplicationRoutineCount] = {nullptr, nullptr, &RoutineA};
    RoutineTable routines{kApplicationRoutineCount, table};
    RelocateRoutines(read, &routines);
    EXPECT_EQ(read.windows[1].FindUnit(0x26010001)->menuRoutine.routine, &RoutineA);
}

TEST(TemplateCodec, IdTests) {
    EXPECT_TRUE(IsMenuItemId(0x26010001));
    EXPECT_FALSE(IsMenuItemId(0x16010001));
    EXPECT_FALSE(IsMenuItemId(0x27010001));
    EXPECT_TRUE(IsValidUnitId(0x06010000));
    EXPECT_FALSE(IsValidUnitId(0x16000000));
    EXPECT_FALSE(IsValidUnitId(0x10000001));
}

}  // namespace
}  // namespace lyra
