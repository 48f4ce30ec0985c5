// The program as a screen reader sees it from another process: every
// control a person can reach through Microsoft Active Accessibility, the
// status read out as it changes, and objects kept past the window's end.
#include <windows.h>
#include <oleacc.h>

#include <algorithm>

#include "runtime/com_ref.h"
#include "test_support/waits.h"
#include "tests/e2e/support/program_fixture.h"

namespace lyra::test {
namespace {

// Spelled out, as oleacc's import library cannot give it.
constexpr IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The test's own apartment and oleacc, from the system folder, as a screen reader loads it.
class ScreenReaderSide {
public:
    ScreenReaderSide() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        module_ = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module_ != nullptr) {
            fromWindow_ = reinterpret_cast<FromWindow>(
                reinterpret_cast<void*>(GetProcAddress(module_, "AccessibleObjectFromWindow")));
            standard_ = reinterpret_cast<Standard>(
                reinterpret_cast<void*>(GetProcAddress(module_, "CreateStdAccessibleObject")));
        }
    }
    ~ScreenReaderSide() { CoUninitialize(); }

    bool Ready() const { return fromWindow_ != nullptr && standard_ != nullptr; }
    ComRef<IAccessible> ObjectOf(HWND window) const {
        ComRef<IAccessible> object;
        if (fromWindow_(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                        reinterpret_cast<void**>(object.Put())) != S_OK) {
            object.Reset();
        }
        return object;
    }

    // The system's own object for the window's client area, made here.
    ComRef<IAccessible> StandardObjectOf(HWND window) const {
        ComRef<IAccessible> object;
        if (standard_(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(object.Put())) != S_OK) {
            object.Reset();
        }
        return object;
    }

private:
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    using Standard = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    HMODULE module_ = nullptr;  // kept: proxies live in it
    FromWindow fromWindow_ = nullptr;
    Standard standard_ = nullptr;
};

VARIANT Self() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// A text property of the object itself; "(hr)" when the call fails.
std::wstring AccessibleText(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* object) {
    BSTR text = nullptr;
    HRESULT hr = (object->*get)(Self(), &text);
    if (FAILED(hr)) return L"(" + std::to_wstring(hr) + L")";
    std::wstring copy = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return copy;
}
std::wstring NameOf(IAccessible* object) { return AccessibleText(&IAccessible::get_accName, object); }

long RoleOf(IAccessible* object) {
    VARIANT role;
    VariantInit(&role);
    if (FAILED(object->get_accRole(Self(), &role)) || role.vt != VT_I4) return -1;
    return role.lVal;
}

// Dispatches the thread's messages (WinEvents arrive as messages) until
// the condition holds or the time is up.
// The windows whose client objects announced a new name, in order.
std::vector<HWND> gAnnouncements;

void CALLBACK NameChanged(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) gAnnouncements.push_back(window);
}

class ScreenReader : public Lyrabox {
protected:
    ScreenReaderSide reader_;
};

struct Expected {
    int control;
    long role;
    const wchar_t* name;
    const wchar_t* defaultAction;  // empty: none
};

TEST_F(ScreenReader, EveryControlAPersonCanReachSaysWhatItIs) {
    Serve(Scenario{});
    Launch();
    ASSERT_TRUE(reader_.Ready());
    const Expected controls[] = {
        {kNumberEditControl, ROLE_SYSTEM_TEXT, L"ＱＱ", L""},
        {kQueryButtonControl, ROLE_SYSTEM_PUSHBUTTON, L"查询", L"按下"},
        {kHelpButtonControl, ROLE_SYSTEM_PUSHBUTTON, L"使用说明", L"按下"},
        {kAboutButtonControl, ROLE_SYSTEM_PUSHBUTTON, L"关于", L"按下"},
        {kSaveButtonControl, ROLE_SYSTEM_PUSHBUTTON, L"保存音乐列表", L"按下"},
        {kMakerLinkControl, ROLE_SYSTEM_LINK, L"Lyrabox 主页", L"跳转"},
        {kBackgroundListControl, ROLE_SYSTEM_LIST, L"背景音乐列表", L""},
        {kFavouriteListControl, ROLE_SYSTEM_LIST, L"收藏音乐列表", L""},
        {kQueryGroupControl, ROLE_SYSTEM_GROUPING, L"查询", L""},
    };
    for (const Expected& expected : controls) {
        SCOPED_TRACE(Utf8(expected.name));
        ComRef<IAccessible> object = reader_.ObjectOf(FindControl(main_, expected.control));
        ASSERT_TRUE(object);
        EXPECT_EQ(RoleOf(object.get()), expected.role);
        EXPECT_EQ(NameOf(object.get()), expected.name);
        EXPECT_EQ(AccessibleText(&IAccessible::get_accDefaultAction, object.get()), expected.defaultAction);
    }

    ComRef<IAccessible> edit = reader_.ObjectOf(edit_);
    ASSERT_TRUE(edit);
    EXPECT_EQ(AccessibleText(&IAccessible::get_accValue, edit.get()), L"") << "the prompt is no value";
    EXPECT_EQ(AccessibleText(&IAccessible::get_accDescription, edit.get()), kPromptText);
    TypeNumber(L"12345");
    EXPECT_EQ(AccessibleText(&IAccessible::get_accValue, edit.get()), L"12345");
    EXPECT_EQ(AccessibleText(&IAccessible::get_accDescription, edit.get()), L"");

    // Help, about and save are no tab stops: the default action is how a
    // keyboard user presses them.
    const std::pair<int, const wchar_t*> boxes[] = {
        {kHelpButtonControl, L"使用说明："}, {kAboutButtonControl, L"关于软件："}, {kSaveButtonControl, L"保存完成："}};
    for (const auto& [id, title] : boxes) {
        SCOPED_TRACE(Utf8(title));
        ComRef<IAccessible> button = reader_.ObjectOf(FindControl(main_, id));
        ASSERT_TRUE(button);
        EXPECT_EQ(button->accDoDefaultAction(Self()), S_OK) << "returns while the box is still open";
        HWND box = WaitForBox(title);
        ASSERT_NE(box, nullptr);
        AnswerMessageBox(box, IDOK);
        ASSERT_TRUE(WaitFor([&] { return MessageBoxes().empty(); }, kDeadline));
    }
    CloseExpectingACleanEnd();
}

