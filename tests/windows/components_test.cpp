// What every component type shares: creation from its property block.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/memory.h"
#include "test_support/component_host.h"
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
    uint32_t describedProperties;
};

std::vector<ComponentType> AllTypes() {
    return {
        {"window", &WindowInterface, WriteWindowBlock(WindowProperties{}), kWindowTable.count},
        {"EditBox", &EditBoxInterface, WriteEditBoxBlock(EditBoxProperties{}), kEditBoxTable.count},
        {"GroupBox", &GroupBoxInterface, WriteGroupBoxBlock(GroupBoxProperties{}), kGroupBoxTable.count},
        {"Label", &LabelInterface, WriteLabelBlock(LabelProperties{}), kLabelTable.count},
        {"HyperLinker", &HyperLinkerInterface, WriteHyperLinkerBlock(HyperLinkerProperties{}),
         kHyperLinkerTable.count},
        {"SuperBtn", &SuperBtnInterface, WriteSuperBtnBlock(SuperBtnProperties{}), kSuperBtnTable.count},
        {"ListView", &ListViewInterface, WriteListViewBlock(ListViewProperties{}), kListViewTable.count},
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

// One rule for every type's block: a damaged one fails the build of the
// window, and the component is not created on defaults in its place. No
// block at all gives the defaults.
TEST(ComponentBlocks, EveryTypeRefusesADamagedBlock) {
    struct Damage {
        const char* what;
        void (*apply)(std::vector<uint8_t>& block);
    };
    const Damage kDamages[] = {
        {"a header byte that is not zero", [](std::vector<uint8_t>& b) { b[3] = 1; }},
        {"another version word", [](std::vector<uint8_t>& b) { ++b[20]; }},
        {"a block cut inside its last field", [](std::vector<uint8_t>& b) { b.resize(b.size() - 2); }},
        {"the header alone", [](std::vector<uint8_t>& b) { b.resize(24); }},
    };
    HostWindow host;
    for (const ComponentType& type : AllTypes()) {
        EXPECT_NE(CreateOf(type, host.handle(), type.block), nullptr) << type.name << " from its own block";
        EXPECT_NE(CreateOf(type, host.handle(), {}), nullptr) << type.name << " from an empty block";
        for (const Damage& damage : kDamages) {
            std::vector<uint8_t> damaged = type.block;
            damage.apply(damaged);
            EXPECT_EQ(CreateOf(type, host.handle(), damaged), nullptr) << type.name << " from " << damage.what;
        }
    }
}

// Every described property of a type is one it reads and writes, and no
// other number is: writing a property's value back leaves it as it was,
// and the component then writes the block it was made from.
TEST(ComponentProperties, EveryDescribedPropertyReadsBackWhatWasWritten) {
    HostWindow host;
    for (const ComponentType& type : AllTypes()) {
        ComponentPtr component = CreateOf(type, host.handle(), type.block);
        ASSERT_NE(component, nullptr) << type.name;
        auto get = reinterpret_cast<GetPropertyOperation>(type.typeInterface(kOpGetProperty));
        auto set = reinterpret_cast<SetPropertyOperation>(type.typeInterface(kOpPropertyChanged));
        PropertyValue value;
        EXPECT_FALSE(get(component.get(), static_cast<int>(type.describedProperties), &value)) << type.name;
        EXPECT_FALSE(get(component.get(), -1, &value)) << type.name;
        for (int n = 0; n < static_cast<int>(type.describedProperties); ++n) {
            PropertyValue before;
            ASSERT_TRUE(get(component.get(), n, &before)) << type.name << " " << n;
            ASSERT_TRUE(set(component.get(), n, before)) << type.name << " " << n;
            PropertyValue after;
            ASSERT_TRUE(get(component.get(), n, &after));
            EXPECT_EQ(after.number, before.number) << type.name << " " << n;
            EXPECT_EQ(after.bytes, before.bytes) << type.name << " " << n;
        }
        auto data = reinterpret_cast<PropertyDataOperation>(type.typeInterface(kOpGetAllPropertyData));
        auto* block = static_cast<uint8_t*>(data(component.get()));
        uint32_t size;
        std::memcpy(&size, block, 4);
        std::vector<uint8_t> written(block + 4, block + 4 + size);
        FreeMemory(block);
        // The list view writes its colours as the control resolved them.
        if (type.typeInterface != &ListViewInterface) {
            EXPECT_EQ(written, type.block) << type.name << " writes back the block it was made from";
        }
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
