#include "window_units/components/gdi_objects.h"

#include <cstring>

#include "runtime/gbk.h"
#include "window_units/system_dpi.h"

namespace lyra {

HFONT FontFromLogFontBlock(const std::string& block) {
    if (block.size() != sizeof(LOGFONTA)) return nullptr;
    LOGFONTA narrow;
    std::memcpy(&narrow, block.data(), sizeof narrow);
    LOGFONTW wide{};
    std::memcpy(&wide, &narrow, offsetof(LOGFONTA, lfFaceName));
    size_t faceLength = strnlen(narrow.lfFaceName, LF_FACESIZE);
    std::wstring face = GbkToWide(narrow.lfFaceName, faceLength);
    wcsncpy(wide.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    ScaleFontToDpi(&wide);
    return CreateFontIndirectW(&wide);
}

COLORREF ResolveStoredColour(uint32_t stored, COLORREF fallback) {
    if (stored == kStoredDefaultColour) return fallback;
    if ((stored & 0xFF000000) == 0x80000000) return GetSysColor(static_cast<int>(stored & 0xFF));
    return static_cast<COLORREF>(stored & 0x00FFFFFF);
}

void BorderStyleBits(int32_t border, DWORD* style, DWORD* exStyle) {
    *style = 0;
    *exStyle = 0;
    switch (border) {
        case 1: *exStyle = WS_EX_CLIENTEDGE; break;
        case 2: *exStyle = WS_EX_DLGMODALFRAME; break;
        case 3: *exStyle = WS_EX_STATICEDGE; break;
        case 4: *exStyle = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
        case 5: *style = WS_BORDER; break;
        default: break;
    }
}

}  // namespace lyra
