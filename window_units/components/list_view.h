// ListView: the report-style list component on the common list-view
// control (SysListView32).
//
// Filling: the row commands may come from any thread in bursts of
// thousands. The control repaints after every change unless its redraw is
// off, and that repaint is most of the cost of a row; so the first change of
// a burst turns redraw off and a short timer on the window thread turns it
// back on (one repaint) once the changes stop, or every kBurstRepaintMs
// while they go on, so that rows keep appearing.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, for the image-list stream functions
#include <commctrl.h>

#include <atomic>
#include <string>

#include "runtime/program_image.h"
#include "window_units/component.h"
#include "window_units/components/gdi_objects.h"
#include "window_units/components/list_view_block.h"

namespace lyra {

constexpr uint32_t kListViewTypeCode = 0x00020004;

// InsertRow's arguments after the optional-argument rules.
struct NewRow {
    int position = -1;       // negative: after the last row
    std::wstring text;
    int image = -1;          // -1: none
    int stateImage = -1;     // counted from 0; -1: none
    int indent = 0;
    bool hasData = false;
    LPARAM data = 0;
};

class ListViewComponent : public Component {
public:
    static Component* Create(const CreateArgs& args);

    bool GetProperty(int ownNumber, PropertyValue* value) override;
    bool SetProperty(int ownNumber, const PropertyValue& value) override;
    std::vector<uint8_t> PropertyData() override;

    // The row commands; callable from any thread.
    int ClearRows();
    int InsertRow(const NewRow& row);
    void SetCellText(int row, int column, const std::wstring& text);
    // The cell's text; empty for a missing row or cell.
    std::wstring GetCellText(int row, int column);
    int GetRowCount();

    // True while a burst of row changes holds the control's redraw off.
    bool RedrawSuspended() const { return redrawSuspended_.load(); }

    static constexpr DWORD kBurstQuietMs = 30;
    static constexpr DWORD kBurstRepaintMs = 500;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;

private:
    ListViewComponent(uint32_t windowId, uint32_t unitId) : Component(windowId, unitId) {}

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
    void SelectRow(int row);

    void NoteChange();
    void BeginBurst();
    void EndBurst();
    // An empty list shows its focus as a focus rectangle where the first
    // row would be; the control itself shows nothing then. Drawn over the
    // control's own painting, within the area it just painted.
    void DrawFocusWithoutRows(HRGN painted);

    ListViewProperties properties_;
    FontHandle font_;
    HIMAGELIST itemImages_ = nullptr;
    HIMAGELIST stateImages_ = nullptr;
    HIMAGELIST headerImages_ = nullptr;

    std::atomic<bool> redrawSuspended_{false};
    std::atomic<DWORD> lastChange_{0};
    DWORD burstStart_ = 0;
};

// The type's getInterface.
void* ListViewInterface(int operation);
// The property descriptions of the type record, by own property number.
extern const PropertyDescription kListViewPropertyDescriptions[];
extern const uint32_t kListViewPropertyDescriptionCount;

}  // namespace lyra
