#include "design/position_size.h"

#include "design/base_panel.h"
#include "design/graphic_control.h"

namespace qp::design {

namespace {
bool inGroup(const TGBasePanel& panel, const TGGraphicControl& o) {
    return panel.SelectionCount() > 1 && panel.IndexOf(&o) >= 0;
}
} // namespace

TPositionTarget PositionTarget(const TGBasePanel& panel, const TGGraphicControl& o) {
    if (!inGroup(panel, o))
        return {panel.DesignBounds(o), false, 1};
    QRect frame;
    for (TGGraphicControl* s : panel.Handle().Selection())
        frame = frame.isNull() ? panel.DesignBounds(*s) : frame.united(panel.DesignBounds(*s));
    return {frame, true, panel.SelectionCount()};
}

void ApplyPosition(TGBasePanel& panel, TGGraphicControl& o, const QRect& bounds) {
    const TPositionTarget now = PositionTarget(panel, o);
    if (!now.Group) {
        panel.SetDesignBounds(o, bounds);
    } else {
        const QPoint by = bounds.topLeft() - now.Bounds.topLeft();
        // A copy: the selection stays as it is, but the objects move.
        const auto selection = panel.Handle().Selection();
        for (TGGraphicControl* s : selection)
            panel.SetDesignBounds(*s, panel.DesignBounds(*s).translated(by));
    }
    panel.RunDeferred();
    panel.RequestRepaint();
}

} // namespace qp::design
