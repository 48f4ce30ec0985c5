#include "window_units/components/super_btn.h"

#include <oleacc.h>

#include <algorithm>

#include "runtime/gbk.h"
#include "window_units/component_support.h"
#include "window_units/contrast.h"
#include "window_units/property_block.h"
#include "window_units/system_dpi.h"
#include "window_units/components/picture.h"
#include "window_units/components/sound.h"
#include "window_units/components/window_thread.h"

namespace lyra {

namespace {

// Posted by the default action: the click comes after the screen reader's
// call has returned, so that a box it opens does not hold the caller.
constexpr UINT kDefaultActionMessage = WM_APP + 0x5342;

// Button style bits a style word may add; the button type stays owner-drawn.
constexpr DWORD kStyleWordMask = BS_LEFT | BS_RIGHT | BS_TOP | BS_BOTTOM | BS_MULTILINE | BS_FLAT;

bool KeyFilter(Component*, const MSG& message) {
    return message.message == WM_KEYDOWN && (message.wParam == VK_SPACE || message.wParam == VK_RETURN);
}

}  // namespace

bool SuperBtnComponent::Create(const CreateArgs& args) {
    HWND parent = args.parent != nullptr ? args.parent : args.window;
    return CreateControl(parent, args.style, args.left, args.top, args.width, args.height, args.childId);
}

DWORD SuperBtnComponent::ControlStyle() const {
    return WS_CHILD | WS_CLIPSIBLINGS | BS_OWNERDRAW | (static_cast<DWORD>(properties_.styleWord) & kStyleWordMask);
}

bool SuperBtnComponent::CreateControl(HWND parent, DWORD style, int left, int top, int width, int height, UINT id) {
    std::wstring caption = GbkToWide(properties_.caption.c_str(), properties_.caption.size());
    HWND window = CreateWindowExW(0, L"BUTTON", caption.c_str(), style | ControlStyle(), left, top, width, height, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return false;
    if (!Attach(window)) {
        DestroyWindow(window);
        return false;
    }
    LoadPictures();
    ApplyFont();
    return true;
}

// A new style word takes a new control in the old one's place.
void SuperBtnComponent::Recreate() {
    HWND old = Handle();
    HWND parent = GetParent(old);
    RECT rect;
    GetWindowRect(old, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    auto kept = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP);
    auto id = static_cast<UINT>(GetDlgCtrlID(old));
    HWND previous = GetWindow(old, GW_HWNDPREV);
    properties_.caption = WindowTextGbk(old);
    Detach();
    DestroyWindow(old);
    if (CreateControl(parent, kept, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, id)) {
        SetWindowPos(Handle(), previous != nullptr ? previous : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void SuperBtnComponent::LoadPictures() {
    for (int look = 0; look < 3; ++look) {
        pictureSizes_[look] = SIZE{0, 0};
        pictures_[look].Reset(DecodePicture(properties_.pictures[look].file, &pictureSizes_[look], &pictureAlpha_[look]));
        ScalePictureToDpi(&pictures_[look], &pictureSizes_[look]);
    }
    if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, FALSE);
}

void SuperBtnComponent::ApplyFont() {
    font_.Reset(CreateFontFromBlock(properties_.font));
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(ShownFont(font_)), TRUE);
}

SuperBtnLook SuperBtnComponent::CurrentLook() const {
    HWND window = Handle();
    bool pushed = window != nullptr && (SendMessageW(window, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    if (pushed || (properties_.buttonType == 1 && properties_.pressed)) return kLookPressed;
    return hot_ ? kLookHot : kLookNormal;
}

// Drawn off screen and copied in one go, so that the face does not flicker.
void SuperBtnComponent::Paint(HDC target, const RECT& bounds) {
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) return;
    HDC dc = CreateCompatibleDC(target);
    OwnedBitmap canvas(CreateCompatibleBitmap(target, width, height));
    HGDIOBJ oldCanvas = SelectObject(dc, canvas.get());
    PaintFace(dc, RECT{0, 0, width, height});
    BitBlt(target, bounds.left, bounds.top, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldCanvas);
    DeleteDC(dc);
}

void SuperBtnComponent::PaintFace(HDC dc, const RECT& all) {
    const SuperBtnLook look = CurrentLook();
    const bool contrast = HighContrast();
    COLORREF back = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    if (properties_.useColours && !contrast) {
        back = ResolveColour(properties_.colours[look].back, COLOR_BTNFACE);
        text = ResolveColour(properties_.colours[look].text, COLOR_BTNTEXT);
    }
    if (!IsWindowEnabled(Handle())) text = GetSysColor(COLOR_GRAYTEXT);
    FillRect(dc, &all, OwnedBrush(CreateSolidBrush(back)).get());

    bool covered = DrawPictureAndCaption(dc, all, look, contrast, text);
    if (!covered && (properties_.buttonType != 2 || look != kLookNormal)) {
        UINT edge = look == kLookPressed ? EDGE_SUNKEN : (properties_.buttonType == 2 ? BDR_RAISEDINNER : EDGE_RAISED);
        RECT frame = all;
        DrawEdge(dc, &frame, edge, BF_RECT);
    }
    if (GetFocus() == Handle()) {
        RECT focus = all;
        InflateRect(&focus, -3, -3);
        if (contrast) {
            FrameRect(dc, &focus, OwnedBrush(CreateSolidBrush(text)).get());
        } else {
            DrawFocusRect(dc, &focus);
        }
    }
}

bool SuperBtnComponent::DrawPictureAndCaption(HDC dc, const RECT& all, SuperBtnLook look, bool contrast,
                                              COLORREF text) {
    const int width = all.right - all.left, height = all.bottom - all.top;
    // A look without its own picture shows the normal one.
    int slot = pictures_[look].get() != nullptr ? look : kLookNormal;
    HBITMAP picture = pictures_[slot].get();
    SIZE size = pictureSizes_[slot];
    bool covered = picture != nullptr && !pictureAlpha_[slot] && size.cx >= width && size.cy >= height;
    int shift = look == kLookPressed && slot != kLookPressed ? 1 : 0;

    std::wstring caption = WindowTextWide(Handle());
    if (covered && contrast) {
        // A picture that is the whole face carries its own colours: in high
        // contrast the face is the system's, with the button's name on it.
        picture = nullptr;
        covered = false;
        if (caption.empty()) caption = GbkToWide(properties_.tip.c_str(), properties_.tip.size());
    }
    RECT textRect = all;
    if (picture != nullptr) {
        int x = (width - size.cx) / 2, y = (height - size.cy) / 2;
        switch (properties_.pictureAlignment) {
            case 1: x = 2; textRect.left = x + size.cx + 2; break;
            case 2: x = width - size.cx - 2; textRect.right = x - 2; break;
            case 3:
                if (!caption.empty()) {
                    y = 2;
                    textRect.top = y + size.cy;
                }
                break;
            default: break;
        }
        DrawPicture(dc, picture, size, pictureAlpha_[slot], x + shift, y + shift);
    }
    if (!caption.empty()) {
        HGDIOBJ oldFont = SelectObject(dc, ShownFont(font_));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, text);
        OffsetRect(&textRect, shift, shift);
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
    }
    return covered;
}

bool SuperBtnComponent::DescribeForScreenReader(AccessibleFacts* facts) {
    facts->role = ROLE_SYSTEM_PUSHBUTTON;
    facts->name = WindowTextWide(Handle());
    if (facts->name.empty()) facts->name = GbkToWide(properties_.tip.c_str(), properties_.tip.size());
    facts->defaultAction = L"按下";
    return true;
}

bool SuperBtnComponent::DoDefaultAction() {
    if (InputDisabled(Handle())) return false;
    return PostMessageW(Handle(), kDefaultActionMessage, 0, 0) != FALSE;
}

void SuperBtnComponent::PlayStoredSound(const std::string& stored) {
    if (properties_.builtInSound) {
        PlayBuiltInSound();
    } else if (!stored.empty()) {
        PlayWaveAsync(stored);
    }
}

void SuperBtnComponent::Clicked() {
    if (InputDisabled(Handle())) return;
    PlayStoredSound(properties_.clickSound);
    if (properties_.buttonType == 1) {
        properties_.pressed = properties_.pressed ? 0 : 1;
        InvalidateRect(Handle(), nullptr, FALSE);
    }
    RaiseEvent(kEventButtonClicked, {});
}

bool SuperBtnComponent::TakesFocus() const {
    return (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_TABSTOP) != 0;
}

bool SuperBtnComponent::TrackPressWithoutFocus(UINT message, LPARAM lParam) {
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client;
    GetClientRect(Handle(), &client);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (TakesFocus()) return false;
            tracking_ = true;
            SetCapture(Handle());
            SendMessageW(Handle(), BM_SETSTATE, TRUE, 0);
            return true;
        case WM_MOUSEMOVE:
            if (tracking_) SendMessageW(Handle(), BM_SETSTATE, PtInRect(&client, at), 0);
            return false;
        case WM_LBUTTONUP: {
            if (!tracking_) return false;
            tracking_ = false;
            ReleaseCapture();
            SendMessageW(Handle(), BM_SETSTATE, FALSE, 0);
            if (PtInRect(&client, at)) Clicked();
            return true;
        }
        case WM_CAPTURECHANGED:
            if (tracking_) {
                tracking_ = false;
                SendMessageW(Handle(), BM_SETSTATE, FALSE, 0);
            }
            return false;
        default:
            return false;
    }
}

bool SuperBtnComponent::OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_COMMAND:
            // An owner-drawn button reports a quick second click as a double
            // click; for this button both are clicks.
            if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == BN_DOUBLECLICKED) {
                Clicked();
                *result = 0;
                return true;
            }
            return false;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            Paint(item->hDC, item->rcItem);
            *result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

LRESULT SuperBtnComponent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleWindowThreadCall(message, lParam)) return 0;
    switch (message) {
        case kReflectedMessageBase + WM_COMMAND:
        case kReflectedMessageBase + WM_DRAWITEM: {
            LRESULT result = 0;
            OnReflectedMessage(message - kReflectedMessageBase, wParam, lParam, &result);
            return result;
        }
        case WM_PAINT:
            return PaintWindow(Handle(), [this](HDC dc) {
                RECT client;
                GetClientRect(Handle(), &client);
                Paint(dc, client);
            });
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (TrackPressWithoutFocus(message, lParam)) return 0;
            break;
        case WM_KEYDOWN:
            // Space clicks through the button control itself; Enter on a
            // focused button clicks too, as a person expects of a button.
            if (wParam == VK_RETURN && IsWindowEnabled(Handle())) {
                Clicked();
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            TrackPressWithoutFocus(message, lParam);
            if (!hot_) {
                hot_ = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                TrackMouseEvent(&track);
                InvalidateRect(Handle(), nullptr, FALSE);
                PlayStoredSound(properties_.enterSound);
            }
            break;
        case WM_MOUSELEAVE:
            hot_ = false;
            InvalidateRect(Handle(), nullptr, FALSE);
            break;
        case kDefaultActionMessage:
            Clicked();
            return 0;
        case WM_GETOBJECT:
            return AnswerGetObject(wParam, lParam);
        case WM_SETFOCUS: {
            LRESULT answer = DefaultProc(message, wParam, lParam);
            InvalidateRect(Handle(), nullptr, FALSE);
            RaiseEvent(kEventFocusGained, {});
            return answer;
        }
        case WM_KILLFOCUS: {
            LRESULT answer = DefaultProc(message, wParam, lParam);
            InvalidateRect(Handle(), nullptr, FALSE);
            RaiseEvent(kEventFocusLost, {});
            return answer;
        }
        case BM_SETSTATE:
        case WM_ENABLE:
        case WM_SETTEXT: {
            LRESULT answer = DefaultProc(message, wParam, lParam);
            InvalidateRect(Handle(), nullptr, FALSE);
            return answer;
        }
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

void SuperBtnComponent::OnFinalDestroy() {
    for (OwnedBitmap& picture : pictures_) picture.Reset();
    font_.Reset();
    hot_ = false;
    tracking_ = false;
    Component::OnFinalDestroy();
}

void SuperBtnComponent::Reapply(int, uint32_t what) {
    ClampSuperBtnProperties(&properties_);
    HWND window = Handle();
    if (window == nullptr) return;
    if (what & kButtonRecreate) Recreate();
    if (what & kButtonPictures) LoadPictures();
    if (what & kButtonFont) ApplyFont();
    if (what & kButtonCaption) SetWindowTextGbk(window, properties_.caption);
    if (what & kButtonRepaint) InvalidateRect(window, nullptr, FALSE);
}

void* SuperBtnInterface(int operation) {
    return TypeInterface(operation, &CreateFromBlock<SuperBtnComponent>, &KeyFilter);
}

}  // namespace lyra