TEST_F(ScreenReader, TheStatusIsTheGroupsNameAndItsChangesAreAnnounced) {
    Serve(WithPage("10001", Page(3, 2)));
    Launch();
    ASSERT_TRUE(reader_.Ready());

    // Out-of-context WinEvents reach this thread as messages.
    gAnnouncements.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &NameChanged,
                                         process_.processId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);

    ComRef<IAccessible> group = reader_.ObjectOf(group_);
    ComRef<IAccessible> query = reader_.ObjectOf(FindControl(main_, kQueryButtonControl));
    ASSERT_TRUE(group && query);
    TypeNumber(L"10001");
    ASSERT_EQ(query->accDoDefaultAction(Self()), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return LookupFinished(); }, kDeadline, &DispatchWaiting))
        << "the default action looks up";
    EXPECT_EQ(LookupRequests(), 1u);
    EXPECT_TRUE(PumpUntil([&] { return gAnnouncements.size() >= 2; }, 5000, &DispatchWaiting))
        << "\"正在查询……\" and the final status; seen " << gAnnouncements.size();
    for (HWND window : gAnnouncements) EXPECT_EQ(window, group_);
    EXPECT_EQ(NameOf(group.get()), kDone);
    UnhookWinEvent(hook);

    // A list's rows, and where it is and how, are what the system's own
    // object says of the list.
    ComRef<IAccessible> list = reader_.ObjectOf(background_);
    ComRef<IAccessible> standard = reader_.StandardObjectOf(background_);
    ASSERT_TRUE(list && standard);
    long ours = -1, theirs = -2;
    EXPECT_EQ(list->get_accChildCount(&ours), standard->get_accChildCount(&theirs));
    EXPECT_EQ(ours, theirs);
    VARIANT ourState, theirState;
    ASSERT_EQ(list->get_accState(Self(), &ourState), S_OK);
    ASSERT_EQ(standard->get_accState(Self(), &theirState), S_OK);
    EXPECT_EQ(ourState.lVal, theirState.lVal);
    long place[4], standardPlace[4];
    ASSERT_EQ(list->accLocation(&place[0], &place[1], &place[2], &place[3], Self()), S_OK);
    ASSERT_EQ(standard->accLocation(&standardPlace[0], &standardPlace[1], &standardPlace[2], &standardPlace[3], Self()),
              S_OK);
    EXPECT_TRUE(std::equal(place, place + 4, standardPlace));
}

// Objects kept past the end of their windows answer that they are gone;
// neither they nor the reader holding them trouble the program's end.
TEST_F(ScreenReader, KeptObjectsOfAClosedWindowAreNotConnected) {
    Serve(Scenario{});
    Launch();
    ASSERT_TRUE(reader_.Ready());
    std::vector<ComRef<IAccessible>> kept;
    for (int id : {kNumberEditControl, kQueryButtonControl, kSaveButtonControl, kMakerLinkControl, kBackgroundListControl, kQueryGroupControl}) {
        kept.push_back(reader_.ObjectOf(FindControl(main_, id)));
        ASSERT_TRUE(kept.back());
        EXPECT_NE(NameOf(kept.back().get()), L"");
    }
    CloseExpectingACleanEnd();
    for (const ComRef<IAccessible>& object : kept) {
        BSTR name = nullptr;
        HRESULT hr = object->get_accName(Self(), &name);
        EXPECT_TRUE(hr == CO_E_OBJNOTCONNECTED || hr == RPC_E_DISCONNECTED ||
                    hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE))
            << std::hex << hr;
        EXPECT_EQ(name, nullptr);
    }
}

}  // namespace
}  // namespace lyra::test
