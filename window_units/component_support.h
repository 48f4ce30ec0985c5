// Helpers shared by the component types: GBK window texts, fonts and
// brushes from property values, colours, border styles and BMP pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "window_units/component.h"
#include "window_units/property_block.h"

namespace lyra {

std::wstring WindowTextWide(HWND window);
std::string WindowTextGbk(HWND window);
void SetWindowTextGbk(HWND window, const std::string& gbk);

// The answer to WM_PAINT for a window that paints itself: draw(dc) between
// BeginPaint and EndPaint.
template <typename Draw>
LRESULT PaintWindow(HWND window, Draw draw) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    draw(dc);
    EndPaint(window, &paint);
    return 0;
}

// An owned GDI object.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return handle_; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};
using OwnedFont = GdiObject<HFONT>;
using OwnedBrush = GdiObject<HBRUSH>;

// The font of a 60-byte LOGFONTA value, or null for any other size (the
// caller then uses the default GUI font).
HFONT CreateFontFromBlock(const std::vector<uint8_t>& block);
// The LOGFONTA fields of the system's default GUI font.
LogFontFields DefaultGuiFontFields();

// A stored colour: kDefaultColour gives the system colour defaultIndex; a
// word with kSystemColourFlag names a system colour by its low byte.
COLORREF ResolveColour(uint32_t stored, int defaultIndex);

// Border values 0..6: 0 none, 1 client edge, 2 dialog frame, 3 static edge,
// 4 client edge and dialog frame, 5 thin border, 6 raised edge.
void BorderStyles(uint32_t border, DWORD* style, DWORD* exStyle);
// Replaces the border bits of a live window and redraws its frame.
void ApplyBorder(HWND window, uint32_t border);

// Draws a BMP file at (x, y); false when the bytes are not a readable BMP.
bool DrawBmpFile(HDC dc, const std::vector<uint8_t>& file, int x, int y);

// Sends a control's notification to its parent as the control itself would.
void NotifyParent(HWND control, WORD code);

}  // namespace lyra
