#include "window_units/components/group_box.h"

#include <windows.h>
#include <oleacc.h>

#include "runtime/gbk.h"
#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/group_box_block.h"
#include "window_units/contrast.h"
#include "window_units/property_table.h"
#include "window_units/system_dpi.h"

namespace lyra {

namespace {

const DWORD kAlignmentStyles[3] = {BS_LEFT, BS_CENTER, BS_RIGHT};

class GroupBoxComponent : public TableComponent<GroupBoxProperties> {
public:
    GroupBoxComponent(uint32_t windowId, uint32_t unitId) : TableComponent(windowId, unitId, kGroupBoxTable) {}

    bool Create(const CreateArgs& args);
    bool DescribeForScreenReader(AccessibleFacts* facts) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Reapply(int ownNumber, uint32_t what) override;

private:
    void ApplyFont();
    COLORREF BackgroundColour() const {
        return ContrastColour(ResolveColour(properties_.backgroundColour, COLOR_BTNFACE), COLOR_BTNFACE);
    }
    void ApplyBackground() { background_.Reset(CreateSolidBrush(BackgroundColour())); }
    void ApplyAlignment();
    void Repaint() { RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN); }
    COLORREF CaptionColour() const;
    // The frame and its caption, painted here: a themed group box draws its
    // caption in the theme's colour whatever the caption colour is.
    void Paint(HDC dc);

    OwnedFont font_;
    OwnedBrush background_;
};

bool GroupBoxComponent::Create(const CreateArgs& args) {
    std::wstring caption = GbkToWide(properties_.caption.data(), properties_.caption.size());
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | BS_GROUPBOX | kAlignmentStyles[properties_.alignment] | args.style;
    HWND handle = CreateWindowExW(0, L"BUTTON", caption.c_str(), style, args.left, args.top, args.width,
                                  args.height, args.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.childId)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (handle == nullptr) return false;
    Attach(handle);
    ApplyFont();
    ApplyBackground();
    return true;
}

void GroupBoxComponent::ApplyFont() {
    font_.Reset(CreateFontFromBlock(properties_.font));
    HFONT font = ShownFont(font_);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void GroupBoxComponent::ApplyAlignment() {
    LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(BS_CENTER);
    SetWindowLongPtrW(Handle(), GWL_STYLE, style | kAlignmentStyles[properties_.alignment]);
    Repaint();
}

COLORREF GroupBoxComponent::CaptionColour() const {
    if (!IsWindowEnabled(Handle())) return GetSysColor(COLOR_GRAYTEXT);
    return ContrastColour(ResolveColour(properties_.captionColour, COLOR_BTNTEXT), COLOR_BTNTEXT);
}

bool GroupBoxComponent::DescribeForScreenReader(AccessibleFacts* facts) {
    facts->role = ROLE_SYSTEM_GROUPING;
    facts->name = WindowTextWide(Handle());
    return true;
}

void GroupBoxComponent::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font != nullptr ? font : DefaultGuiFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);

    // The frame runs through the middle of the caption's line.
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);

    std::wstring caption = WindowTextWide(Handle());
    if (!caption.empty()) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        const int inset = ToPixels(7), gap = ToPixels(2);
        int left = client.left + inset;
        if (properties_.alignment == 1) left = (client.right - extent.cx) / 2;
        if (properties_.alignment == 2) left = client.right - inset - extent.cx;
        RECT band{left - gap, client.top, left + extent.cx + gap, client.top + metrics.tmHeight};
        FillRect(dc, &band, background_.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, CaptionColour());
        TextOutW(dc, left, client.top, caption.c_str(), static_cast<int>(caption.size()));
    }
    SelectObject(dc, oldFont);
}

LRESULT GroupBoxComponent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The components inside talk to their parent, this frame.
    LRESULT reflected = 0;
    if (ReflectNotification(message, wParam, lParam, &reflected)) return reflected;
    switch (message) {
        case kReflectedMessageBase + WM_CTLCOLORSTATIC:
        case kReflectedMessageBase + WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, CaptionColour());
            SetBkColor(dc, BackgroundColour());
            return reinterpret_cast<LRESULT>(background_.get());
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            SetBkColor(reinterpret_cast<HDC>(wParam), BackgroundColour());
            return reinterpret_cast<LRESULT>(background_.get());
        case WM_ERASEBKGND: {
            // A group box does not paint its own inside.
            RECT client;
            GetClientRect(Handle(), &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background_.get());
            return 1;
        }
        case WM_PAINT:
            return PaintWindow(Handle(), [this](HDC dc) { Paint(dc); });
        case WM_ENABLE: {
            LRESULT result = DefaultProc(message, wParam, lParam);
            Repaint();
            return result;
        }
        case WM_SETTEXT: {
            // The caption is the lookup's status: a screen reader reads it out.
            LRESULT result = DefaultProc(message, wParam, lParam);
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
            return result;
        }
        case WM_SYSCOLORCHANGE:
            ApplyBackground();
            Repaint();
            return DefaultProc(message, wParam, lParam);
        case WM_GETOBJECT:
            return AnswerGetObject(wParam, lParam);
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

void GroupBoxComponent::Reapply(int, uint32_t what) {
    if (what & kGroupCaption) SetWindowTextGbk(Handle(), properties_.caption);
    if (what & kGroupAlignment) ApplyAlignment();
    if (what & kGroupBackground) ApplyBackground();
    if (what & kGroupFont) ApplyFont();
    if (what & kGroupRepaint) Repaint();
}

}  // namespace

void* GroupBoxInterface(int op) { return TypeInterface(op, &CreateFromBlock<GroupBoxComponent>); }

}  // namespace lyra
