// SuperBtn: a push button that paints itself in three looks (normal, mouse
// over, pressed), each with its own picture and colours, and plays a sound
// when the mouse enters it and when it is clicked.
#pragma once

#include <windows.h>

#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/super_btn_block.h"
#include "window_units/property_table.h"

namespace lyra {

constexpr uint32_t kSuperBtnTypeCode = 0x00030001;

class SuperBtnComponent : public TableComponent<SuperBtnProperties> {
public:
    SuperBtnComponent(uint32_t windowId, uint32_t unitId) : TableComponent(windowId, unitId, kSuperBtnTable) {}
    bool Create(const CreateArgs& args);

    // The look the button shows now.
    SuperBtnLook CurrentLook() const;

    // A push button named by its caption, or by its tip text (own property
    // 25) when it shows a picture instead of a caption.
    bool DescribeForScreenReader(AccessibleFacts* facts) override;
    bool DoDefaultAction() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;
    void Reapply(int ownNumber, uint32_t what) override;

private:

    // The button's own notifications, sent back by its parent.
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool CreateControl(HWND parent, DWORD style, int left, int top, int width, int height, UINT id);
    void Recreate();
    DWORD ControlStyle() const;
    void LoadPictures();
    void ApplyFont();
    void Paint(HDC dc, const RECT& bounds);
    // The face in the current look: background, picture, caption, edge and focus mark.
    void PaintFace(HDC dc, const RECT& all);
    // Answers whether the picture covers the whole face (it then has no edge).
    bool DrawPictureAndCaption(HDC dc, const RECT& all, SuperBtnLook look, bool contrast, COLORREF text);
    void PlayStoredSound(const std::string& stored);
    void Clicked();
    // A button that is no tab stop is pressed with the mouse like any
    // other but leaves the focus where it was: it tracks the press itself.
    bool TakesFocus() const;
    bool TrackPressWithoutFocus(UINT message, LPARAM lParam);

    OwnedBitmap pictures_[3];
    SIZE pictureSizes_[3] = {};
    bool pictureAlpha_[3] = {};
    OwnedFont font_;
    bool hot_ = false;
    bool tracking_ = false;  // pressed by the mouse without taking the focus
};

void* SuperBtnInterface(int operation);

}  // namespace lyra
