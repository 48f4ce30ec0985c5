#include "window_units/components/list_view.h"

#include <oleacc.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/gbk.h"
#include "window_units/components/label.h"
#include "window_units/property_block.h"
#include "window_units/system_dpi.h"
#include "window_units/components/window_thread.h"
#include "window_units/property_table.h"

namespace lyra {

namespace {

constexpr UINT_PTR kTellTimer = 0x4C56;
constexpr UINT kCheckToggledMessage = 0x401;
// Posted by the row model on the first change after the control was last told.
constexpr UINT kRowsChangedMessage = WM_APP + 0x4C5;


// The row model's note, from whatever thread changed the rows.
void PostRowsChanged(void* window) { PostMessageW(static_cast<HWND>(window), kRowsChangedMessage, 0, 0); }

// A sorted list orders main texts as the list control does, ignoring case.
int CompareMainTexts(const std::string& a, const std::string& b) {
    return lstrcmpiW(GbkToWide(a.c_str(), a.size()).c_str(), GbkToWide(b.c_str(), b.size()).c_str());
}

ListRows::Order OrderOf(int32_t sorting) {
    return sorting == 1 ? ListRows::Order::kAscending : sorting == 2 ? ListRows::Order::kDescending
                                                                      : ListRows::Order::kNone;
}

// Copies text into the control's buffer of capacity characters, cut to fit.
template <typename Char>
void CopyToBuffer(const std::basic_string<Char>& text, Char* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return;
    size_t length = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(buffer, text.data(), length * sizeof(Char));
    buffer[length] = 0;
}

// The messages that read or change the control's rows: it is told of the
// model's changes before it answers them.
bool ReadsRows(UINT message) { return message >= LVM_FIRST && message < LVM_FIRST + 0x100 && message != LVM_SETITEMCOUNT; }

bool KeyFilter(Component*, const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    switch (message.wParam) {
        case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
        case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT: case VK_SPACE:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool ListViewComponent::Create(const CreateArgs& args) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    if (Comctl().initCommonControlsEx != nullptr) Comctl().initCommonControlsEx(&controls);

    DWORD style = 0, exStyle = 0, listExStyle = 0;
    ComputeStyles(&style, &exStyle, &listExStyle);
    style |= args.style | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    HWND parent = args.parent != nullptr ? args.parent : args.window;
    HWND window = CreateWindowExW(exStyle, WC_LISTVIEWW, L"", style, args.left, args.top, args.width, args.height,
                                  parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.childId)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr || !Attach(window)) {
        if (window != nullptr) DestroyWindow(window);
        return false;
    }
    SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExStyleMask, listExStyle);
    // The state images (check marks) are the model's too.
    SendMessageW(window, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    rows_->SetOrder(OrderOf(properties_.sorting), &CompareMainTexts);
    rows_->SetNotify(&PostRowsChanged, window);
    RegisterListRows(args.windowId, args.unitId, rows_);
    ApplyImageLists();
    ApplyColours();
    ApplyFont();
    ApplyHotCursor();
    InsertColumns();
    InsertInitialItems();
    return true;
}

bool ListViewComponent::DescribeForScreenReader(AccessibleFacts* facts) {
    facts->role = ROLE_SYSTEM_LIST;
    facts->name = NameFromLabel(Handle());
    return true;
}

void ListViewComponent::InsertInitialItems() {
    std::vector<ListViewInitialCell> cells;
    if (!ReadInitialItems(properties_.initialItems, &cells)) return;
    int row = -1, column = 0;
    for (const ListViewInitialCell& cell : cells) {
        if (cell.newRow || row < 0) {
            NewRow newRow;
            newRow.text = cell.text;
            newRow.image = cell.image;
            newRow.stateImage = cell.stateImage;
            newRow.hasData = true;
            newRow.data = static_cast<LPARAM>(static_cast<int32_t>(cell.data));
            row = InsertRow(newRow);
            column = 0;
            continue;
        }
        // The cells after the first carry text only.
        rows_->SetCell(row, ++column, cell.text);
    }
}

void ListViewComponent::SelectRow(int row) {
    TellControl();
    HWND window = Handle();
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED;
    SendMessageW(window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    if (row < 0) return;
    LVITEMW select{};
    select.state = select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(window, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&select));
    SendMessageW(window, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

bool ListViewComponent::ReadLive(int n, PropertyValue* value) {
    HWND window = Handle();
    if (window == nullptr) return false;
    const void* member = kListViewTable.rows[n].field(properties_);
    if (member == &properties_.currentRow) {
        TellControl();
        value->number = static_cast<int32_t>(SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    } else if (contrastShown_) {
        return false;  // the control shows the system's colours, not the list's
    } else {
        const UINT get = member == &properties_.textColour       ? LVM_GETTEXTCOLOR
                         : member == &properties_.textBackColour ? LVM_GETTEXTBKCOLOR
                                                                 : LVM_GETBKCOLOR;
        value->number = static_cast<uint32_t>(SendMessageW(window, get, 0, 0));
    }
    return true;
}

void ListViewComponent::Reapply(int, uint32_t what) {
    if (what & kListOrder) rows_->SetOrder(OrderOf(properties_.sorting), &CompareMainTexts);
    if (Handle() == nullptr) return;
    if (what & kListColours) ApplyColours();
    if (what & kListFont) ApplyFont();
    if (what & kListStyles) ApplyStyles();
    if (what & kListImageLists) ApplyImageLists();
    if (what & kListColumns) InsertColumns();
    if (what & kListHotCursor) ApplyHotCursor();
    if (what & kListSelectRow) SelectRow(properties_.currentRow);
}

bool ListViewComponent::OnNotify(const NMHDR* header, LRESULT* result) {
    const auto lParam = reinterpret_cast<LPARAM>(header);
    *result = 0;
    switch (header->code) {
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
            AnswerDisplayInfo(info->item);
            return true;
        }
        case LVN_ITEMCHANGED: {
            if (telling_) return true;
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_FOCUSED) &&
                !(change->uOldState & LVIS_FOCUSED)) {
                RaiseEvent(kEventRowFocused, {});
            }
            return true;
        }
        case LVN_ITEMACTIVATE: RaiseEvent(kEventRowActivated, {}); return true;
        case LVN_COLUMNCLICK: {
            const auto* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
            RaiseEvent(kEventColumnClicked, {static_cast<uint32_t>(click->iSubItem)});
            return true;
        }
        case LVN_HOTTRACK: {
            const auto* track = reinterpret_cast<const NMLISTVIEW*>(lParam);
            RaiseEvent(kEventHotTracked, {static_cast<uint32_t>(track->iItem)});
            return true;
        }
        case NM_CLICK: {
            const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
            if (properties_.checkBoxes && click->iItem >= 0) {
                LVHITTESTINFO hit{};
                hit.pt = click->ptAction;
                SendMessageW(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
                if (hit.iItem == click->iItem && (hit.flags & LVHT_ONITEMSTATEICON)) ToggleCheck(click->iItem);
            }
            RaiseEvent(kEventListClicked, {});
            return true;
        }
        case NM_RCLICK: RaiseEvent(kEventListRightClicked, {}); return true;
        case LVN_BEGINLABELEDITA:
        case LVN_BEGINLABELEDITW: {
            const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
            RaiseEvent(kEventLabelEditStarting, {static_cast<uint32_t>(edit->item.iItem)});
            return true;
        }
        case LVN_ENDLABELEDITA:
        case LVN_ENDLABELEDITW: {
            const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
            bool accepted = edit->item.pszText != nullptr;
            if (accepted) {
                std::string text = header->code == LVN_ENDLABELEDITW
                                       ? WideToGbk(edit->item.pszText, std::wcslen(edit->item.pszText))
                                       : std::string(reinterpret_cast<const NMLVDISPINFOA*>(lParam)->item.pszText);
                rows_->SetCell(edit->item.iItem, 0, text);
            }
            RaiseEvent(kEventLabelEditEnded, {static_cast<uint32_t>(edit->item.iItem), accepted ? 1u : 0u});
            *result = accepted ? TRUE : FALSE;
            return true;
        }
        case NM_SETFOCUS: RaiseEvent(kEventFocusGained, {}); return true;
        case NM_KILLFOCUS: RaiseEvent(kEventFocusLost, {}); return true;
        default: return false;
    }
}

int ListViewComponent::InsertRow(const NewRow& row) {
    ListRow added;
    added.cells.push_back(row.text);
    added.image = row.image >= 0 ? row.image : -1;
    added.stateImage = row.stateImage < 0 ? 0 : row.stateImage < 14 ? row.stateImage + 1 : 15;
    added.indent = row.indent < 0 ? 0 : row.indent;
    added.data = row.hasData ? static_cast<int64_t>(row.data) : 0;
    return rows_->Insert(row.position, std::move(added));
}

void ListViewComponent::TellControl() {
    HWND window = Handle();
    if (window == nullptr || telling_ || !rows_->HasChanges()) return;
    telling_ = true;
    RowChanges changes = rows_->TakeChanges();
    if (changes.cleared || !changes.shifts.empty()) {
        std::vector<int> selected;
        for (int row = -1; (row = static_cast<int>(SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                                 LVNI_SELECTED))) >= 0;) {
            selected.push_back(row);
        }
        auto focused = static_cast<int>(SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        auto mark = static_cast<int>(SendMessageW(window, LVM_GETSELECTIONMARK, 0, 0));
        if (!selected.empty() || focused >= 0) {
            LVITEMW none{};
            none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
        }
        SendMessageW(window, LVM_SETITEMCOUNT, static_cast<WPARAM>(changes.count), LVSICF_NOSCROLL);
        auto setState = [&](int oldRow, UINT state) {
            int row = MapOldRow(changes, oldRow);
            if (row < 0) return;
            LVITEMW item{};
            item.state = item.stateMask = state;
            SendMessageW(window, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        };
        for (int row : selected) setState(row, LVIS_SELECTED);
        if (focused >= 0) setState(focused, LVIS_FOCUSED);
        if (mark >= 0) SendMessageW(window, LVM_SETSELECTIONMARK, 0, MapOldRow(changes, mark));
    } else {
        InvalidateRect(window, nullptr, FALSE);
    }
    toldAt_ = GetTickCount64();
    telling_ = false;
}

void ListViewComponent::OnRowsChanged() {
    // The first change after a quiet spell is told at once, so the first
    // rows of a fill show without delay. Within kTellIntervalMs of the last
    // telling it waits for the timer: between two tellings of a long fill
    // the window thread is free to paint and to answer other requests.
    if (GetTickCount64() - toldAt_ >= kTellIntervalMs) {
        KillTimer(Handle(), kTellTimer);
        TellControl();
        return;
    }
    SetTimer(Handle(), kTellTimer, kTellIntervalMs, nullptr);
}

bool ListViewComponent::AnswerDisplayInfo(LVITEMW& item) {
    bool found = rows_->ReadShownRow(item.iItem, [&](const ListRow& row) {
        if ((item.mask & LVIF_TEXT) && item.pszText != nullptr) {
            size_t column = item.iSubItem >= 0 ? static_cast<size_t>(item.iSubItem) : 0;
            const std::string empty;
            const std::string& cell = column < row.cells.size() ? row.cells[column] : empty;
            CopyToBuffer(GbkToWide(cell.c_str(), cell.size()), item.pszText, item.cchTextMax);
        }
        if (item.mask & LVIF_IMAGE) item.iImage = item.iSubItem == 0 && row.image >= 0 ? row.image : I_IMAGENONE;
        if (item.iSubItem != 0) return;
        if (item.mask & LVIF_INDENT) item.iIndent = row.indent;
        if (item.mask & LVIF_PARAM) item.lParam = static_cast<LPARAM>(row.data);
        if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_STATEIMAGEMASK)) {
            item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(static_cast<UINT>(row.stateImage));
        }
    });
    if (!found && (item.mask & LVIF_TEXT)) CopyToBuffer(std::wstring(), item.pszText, item.cchTextMax);
    return found;
}

void ListViewComponent::ToggleCheck(int row) {
    TellControl();
    int32_t state = 0;
    rows_->ReadRow(row, [&](const ListRow& found) { state = found.stateImage; });
    int32_t toggled = state == 2 ? 1 : 2;
    if (!rows_->SetStateImage(row, toggled)) return;
    TellControl();
    SendMessageW(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
    PostMessageW(Handle(), kCheckToggledMessage, static_cast<WPARAM>(row), toggled == 2 ? 1 : 0);
}

LRESULT ListViewComponent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleWindowThreadCall(message, lParam)) return 0;
    if (ReadsRows(message)) TellControl();
    switch (message) {
        case kReflectedMessageBase + WM_NOTIFY: {
            LRESULT result = 0;
            if (lParam != 0 && OnNotify(reinterpret_cast<const NMHDR*>(lParam), &result)) return result;
            return 0;
        }
        case kRowsChangedMessage:
            OnRowsChanged();
            return 0;
        case WM_TIMER:
            if (wParam == kTellTimer) {
                KillTimer(Handle(), kTellTimer);
                TellControl();
                return 0;
            }
            break;
        case WM_KEYDOWN:
            TellControl();
            if (wParam == VK_SPACE && properties_.checkBoxes) {
                auto focused = static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
                if (focused >= 0) ToggleCheck(focused);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
            // A click picks a row by where the control shows it: show the rows as they are first.
            TellControl();
            break;
        case kCheckToggledMessage:
            RaiseEvent(kEventCheckToggled, {static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam)});
            return 0;
        case WM_PAINT: {
            if (wParam != 0) break;
            OwnedRegion painted(CreateRectRgn(0, 0, 0, 0));
            GetUpdateRgn(Handle(), painted.get(), FALSE);
            LRESULT answer = DefaultProc(message, wParam, lParam);
            DrawFocusWithoutRows(painted.get());
            return answer;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            LRESULT answer = DefaultProc(message, wParam, lParam);
            if (SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0) == 0) InvalidateRect(Handle(), nullptr, TRUE);
            return answer;
        }
        case WM_SYSCOLORCHANGE: {
            LRESULT answer = DefaultProc(message, wParam, lParam);
            ApplyColours();
            return answer;
        }
        case WM_GETOBJECT:
            return AnswerGetObject(wParam, lParam);
        case WM_DESTROY:
            KillTimer(Handle(), kTellTimer);
            UnregisterListRows(windowId(), unitId(), rows_.get());
            rows_->Detach();
            break;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

void ListViewComponent::DrawFocusWithoutRows(HRGN painted) {
    if (GetFocus() != Handle() || SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0) != 0) return;
    RECT place;
    GetClientRect(Handle(), &place);
    HWND header = reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
    if (header != nullptr && IsWindowVisible(header)) {
        RECT headerRect;
        GetWindowRect(header, &headerRect);
        place.top += headerRect.bottom - headerRect.top;
    }
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, oldFont);
    place.bottom = std::min(place.bottom, place.top + metrics.tmHeight + ToPixels(2));
    SelectClipRgn(dc, painted);
    DrawFocusRect(dc, &place);
    ReleaseDC(Handle(), dc);
}

void ListViewComponent::OnFinalDestroy() {
    itemImages_.Reset();
    stateImages_.Reset();
    headerImages_.Reset();
    font_.Reset();
    Component::OnFinalDestroy();
}

void* ListViewInterface(int operation) {
    return TypeInterface(operation, &CreateFromBlock<ListViewComponent>, &KeyFilter);
}

}  // namespace lyra
