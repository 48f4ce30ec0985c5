#include "window_units/components/edit_box.h"

#include <windows.h>
#include <oleacc.h>

#include "runtime/gbk.h"
#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/label.h"
#include "window_units/contrast.h"
#include "window_units/property_table.h"

namespace lyra {

namespace {

constexpr int32_t kEventContentChanged = 0;

// What a write re-applies. Multi-line, scroll bars, alignment and the
// selection switch take effect when the control is built again.
enum EditBoxReapply : uint32_t {
    kContent = 1, kBorder = 2, kTextColour = 4, kBackground = 8, kFont = 16, kLimit = 32, kInputMode = 64,
};

int32_t NoNegativeLength(int32_t length) { return length < 0 ? 0 : length; }
int32_t ClampInputMode(int32_t mode) {
    const int32_t last = kInputModeLast;
    return mode < 0 ? 0 : mode > last ? last : mode;
}

using P = EditBoxProperties;
const PropertyRow<P> kEditBoxRows[] = {
    Row<&P::content>(kReadWindowText | kContent),
    Row<&P::border>(kBorder),
    Row<&P::textColour>(kTextColour),
    Row<&P::backgroundColour>(kBackground),
    Row<&P::font>(kFont),
    Row<&P::keepSelection>(),
    Row<&P::maxLength>(kLimit, &NoNegativeLength),
    Row<&P::multiLine>(),
    Row<&P::scrollBars>(),
    Row<&P::alignment>(),
    Row<&P::inputMode>(kInputMode, &ClampInputMode),
    Row<&P::passwordChar>(kInputMode),
};
static_assert(sizeof kEditBoxRows / sizeof kEditBoxRows[0] == kEditBoxPropertyCount, "one row per property");

class EditBoxComponent : public TableComponent<EditBoxProperties> {
public:
    EditBoxComponent(uint32_t windowId, uint32_t unitId, const EditBoxProperties& properties)
        : TableComponent(windowId, unitId, kEditBoxRows, properties) {}

    bool Create(const CreateArgs& args);
    std::vector<uint8_t> PropertyData() override;
    bool DescribeForScreenReader(AccessibleFacts* facts) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Reapply(int ownNumber, uint32_t what) override;

private:
    void ApplyFont();
    void ApplyBackground() {
        background_.Reset(CreateSolidBrush(
            ContrastColour(ResolveColour(properties_.backgroundColour, COLOR_WINDOW), COLOR_WINDOW)));
    }
    void ApplyLimit() { SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(properties_.maxLength), 0); }
    void ApplyInputMode();
    LRESULT Colour(HDC dc, bool editable);

    OwnedFont font_;
    OwnedBrush background_;
    // The content the box was built with. Shown again, it is a prompt, not
    // a value: a box that starts with a text starts with what to type there.
    std::string prompt_;
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
    prompt_ = properties_.content;
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
    HFONT font = ShownFont(font_);
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
    if (!editable && (!coloured || HighContrast())) return 0;
    SetTextColor(dc, ContrastColour(ResolveColour(properties_.textColour, COLOR_WINDOWTEXT), COLOR_WINDOWTEXT));
    SetBkColor(dc, ContrastColour(ResolveColour(properties_.backgroundColour, COLOR_WINDOW), COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(background_.get());
}

bool EditBoxComponent::DescribeForScreenReader(AccessibleFacts* facts) {
    facts->role = ROLE_SYSTEM_TEXT;
    facts->name = NameFromLabel(Handle());
    facts->hasValue = true;
    std::wstring content = WindowTextWide(Handle());
    if (!prompt_.empty() && content == GbkToWide(prompt_.data(), prompt_.size())) {
        facts->description = content;
    } else {
        facts->value = content;
    }
    return true;
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
        case WM_SYSCOLORCHANGE:
            ApplyBackground();
            InvalidateRect(Handle(), nullptr, TRUE);
            return DefaultProc(message, wParam, lParam);
        case WM_GETOBJECT:
            return AnswerGetObject(wParam, lParam);
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

void EditBoxComponent::Reapply(int, uint32_t what) {
    if (what & kContent) {
        writingContent_ = true;
        SetWindowTextGbk(Handle(), properties_.content);
        writingContent_ = false;
        NotifyParent(Handle(), EN_CHANGE);
    }
    if (what & kBorder) ApplyBorder(Handle(), properties_.border);
    if (what & kTextColour) InvalidateRect(Handle(), nullptr, TRUE);
    if (what & kBackground) {
        ApplyBackground();
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
    }
    if (what & kFont) ApplyFont();
    if (what & kLimit) ApplyLimit();
    if (what & kInputMode) ApplyInputMode();
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

void* EditBoxInterface(int op) { return TypeInterface(op, &CreateEditBox); }

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
