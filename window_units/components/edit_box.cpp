#include "window_units/components/edit_box.h"

#include <windows.h>

#include "runtime/gbk.h"
#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/type_interface.h"

namespace lyra {

namespace {

constexpr int32_t kEventContentChanged = 0;

class EditBoxComponent : public Component {
public:
    EditBoxComponent(uint32_t windowId, uint32_t unitId, const EditBoxProperties& properties)
        : Component(windowId, unitId), properties_(properties) {}

    bool Create(const CreateArgs& args);

    bool GetProperty(int ownNumber, PropertyValue* value) override;
    bool SetProperty(int ownNumber, const PropertyValue& value) override;
    std::vector<uint8_t> PropertyData() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ApplyFont();
    void ApplyBackground() {
        background_.Reset(CreateSolidBrush(ResolveColour(properties_.backgroundColour, COLOR_WINDOW)));
    }
    void ApplyLimit() { SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(properties_.maxLength), 0); }
    void ApplyInputMode();
    LRESULT Colour(HDC dc, bool editable);

    EditBoxProperties properties_;
    OwnedFont font_;
    OwnedBrush background_;
    // Set while the content is written, so that the control's own EN_CHANGE
    // does not count twice.
    bool writingContent_ = false;
};

DWORD CreationStyle(const EditBoxProperties& p) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (p.multiLine) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (p.scrollBars & 1) style |= WS_HSCROLL;
        else style |= ES_AUTOHSCROLL;
        if (p.scrollBars & 2) style |= WS_VSCROLL;
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (p.keepSelection) style |= ES_NOHIDESEL;
    if (p.alignment == 1) style |= ES_CENTER;
    else if (p.alignment == 2) style |= ES_RIGHT;
    return style;
}

bool EditBoxComponent::Create(const CreateArgs& args) {
    DWORD borderStyle, exStyle;
    BorderStyles(properties_.border, &borderStyle, &exStyle);
    std::wstring content = GbkToWide(properties_.content.data(), properties_.content.size());
    HWND handle = CreateWindowExW(exStyle, L"EDIT", content.c_str(),
                                  CreationStyle(properties_) | borderStyle | args.style, args.left, args.top,
                                  args.width, args.height, args.parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.childId)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (handle == nullptr) return false;
    Attach(handle);
    if (properties_.maxLength < 0) properties_.maxLength = 0;
    if (properties_.inputMode > kInputModeLast) properties_.inputMode = kInputModeLast;
    ApplyFont();
    ApplyBackground();
    ApplyLimit();
    ApplyInputMode();
    return true;
}

