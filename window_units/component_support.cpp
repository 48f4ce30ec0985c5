#include "window_units/component_support.h"

#include <cstring>
#include <cwchar>

#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/system_libraries.h"
#include "window_units/components/bmp_layout.h"
#include "window_units/system_dpi.h"

namespace lyra {

std::wstring WindowTextWide(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string WindowTextGbk(HWND window) {
    std::wstring text = WindowTextWide(window);
    return text.empty() ? std::string() : WideToGbk(text.data(), text.size());
}

void SetWindowTextGbk(HWND window, const std::string& gbk) {
    SetWindowTextW(window, GbkToWide(gbk.data(), gbk.size()).c_str());
}

const CommonControls& Comctl() {
    static const CommonControls functions{
        SystemFunction<decltype(&InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx"),
        SystemFunction<decltype(CommonControls::imageListRead)>(L"comctl32.dll", "ImageList_Read"),
        SystemFunction<decltype(&ImageList_Destroy)>(L"comctl32.dll", "ImageList_Destroy"),
        SystemFunction<decltype(&ImageList_SetBkColor)>(L"comctl32.dll", "ImageList_SetBkColor"),
    };
    return functions;
}

void DestroyImageList::operator()(HIMAGELIST list) const {
    // A list exists only if ImageList_Read was bound, and with it the rest of the library.
    if (Comctl().imageListDestroy != nullptr) Comctl().imageListDestroy(list);
}

HFONT CreateFontFromBlock(const void* block, size_t size) {
    static_assert(sizeof(LOGFONTA) == kLogFontSize, "a stored font is a LOGFONTA");
    if (size != sizeof(LOGFONTA)) return nullptr;
    LOGFONTA narrow;
    std::memcpy(&narrow, block, sizeof narrow);
    LOGFONTW wide{};
    std::memcpy(&wide, &narrow, offsetof(LOGFONTA, lfFaceName));
    std::wstring face = GbkToWide(narrow.lfFaceName, strnlen(narrow.lfFaceName, LF_FACESIZE));
    wcsncpy(wide.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    ScaleFontToDpi(&wide);
    return CreateFontIndirectW(&wide);
}

LogFontFields DefaultGuiFontFields() {
    LOGFONTW font{};
    GetObjectW(DefaultGuiFont(), sizeof font, &font);
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
    DWORD style, exStyle;
    BorderStyles(border, &style, &exStyle);
    LONG_PTR current = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE, (current & ~static_cast<LONG_PTR>(kBorderStyleBits)) | style);
    LONG_PTR currentEx = GetWindowLongPtrW(window, GWL_EXSTYLE);
    SetWindowLongPtrW(window, GWL_EXSTYLE, (currentEx & ~static_cast<LONG_PTR>(kBorderExStyleBits)) | exStyle);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool DrawBmpFile(HDC dc, const std::vector<uint8_t>& file, int x, int y) {
    BmpLayout layout;
    if (!ReadBmpLayout(file.data(), file.size(), &layout)) return false;
    std::vector<uint8_t> info = BmpInfoBlock(file.data(), layout);
    return StretchDIBits(dc, x, y, layout.width, layout.rows, 0, 0, layout.width, layout.rows,
                         file.data() + layout.bitsOffset, reinterpret_cast<const BITMAPINFO*>(info.data()),
                         DIB_RGB_COLORS, SRCCOPY) != 0;
}

void NotifyParent(HWND control, WORD code) {
    HWND parent = GetParent(control);
    if (parent == nullptr) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

bool GetPropertyOp(Component* component, int ownNumber, PropertyValue* value) {
    return component != nullptr && value != nullptr && component->GetProperty(ownNumber, value);
}

bool SetPropertyOp(Component* component, int ownNumber, const PropertyValue& value) {
    return component != nullptr && component->SetProperty(ownNumber, value);
}

void* PropertyDataOp(Component* component) {
    if (component == nullptr) return nullptr;
    std::vector<uint8_t> data = component->PropertyData();
    uint32_t size = static_cast<uint32_t>(data.size());
    auto* block = static_cast<uint8_t*>(AllocMemory(4 + data.size()));
    std::memcpy(block, &size, 4);
    if (!data.empty()) std::memcpy(block + 4, data.data(), data.size());
    return block;
}

void* TypeInterface(int operation, CreateOperation create, KeyFilterOperation keyFilter) {
    switch (operation) {
        case kOpCreate: return reinterpret_cast<void*>(create);
        case kOpPropertyChanged: return reinterpret_cast<void*>(&SetPropertyOp);
        case kOpGetAllPropertyData: return reinterpret_cast<void*>(&PropertyDataOp);
        case kOpGetProperty: return reinterpret_cast<void*>(&GetPropertyOp);
        case kOpKeyFilter: return reinterpret_cast<void*>(keyFilter);
        default: return nullptr;
    }
}

}  // namespace lyra
