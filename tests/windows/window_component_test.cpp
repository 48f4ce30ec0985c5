// The window type in-process: the program's icon in its title bar.
#include <gtest/gtest.h>

#include "tests/windows/support/component_host.h"
#include "window_units/components/window.h"
#include "window_units/components/window_block.h"
#include "window_units/template_format.h"

namespace lyra::test {
namespace {

ComponentPtr CreateWindowUnit(int left, int top, int width, int height) {
    WindowProperties p;
    p.caption = "Lyrabox";
    std::vector<uint8_t> block = WriteWindowBlock(p);
    auto create = reinterpret_cast<CreateOperation>(WindowInterface(kOpCreate));
    CreateArgs args = MakeCreateArgs(nullptr, block, kWindowUnitId, left, top, width, height);
    args.style = 0;
    return ComponentPtr(create(args));
}

// This test program carries the program's resources: request 1000 finds
// the icon "DEFAULT_ICON", and the window shows it large and small.
TEST(WindowUnit, ShowsTheProgramIcon) {
    ComponentPtr window = CreateWindowUnit(50, 50, 612, 615);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(SendMessageW(window->Handle(), WM_GETICON, ICON_BIG, 0), 0) << "taskbar";
    EXPECT_NE(SendMessageW(window->Handle(), WM_GETICON, ICON_SMALL, 0), 0) << "title bar";
}

}  // namespace
}  // namespace lyra::test
