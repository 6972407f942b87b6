#pragma once
// What "Position and Size" edits: one object's bounds, or, for an object
// selected together with others, the frame of that selection, which then
// only moves (as a whole). All in design pixels at zoom 1.0, whatever the
// panel's zoom; changes go through the objects' notifying bounds setter, so
// they mark the layout changed and are one undo step.
#include <QRect>

namespace qp::design {

class TGBasePanel;
class TGGraphicControl;

struct TPositionTarget {
    QRect Bounds;       // the object's, or the selection's frame
    bool Group = false; // several selected objects move together
    int Count = 1;      // objects that move
};

TPositionTarget PositionTarget(const TGBasePanel& panel, const TGGraphicControl& o);
// Sets `o` to `bounds`, or for a group moves every selected object so that
// the frame's top-left lands on `bounds`' (its size is left alone).
void ApplyPosition(TGBasePanel& panel, TGGraphicControl& o, const QRect& bounds);

} // namespace qp::design
