// The window: its building, events and properties observed from outside
// (each case runs window_child.exe with a scenario and looks at its windows
// and its log of routine calls), and the window type in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "test_support/component_host.h"
#include "tests/windows/support/window_child_fixture.h"
#include "window_units/components/window.h"
#include "window_units/components/window_block.h"
#include "window_units/template_format.h"

namespace lyra::test {
namespace {

constexpr DWORD kRuntimeErrorExit = 0xFFFFFFFF;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT RectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> ChildrenInZOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

TEST_F(WindowChild, BuildsEachUnitWithItsClassParentPositionVisibilityAndTabStop) {
    ASSERT_TRUE(StartShown(L"show"));
    RECT frame;
    GetWindowRect(window_, &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.top, 50);
    EXPECT_EQ(frame.right - frame.left, 612);
    EXPECT_EQ(frame.bottom - frame.top, 615);
    EXPECT_TRUE(IsWindowVisible(window_));

    struct Expected {
        const char* name;
        int id;
        bool inGroup;
        const wchar_t* className;
        RECT rect;  // left, top, right, bottom in the parent's client area
        bool visible;
        bool tabStop;
        const wchar_t* text;
    };
    const Expected units[] = {
        {"标签_收藏音乐列表", kFavouriteTitleId, false, L"LyraboxLabel", {8, 309, 598, 333}, true, false, L"★ 收藏音乐列表 ★"},
        {"标签_背景音乐列表", kBackgroundTitleId, false, L"LyraboxLabel", {8, 72, 598, 96}, true, false, L"★ 背景音乐列表 ★"},
        {"编辑框_QQ", kQqEditId, true, L"Edit", {48, 23, 268, 45}, true, true, L"请输入要查询的QQ"},
        {"标签_QQ", kQqLabelId, true, L"LyraboxLabel", {11, 25, 46, 45}, true, false, L"ＱＱ："},
        {"分组框_查询", kQueryGroupId, false, L"Button", {8, 8, 598, 64}, true, false, L"查询"},
        {"标_说明", kHintLabelId, true, L"LyraboxLabel", {370, 24, 580, 44}, true, false, L"（点击查询按钮或按回车键来进行查询）"},
        {"编辑框_保存QQ", kSavedQqId, false, L"Edit", {216, 552, 320, 576}, false, false, L""},
    };
    HWND group = Group();
    ASSERT_NE(group, nullptr);
    for (const Expected& unit : units) {
        SCOPED_TRACE(unit.name);
        HWND control = GetDlgItem(unit.inGroup ? group : window_, unit.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), unit.inGroup ? group : window_);
        EXPECT_EQ(ClassOf(control), unit.className);
        RECT rect = RectInParent(control);
        EXPECT_EQ(rect.left, unit.rect.left);
        EXPECT_EQ(rect.top, unit.rect.top);
        EXPECT_EQ(rect.right, unit.rect.right);
        EXPECT_EQ(rect.bottom, unit.rect.bottom);
        LONG style = GetWindowLongW(control, GWL_STYLE);
        EXPECT_EQ((style & WS_VISIBLE) != 0, unit.visible);
        EXPECT_EQ((style & WS_TABSTOP) != 0, unit.tabStop);
        EXPECT_EQ(TextOf(control), unit.text);
    }
    EXPECT_EQ(GetWindowLongW(group, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);

    // Siblings are stacked in unit-table order.
    EXPECT_EQ(ChildrenInZOrder(window_),
              (std::vector<HWND>{GetDlgItem(window_, kSavedQqId), group, GetDlgItem(window_, kBackgroundTitleId),
                                 GetDlgItem(window_, kFavouriteTitleId)}));
    EXPECT_EQ(ChildrenInZOrder(group), (std::vector<HWND>{GetDlgItem(group, kHintLabelId), GetDlgItem(group, kQqLabelId),
                                                           GetDlgItem(group, kQqEditId)}));
}

// The window's own events from its build to its first activation.
const MessageStep kShowingTheWindow[] = {
    {"0", "built"},
    {"3", "moved"},
    {"4", "resized"},
    {"8", "activated for the first time"},
    {"5", "activated"},
};

TEST_F(WindowChild, NoRoutineRunsDuringTheBuildAndTheWindowEventsComeInOrder) {
    ASSERT_TRUE(StartShown(L"show"));
    ASSERT_TRUE(WaitFor([&] { return EventsOf(kWindowUnit, {5}).size() == 1; }, 10000));
    auto log = Log();
    auto begin = std::find(log.begin(), log.end(), "load-begin");
    ASSERT_NE(begin, log.end());
    ASSERT_NE(begin + 1, log.end());
    EXPECT_EQ(*(begin + 1), "E 06010000 0") << "the first routine to run is window event 0";
    EXPECT_SEQUENCE(EventsOf(kWindowUnit, {0, 3, 4, 5, 8}), kShowingTheWindow);
    EXPECT_FALSE(HasLine("shadowed")) << "the first binding of an event is the one that counts";
    for (const std::string& line : log) EXPECT_EQ(line.rfind("source-mismatch", 0), std::string::npos) << line;
}

TEST_F(WindowChild, AClosingRoutineAnsweringFalseKeepsTheWindowOpen) {
    ASSERT_TRUE(StartShown(L"close-refuse"));
    PostMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return EventsOf(kWindowUnit, {1}).size() == 1; }, 10000));
    SendMessageW(window_, WM_NULL, 0, 0);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(child_.WaitForExit(0));

    // The routine answers nothing the second time: the window closes and the program ends.
    PostMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_EQ(child_.exitCode(), 0u);
    EXPECT_EQ(EventsOf(kWindowUnit, {1}).size(), 2u);
    EXPECT_TRUE(HasLine("loop-end"));
}

