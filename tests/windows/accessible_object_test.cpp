// The components' accessible objects in-process: what a kept object
// answers once its control is gone, default actions that return before
// they act, and which Label names which control.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/windows/support/main_window_units.h"
#include "window_units/components/label_block.h"

namespace lyra::test {
namespace {

constexpr IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

VARIANT Self() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

bool NotConnected(HRESULT hr) { return hr == CO_E_OBJNOTCONNECTED || hr == RPC_E_DISCONNECTED; }

std::wstring NameOf(IAccessible* object) {
    BSTR name = nullptr;
    if (FAILED(object->get_accName(Self(), &name))) return L"(failed)";
    std::wstring copy = name != nullptr ? name : L"";
    SysFreeString(name);
    return copy;
}

std::vector<std::wstring> gOpened;
intptr_t RecordOpen(const std::wstring& target) {
    gOpened.push_back(target);
    return 42;
}
bool RunNothing(const std::wstring&) { return false; }
const HyperLinkShell kRecordingShell = {&RecordOpen, &RunNothing};

class AccessibleObjects : public ::testing::Test {
protected:
    AccessibleObjects() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        HMODULE oleacc = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        fromLresult_ = reinterpret_cast<FromLresult>(
            reinterpret_cast<void*>(GetProcAddress(oleacc, "ObjectFromLresult")));
        EventLog::Instance().Clear();
    }
    ~AccessibleObjects() override {
        for (IAccessible* object : objects_) object->Release();
        units_.reset();
        SetHyperLinkShell(nullptr);
        CoUninitialize();
    }

    // The object a screen reader gets for the window's client area; kept
    // until the test ends.
    IAccessible* ObjectOf(HWND window) {
        LRESULT answer = SendMessageW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
        IAccessible* object = nullptr;
        if (answer <= 0 || fromLresult_ == nullptr ||
            FAILED(fromLresult_(answer, kIidAccessible, 0, reinterpret_cast<void**>(&object)))) {
            return nullptr;
        }
        objects_.push_back(object);
        return object;
    }

