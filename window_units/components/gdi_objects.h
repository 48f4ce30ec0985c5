// Owned GDI objects and the conversions the component types share: fonts
// from stored LOGFONTA blocks, stored colour words, border styles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace lyra {

template <typename Handle>
class GdiHandle {
public:
    GdiHandle() = default;
    explicit GdiHandle(Handle handle) : handle_(handle) {}
    ~GdiHandle() { Reset(); }
    GdiHandle(const GdiHandle&) = delete;
    GdiHandle& operator=(const GdiHandle&) = delete;
    GdiHandle(GdiHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    GdiHandle& operator=(GdiHandle&& other) noexcept {
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

using FontHandle = GdiHandle<HFONT>;
using BrushHandle = GdiHandle<HBRUSH>;
using BitmapHandle = GdiHandle<HBITMAP>;

// A font from a stored 60-byte LOGFONTA (GBK face name); null for any other
// size, meaning the default GUI font.
HFONT FontFromLogFontBlock(const std::string& block);
inline HFONT DefaultGuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

constexpr uint32_t kStoredDefaultColour = 0xFF000000;
// A stored colour word as a COLORREF: system colour numbers (0x800000nn)
// resolved; the default colour gives fallback.
COLORREF ResolveStoredColour(uint32_t stored, COLORREF fallback);
inline bool IsDefaultColour(uint32_t stored) { return stored == kStoredDefaultColour; }

// Border values 0-5: none, client edge, dialog frame, static edge, client
// edge plus dialog frame, thin border.
void BorderStyleBits(int32_t border, DWORD* style, DWORD* exStyle);
constexpr DWORD kBorderWindowStyles = WS_BORDER;
constexpr DWORD kBorderExtendedStyles = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

}  // namespace lyra
