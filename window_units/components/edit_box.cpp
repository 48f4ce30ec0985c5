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

class EditBoxComponent : public TableComponent<EditBoxProperties> {
public:
    EditBoxComponent(uint32_t windowId, uint32_t unitId) : TableComponent(windowId, unitId, kEditBoxTable) {}

    bool Create(const CreateArgs& args);
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
        case WM_SETFOCUS:
            return AnswerThenRaise(message, wParam, lParam, kEventFocusGained);
        case WM_KILLFOCUS:
            return AnswerThenRaise(message, wParam, lParam, kEventFocusLost);
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
    if (what & kEditContent) {
        writingContent_ = true;
        SetWindowTextGbk(Handle(), properties_.content);
        writingContent_ = false;
        NotifyParent(Handle(), EN_CHANGE);
    }
    if (what & kEditBorder) ApplyBorder(Handle(), properties_.border);
    if (what & kEditTextColour) InvalidateRect(Handle(), nullptr, TRUE);
    if (what & kEditBackground) {
        ApplyBackground();
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
    }
    if (what & kEditFont) ApplyFont();
    if (what & kEditLimit) ApplyLimit();
    if (what & kEditInputMode) ApplyInputMode();
}

}  // namespace

void* EditBoxInterface(int op) { return TypeInterface(op, &CreateFromBlock<EditBoxComponent>); }

}  // namespace lyra
