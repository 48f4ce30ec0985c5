// How a ListView looks: the control's styles, colours, font, image lists,
// hot cursor and columns, set from the component's properties.
#include "window_units/components/list_view.h"

#include <objbase.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/com_ref.h"
#include "runtime/gbk.h"
#include "window_units/component_support.h"
#include "window_units/contrast.h"
#include "window_units/system_dpi.h"

namespace lyra {

namespace {

// The style bits this type decides; the rest belong to the window builder.
constexpr DWORD kListStyleMask = LVS_TYPEMASK | LVS_ALIGNMASK | LVS_AUTOARRANGE | LVS_NOLABELWRAP | LVS_NOCOLUMNHEADER |
                                 LVS_NOSORTHEADER | LVS_EDITLABELS | LVS_SORTASCENDING | LVS_SORTDESCENDING |
                                 LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA |
                                 kBorderStyleBits;

// An image list stored after its block header; null when the block holds none.
HIMAGELIST LoadImageList(const std::string& block) {
    if (!HasImageList(block)) return nullptr;
    size_t size = block.size() - kImageListStreamOffset;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) return nullptr;
    std::memcpy(GlobalLock(memory), block.data() + kImageListStreamOffset, size);
    GlobalUnlock(memory);
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Put()))) {
        GlobalFree(memory);
        return nullptr;
    }
    return Comctl().imageListRead != nullptr ? Comctl().imageListRead(stream.get()) : nullptr;
}

}  // namespace

void ListViewComponent::ComputeStyles(DWORD* style, DWORD* exStyle, DWORD* listExStyle) const {
    const ListViewProperties& p = properties_;
    static const DWORD kViews[4] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    int view = p.viewType < 0 ? 0 : p.viewType > 3 ? 3 : p.viewType;
    bool iconView = view <= 1;
    bool report = view == 3;
    // The rows live in the model (LVS_OWNERDATA), which also keeps a sorted list in order.
    DWORD s = kViews[view] | LVS_SHAREIMAGELISTS | LVS_OWNERDATA;
    DWORD ex = LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;
    if (iconView) {
        if (p.iconAlignment == 1) s |= LVS_ALIGNLEFT;
        if (p.autoArrange) s |= LVS_AUTOARRANGE;
        if (!p.wrapLabels) s |= LVS_NOLABELWRAP;
    }
    if (report) {
        if (p.hideHeader) {
            s |= LVS_NOCOLUMNHEADER;
        } else {
            if (!p.clickableHeader) s |= LVS_NOSORTHEADER;
            if (p.headerDragDrop) ex |= LVS_EX_HEADERDRAGDROP;
        }
        if (p.fullRowSelect) ex |= LVS_EX_FULLROWSELECT;
        if (p.gridLines) ex |= LVS_EX_GRIDLINES;
    }
    if (p.hotTracking) {
        ex |= LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE;
        if (p.underlineCold) ex |= LVS_EX_UNDERLINECOLD;
        if (p.underlineHot) ex |= LVS_EX_UNDERLINEHOT;
    }
    if (p.labelEditing) s |= LVS_EDITLABELS;
    if (p.checkBoxes) ex |= LVS_EX_CHECKBOXES;
    if (p.flatScrollBars) ex |= LVS_EX_FLATSB;
    if (p.singleSelection) s |= LVS_SINGLESEL;
    if (p.alwaysShowSelection) s |= LVS_SHOWSELALWAYS;
    DWORD borderStyle = 0, borderExStyle = 0;
    BorderStyles(static_cast<uint32_t>(p.border), &borderStyle, &borderExStyle);
    *style = s | borderStyle;
    *exStyle = borderExStyle;
    *listExStyle = ex;
}

