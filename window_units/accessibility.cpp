#include "window_units/accessibility.h"

#include <oleacc.h>

#include "runtime/com_object.h"
#include "runtime/system_libraries.h"
#include "window_units/component.h"

namespace lyra {

namespace {

// Spelled out: mingw-w64's import library carries IID_IAccessible as
// imported data that oleacc.h does not declare so, and reading it gives
// the bytes of a jump stub.
constexpr IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);

// oleacc is no KnownDLL: it comes from the system folder only, bound on the
// first question.
struct AccessibilityLibrary {
    LresultFromObjectFunction lresultFromObject =
        SystemFunction<LresultFromObjectFunction>(L"oleacc.dll", "LresultFromObject");
    CreateStdAccessibleObjectFunction createStdAccessibleObject =
        SystemFunction<CreateStdAccessibleObjectFunction>(L"oleacc.dll", "CreateStdAccessibleObject");
};

const AccessibilityLibrary& Library() {
    static const AccessibilityLibrary library;
    return library;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT TextAnswer(const std::wstring& text, BSTR* out) {
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

// Calls arrive on the window thread: the object is marshalled from there,
// a single-threaded apartment, and callers in other apartments reach it
// through that thread's messages.
class AccessibleObject final : public ComObject<IAccessible> {
public:
    AccessibleObject(Component* component, HWND window, IAccessible* standard)
        : component_(component), window_(window), standard_(standard) {}

    HWND window() const { return window_; }

    void Disconnect() {
        if (component_ == nullptr) return;
        component_ = nullptr;
        if (standard_ != nullptr) standard_->Release();
        standard_ = nullptr;
        // Proxies in other processes let go of their stubs' references.
        CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    }

    // IDispatch: no type information; screen readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: the component's own answers for itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &AccessibleFacts::name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (value == nullptr) return E_POINTER;
        *value = nullptr;
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        if (!IsSelf(child)) return Standard()->get_accValue(child, value);
        AccessibleFacts facts = Facts();
        if (!facts.hasValue) return DISP_E_MEMBERNOTFOUND;
        *value = SysAllocStringLen(facts.value.data(), static_cast<UINT>(facts.value.size()));
        return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, &AccessibleFacts::description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr) return E_POINTER;
        VariantInit(role);
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        if (!IsSelf(child)) return Standard()->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = Facts().role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &AccessibleFacts::defaultAction, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        if (!IsSelf(child)) return Standard()->accDoDefaultAction(child);
        return component_->DoDefaultAction() ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // IAccessible: the standard object's answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) return E_POINTER;
        *parent = nullptr;
        return Connected() ? Standard()->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return Connected() ? Standard()->get_accChildCount(count) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        return Connected() ? Standard()->get_accChild(child, object) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr) return E_POINTER;
        VariantInit(state);
        return Connected() ? Standard()->get_accState(child, state) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        if (help == nullptr) return E_POINTER;
        *help = nullptr;
        return Connected() ? Standard()->get_accHelp(child, help) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (file == nullptr || topic == nullptr) return E_POINTER;
        *file = nullptr;
        *topic = 0;
        return Connected() ? Standard()->get_accHelpTopic(file, child, topic) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        if (shortcut == nullptr) return E_POINTER;
        *shortcut = nullptr;
        return Connected() ? Standard()->get_accKeyboardShortcut(child, shortcut) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) return E_POINTER;
        VariantInit(focus);
        return Connected() ? Standard()->get_accFocus(focus) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr) return E_POINTER;
        VariantInit(selection);
        return Connected() ? Standard()->get_accSelection(selection) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Connected() ? Standard()->accSelect(flags, child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
        *left = *top = *width = *height = 0;
        return Connected() ? Standard()->accLocation(left, top, width, height, child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr) return E_POINTER;
        VariantInit(end);
        return Connected() ? Standard()->accNavigate(direction, start, end) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (child == nullptr) return E_POINTER;
        VariantInit(child);
        return Connected() ? Standard()->accHitTest(x, y, child) : CO_E_OBJNOTCONNECTED;
    }

private:
    // The component still has this window: a component that made itself a
    // new control answers through a new object.
    bool Connected() const { return component_ != nullptr && component_->Handle() == window_; }
    IAccessible* Standard() const { return standard_; }

    AccessibleFacts Facts() const {
        AccessibleFacts facts;
        component_->DescribeForScreenReader(&facts);
        return facts;
    }

    HRESULT Text(const VARIANT& child, BSTR* out, std::wstring AccessibleFacts::*field,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*standardAnswer)(VARIANT, BSTR*)) {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        if (!IsSelf(child)) return (Standard()->*standardAnswer)(child, out);
        return TextAnswer(Facts().*field, out);
    }

    // The last reference gone, no stub holds the object: nothing to disconnect.
    ~AccessibleObject() override {
        if (standard_ != nullptr) standard_->Release();
    }
    bool Answers(REFIID iid) const override {
        return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidAccessible);
    }

    Component* component_;
    HWND window_;
    IAccessible* standard_;  // one reference, ours, until disconnected
};

bool AccessibleSlot::Answer(Component* component, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // The object id is a DWORD in lParam, sign-extended or not.
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return false;
    AccessibleFacts facts;
    if (!component->DescribeForScreenReader(&facts)) return false;
    const AccessibilityLibrary& library = Library();
    if (library.lresultFromObject == nullptr || library.createStdAccessibleObject == nullptr) return false;
    HWND window = component->Handle();
    if (object_ != nullptr && object_->window() != window) Disconnect();
    if (object_ == nullptr) {
        IAccessible* standard = nullptr;
        if (FAILED(library.createStdAccessibleObject(window, OBJID_CLIENT, kIidAccessible,
                                                     reinterpret_cast<void**>(&standard))) ||
            standard == nullptr) {
            return false;
        }
        object_ = new AccessibleObject(component, window, standard);
    }
    LRESULT answer = library.lresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(object_));
    if (answer <= 0) return false;  // a COM error, negative
    *result = answer;
    return true;
}

void AccessibleSlot::Disconnect() {
    if (object_ == nullptr) return;
    object_->Disconnect();
    object_->Release();
    object_ = nullptr;
}

std::wstring NameOfCaption(const std::wstring& caption) {
    static const wchar_t kDecoration[] = L" \t\r\n\u3000\u2605\u2606:\uFF1A";
    size_t first = caption.find_first_not_of(kDecoration);
    if (first == std::wstring::npos) return std::wstring();
    size_t last = caption.find_last_not_of(kDecoration);
    return caption.substr(first, last - first + 1);
}

}  // namespace lyra
