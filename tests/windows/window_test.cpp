// Window building, events and properties, observed from outside: each case
// runs window_child.exe with a scenario and looks at its windows and its
// log of routine calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/windows/support/child_process.h"

namespace lyra::test {
namespace {

constexpr DWORD kRuntimeErrorExit = 0xFFFFFFFF;

// Control ids: 100, 110, ... in creation order, which is the reverse of the
// unit table (the test template's units 7 down to 1).
enum ControlId {
    kFavouriteTitleId = 100,
    kBackgroundTitleId = 110,
    kQqEditId = 120,
    kQqLabelId = 130,
    kQueryGroupId = 140,
    kHintLabelId = 150,
    kSavedQqId = 160,
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    LRESULT length = SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return std::wstring(text, static_cast<size_t>(length));
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

class WindowChild : public ::testing::Test {
protected:
    void SetUp() override {
        log_ = TempFilePath(L"wnd");
        DeleteFileW(log_.c_str());
    }
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
        child_.WaitForExit(10000);
        DeleteFileW(log_.c_str());
    }

    bool Start(const wchar_t* scenario) {
        return child_.Start(TestProgramDirectory() + L"window_child.exe", std::wstring(scenario) + L" \"" + log_ + L"\"");
    }
    // Starts the scenario and waits for its window to be built and shown.
    bool StartShown(const wchar_t* scenario) {
        if (!Start(scenario)) return false;
        WaitUntil([&] { return (window_ = FindProcessWindow(child_.processId(), L"LyraboxWindow", L"Lyrabox")) != nullptr; },
                  20000);
        return window_ != nullptr && WaitForLine("load-end");
    }

    std::vector<std::string> Log() { return ReadLines(log_); }
    bool HasLine(const std::string& line) {
        auto log = Log();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    bool WaitForLine(const std::string& line, DWORD milliseconds = 10000) {
        return WaitUntil([&] { return HasLine(line); }, milliseconds);
    }
    // The event lines of one unit, in order, optionally only some events.
    std::vector<std::string> EventsOf(const std::string& unitHex, std::initializer_list<int> only = {}) {
        std::vector<std::string> events;
        std::string prefix = "E " + unitHex + " ";
        for (const std::string& line : Log()) {
            if (line.rfind(prefix, 0) != 0) continue;
            std::string rest = line.substr(prefix.size());
            int event = std::stoi(rest);
            if (only.size() == 0 || std::find(only.begin(), only.end(), event) != only.end()) events.push_back(rest);
        }
        return events;
    }
    std::string LineStartingWith(const std::string& prefix) {
        for (const std::string& line : Log()) {
            if (line.rfind(prefix, 0) == 0) return line;
        }
        return std::string();
    }

    std::wstring AnswerErrorBox() {
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindProcessWindow(child_.processId(), L"#32770", L"错误")) != nullptr; }, 20000);
        if (box == nullptr) return L"<no box>";
        std::wstring text;
        WaitUntil([&] { return !(text = DialogStaticText(box)).empty(); }, 5000);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return text;
    }

    HWND Group() { return GetDlgItem(window_, kQueryGroupId); }
    HWND QqEdit() { return GetDlgItem(Group(), kQqEditId); }

    std::wstring log_;
    ChildProcess child_;
    HWND window_ = nullptr;
};

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

TEST_F(WindowChild, NoRoutineRunsDuringTheBuildAndTheWindowEventsComeInOrder) {
    ASSERT_TRUE(StartShown(L"show"));
    ASSERT_TRUE(WaitUntil([&] { return EventsOf("06010000", {5}).size() == 1; }, 10000));
    auto log = Log();
    auto begin = std::find(log.begin(), log.end(), "load-begin");
    ASSERT_NE(begin, log.end());
    ASSERT_NE(begin + 1, log.end());
    EXPECT_EQ(*(begin + 1), "E 06010000 0") << "the first routine to run is window event 0";
    EXPECT_EQ(EventsOf("06010000", {0, 3, 4, 5, 8}), (std::vector<std::string>{"0", "3", "4", "8", "5"}));
    EXPECT_FALSE(HasLine("shadowed")) << "the first binding of an event is the one that counts";
    for (const std::string& line : log) EXPECT_EQ(line.rfind("source-mismatch", 0), std::string::npos) << line;
}

