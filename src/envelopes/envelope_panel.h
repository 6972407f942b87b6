#pragma once
// The envelope design panel: a data panel one envelope big whose placing
// tools are listed in one table (so a screen builds its tool bar from it and
// a new object kind is one more row), with the postal automation template
// and the printer-margin overlays drawn over the objects.

#include "design/base_panel.h"
#include "design/placing_tools.h"

#include <QRect>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class QPainter;

namespace qp::envelopes {

class TEnvelopePanel;

// One placing tool: the state name, its button, and what it puts into the
// rectangle the user dragged out (rows of the design surface's tool table).
using TEnvelopeTool = design::TPlacingTool;
using design::kPointingState;

// The tools in tool-bar order; the first is the selection tool.
const std::vector<TEnvelopeTool>& EnvelopeTools();
const TEnvelopeTool* FindEnvelopeTool(const QString& state);
// Adds a tool after the others (or replaces the one of the same state).
void RegisterEnvelopeTool(TEnvelopeTool tool);

// One area of the automation template, in panel pixels: rect as corners
// (right() and bottom() are the far edges), caption at `captionAt`.
struct TTemplateArea {
    QString caption;
    QRect rect;
    QPoint captionAt;
};
// The four areas for a panel of W x H pixels at `zoom`: return address,
// barcode clear zone, address area, FIM area.
std::array<TTemplateArea, 4> AutomationTemplateAreas(int W, int H, float zoom,
                                                     int pixelsPerInch = 96);

// The printer's unprintable margins and page size in design pixels at zoom 1.
struct TPrinterMarginPixels {
    int left = 0, top = 0, right = 0, bottom = 0;
    int pageWidth = 0, pageHeight = 0;
    bool valid() const { return pageWidth > 0 && pageHeight > 0; }
};
// Trunc(inches x pixels per inch) of each.
TPrinterMarginPixels MarginPixels(double left, double top, double right, double bottom,
                                  double pageWidth, double pageHeight, int pixelsPerInch = 96);
// The dotted rectangle, corners, at `zoom`.
QRect PrinterMarginRect(const TPrinterMarginPixels& m, float zoom);

class TEnvelopePanel : public design::TGDataPanel {
public:
    TEnvelopePanel();

    const QString& PanelState() const { return State_; }
    // An unknown state is the selection tool.
    void SetPanelState(const QString& state);
    void CreateObjectInRect(QRect r) override;
    QStringList StreamClasses() const override;

    // Panel size for an envelope of width x height inches at zoom 100 %
    // (Round(pixels per inch x inches)); the zoom is restored afterwards.
    void SizeForEnvelope(double widthInches, double heightInches);

    bool ShowTemplate = false;
    bool ShowMargins = false;
    TPrinterMarginPixels Margins;
    // The overlays, over a panel already painted.
    void PaintOverlays(QPainter& painter) const;

private:
    QString State_ = kPointingState;
};

void PaintAutomationTemplate(QPainter& painter, int W, int H, float zoom);
void PaintPrinterMargins(QPainter& painter, const TPrinterMarginPixels& m, float zoom);

// A new envelope's starting objects: an address block inside the address
// area and a POSTNET barcode inside the barcode clear zone (the panel sized).
void AddStarterObjects(TEnvelopePanel& panel);

} // namespace qp::envelopes