void EditBoxComponent::ApplyFont() {
    font_.Reset(CreateFontFromBlock(properties_.font));
    HFONT font = font_.get() != nullptr ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void EditBoxComponent::ApplyInputMode() {
    wchar_t mask = 0;
    if (properties_.inputMode == kInputPassword) {
        std::wstring wide = GbkToWide(properties_.passwordChar.data(), properties_.passwordChar.size());
        mask = wide.empty() ? L'*' : wide[0];
    }
    SendMessageW(Handle(), EM_SETPASSWORDCHAR, mask, 0);
    SendMessageW(Handle(), EM_SETREADONLY, properties_.inputMode == kInputReadOnly, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

// Read-only and disabled edit controls ask with WM_CTLCOLORSTATIC; they keep
// the system's look unless a colour was set.
LRESULT EditBoxComponent::Colour(HDC dc, bool editable) {
    bool coloured = properties_.textColour != kDefaultColour || properties_.backgroundColour != kDefaultColour;
    if (!editable && !coloured) return 0;
    SetTextColor(dc, ResolveColour(properties_.textColour, COLOR_WINDOWTEXT));
    SetBkColor(dc, ResolveColour(properties_.backgroundColour, COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(background_.get());
}

LRESULT EditBoxComponent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kReflectedMessageBase + WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE && !writingContent_) RaiseEvent(kEventContentChanged, {});
            return 0;
        case kReflectedMessageBase + WM_CTLCOLOREDIT:
            return Colour(reinterpret_cast<HDC>(wParam), true);
        case kReflectedMessageBase + WM_CTLCOLORSTATIC:
            return Colour(reinterpret_cast<HDC>(wParam), false);
        case WM_SETFOCUS: {
            LRESULT result = DefaultProc(message, wParam, lParam);
            RaiseEvent(-7, {});
            return result;
        }
        case WM_KILLFOCUS: {
            LRESULT result = DefaultProc(message, wParam, lParam);
            RaiseEvent(-8, {});
            return result;
        }
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

bool EditBoxComponent::GetProperty(int ownNumber, PropertyValue* value) {
    const EditBoxProperties& p = properties_;
    switch (ownNumber) {
        case 0: *value = BytesValue(WindowTextGbk(Handle())); return true;
        case 1: *value = NumberValue(p.border); return true;
        case 2: *value = NumberValue(p.textColour); return true;
        case 3: *value = NumberValue(p.backgroundColour); return true;
        case 4: *value = BytesValue(p.font); return true;
        case 5: *value = NumberValue(p.keepSelection); return true;
        case 6: *value = NumberValue(p.maxLength); return true;
        case 7: *value = NumberValue(p.multiLine); return true;
        case 8: *value = NumberValue(p.scrollBars); return true;
        case 9: *value = NumberValue(p.alignment); return true;
        case 10: *value = NumberValue(p.inputMode); return true;
        case 11: *value = BytesValue(p.passwordChar); return true;
        default: return false;
    }
}

bool EditBoxComponent::SetProperty(int ownNumber, const PropertyValue& value) {
    EditBoxProperties& p = properties_;
    switch (ownNumber) {
        case 0:
            writingContent_ = true;
            SetWindowTextGbk(Handle(), value.bytes);
            writingContent_ = false;
            NotifyParent(Handle(), EN_CHANGE);
            return true;
        case 1:
            p.border = ValueWord(value);
            ApplyBorder(Handle(), p.border);
            return true;
        case 2:
            p.textColour = ValueWord(value);
            InvalidateRect(Handle(), nullptr, TRUE);
            return true;
        case 3:
            p.backgroundColour = ValueWord(value);
            ApplyBackground();
            RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
            return true;
        case 4:
            p.font = ValueBytes(value);
            ApplyFont();
            return true;
        // Multi-line, scroll bars, alignment and the selection switch take
        // effect when the control is built again.
        case 5: p.keepSelection = ValueWord(value); return true;
        case 6:
            p.maxLength = static_cast<int32_t>(value.number) < 0 ? 0 : static_cast<int32_t>(value.number);
            ApplyLimit();
            return true;
        case 7: p.multiLine = ValueWord(value); return true;
        case 8: p.scrollBars = ValueWord(value); return true;
        case 9: p.alignment = ValueWord(value); return true;
        case 10: {
            const int32_t last = kInputModeLast;
            int32_t mode = static_cast<int32_t>(value.number);
            p.inputMode = static_cast<uint32_t>(mode < 0 ? 0 : mode > last ? last : mode);
            ApplyInputMode();
            return true;
        }
        case 11:
            p.passwordChar = value.bytes;
            ApplyInputMode();
            return true;
        default: return false;
    }
}

std::vector<uint8_t> EditBoxComponent::PropertyData() {
    EditBoxProperties p = properties_;
    p.content = WindowTextGbk(Handle());
    return WriteEditBoxBlock(p);
}

Component* CreateEditBox(const CreateArgs& args) {
    return CreateFromBlock<EditBoxComponent, EditBoxProperties>(args, &ReadEditBoxBlock);
}

}  // namespace

void* EditBoxInterface(int op) { return ComponentTypeInterface(op, &CreateEditBox); }

const PropertyDescription kEditBoxPropertyDescriptions[] = {
    {"内容", "content", "", kKindText, 0, nullptr},
    {"边框", "border", "", kKindChoice, 0, nullptr},
    {"文本颜色", "textColour", "", kKindColour, 0, nullptr},
    {"背景颜色", "backgroundColour", "", kKindColour, 0, nullptr},
    {"字体", "font", "", kKindFont, 0, nullptr},
    {"隐藏选择", "keepSelection", "", kKindLogical, 0, nullptr},
    {"最大允许长度", "maxLength", "", kKindInteger, 0, nullptr},
    {"是否允许多行", "multiLine", "", kKindLogical, 0, nullptr},
    {"滚动条", "scrollBars", "", kKindChoice, 0, nullptr},
    {"对齐方式", "alignment", "", kKindChoice, 0, nullptr},
    {"输入方式", "inputMode", "", kKindChoice, 0, nullptr},
    {"密码遮盖字符", "passwordChar", "", kKindText, 0, nullptr},
};
const uint32_t kEditBoxPropertyDescriptionCount =
    sizeof kEditBoxPropertyDescriptions / sizeof kEditBoxPropertyDescriptions[0];

}  // namespace lyra
