// ListView: the report-style list component on the common list-view
// control (SysListView32).
//
// Rows: the row commands may come from any thread in bursts of thousands.
// They work on the component's row model (list_view_rows.h) and return at
// once; the control runs in owner-data mode (LVS_OWNERDATA) and takes its
// cells from the model (LVN_GETDISPINFO). The first change after the
// control was last told posts it a note; on the window thread the control
// is then told all changes since in one go (the new count, with the
// selection moved along with its rows, or a repaint when only cells
// changed): at once after a quiet spell, otherwise when a kTellIntervalMs
// timer runs out, so rows keep appearing while a long fill runs. Every
// list-view message the control receives (LVM_GETITEMCOUNT, LVM_GETITEMTEXTW
// and the rest, from any process), a key, a click and a read of the
// current-row property tell it first, so it answers as the model does.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/list_view_block.h"
#include "window_units/components/list_view_rows.h"
#include "window_units/property_table.h"

namespace lyra {

// The extended list-view styles this type decides.
constexpr DWORD kListExStyleMask = LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES |
                                   LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINECOLD |
                                   LVS_EX_UNDERLINEHOT | LVS_EX_CHECKBOXES | LVS_EX_FLATSB |
                                   LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;

// InsertRow's arguments after the optional-argument rules.
struct NewRow {
    int position = -1;       // negative: after the last row
    std::string text;        // GBK
    int image = -1;          // -1: none
    int stateImage = -1;     // counted from 0; -1: none
    int indent = 0;
    bool hasData = false;
    LPARAM data = 0;
};

class ListViewComponent : public TableComponent<ListViewProperties> {
public:
    ListViewComponent(uint32_t windowId, uint32_t unitId) : TableComponent(windowId, unitId, kListViewTable) {}
    bool Create(const CreateArgs& args);

    // The row model, shared with the threads that fill the list. Set at
    // creation and never replaced.
    const std::shared_ptr<ListRows>& Rows() const { return rows_; }
    // True while row changes wait to be told to the control.
    bool ChangesPending() const { return rows_->HasChanges(); }

    static constexpr DWORD kTellIntervalMs = 40;

    // A list named by the Label above it; its rows are the system's.
    bool DescribeForScreenReader(AccessibleFacts* facts) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;
    void Reapply(int ownNumber, uint32_t what) override;
    // The colours and the current row as the control has them.
    bool ReadLive(int ownNumber, PropertyValue* value) override;

private:

    // The list view's own notifications, sent back by its parent.
    bool OnNotify(const NMHDR* header, LRESULT* result);
    void ComputeStyles(DWORD* style, DWORD* exStyle, DWORD* listExStyle) const;
    void ApplyStyles();
    void ApplyColours();
    void ApplyFont();
    void ApplyImageLists();
    void ApplyHotCursor();
    void InsertColumns();
    void InsertInitialItems();
    int InsertRow(const NewRow& row);
    void SelectRow(int row);

    // On the window thread: tells the control the rows' count and moves the
    // selection, focus and mark along with their rows.
    void TellControl();
    void OnRowsChanged();
    bool AnswerDisplayInfo(LVITEMW& item);
    void ToggleCheck(int row);
    // An empty list shows its focus as a focus rectangle where the first
    // row would be; the control itself shows nothing then. Drawn over the
    // control's own painting, within the area it just painted.
    void DrawFocusWithoutRows(HRGN painted);

    OwnedFont font_;
    OwnedImageList itemImages_;
    OwnedImageList stateImages_;
    OwnedImageList headerImages_;

    std::shared_ptr<ListRows> rows_ = std::make_shared<ListRows>();
    uint64_t toldAt_ = 0;  // GetTickCount64 of the last telling
    bool telling_ = false;  // the control is being told: its own selection notices are not events
    bool contrastShown_ = false;  // the control shows the high-contrast colours
};

// The type's getInterface.
void* ListViewInterface(int operation);

}  // namespace lyra