    using FromLresult = HRESULT(WINAPI*)(LRESULT, REFIID, WPARAM, void**);
    FromLresult fromLresult_ = nullptr;
    std::unique_ptr<MainWindowUnits> units_ = std::make_unique<MainWindowUnits>();
    std::vector<IAccessible*> objects_;
};

TEST_F(AccessibleObjects, AKeptObjectAnswersNotConnectedOnceItsControlIsGone) {
    ASSERT_NE(fromLresult_, nullptr);
    std::vector<IAccessible*> kept;
    for (uint32_t unit : {units::kNumberEdit, units::kQueryButton, units::kMakerLink, units::kBackgroundList, units::kQueryGroup}) {
        kept.push_back(ObjectOf(units_->Handle(unit)));
        ASSERT_NE(kept.back(), nullptr);
        EXPECT_NE(NameOf(kept.back()), L"");
    }
    auto everyCallRefused = [&](const char* when) {
        for (IAccessible* object : kept) {
            SCOPED_TRACE(when);
            BSTR text = nullptr;
            EXPECT_TRUE(NotConnected(object->get_accName(Self(), &text)));
            EXPECT_EQ(text, nullptr);
            VARIANT role;
            EXPECT_TRUE(NotConnected(object->get_accRole(Self(), &role)));
            long left, top, width, height;
            EXPECT_TRUE(NotConnected(object->accLocation(&left, &top, &width, &height, Self())));
            long children = -1;
            EXPECT_TRUE(NotConnected(object->get_accChildCount(&children)));
            EXPECT_TRUE(NotConnected(object->accDoDefaultAction(Self())));
        }
    };
    units_->DestroyWindows();
    everyCallRefused("the windows are gone");
    units_.reset();
    everyCallRefused("the components are gone too");
    EXPECT_TRUE(EventLog::Instance().Events(0).empty()) << "no default action ran";
}

// A new style word gives the button a new control: the old control's
// object lets go of it, the new one answers for the button.
TEST_F(AccessibleObjects, ARebuiltButtonAnswersThroughANewObject) {
    Component* button = units_->Unit(units::kQueryButton);
    IAccessible* before = ObjectOf(button->Handle());
    ASSERT_NE(before, nullptr);
    button->SetProperty(1, PropertyValue{BS_FLAT, {}});
    PumpWaiting();
    BSTR name = nullptr;
    EXPECT_TRUE(NotConnected(before->get_accName(Self(), &name)));
    IAccessible* after = ObjectOf(button->Handle());
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(NameOf(after), L"查询");
}

TEST_F(AccessibleObjects, DefaultActionsReturnBeforeTheyActAndNotWhileDisabled) {
    SetHyperLinkShell(&kRecordingShell);
    gOpened.clear();
    IAccessible* link = ObjectOf(units_->Handle(units::kMakerLink));
    IAccessible* save = ObjectOf(units_->Handle(units::kSaveButton));
    ASSERT_TRUE(link != nullptr && save != nullptr);

    EXPECT_EQ(link->accDoDefaultAction(Self()), S_OK);
    EXPECT_TRUE(gOpened.empty()) << "opened after the call has returned";
    EXPECT_TRUE(PumpUntil([] { return !gOpened.empty(); }, 5000));
    PropertyValue target;
    ASSERT_TRUE(units_->Unit(units::kMakerLink)->GetProperty(1, &target));
    EXPECT_EQ(gOpened, std::vector<std::wstring>{std::wstring(target.bytes.begin(), target.bytes.end())});

    EXPECT_EQ(save->accDoDefaultAction(Self()), S_OK);
    EXPECT_TRUE(EventLog::Instance().Events(0).empty());
    EXPECT_TRUE(PumpUntil([] { return EventLog::Instance().Events(0).size() == 1; }, 5000)) << "clicked";

    EnableWindow(units_->Handle(units::kSaveButton), FALSE);
    EXPECT_NE(save->accDoDefaultAction(Self()), S_OK);
    EnableWindow(units_->Handle(units::kQueryGroup), FALSE);
    EXPECT_NE(ObjectOf(units_->Handle(units::kQueryButton))->accDoDefaultAction(Self()), S_OK) << "inside a disabled group";
    PumpWaiting();
    EXPECT_EQ(EventLog::Instance().Events(0).size(), 1u);
}

// Which Label names a control: one that ends just left of it on its line,
// or just above it, the nearer when both do; none farther off, hidden, or
// on the other side. The name is the caption without its decoration.
TEST(LabelNames, TheLabelBesideOrAboveNamesTheControl) {
    struct Placed {
        const char* caption;
        RECT rect;
        bool visible;
    };
    struct Case {
        const char* what;
        std::vector<Placed> labels;
        const wchar_t* name;
    };
    const RECT control{100, 100, 300, 122};
    const Case cases[] = {
        {"left, two pixels off", {{"ＱＱ：", {63, 102, 98, 122}, true}}, L"ＱＱ"},
        {"above, overlapping by one", {{"★ 背景音乐列表 ★", {100, 77, 300, 101}, true}}, L"背景音乐列表"},
        {"a plain colon", {{"Number:", {40, 100, 100, 120}, true}}, L"Number"},
        {"left, too far", {{"ＱＱ：", {40, 100, 80, 120}, true}}, L""},
        {"left, another line", {{"ＱＱ：", {60, 130, 98, 150}, true}}, L""},
        {"right of it", {{"ＱＱ：", {302, 100, 340, 120}, true}}, L""},
        {"below it", {{"ＱＱ：", {100, 124, 300, 140}, true}}, L""},
        {"hidden", {{"ＱＱ：", {63, 102, 98, 122}, false}}, L""},
        {"the nearer of two", {{"左：", {40, 100, 94, 120}, true}, {"上：", {100, 80, 300, 99}, true}}, L"上"},
        {"only decoration", {{" ★ ", {63, 102, 98, 122}, true}}, L""},
    };
    HostWindow host;
    HWND target = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, control.left, control.top,
                                  control.right - control.left, control.bottom - control.top, host.handle(), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(target, nullptr);
    auto create = reinterpret_cast<CreateOperation>(LabelInterface(kOpCreate));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ComponentPtr> labels;
        for (const Placed& placed : c.labels) {
            LabelProperties p;
            p.caption = placed.caption;
            std::vector<uint8_t> block = WriteLabelBlock(p);
            const RECT& r = placed.rect;
            labels.emplace_back(create(MakeCreateArgs(host.handle(), block, 0x16000001, r.left, r.top,
                                                      r.right - r.left, r.bottom - r.top)));
            ASSERT_NE(labels.back(), nullptr);
            if (placed.visible) ShowWindow(labels.back()->Handle(), SW_SHOWNA);
        }
        EXPECT_EQ(NameFromLabel(target), c.name);
    }
    DestroyWindow(target);
}

}  // namespace
}  // namespace lyra::test
