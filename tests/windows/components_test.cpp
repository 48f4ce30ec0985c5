// What every component type shares: creation from its property block.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/windows/support/component_host.h"
#include "window_units/components/edit_box.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/group_box.h"
#include "window_units/components/group_box_block.h"
#include "window_units/components/hyper_linker.h"
#include "window_units/components/hyper_linker_block.h"
#include "window_units/components/label.h"
#include "window_units/components/label_block.h"
#include "window_units/components/list_view.h"
#include "window_units/components/list_view_block.h"
#include "window_units/components/super_btn.h"
#include "window_units/components/super_btn_block.h"
#include "window_units/components/window.h"
#include "window_units/components/window_block.h"
#include "window_units/mouse_pointers.h"

namespace lyra::test {
namespace {

struct ComponentType {
    const char* name;
    void* (*typeInterface)(int);
    std::vector<uint8_t> block;  // a block of the type with its defaults
};

std::vector<ComponentType> AllTypes() {
    return {
        {"window", &WindowInterface, WriteWindowBlock(WindowProperties{})},
        {"EditBox", &EditBoxInterface, WriteEditBoxBlock(EditBoxProperties{})},
        {"GroupBox", &GroupBoxInterface, WriteGroupBoxBlock(GroupBoxProperties{})},
        {"Label", &LabelInterface, WriteLabelBlock(LabelProperties{})},
        {"HyperLinker", &HyperLinkerInterface, WriteHyperLinkerBlock(HyperLinkerProperties{})},
        {"SuperBtn", &SuperBtnInterface, WriteSuperBtnBlock(SuperBtnProperties{})},
        {"ListView", &ListViewInterface, WriteListViewBlock(ListViewProperties{})},
    };
}

ComponentPtr CreateOf(const ComponentType& type, HWND parent, const std::vector<uint8_t>& block) {
    auto create = reinterpret_cast<CreateOperation>(type.typeInterface(kOpCreate));
    bool isWindow = type.typeInterface == &WindowInterface;
    CreateArgs args = MakeCreateArgs(isWindow ? nullptr : parent, block, isWindow ? 0x06010000 : 0x16010001, 8, 8,
                                     120, 40);
    if (isWindow) args.style = 0;
    return ComponentPtr(create(args));
}

// A damaged block fails the build of the window whatever the type: the
// component is not created on defaults in its place.
TEST(ComponentBlocks, EveryTypeRefusesABlockCutInsideAField) {
    HostWindow host;
    for (const ComponentType& type : AllTypes()) {
        ComponentPtr whole = CreateOf(type, host.handle(), type.block);
        EXPECT_NE(whole, nullptr) << type.name << " from its own block";
        ComponentPtr empty = CreateOf(type, host.handle(), {});
        EXPECT_NE(empty, nullptr) << type.name << " from an empty block";

        std::vector<uint8_t> cut = type.block;
        cut.resize(cut.size() - 2);
        EXPECT_EQ(CreateOf(type, host.handle(), cut), nullptr) << type.name << " from a block cut short";
    }
}

// Own mouse-pointer properties: the program sees the system's cursor ids
// where the block stores standard-pointer numbers, and writes them back so.
TEST(MousePointerValues, StoredNumbersBecomeCursorIdsAndBack) {
    auto block = [](uint32_t first, const std::string& rest = "") {
        std::string bytes(4, '\0');
        std::memcpy(&bytes[0], &first, 4);
        return bytes + rest;
    };
    EXPECT_EQ(PointerBlockForProgram(block(1)), block(32512)) << "the arrow";
    EXPECT_EQ(PointerBlockForProgram(block(3, "xy")), block(32513, "xy")) << "the text beam; the rest stays";
    EXPECT_EQ(PointerBlockForProgram(block(16)), block(32649)) << "the hand";
    EXPECT_EQ(PointerBlockForProgram(block(0)), block(0)) << "the default pointer";
    EXPECT_EQ(PointerBlockForProgram(block(17)), block(17)) << "no such standard pointer";
    EXPECT_EQ(PointerBlockForProgram("ab"), "ab");
    for (uint32_t number = 0; number <= 17; ++number) {
        EXPECT_EQ(PointerBlockForStore(PointerBlockForProgram(block(number))), block(number)) << number;
    }
    EXPECT_EQ(PointerBlockForStore(block(32514)), block(11)) << "the hourglass";
}

}  // namespace
}  // namespace lyra::test
