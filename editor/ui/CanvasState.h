// The places of the device canvas's selection and drag state in the
// document's fourteen canvas-state ints.
#pragma once

enum CanvasStateIndex {
    CS_MARKER_SHOWN = 0,
    CS_MOTION_TIME = 1,
    CS_MARKER_X0 = 2,
    CS_MARKER_Y0 = 3,
    CS_MARKER_X1 = 4,
    CS_MARKER_Y1 = 5,
    CS_PRESS_X = 6,
    CS_PRESS_Y = 7,
    CS_LAST_X = 8,
    CS_LAST_Y = 9,
    CS_SELECTED_LAYER = 10,    // 1-based, below 1 none
    CS_SELECTED_CONTACT = 11,  // 1 anode, 2 cathode, -1 none
    CS_MOVING_LAYER = 12,      // 1-based, -1 none
    CS_BORDER_LAYER = 13,      // 1-based, -1 none
};
