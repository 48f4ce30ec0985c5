// The numbers by which units raise events and by which the template's
// bindings name them. The common events are below 0, so that they never
// meet a type's own events, which count from 0 for each type.
#pragma once

#include <cstdint>

namespace lyra {

// Raised for every unit and for the window. Mouse events carry x, y and
// the key state; key events the key code and the key state.
enum CommonEvent : int32_t {
    kEventLeftButtonDown = -1,
    kEventLeftButtonUp = -2,
    kEventDoubleClick = -3,
    kEventRightButtonDown = -4,
    kEventRightButtonUp = -5,
    kEventMouseMove = -6,
    kEventFocusGained = -7,
    kEventFocusLost = -8,
    kEventKeyDown = -9,
    kEventKeyUp = -10,
    kEventCharacter = -11,  // a returned 0 drops the character, any other value replaces it
    kEventMouseWheel = -12,
};

enum WindowEvent : int32_t {
    kEventBuilt = 0,
    kEventClosing = 1,  // a returned false keeps the window open
    kEventMoved = 3,
    kEventResized = 4,
    kEventActivated = 5,
    kEventDeactivated = 6,
    kEventIdle = 7,  // a returned true asks for another call in the same idle period
    kEventFirstActivation = 8,
    kEventNotifyIcon = 9,
    kEventShown = 10,
    kEventHidden = 11,
};

enum EditBoxEvent : int32_t {
    kEventContentChanged = 0,
};

enum ListViewEvent : int32_t {
    kEventRowFocused = 0,
    kEventRowActivated = 1,
    kEventColumnClicked = 2,  // the column, counted from 0
    kEventHotTracked = 3,
    kEventListClicked = 4,
    kEventListRightClicked = 5,
    kEventLabelEditStarting = 6,
    kEventLabelEditEnded = 7,
    kEventCheckToggled = 8,
};

enum SuperBtnEvent : int32_t {
    kEventButtonClicked = 0,
};

}  // namespace lyra