TEST_F(WindowChild, KeysReachTheEditBoxAsKeyEventsWithMainKeyboardCodes) {
    ASSERT_TRUE(StartShown(L"keys"));
    HWND edit = QqEdit();
    ASSERT_NE(edit, nullptr);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(edit, WM_KEYDOWN, VK_NUMPAD7, 0x00470001);
    PostMessageW(edit, WM_KEYDOWN, VK_DECIMAL, 0x00530001);
    PostMessageW(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    PostMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), MAKELPARAM(100, 100));
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
    ASSERT_TRUE(WaitUntil([&] { return !EventsOf("16014A37", {-1}).empty(); }, 10000));
    EXPECT_EQ(EventsOf("16014A37", {-12}), (std::vector<std::string>{"-12 -2 0"}));
    EXPECT_EQ(EventsOf("16014A37", {-9, -10}), (std::vector<std::string>{"-9 13 0", "-9 55 0", "-9 190 0"}))
        << "key up is bound after an empty binding of the same event, so it is not delivered";
    EXPECT_EQ(EventsOf("16014A37", {-1}), (std::vector<std::string>{"-1 5 7 0"}));
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

TEST_F(WindowChild, AUnitInADisabledGroupTakesNoKeysOrClicksAndRaisesNoEvents) {
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
    ASSERT_TRUE(WaitUntil([&] { return !EventsOf("06010000", {-9}).empty(); }, 10000));
    EXPECT_EQ(EventsOf("16014A37", {-1, -2, -9, -10, -11, -12}), std::vector<std::string>{})
        << "no key, character or mouse event from inside the disabled group";
    EXPECT_EQ(TextOf(edit), before) << "the typed character did not reach the box";
}

TEST_F(WindowChild, RealInputGivesTheFocusAndSamplesTheModifierKeys) {
    ASSERT_TRUE(StartShown(L"keys"));
    ASSERT_TRUE(WaitUntil([&] { return !EventsOf("06010000", {5}).empty(); }, 10000)) << "never activated";
    RECT rect;
    GetWindowRect(QqEdit(), &rect);
    // The display may take a moment to map the new window; click again until the focus arrives.
    bool focused = WaitUntil(
        [&] {
            ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
            return WaitUntil([&] { return !EventsOf("16014A37", {-7}).empty(); }, 1000);
        },
        10000);
    ASSERT_TRUE(focused) << "the click gave no focus";
    SendKey(VK_CONTROL, false);
    SendKey('B', false);
    SendKey('B', true);
    SendKey(VK_CONTROL, true);
    ASSERT_TRUE(WaitUntil([&] { return EventsOf("16014A37", {-9}).size() >= 2; }, 10000));
    EXPECT_EQ(EventsOf("16014A37", {-9}), (std::vector<std::string>{"-9 17 0", "-9 66 1"}))
        << "Ctrl reports no Ctrl bit of its own; B pressed with Ctrl does";
    std::vector<std::string> clicks = EventsOf("16014A37", {-1});
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.back(), "-1 " + std::to_string((rect.right - rect.left) / 2 - 2) + " " +
                                 std::to_string((rect.bottom - rect.top) / 2 - 2) + " 0")
        << "client coordinates of the edit box (inside its 2-pixel client edge)";
}

TEST_F(WindowChild, ACharacterRoutineAnsweringZeroDropsTheCharacter) {
    ASSERT_TRUE(StartShown(L"char-drop"));
    HWND edit = QqEdit();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    PostMessageW(edit, WM_CHAR, 'x', 0x002D0001);
    ASSERT_TRUE(WaitUntil([&] { return !EventsOf("16014A37", {-11}).empty(); }, 10000));
    EXPECT_EQ(EventsOf("16014A37", {-11}), (std::vector<std::string>{"-11 120"}));
    SendMessageW(edit, WM_NULL, 0, 0);  // the character has been handled by now
    EXPECT_EQ(TextOf(edit), L"");
}

