#include "window_units/system_dpi.h"

#include <cstring>
#include <vector>

namespace lyra {

int SystemDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        int value = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kTemplateDpi;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        return value > 0 ? value : kTemplateDpi;
    }();
    return dpi;
}

void ScaleFontToDpi(LOGFONTW* font) {
    font->lfHeight = ToPixels(font->lfHeight);
    font->lfWidth = ToPixels(font->lfWidth);
}

void ScalePictureToDpi(OwnedBitmap* picture, SIZE* size) {
    if (picture->get() == nullptr || SystemDpi() == kTemplateDpi) return;
    const int width = size->cx, height = size->cy;
    const int newWidth = ToPixels(width), newHeight = ToPixels(height);
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, picture->get(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) return;

    std::vector<uint8_t> scaled = ResampleRgba(pixels, width, height, newWidth, newHeight);
    info.bmiHeader.biWidth = newWidth;
    info.bmiHeader.biHeight = -newHeight;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy == nullptr || bits == nullptr) return;
    std::memcpy(bits, scaled.data(), scaled.size());
    picture->Reset(copy);
    *size = SIZE{newWidth, newHeight};
}

}  // namespace lyra
