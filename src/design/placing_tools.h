#pragma once
// Placing a new object with a tool: one table of every tool the design
// screens offer, one row per tool with its state name, its button and what
// it puts into the rectangle the user dragged out. Each kind of panel takes
// the rows it allows, in its own order, and may give a row its own placing.
#include "design/shapes.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace qp::design {

class TGDataPanel;

struct TPlacingTool {
    QString state;      // "psPointing", "psLabel", ...
    QString objectName; // the tool button's object name
    QString caption;    // the button's text
    QString hint;       // "Text tool", ...
    int group = 0;      // tools of one group sit together
    // Puts the new object into the rectangle (already widened to the
    // minimum size); empty for the selection tool.
    std::function<void(TGDataPanel&, const QRect&)> place;
};

inline const QString kPointingState = QStringLiteral("psPointing");

// The row of `state` in the table of every tool; nullptr when unknown.
const TPlacingTool* FindPlacingTool(const QString& state);
// The rows of `states`, in that order; unknown states are left out.
std::vector<TPlacingTool> PlacingTools(const QStringList& states);

// Placings that differ between panels, for the rows a panel replaces.
// `reportShape` places the report bands' shape kind (Trpshapes).
std::function<void(TGDataPanel&, const QRect&)> PlaceShape(TShapeType shape,
                                                           bool reportShape = false);
std::function<void(TGDataPanel&, const QRect&)> PlaceLine(TLineStyle style);
// A POSTNET barcode at least as long as its longest code: its bars print at
// a fixed pitch whatever the object's width, so the design shows what prints.
void PlacePostNetFullLength(TGDataPanel& panel, const QRect& r);

// The rectangle a drag gives, as corners: narrower than 25 pixels becomes
// 50 wide, lower than 15 becomes 15 high (a click gives 50 by 15).
QRect PlacingRect(const QRect& dragged);
// Places with `tool` (nothing for none or the selection tool) in the
// widened rectangle and lets the deferred selection fit run.
void PlaceWithTool(TGDataPanel& panel, const TPlacingTool* tool, const QRect& dragged);

} // namespace qp::design