void ListViewComponent::ApplyStyles() {
    HWND window = Handle();
    DWORD style = 0, exStyle = 0, listExStyle = 0;
    ComputeStyles(&style, &exStyle, &listExStyle);
    auto current = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>((current & ~kListStyleMask) | style));
    auto currentEx = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    SetWindowLongPtrW(window, GWL_EXSTYLE, static_cast<LONG_PTR>((currentEx & ~kBorderExStyleBits) | exStyle));
    SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExStyleMask, listExStyle);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void ListViewComponent::ApplyColours() {
    HWND window = Handle();
    const ListViewProperties& p = properties_;
    const uint32_t stored[3] = {p.textColour, p.textBackColour, p.backColour};
    const UINT setters[3] = {LVM_SETTEXTCOLOR, LVM_SETTEXTBKCOLOR, LVM_SETBKCOLOR};
    const int systemIndexes[3] = {COLOR_WINDOWTEXT, COLOR_WINDOW, COLOR_WINDOW};
    const bool contrast = HighContrast();
    for (int n = 0; n < 3; ++n) {
        // A default colour is the control's own, unless high contrast replaced it.
        if (contrast || contrastShown_ || stored[n] != kDefaultColour) {
            COLORREF colour = ResolveColour(stored[n], systemIndexes[n]);
            SendMessageW(window, setters[n], 0, ContrastColour(colour, systemIndexes[n]));
        }
    }
    contrastShown_ = contrast;
    InvalidateRect(window, nullptr, TRUE);
}

void ListViewComponent::ApplyFont() {
    font_.Reset(CreateFontFromBlock(properties_.font));
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(ShownFont(font_)), TRUE);
}

void ListViewComponent::ApplyImageLists() {
    HWND window = Handle();
    // The control shares the lists (LVS_SHAREIMAGELISTS); this component owns them.
    SendMessageW(window, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    SendMessageW(window, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    itemImages_.Reset(LoadImageList(properties_.itemImages));
    stateImages_.Reset(LoadImageList(properties_.stateImages));
    SendMessageW(window, LVM_SETIMAGELIST, properties_.viewType == 0 ? LVSIL_NORMAL : LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(itemImages_.get()));
    SendMessageW(window, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(stateImages_.get()));
    HWND header = reinterpret_cast<HWND>(SendMessageW(window, LVM_GETHEADER, 0, 0));
    if (header != nullptr) SendMessageW(header, HDM_SETIMAGELIST, 0, 0);
    headerImages_.Reset(properties_.viewType == 3 ? LoadImageList(properties_.headerImages) : nullptr);
    if (headerImages_.get() != nullptr && header != nullptr) {
        Comctl().imageListSetBkColor(headerImages_.get(), CLR_DEFAULT);
        SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(headerImages_.get()));
    }
}

void ListViewComponent::ApplyHotCursor() {
    LPCWSTR cursor = properties_.hotTracking && properties_.handPointer ? IDC_HAND : IDC_ARROW;
    SendMessageW(Handle(), LVM_SETHOTCURSOR, 0, reinterpret_cast<LPARAM>(LoadCursorW(nullptr, cursor)));
}

void ListViewComponent::InsertColumns() {
    HWND window = Handle();
    while (SendMessageW(window, LVM_DELETECOLUMN, 0, 0)) {
    }
    if (properties_.viewType != 3) return;
    std::vector<ListViewColumn> columns;
    if (!ReadColumnBlock(properties_.columns, &columns)) return;
    static const int kFormats[3] = {LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_RIGHT};
    for (size_t i = 0; i < columns.size(); ++i) {
        const ListViewColumn& c = columns[i];
        std::wstring title = GbkToWide(c.title.c_str(), c.title.size());
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = kFormats[c.alignment < 0 ? 0 : c.alignment > 2 ? 2 : c.alignment];
        if (c.image >= 0) {
            column.mask |= LVCF_IMAGE;
            column.fmt |= LVCFMT_IMAGE;
            column.iImage = c.image;
        }
        if (c.imageOnRight) column.fmt |= LVCFMT_BITMAP_ON_RIGHT;
        column.cx = ToPixels(c.width);
        column.pszText = const_cast<wchar_t*>(title.c_str());
        column.iSubItem = static_cast<int>(i);
        SendMessageW(window, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

}  // namespace lyra
