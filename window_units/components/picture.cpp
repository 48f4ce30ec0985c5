#include "window_units/components/picture.h"

#include <objbase.h>
#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <vector>

#include "runtime/system_libraries.h"
#include "window_units/component_support.h"
#include "window_units/components/bmp_layout.h"

namespace lyra {

namespace {

uint32_t U32At(const std::string& s, size_t at) {
    uint32_t v;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}

// A 32-bit BI_RGB bitmap whose alpha bytes are neither all 0 nor all 255
// carries an alpha channel: its colours are premultiplied for AlphaBlend.
bool PremultiplyAlpha(uint8_t* pixels, size_t count) {
    bool allOpaque = true, allClear = true;
    for (size_t i = 0; i < count; ++i) {
        uint8_t a = pixels[4 * i + 3];
        allOpaque = allOpaque && a == 255;
        allClear = allClear && a == 0;
    }
    if (allOpaque || allClear) return false;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* p = pixels + 4 * i;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(p[c] * p[3] / 255);
    }
    return true;
}

// BI_RGB and BI_BITFIELDS bitmaps, copied into a DIB section as they are.
HBITMAP DecodeBmp(const std::string& file, SIZE* size, bool* alpha) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
    BmpLayout layout;
    if (!ReadBmpLayout(bytes, file.size(), &layout)) return nullptr;
    std::vector<uint8_t> info = BmpInfoBlock(bytes, layout);
    void* bits = nullptr;
    OwnedBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                        &bits, nullptr, 0));
    if (bitmap.get() == nullptr || bits == nullptr) return nullptr;
    std::memcpy(bits, bytes + layout.bitsOffset, layout.imageBytes);
    if (layout.bitCount == 32 && !layout.bitFields) {
        *alpha = PremultiplyAlpha(static_cast<uint8_t*>(bits), static_cast<size_t>(layout.width) * layout.rows);
    }
    GdiFlush();
    size->cx = layout.width;
    size->cy = layout.rows;
    return bitmap.Release();
}

struct ComApartment {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

HBITMAP DecodeWithPictureLoader(const std::string& file, SIZE* size) {
    ComApartment apartment;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, file.size());
    if (memory == nullptr) return nullptr;
    void* p = GlobalLock(memory);
    std::memcpy(p, file.data(), file.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    IPicture* picture = nullptr;
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(file.size()), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(hr) || picture == nullptr) return nullptr;

    HBITMAP result = nullptr;
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP && SUCCEEDED(picture->get_Handle(&handle))) {
        HBITMAP source = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle));
        BITMAP info;
        if (GetObjectW(source, sizeof info, &info) == sizeof info) {
            result = static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
            size->cx = info.bmWidth;
            size->cy = info.bmHeight;
        }
    } else {
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        picture->get_Width(&width);
        picture->get_Height(&height);
        HDC screen = GetDC(nullptr);
        int cx = MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
        int cy = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
        if (cx > 0 && cy > 0) {
            BITMAPINFO bmi{};
            bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
            bmi.bmiHeader.biWidth = cx;
            bmi.bmiHeader.biHeight = -cy;
            bmi.bmiHeader.biPlanes = 1;
            bmi.bmiHeader.biBitCount = 32;
            void* bits = nullptr;
            result = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
            if (result != nullptr) {
                HDC dc = CreateCompatibleDC(screen);
                HGDIOBJ old = SelectObject(dc, result);
                RECT all{0, 0, cx, cy};
                FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
                picture->Render(dc, 0, 0, cx, cy, 0, height, width, -height, nullptr);
                SelectObject(dc, old);
                DeleteDC(dc);
                size->cx = cx;
                size->cy = cy;
            }
        }
        ReleaseDC(nullptr, screen);
    }
    picture->Release();
    return result;
}

}  // namespace

HBITMAP DecodePicture(const std::string& file, SIZE* size, bool* alpha) {
    SIZE ignored;
    bool noAlpha;
    if (size == nullptr) size = &ignored;
    if (alpha == nullptr) alpha = &noAlpha;
    size->cx = size->cy = 0;
    *alpha = false;
    if (file.size() < 8) return nullptr;
    if (file[0] == 'B' && file[1] == 'M' && file.size() >= 14 + sizeof(BITMAPINFOHEADER)) {
        uint32_t compression = U32At(file, 14 + offsetof(BITMAPINFOHEADER, biCompression));
        // The uncompressed layouts are ours to judge: a short one is refused,
        // not handed on to a loader that would show what there is of it.
        if (compression == BI_RGB || compression == BI_BITFIELDS) return DecodeBmp(file, size, alpha);
    }
    return DecodeWithPictureLoader(file, size);
}

void DrawPicture(HDC dc, HBITMAP picture, SIZE size, bool alpha, int x, int y) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    static const auto alphaBlend = SystemFunction<decltype(&AlphaBlend)>(L"msimg32.dll", "AlphaBlend");
    if (alpha && alphaBlend != nullptr) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        alphaBlend(dc, x, y, size.cx, size.cy, source, 0, 0, size.cx, size.cy, blend);
    } else {
        BitBlt(dc, x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

}  // namespace lyra
