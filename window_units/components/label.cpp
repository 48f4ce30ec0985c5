#include "window_units/components/label.h"

#include <windows.h>

#include "runtime/gbk.h"
#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/label_block.h"
#include "window_units/contrast.h"
#include "window_units/property_table.h"
#include "window_units/system_dpi.h"

namespace lyra {

namespace {

const wchar_t kLabelClassName[] = L"LyraboxLabel";

class LabelComponent : public TableComponent<LabelProperties> {
public:
    LabelComponent(uint32_t windowId, uint32_t unitId) : TableComponent(windowId, unitId, kLabelTable) {}

    bool Create(const CreateArgs& args);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Reapply(int ownNumber, uint32_t what) override;

private:
    void ApplyFont() { font_.Reset(CreateFontFromBlock(properties_.font)); }
    void Paint(HDC dc);
    void Repaint() { InvalidateRect(Handle(), nullptr, TRUE); }

    OwnedFont font_;
};

bool LabelComponent::Create(const CreateArgs& args) {
    framework::RegisterWindowClass(kLabelClassName, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                   LoadCursorW(nullptr, IDC_ARROW), nullptr, &DefWindowProcW);
    DWORD borderStyle, exStyle;
    BorderStyles(properties_.border, &borderStyle, &exStyle);
    std::wstring caption = GbkToWide(properties_.caption.data(), properties_.caption.size());
    HWND handle = CreateWindowExW(exStyle, kLabelClassName, caption.c_str(),
                                  WS_CHILD | WS_CLIPSIBLINGS | borderStyle | args.style, args.left, args.top,
                                  args.width, args.height, args.parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.childId)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (handle == nullptr) return false;
    Attach(handle);
    ApplyFont();
    return true;
}

void LabelComponent::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (properties_.backgroundColour == kDefaultColour) {
        // Transparent: the parent's background, as it colours its static controls.
        HWND parent = GetParent(Handle());
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Handle())));
        FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
    } else {
        OwnedBrush brush(CreateSolidBrush(
            ContrastColour(ResolveColour(properties_.backgroundColour, COLOR_BTNFACE), COLOR_BTNFACE)));
        FillRect(dc, &client, brush.get());
    }
    DrawBmpFile(dc, properties_.picture, 0, 0);

    std::wstring caption = WindowTextWide(Handle());
    HFONT font = ShownFont(font_);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(Handle())
                         ? ContrastColour(ResolveColour(properties_.textColour, COLOR_BTNTEXT), COLOR_BTNTEXT)
                         : GetSysColor(COLOR_GRAYTEXT));
    UINT format = DT_NOPREFIX;
    format |= properties_.alignment == 1 ? DT_CENTER : properties_.alignment == 2 ? DT_RIGHT : DT_LEFT;
    if (properties_.wordWrap) {
        format |= DT_WORDBREAK;
    } else {
        format |= DT_SINGLELINE;
        format |= properties_.verticalAlignment == 1 ? DT_VCENTER : properties_.verticalAlignment == 2 ? DT_BOTTOM : DT_TOP;
    }
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &client, format);
    SelectObject(dc, oldFont);
}

LRESULT LabelComponent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
        case WM_PAINT:
            return PaintWindow(Handle(), [this](HDC dc) { Paint(dc); });
        case WM_SETTEXT:
        case WM_ENABLE: {
            LRESULT result = DefaultProc(message, wParam, lParam);
            Repaint();
            return result;
        }
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_.get());
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

void LabelComponent::Reapply(int, uint32_t what) {
    if (what & kLabelCaption) SetWindowTextGbk(Handle(), properties_.caption);
    if (what & kLabelBorder) ApplyBorder(Handle(), properties_.border);
    if (what & kLabelFont) ApplyFont();
    if (what & kLabelRepaint) Repaint();
}

// The rectangle of a window in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsLabel(HWND window) {
    wchar_t name[32] = L"";
    GetClassNameW(window, name, 32);
    return lstrcmpW(name, kLabelClassName) == 0;
}

}  // namespace

std::wstring NameFromLabel(HWND control) {
    HWND parent = GetParent(control);
    if (parent == nullptr) return std::wstring();
    const RECT target = RectInParent(control);
    // Label and control may touch or overlap by a pixel or two.
    const int reach = ToPixels(8), overlap = ToPixels(2);
    HWND nearest = nullptr;
    int nearestGap = reach + 1;
    for (HWND sibling = GetWindow(parent, GW_CHILD); sibling != nullptr; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == control || !IsLabel(sibling) || !(GetWindowLongPtrW(sibling, GWL_STYLE) & WS_VISIBLE)) continue;
        const RECT label = RectInParent(sibling);
        const bool sameLine = label.top < target.bottom && label.bottom > target.top;
        const bool sameColumn = label.left < target.right && label.right > target.left;
        int gap = reach + 1;
        if (sameLine && label.right <= target.left + overlap) gap = target.left - label.right;
        else if (sameColumn && label.bottom <= target.top + overlap) gap = target.top - label.bottom;
        if (gap <= reach && gap < nearestGap) {
            nearest = sibling;
            nearestGap = gap;
        }
    }
    return nearest != nullptr ? NameOfCaption(WindowTextWide(nearest)) : std::wstring();
}

void* LabelInterface(int op) { return TypeInterface(op, &CreateFromBlock<LabelComponent>); }

}  // namespace lyra