TEST_F(WindowChild, ACharacterRoutineAnswering65TypesAnA) {
    ASSERT_TRUE(StartShown(L"char-A"));
    HWND edit = QqEdit();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    PostMessageW(edit, WM_CHAR, 'x', 0x002D0001);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(edit) == L"A"; }, 10000)) << "text is now " << TextOf(edit).size();
}

TEST_F(WindowChild, AClosingRoutineAnsweringFalseKeepsTheWindowOpen) {
    ASSERT_TRUE(StartShown(L"close-refuse"));
    PostMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return EventsOf("06010000", {1}).size() == 1; }, 10000));
    SendMessageW(window_, WM_NULL, 0, 0);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(child_.WaitForExit(0));

    // The routine answers nothing the second time: the window closes and the program ends.
    PostMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_EQ(child_.exitCode(), 0u);
    EXPECT_EQ(EventsOf("06010000", {1}).size(), 2u);
    EXPECT_TRUE(HasLine("loop-end"));
}

TEST_F(WindowChild, PropertyWritesFromAWorkerThreadTakeEffect) {
    ASSERT_TRUE(StartShown(L"worker-props"));
    ASSERT_TRUE(WaitForLine("worker-done", 20000)) << "the worker did not finish: a deadlock?";
    EXPECT_TRUE(HasLine("edit 12345 colour 000000FF limit 0")) << "a negative maximum length counts as 0";
    EXPECT_TRUE(HasLine("limit 11"));
    EXPECT_EQ(SendMessageW(QqEdit(), EM_GETLIMITTEXT, 0, 0), 11);
    EXPECT_EQ(TextOf(QqEdit()), L"12345");
    EXPECT_FALSE(EventsOf("16014A37", {0}).empty()) << "writing the content raises the content-change event";

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
    ASSERT_TRUE(WaitUntil([&] { return !LineStartingWith("object-props").empty(); }, 10000));
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
        ASSERT_TRUE(WaitUntil(
            [&] { return (dialog = FindProcessWindow(child_.processId(), L"LyraboxWindow", L"Lyrabox 对话框")) != nullptr; },
            10000))
            << "round " << round;
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), window_);
        // The dialog shows before it disables the others: wait for that.
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(window_); }, 5000)) << "round " << round;
        EXPECT_TRUE(WaitUntil([&] { return EventsOf("06010000", {6}).size() == static_cast<size_t>(round); }, 5000))
            << "the main window became inactive, round " << round;
        EXPECT_TRUE(IsWindowEnabled(dialog));
        EXPECT_TRUE(WaitUntil([&] { return !EventsOf("06010000", {0}).empty(); }, 5000));
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
TEST_F(WindowChild, TheNotificationIconRaisesEvent9AndShowingAndHidingRaise10And11) {
    ASSERT_TRUE(StartShown(L"notify-icon"));
    ASSERT_TRUE(WaitForLine("icon 1")) << LineStartingWith("icon");
    const UINT kNotifyIconMessage = WM_APP + 0x100;
    for (UINT mouse : {WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_RBUTTONUP}) {
        PostMessageW(window_, kNotifyIconMessage, 1, mouse);
    }
    ASSERT_TRUE(WaitForLine("icon 0"));
    EXPECT_EQ(EventsOf("06010000", {9}), (std::vector<std::string>{"9 1", "9 2", "9 3"}));

    EXPECT_EQ(EventsOf("06010000", {10, 11}), (std::vector<std::string>{"10"})) << "shown once when loaded";
    ShowWindow(window_, SW_HIDE);
    ShowWindow(window_, SW_SHOWNA);
    EXPECT_TRUE(WaitUntil([&] { return EventsOf("06010000", {10, 11}).size() == 3; }, 5000));
    EXPECT_EQ(EventsOf("06010000", {10, 11}), (std::vector<std::string>{"10", "11", "10"}));
}

