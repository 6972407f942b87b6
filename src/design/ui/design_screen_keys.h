#pragma once
// Keys every design screen answers the same way.

class QKeyEvent;
class QScrollArea;

namespace qp::design::ui {

// Page Up/Down step the drawing area, Home/End go to its top and bottom;
// false for any other key.
bool ScrollDesignArea(QScrollArea& area, int key);

// The keypad's + and - (not auto-repeated) as a zoom step: +1, -1, or 0.
int KeypadZoomStep(const QKeyEvent& e);

} // namespace qp::design::ui
