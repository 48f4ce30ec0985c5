#include "window_units/component_support.h"

#include <cstring>

#include "runtime/gbk.h"
#include "window_units/system_dpi.h"

namespace lyra {

std::string WindowTextGbk(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, &text[0], length + 1);
    return WideToGbk(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

void SetWindowTextGbk(HWND window, const std::string& gbk) {
    SetWindowTextW(window, GbkToWide(gbk.data(), gbk.size()).c_str());
}

HFONT CreateFontFromBlock(const std::vector<uint8_t>& block) {
    LogFontFields fields;
    if (!DecodeLogFont(block, &fields)) return nullptr;
    LOGFONTW font{};
    font.lfHeight = fields.height;
    font.lfWidth = fields.width;
    font.lfEscapement = fields.escapement;
    font.lfOrientation = fields.orientation;
    font.lfWeight = fields.weight;
    font.lfItalic = fields.italic;
    font.lfUnderline = fields.underline;
    font.lfStrikeOut = fields.strikeOut;
    font.lfCharSet = fields.charset;
    font.lfOutPrecision = fields.outPrecision;
    font.lfClipPrecision = fields.clipPrecision;
    font.lfQuality = fields.quality;
    font.lfPitchAndFamily = fields.pitchAndFamily;
    std::wstring face = GbkToWide(fields.faceName.data(), fields.faceName.size());
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    ScaleFontToDpi(&font);
    return CreateFontIndirectW(&font);
}

LogFontFields DefaultGuiFontFields() {
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    LogFontFields fields;
    fields.height = font.lfHeight;
    fields.width = font.lfWidth;
    fields.escapement = font.lfEscapement;
    fields.orientation = font.lfOrientation;
    fields.weight = font.lfWeight;
    fields.italic = font.lfItalic;
    fields.underline = font.lfUnderline;
    fields.strikeOut = font.lfStrikeOut;
    fields.charset = font.lfCharSet;
    fields.outPrecision = font.lfOutPrecision;
    fields.clipPrecision = font.lfClipPrecision;
    fields.quality = font.lfQuality;
    fields.pitchAndFamily = font.lfPitchAndFamily;
    fields.faceName = WideToGbk(font.lfFaceName);
    if (fields.faceName.size() > 31) fields.faceName.resize(31);
    return fields;
}

COLORREF ResolveColour(uint32_t stored, int defaultIndex) {
    if (stored == kDefaultColour) return GetSysColor(defaultIndex);
    if ((stored & 0xFF000000) == kSystemColourFlag) return GetSysColor(static_cast<int>(stored & 0xFF));
    return stored & 0x00FFFFFF;
}

void BorderStyles(uint32_t border, DWORD* style, DWORD* exStyle) {
    *style = 0;
    *exStyle = 0;
    switch (border) {
        case 1: *exStyle = WS_EX_CLIENTEDGE; break;
        case 2: *exStyle = WS_EX_DLGMODALFRAME; break;
        case 3: *exStyle = WS_EX_STATICEDGE; break;
        case 4: *exStyle = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
        case 5: *style = WS_BORDER; break;
        case 6: *exStyle = WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME; break;
        default: break;
    }
}

void ApplyBorder(HWND window, uint32_t border) {
    const DWORD kStyleBits = WS_BORDER;
    const DWORD kExBits = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE;
    DWORD style, exStyle;
    BorderStyles(border, &style, &exStyle);
    LONG_PTR current = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE, (current & ~static_cast<LONG_PTR>(kStyleBits)) | style);
    LONG_PTR currentEx = GetWindowLongPtrW(window, GWL_EXSTYLE);
    SetWindowLongPtrW(window, GWL_EXSTYLE, (currentEx & ~static_cast<LONG_PTR>(kExBits)) | exStyle);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool DrawBmpFile(HDC dc, const std::vector<uint8_t>& file, int x, int y) {
    const size_t kFileHeader = 14;
    if (file.size() < kFileHeader + sizeof(BITMAPINFOHEADER) || file[0] != 'B' || file[1] != 'M') return false;
    uint32_t bitsOffset;
    std::memcpy(&bitsOffset, file.data() + 10, 4);
    BITMAPINFOHEADER header;
    std::memcpy(&header, file.data() + kFileHeader, sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == INT32_MIN || header.biPlanes != 1)
        return false;
    if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) return false;
    uint32_t bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    uint64_t width = static_cast<uint64_t>(header.biWidth);
    uint64_t height = static_cast<uint64_t>(header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight)
                                                                 : header.biHeight);
    if (width > 0x8000 || height > 0x8000) return false;
    uint64_t stride = ((width * bits + 31) / 32) * 4;
    uint64_t colours = bits <= 8 ? (header.biClrUsed != 0 ? header.biClrUsed : (1u << bits)) : 0;
    uint64_t masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
    uint64_t infoEnd = kFileHeader + header.biSize + masks + colours * 4;
    if (colours > 256 || infoEnd > file.size() || infoEnd > bitsOffset) return false;
    if (bitsOffset > file.size() || stride * height > file.size() - bitsOffset) return false;
    // The header and colour table, copied so that BITMAPINFO is aligned.
    std::vector<uint8_t> info(file.begin() + kFileHeader, file.begin() + static_cast<std::ptrdiff_t>(infoEnd));
    int w = static_cast<int>(width), h = static_cast<int>(height);
    return StretchDIBits(dc, x, y, w, h, 0, 0, w, h, file.data() + bitsOffset,
                         reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY) != 0;
}

void NotifyParent(HWND control, WORD code) {
    HWND parent = GetParent(control);
    if (parent == nullptr) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

}  // namespace lyra
