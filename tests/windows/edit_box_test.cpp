// The EditBox in a built window, observed from outside: the keys, clicks
// and characters it turns into events, and what a character routine's
// answer does to the text.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/windows/support/window_child_fixture.h"

namespace lyra::test {
namespace {

using EditBox = WindowChild;

// Posted key downs and key up, as the box's routines see them.
const MessageStep kKeysPostedToTheBox[] = {
    {"-9 13 0", "Enter down"},
    {"-9 55 0", "numeric-pad 7 down, as the main keyboard's 7"},
    {"-9 190 0", "numeric-pad decimal point down, as the main keyboard's full stop"},
};
const MessageStep kWheelTurnedBack[] = {
    {"-12 -2 0", "the wheel turned two notches towards the person"},
};
const MessageStep kLeftButtonDown[] = {
    {"-1 5 7 0", "left button down at 5, 7"},
};
// Ctrl and B pressed by a person, as the box's routines see them.
const MessageStep kControlB[] = {
    {"-9 17 0", "Ctrl down, without a Ctrl bit of its own"},
    {"-9 66 1", "B down with the Ctrl bit"},
};
const MessageStep kCharacterX[] = {
    {"-11 120", "the character x"},
};

TEST_F(EditBox, KeysReachTheEditBoxAsKeyEventsWithMainKeyboardCodes) {
    ASSERT_TRUE(StartShown(L"keys"));
    HWND edit = QqEdit();
    ASSERT_NE(edit, nullptr);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(edit, WM_KEYDOWN, VK_NUMPAD7, 0x00470001);
    PostMessageW(edit, WM_KEYDOWN, VK_DECIMAL, 0x00530001);
    PostMessageW(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    PostMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), MAKELPARAM(100, 100));
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
    ASSERT_TRUE(WaitFor([&] { return !EventsOf(kQqEditUnit, {-1}).empty(); }, 10000));
    EXPECT_SEQUENCE(EventsOf(kQqEditUnit, {-12}), kWheelTurnedBack);
    EXPECT_SEQUENCE(EventsOf(kQqEditUnit, {-9, -10}), kKeysPostedToTheBox)
        << "key up is bound after an empty binding of the same event, so it is not delivered";
    EXPECT_SEQUENCE(EventsOf(kQqEditUnit, {-1}), kLeftButtonDown);
}

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void ClickAt(POINT screen) {
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
}

TEST_F(EditBox, RealInputGivesTheFocusAndSamplesTheModifierKeys) {
    ASSERT_TRUE(StartShown(L"keys"));
    ASSERT_TRUE(WaitFor([&] { return !EventsOf(kWindowUnit, {5}).empty(); }, 10000)) << "never activated";
    RECT rect;
    GetWindowRect(QqEdit(), &rect);
    // The display may take a moment to map the new window; click again until the focus arrives.
    bool focused = WaitFor(
        [&] {
            ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
            return WaitFor([&] { return !EventsOf(kQqEditUnit, {-7}).empty(); }, 1000);
        },
        10000);
    ASSERT_TRUE(focused) << "the click gave no focus";
    SendKey(VK_CONTROL, false);
    SendKey('B', false);
    SendKey('B', true);
    SendKey(VK_CONTROL, true);
    ASSERT_TRUE(WaitFor([&] { return EventsOf(kQqEditUnit, {-9}).size() >= 2; }, 10000));
    EXPECT_SEQUENCE(EventsOf(kQqEditUnit, {-9}), kControlB)
        << "Ctrl reports no Ctrl bit of its own; B pressed with Ctrl does";
    std::vector<std::string> clicks = EventsOf(kQqEditUnit, {-1});
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.back(), "-1 " + std::to_string((rect.right - rect.left) / 2 - 2) + " " +
                                 std::to_string((rect.bottom - rect.top) / 2 - 2) + " 0")
        << "client coordinates of the edit box (inside its 2-pixel client edge)";
}

TEST_F(EditBox, ACharacterRoutineAnsweringZeroDropsTheCharacter) {
    ASSERT_TRUE(StartShown(L"char-drop"));
    HWND edit = QqEdit();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    PostMessageW(edit, WM_CHAR, 'x', 0x002D0001);
    ASSERT_TRUE(WaitFor([&] { return !EventsOf(kQqEditUnit, {-11}).empty(); }, 10000));
    EXPECT_SEQUENCE(EventsOf(kQqEditUnit, {-11}), kCharacterX);
    SendMessageW(edit, WM_NULL, 0, 0);  // the character has been handled by now
    EXPECT_EQ(TextOf(edit), L"");
}

TEST_F(EditBox, ACharacterRoutineAnswering65TypesAnA) {
    ASSERT_TRUE(StartShown(L"char-A"));
    HWND edit = QqEdit();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    PostMessageW(edit, WM_CHAR, 'x', 0x002D0001);
    EXPECT_TRUE(WaitFor([&] { return TextOf(edit) == L"A"; }, 10000)) << "text is now " << TextOf(edit).size();
}

}  // namespace
}  // namespace lyra::test