TEST_F(WindowChild, PropertyWritesFromAWorkerThreadTakeEffect) {
    ASSERT_TRUE(StartShown(L"worker-props"));
    ASSERT_TRUE(WaitForLine("worker-done", 20000)) << "the worker did not finish: a deadlock?";
    EXPECT_TRUE(HasLine("edit 12345 colour 000000FF limit 0")) << "a negative maximum length counts as 0";
    EXPECT_TRUE(HasLine("limit 11"));
    EXPECT_EQ(SendMessageW(QqEdit(), EM_GETLIMITTEXT, 0, 0), 11);
    EXPECT_EQ(TextOf(QqEdit()), L"12345");
    EXPECT_FALSE(EventsOf(kQqEditUnit, {0}).empty()) << "writing the content raises the content-change event";

    EXPECT_TRUE(HasLine("saved 54321 visible 0")) << "the hidden edit box keeps what is written";
    HWND saved = GetDlgItem(window_, kSavedQqId);
    EXPECT_EQ(TextOf(saved), L"54321");
    EXPECT_FALSE(IsWindowVisible(saved));
    EXPECT_EQ(SendMessageW(saved, EM_GETPASSWORDCHAR, 0, 0), '#') << "input mode 2 masks with the password character";
    EXPECT_NE(GetWindowLongW(QqEdit(), GWL_STYLE) & ES_READONLY, 0) << "input mode 1 is read-only";
    EXPECT_EQ(SendMessageW(QqEdit(), EM_GETPASSWORDCHAR, 0, 0), 0);

    EXPECT_TRUE(HasLine("group disabled 1 alignment 2 colour 000000FF")) << "alignment 7 behaves as 2";
    EXPECT_EQ(TextOf(Group()), L"正在查询……");
    EXPECT_EQ(GetWindowLongW(Group(), GWL_STYLE) & BS_CENTER, BS_RIGHT);
    EXPECT_TRUE(IsWindowEnabled(Group()));

    EXPECT_TRUE(HasLine("label 号码： tag 标记"));
    EXPECT_EQ(TextOf(GetDlgItem(Group(), kQqLabelId)), L"号码：");

    EXPECT_TRUE(HasLine("font size 9 bold 0")) << LineStartingWith("font size");
    std::string font = LineStartingWith("font size 14");
    EXPECT_EQ(font.rfind("font size 14 bold 1 face ", 0), 0u) << font;
    EXPECT_TRUE(HasLine("font outside 0 0 size 14")) << LineStartingWith("font outside");

    EXPECT_TRUE(HasLine("pointer 4 3")) << LineStartingWith("pointer");
    EXPECT_TRUE(HasLine("window visible 0"));
    EXPECT_TRUE(HasLine("window visible 1 edit left 60 width 220"));
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(RectInParent(QqEdit()).left, 60);
}

TEST_F(WindowChild, ObjectPropertyHelpersReachALiveComponentOfTheirTypeOnly) {
    ASSERT_TRUE(StartShown(L"object-props"));
    ASSERT_TRUE(WaitFor([&] { return !LineStartingWith("object-props").empty(); }, 10000));
    EXPECT_TRUE(HasLine("object-props 67890 7 7 0 0 0")) << LineStartingWith("object-props");
    EXPECT_EQ(TextOf(QqEdit()), L"67890");
}

