// What a person sees and does beyond a lookup: the keyboard, the focus,
// the boxes' exact texts, the program's own icon and resources.
#include "tests/e2e/support/program_fixture.h"

namespace lyra::test {
namespace {

// The active window of the thread owning window.
HWND ActiveOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndActive;
}

class Keyboard : public Lyrabox {
protected:
    bool FocusMovesTo(HWND target, bool backward = false) {
        PressKey(VK_TAB, backward ? VK_SHIFT : 0);
        return WaitFor([&] { return FocusOf(main_) == target; }, 5000);
    }
};

TEST_F(Keyboard, TabVisitsTheFourTabStopsInReadingOrder) {
    Serve(Scenario{});
    Launch();
    HWND button = FindControl(main_, kQueryButton);
    FocusEdit();
    EXPECT_TRUE(FocusMovesTo(button)) << "number box, then its button";
    EXPECT_TRUE(FocusMovesTo(background_)) << "then the upper list";
    EXPECT_TRUE(FocusMovesTo(favourites_)) << "then the lower list";
    EXPECT_TRUE(FocusMovesTo(edit_)) << "and round to the number box";
    EXPECT_TRUE(FocusMovesTo(favourites_, true)) << "Shift+Tab goes back";
    EXPECT_TRUE(FocusMovesTo(background_, true));
    EXPECT_TRUE(FocusMovesTo(button, true));
    EXPECT_TRUE(FocusMovesTo(edit_, true));
    EXPECT_EQ(TextOf(edit_), L"") << "the prompt cleared on focus and no Tab character was typed";
}

TEST_F(Keyboard, SpaceAndEnterOnTheQueryButtonLookUp) {
    Serve(WithPage("10001", Page(2, 1)));
    Launch();
    HWND button = FindControl(main_, kQueryButton);
    TypeNumber(L"10001");
    ASSERT_TRUE(FocusMovesTo(button));
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return LookupRequests() == 1; }, kDeadline)) << "Space looks up";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline));
    EXPECT_EQ(ListRowCount(background_), 2);

    // The lookup disabled the box's group; the focus comes back by Tab.
    ASSERT_TRUE(WaitFor([&] {
        if (FocusOf(main_) == button) return true;
        PressKey(VK_TAB);
        return WaitFor([&] { return FocusOf(main_) == button; }, 500);
    }, kDeadline));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return LookupRequests() == 2; }, kDeadline)) << "Enter looks up";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline));
}

// 说明, 关于 and 保存音乐列表 are no tab stops: a click leaves the focus in
// the number box, and once the box is answered Enter looks up again.
TEST_F(Keyboard, ButtonsThatAreNoTabStopsLeaveTheFocusWhereItWas) {
    Serve(WithPage("42", Page(1, 1)));
    Launch();
    TypeNumber(L"42");
    const std::pair<int, const wchar_t*> buttons[] = {
        {kHelpButton, L"使用说明："}, {kAboutButton, L"关于软件："}, {kSaveButton, L"保存完成："}};
    for (const auto& [id, title] : buttons) {
        SCOPED_TRACE(Utf8(title));
        ClickCentre(FindControl(main_, id));
        HWND box = WaitForBox(title);
        ASSERT_NE(box, nullptr);
        AnswerMessageBox(box, IDOK);
        EXPECT_TRUE(WaitFor([&] { return ActiveOf(main_) == main_ && FocusOf(main_) == edit_; }, 5000))
            << "active " << ActiveOf(main_) << " focus " << FocusOf(main_);
    }
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return LookupRequests() == 1; }, kDeadline)) << "Enter still looks up";
    ASSERT_TRUE(WaitFor([&] { return LookupFinished(); }, kDeadline));
}

}  // namespace
}  // namespace lyra::test
