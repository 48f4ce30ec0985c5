// Helpers shared by the component types: GBK window texts, owned GDI
// objects and image lists, fonts and colours from property values, border
// styles, BMP pictures, and the operations a type hands out.
//
// Ownership is in the names: an Owned* object deletes what it holds; a
// plain handle (HFONT, HBRUSH, HIMAGELIST ...) is a borrowed view.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>

#include <cstddef>
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

// Owns a handle and lets it go with Destroy when replaced or destroyed.
template <typename Handle, typename Destroy>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle get() const { return handle_; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) Destroy()(handle_);
        handle_ = handle;
    }
    // Hands the handle to the caller, who lets it go.
    Handle Release() {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    Handle handle_ = nullptr;
};

// A GDI object selected into a device context must be selected out first.
struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using OwnedFont = Owned<HFONT, DeleteGdiObject>;
using OwnedBrush = Owned<HBRUSH, DeleteGdiObject>;
using OwnedBitmap = Owned<HBITMAP, DeleteGdiObject>;
using OwnedRegion = Owned<HRGN, DeleteGdiObject>;

// The common-control functions the components use. The common controls
// are not a KnownDLL: they are bound from the system folder on first use
// (the manifest still makes them version 6). A function the library lacks
// is null.
struct CommonControls {
    decltype(&InitCommonControlsEx) initCommonControlsEx;
    // Spelled out: commctrl.h declares ImageList_Read only when objidl.h came first.
    HIMAGELIST(WINAPI* imageListRead)(IStream* stream);
    decltype(&ImageList_Destroy) imageListDestroy;
    decltype(&ImageList_SetBkColor) imageListSetBkColor;
};
const CommonControls& Comctl();

struct DestroyImageList {
    void operator()(HIMAGELIST list) const;
};
using OwnedImageList = Owned<HIMAGELIST, DestroyImageList>;

// The font of a 60-byte LOGFONTA value (GBK face name), or null for any
// other size: the caller then uses the default GUI font. The caller owns
// the font.
HFONT CreateFontFromBlock(const void* block, size_t size);
template <typename Bytes>
HFONT CreateFontFromBlock(const Bytes& block) {
    return CreateFontFromBlock(block.data(), block.size());
}
inline HFONT DefaultGuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
// The font a component shows: its own, or the default GUI font.
inline HFONT ShownFont(const OwnedFont& font) { return font.get() != nullptr ? font.get() : DefaultGuiFont(); }
// The LOGFONTA fields of the system's default GUI font.
LogFontFields DefaultGuiFontFields();

// A stored colour: kDefaultColour gives the system colour defaultIndex; a
// word with kSystemColourFlag names a system colour by its low byte.
COLORREF ResolveColour(uint32_t stored, int defaultIndex);

// Border values 0..6: 0 none, 1 client edge, 2 dialog frame, 3 static edge,
// 4 client edge and dialog frame, 5 thin border, 6 raised edge.
void BorderStyles(uint32_t border, DWORD* style, DWORD* exStyle);
// Every style and extended style bit a border value may set.
constexpr DWORD kBorderStyleBits = WS_BORDER;
constexpr DWORD kBorderExStyleBits = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE;
// Replaces the border bits of a live window and redraws its frame.
void ApplyBorder(HWND window, uint32_t border);

// Draws a BMP file at (x, y); false when the bytes are not a readable BMP.
bool DrawBmpFile(HDC dc, const std::vector<uint8_t>& file, int x, int y);

// Sends a control's notification to its parent as the control itself would.
void NotifyParent(HWND control, WORD code);

// The operations a type hands out, on the Component virtuals.
bool GetPropertyOp(Component* component, int ownNumber, PropertyValue* value);
bool SetPropertyOp(Component* component, int ownNumber, const PropertyValue& value);
// A new block: u32 size, then the property block.
void* PropertyDataOp(Component* component);

// The getInterface answer of a type with these create and key-filter
// operations; null for an operation the type does not have.
void* TypeInterface(int operation, CreateOperation create, KeyFilterOperation keyFilter = nullptr);

}  // namespace lyra