// A modal window: owned by the main window, which it disables while it runs
// its own loop; the load returns when the window goes, and the main window
// is enabled again only if it was enabled before.
TEST_F(WindowChild, AModalWindowDisablesTheOthersUntilItGoes) {
    ASSERT_TRUE(StartShown(L"modal"));
    for (int round = 1; round <= 2; ++round) {
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] { return (dialog = FindTopLevel(child_.processId(), L"LyraboxWindow", L"Lyrabox 对话框")) != nullptr; },
            10000))
            << "round " << round;
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), window_);
        // The dialog shows before it disables the others: wait for that.
        EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(window_); }, 5000)) << "round " << round;
        EXPECT_TRUE(WaitFor([&] { return EventsOf(kWindowUnit, {6}).size() == static_cast<size_t>(round); }, 5000))
            << "the main window became inactive, round " << round;
        EXPECT_TRUE(IsWindowEnabled(dialog));
        EXPECT_TRUE(WaitFor([&] { return !EventsOf(kWindowUnit, {0}).empty(); }, 5000));
        EXPECT_EQ(LineStartingWith(round == 1 ? "modal-end" : "modal-end-2"), "") << "the load returned early";
        // The dialog's routines run inside the modal loop.
        std::vector<std::string> dialogBuilt;
        for (const std::string& line : Log()) {
            if (line == "D 06010000 0") dialogBuilt.push_back(line);
        }
        EXPECT_EQ(dialogBuilt.size(), static_cast<size_t>(round));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitForLine(round == 1 ? "modal-end 1 main-enabled 1" : "modal-end-2 main-enabled 0"))
            << LineStartingWith("modal-end");
    }
    EXPECT_TRUE(IsWindowEnabled(window_));
    EXPECT_FALSE(HasLine("loop-end")) << "closing the dialog does not end the program";
}

// Window property 17 puts the program's icon in the notification area; the
// shell's messages about it are window event 9 (1 left button up, 2 left
// double click, 3 right button up or context menu).
const MessageStep kNotificationIconMouse[] = {
    {"9 1", "left button up"},
    {"9 2", "left double click"},
    {"9 3", "right button up"},
};
const MessageStep kLoadedShown[] = {
    {"10", "shown as it is loaded"},
};
const MessageStep kHiddenAndShownAgain[] = {
    {"10", "shown as it is loaded"},
    {"11", "hidden"},
    {"10", "shown again"},
};

TEST_F(WindowChild, TheNotificationIconRaisesEvent9AndShowingAndHidingRaise10And11) {
    ASSERT_TRUE(StartShown(L"notify-icon"));
    ASSERT_TRUE(WaitForLine("icon 1")) << LineStartingWith("icon");
    const UINT kNotifyIconMessage = WM_APP + 0x100;
    for (UINT mouse : {WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_RBUTTONUP}) {
        PostMessageW(window_, kNotifyIconMessage, 1, mouse);
    }
    ASSERT_TRUE(WaitForLine("icon 0"));
    EXPECT_SEQUENCE(EventsOf(kWindowUnit, {9}), kNotificationIconMouse) << "moves and presses raise nothing";

    EXPECT_SEQUENCE(EventsOf(kWindowUnit, {10, 11}), kLoadedShown) << "shown once when loaded";
    ShowWindow(window_, SW_HIDE);
    ShowWindow(window_, SW_SHOWNA);
    EXPECT_TRUE(WaitFor([&] { return EventsOf(kWindowUnit, {10, 11}).size() == 3; }, 5000));
    EXPECT_SEQUENCE(EventsOf(kWindowUnit, {10, 11}), kHiddenAndShownAgain);
}

TEST_F(WindowChild, TypedEventRequestsWidenByTypeAndKeepA64BitResult) {
    ASSERT_TRUE(StartShown(L"requests"));
    ASSERT_TRUE(WaitFor([&] { return !LineStartingWith("unknown").empty(); }, 10000));
    EXPECT_EQ(EventsOf(kQqEditUnit, {-9}), (std::vector<std::string>{"-9 128 -32768 4294967298"}))
        << "byte zero-extended, short sign-extended, both words with flag bit 1";
    EXPECT_TRUE(HasLine("typed 1 1 00000007 00000005")) << LineStartingWith("typed ");
    EXPECT_TRUE(HasLine("typed-not-delivered 0 0 0 0")) << "no routine, or events suspended";
    EXPECT_TRUE(HasLine("unknown 0 0 0 0")) << LineStartingWith("unknown");
}

