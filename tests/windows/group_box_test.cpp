// The GroupBox in a built window, observed from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/windows/support/window_child_fixture.h"

namespace lyra::test {
namespace {

using GroupBox = WindowChild;

TEST_F(GroupBox, AUnitInADisabledGroupTakesNoKeysOrClicksAndRaisesNoEvents) {
    ASSERT_TRUE(StartShown(L"disabled-group"));
    ASSERT_TRUE(WaitForLine("disabled-done"));
    HWND edit = QqEdit();
    std::wstring before = TextOf(edit);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(edit, WM_KEYDOWN, '7', 0x00080001);
    PostMessageW(edit, WM_CHAR, '7', 0x00080001);
    PostMessageW(edit, WM_KEYUP, '7', static_cast<LPARAM>(0xC0080001));
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
    PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 7));
    PostMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(100, 100));
    PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0x000F0001);  // goes on, for the focus to leave, but raises nothing
    // The window's own key event, posted last, arrives after all of the above.
    PostMessageW(window_, WM_KEYDOWN, 'Z', 0x002C0001);
    ASSERT_TRUE(WaitFor([&] { return !EventsOf(kWindowUnit, {-9}).empty(); }, 10000));
    EXPECT_EQ(EventsOf(kQqEditUnit, {-1, -2, -9, -10, -11, -12}), std::vector<std::string>{})
        << "no key, character or mouse event from inside the disabled group";
    EXPECT_EQ(TextOf(edit), before) << "the typed character did not reach the box";
}

}  // namespace
}  // namespace lyra::test
