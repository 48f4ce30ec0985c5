// Owned GDI objects and the conversions the component types share: fonts
// from stored LOGFONTA blocks, stored colour words, border styles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace lyra {

template <typename Handle>
class OwnedGdiObject {
public:
    OwnedGdiObject() = default;
    explicit OwnedGdiObject(Handle handle) : handle_(handle) {}
    ~OwnedGdiObject() { Reset(); }
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
    OwnedGdiObject(OwnedGdiObject&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    OwnedGdiObject& operator=(OwnedGdiObject&& other) noexcept {
        if (this != &other) {
            Reset(other.handle_);
            other.handle_ = nullptr;
        }
        return *this;
    }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = handle;
    }
    Handle Get() const { return handle_; }

private:
    Handle handle_ = nullptr;
};

using OwnedFont = OwnedGdiObject<HFONT>;
using OwnedBrush = OwnedGdiObject<HBRUSH>;
using OwnedBitmap = OwnedGdiObject<HBITMAP>;

// A font from a stored 60-byte LOGFONTA (GBK face name); null for any other
// size, meaning the default GUI font.
HFONT CreateFontFromBlock(const std::string& block);
inline HFONT DefaultGuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

constexpr uint32_t kColourDefault = 0xFF000000;
// A stored colour word as a COLORREF: system colour numbers (0x800000nn)
// resolved; the default colour gives fallback.
COLORREF ResolveColour(uint32_t stored, COLORREF fallback);
inline bool IsDefaultColour(uint32_t stored) { return stored == kColourDefault; }

// Border values 0-5: none, client edge, dialog frame, static edge, client
// edge plus dialog frame, thin border.
void BorderStyles(int32_t border, DWORD* style, DWORD* exStyle);
constexpr DWORD kBorderStyleMask = WS_BORDER;
constexpr DWORD kBorderExStyleMask = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

}  // namespace lyra
