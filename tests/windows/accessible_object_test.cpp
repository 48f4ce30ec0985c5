// The components' accessible objects in-process: what a kept object
// answers once its control is gone, and default actions that return before
// they act.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/windows/support/main_window_units.h"

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

}  // namespace
}  // namespace lyra::test