TEST_F(WindowChild, TypedEventRequestsWidenByTypeAndKeepA64BitResult) {
    ASSERT_TRUE(StartShown(L"requests"));
    ASSERT_TRUE(WaitUntil([&] { return !LineStartingWith("unknown").empty(); }, 10000));
    EXPECT_EQ(EventsOf("16014A37", {-9}), (std::vector<std::string>{"-9 128 -32768 4294967298"}))
        << "byte zero-extended, short sign-extended, both words with flag bit 1";
    EXPECT_TRUE(HasLine("typed 1 1 00000007 00000005")) << LineStartingWith("typed ");
    EXPECT_TRUE(HasLine("typed-not-delivered 0 0 0 0")) << "no routine, or events suspended";
    EXPECT_TRUE(HasLine("unknown 0 0 0 0")) << LineStartingWith("unknown");
}

TEST_F(WindowChild, AnEmptyTemplateStartsAProgramWithoutWindows) {
    ASSERT_TRUE(child_.Start(TestProgramDirectory() + L"window_child_empty.exe", L"empty-template \"" + log_ + L"\""));
    EXPECT_EQ(AnswerErrorBox(), L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
    EXPECT_TRUE(HasLine("windows 0"));
    EXPECT_TRUE(HasLine("loop-returned")) << "the message loop returns at once without windows";
    EXPECT_FALSE(HasLine("loaded"));
}

TEST_F(WindowChild, ReadingAnOwnPropertyBeforeTheWindowIsLoadedIsAnError) {
    ASSERT_TRUE(Start(L"read-unloaded"));
    EXPECT_EQ(AnswerErrorBox(), L"运行时出错!\r\n\r\n错误信息：指定窗口尚未载入\r\n");
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
    EXPECT_EQ(AnswerErrorBox(), L"运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
}

TEST_F(WindowChild, AnEventOfAUnitThatIsNotInTheWindowIsAnError) {
    ASSERT_TRUE(Start(L"event-unknown-unit"));
    EXPECT_EQ(AnswerErrorBox(), L"运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口组件\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
}

TEST_F(WindowChild, TheObjectOfAUnitWithoutAWindowIsAnErrorOnlyWhenRequired) {
    ASSERT_TRUE(Start(L"missing-unit-object"));
    EXPECT_EQ(AnswerErrorBox(), L"运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_TRUE(HasLine("object 0")) << "request 2006 answers 0";
}

TEST_F(WindowChild, AccessToAWindowThatIsNotInTheTemplateIsAnError) {
    ASSERT_TRUE(Start(L"unknown-window"));
    EXPECT_EQ(AnswerErrorBox(), L"运行时出错!\r\n\r\n错误信息：未载入欲访问窗口组件所在的窗口\r\n");
    ASSERT_TRUE(child_.WaitForExit(20000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
}

TEST_F(WindowChild, LoadingTheWindowAgainOnlyRestoresIt) {
    ASSERT_TRUE(StartShown(L"second-load"));
    ASSERT_TRUE(WaitForLine("iconic 0 same 1"));
    EXPECT_TRUE(HasLine("iconic 1"));
    EXPECT_EQ(EventsOf("06010000", {0}).size(), 1u) << "no second build";
}

TEST_F(WindowChild, FocusChangesRaiseGotAndLostFocus) {
    ASSERT_TRUE(StartShown(L"focus"));
    ASSERT_TRUE(WaitForLine("focus-done"));
    EXPECT_EQ(EventsOf("16014A37", {-7, -8}), (std::vector<std::string>{"-7", "-8"}));
}

TEST_F(WindowChild, IdleEventsAskForMoreUntilTheRoutineDeclines) {
    ASSERT_TRUE(StartShown(L"idle"));
    ASSERT_TRUE(WaitUntil([&] { return EventsOf("06010000", {7}).size() >= 3; }, 10000));
    for (const std::string& event : EventsOf("06010000", {7})) {
        std::istringstream fields(event);
        int number = 0;
        long long elapsed = -1;
        fields >> number >> elapsed;
        EXPECT_GE(elapsed, 0) << event;
        EXPECT_LT(elapsed, 60000) << event;
    }
}

}  // namespace
}  // namespace lyra::test