TEST_F(WindowChild, AnEmptyTemplateStartsAProgramWithoutWindows) {
    ASSERT_TRUE(child_.StartScenario(ProgramDirectory() + L"window_child_empty.exe", L"empty-template"));
    EXPECT_EQ(AnswerErrorBox(child_.processId()), L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
    EXPECT_TRUE(HasLine("windows 0"));
    EXPECT_TRUE(HasLine("loop-returned")) << "the message loop returns at once without windows";
    EXPECT_FALSE(HasLine("loaded"));
}

TEST_F(WindowChild, ReadingAnOwnPropertyBeforeTheWindowIsLoadedIsAnError) {
    ASSERT_TRUE(Start(L"read-unloaded"));
    EXPECT_EQ(AnswerErrorBox(child_.processId()), L"运行时出错!\r\n\r\n错误信息：指定窗口尚未载入\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
    EXPECT_TRUE(HasLine("left 48 visible 0")) << "common properties come from the template";
    EXPECT_EQ(LineStartingWith("content"), "");
}

TEST_F(WindowChild, EveryUnitWritesBackTheBlockItWasBuiltFrom) {
    ASSERT_TRUE(StartShown(L"property-data"));
    ASSERT_TRUE(WaitForLine("property-data-done"));
    int units = 0;
    for (const std::string& line : Log()) {
        if (line.rfind("property-data ", 0) != 0 || line == "property-data-done") continue;
        ++units;
        EXPECT_EQ(line.substr(line.size() - 5), " same") << line;
    }
    EXPECT_EQ(units, 8);
}

TEST_F(WindowChild, AnEventOfAWindowThatIsNotInTheTemplateIsAnError) {
    ASSERT_TRUE(Start(L"event-unknown-window"));
    EXPECT_EQ(AnswerErrorBox(child_.processId()), L"运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
}

TEST_F(WindowChild, AnEventOfAUnitThatIsNotInTheWindowIsAnError) {
    ASSERT_TRUE(Start(L"event-unknown-unit"));
    EXPECT_EQ(AnswerErrorBox(child_.processId()), L"运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口组件\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
}

TEST_F(WindowChild, TheObjectOfAUnitWithoutAWindowIsAnErrorOnlyWhenRequired) {
    ASSERT_TRUE(Start(L"missing-unit-object"));
    EXPECT_EQ(AnswerErrorBox(child_.processId()), L"运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_TRUE(HasLine("object 0")) << "request 2006 answers 0";
}

TEST_F(WindowChild, AccessToAWindowThatIsNotInTheTemplateIsAnError) {
    ASSERT_TRUE(Start(L"unknown-window"));
    EXPECT_EQ(AnswerErrorBox(child_.processId()), L"运行时出错!\r\n\r\n错误信息：未载入欲访问窗口组件所在的窗口\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
}

TEST_F(WindowChild, LoadingTheWindowAgainOnlyRestoresIt) {
    ASSERT_TRUE(StartShown(L"second-load"));
    ASSERT_TRUE(WaitForLine("iconic 0 same 1"));
    EXPECT_TRUE(HasLine("iconic 1"));
    EXPECT_EQ(EventsOf(kWindowUnit, {0}).size(), 1u) << "no second build";
}

const MessageStep kFocusInAndOut[] = {
    {"-7", "the box gets the focus"},
    {"-8", "the box loses it"},
};

TEST_F(WindowChild, FocusChangesRaiseGotAndLostFocus) {
    ASSERT_TRUE(StartShown(L"focus"));
    ASSERT_TRUE(WaitForLine("focus-done"));
    EXPECT_SEQUENCE(EventsOf(kQqEditUnit, {-7, -8}), kFocusInAndOut);
}

TEST_F(WindowChild, IdleEventsAskForMoreUntilTheRoutineDeclines) {
    ASSERT_TRUE(StartShown(L"idle"));
    ASSERT_TRUE(WaitFor([&] { return EventsOf(kWindowUnit, {7}).size() >= 3; }, 10000));
    for (const std::string& event : EventsOf(kWindowUnit, {7})) {
        std::istringstream fields(event);
        int number = 0;
        long long elapsed = -1;
        fields >> number >> elapsed;
        EXPECT_GE(elapsed, 0) << event;
        EXPECT_LT(elapsed, 60000) << event;
    }
}

// The window type in-process, beside the built window.
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
