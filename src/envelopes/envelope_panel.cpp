#include "envelopes/envelope_panel.h"

#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/design_units.h"
#include "design/graphic_control.h"
#include "design/imb_barcode.h"
#include "design/layout_stream.h"
#include "design/object_registry.h"
#include "design/placing_tools.h"
#include "design/shapes.h"
#include "design/text_labels.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

namespace qp::envelopes {

namespace {

using design::TGGraphicControl;

std::vector<TEnvelopeTool>& tools() {
    static std::vector<TEnvelopeTool> all = [] {
        auto t = design::PlacingTools({kPointingState, "psLabel", "psMultiLineLabel", "psRectangle",
                                       "psEllipse", "psRoundRectangle", "psLine", "psImage",
                                       "psPostNetBarCode", "psIMbBarCode", "psFIMBarCode",
                                       "psDataLabel", "psAddressLabel"});
        // An envelope's barcode is placed at its full printed length.
        for (TEnvelopeTool& tool : t)
            if (tool.state == QLatin1String("psPostNetBarCode"))
                tool.place = design::PlacePostNetFullLength;
        return t;
    }();
    return all;
}

int px(double inches, float zoom, int ppi) {
    return design::Trunc(ppi * inches * zoom);
}

} // namespace

const std::vector<TEnvelopeTool>& EnvelopeTools() {
    return tools();
}

const TEnvelopeTool* FindEnvelopeTool(const QString& state) {
    for (const TEnvelopeTool& t : tools())
        if (t.state == state)
            return &t;
    return nullptr;
}

void RegisterEnvelopeTool(TEnvelopeTool tool) {
    auto& all = tools();
    auto it = std::find_if(all.begin(), all.end(),
                           [&](const TEnvelopeTool& t) { return t.state == tool.state; });
    if (it != all.end())
        *it = std::move(tool);
    else
        all.push_back(std::move(tool));
}

std::array<TTemplateArea, 4> AutomationTemplateAreas(int W, int H, float zoom, int ppi) {
    const int unzoomedWidth = design::Trunc(W / double(zoom));
    const int addressLeft =
        unzoomedWidth < design::Trunc(ppi * 10.25) ? px(0.5, zoom, ppi) : W - px(9.75, zoom, ppi);
    auto area = [](const char* caption, int l, int t, int r, int b, int inset) {
        return TTemplateArea{QString::fromLatin1(caption), QRect(QPoint(l, t), QPoint(r, b)),
                             QPoint(l + inset, t + inset)};
    };
    return {
        area("[Return Address Area]", 1, 1, W / 2, std::min(H - px(2.75, zoom, ppi), H / 3), 2),
        area("[Barcode Clear Zone]", W - px(4, zoom, ppi), H - px(0.625, zoom, ppi),
             W - px(0.5, zoom, ppi), H - 1, 2),
        area("[Address Area]", addressLeft, H - px(2.75, zoom, ppi), W - px(0.5, zoom, ppi),
             H - px(0.625, zoom, ppi), 2),
        area("[FIM Area]", W - px(3, zoom, ppi), 1, W - px(2, zoom, ppi), px(0.625, zoom, ppi), 2),
    };
}

TPrinterMarginPixels MarginPixels(double left, double top, double right, double bottom,
                                  double pageWidth, double pageHeight, int ppi) {
    auto p = [ppi](double inches) { return design::Trunc(inches * ppi); };
    return {p(left), p(top), p(right), p(bottom), p(pageWidth), p(pageHeight)};
}

QRect PrinterMarginRect(const TPrinterMarginPixels& m, float zoom) {
    auto z = [zoom](int v) { return design::Trunc(v * double(zoom)); };
    return QRect(QPoint(z(m.left), z(m.top)),
                 QPoint(z(m.pageWidth - m.right), z(m.pageHeight - m.bottom)));
}

void PaintAutomationTemplate(QPainter& p, int W, int H, float zoom) {
    p.save();
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(std::max(1, design::Trunc(8 * double(zoom))));
    for (const TTemplateArea& a : AutomationTemplateAreas(W, H, zoom)) {
        const QRect r(a.rect.topLeft(), QSize(a.rect.width() - 1, a.rect.height() - 1));
        // Light grey over white, while what the user placed there stays
        // visible, so address and barcode can be put inside the areas.
        p.setCompositionMode(QPainter::CompositionMode_Multiply);
        p.fillRect(r, QColor(239, 239, 239));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setPen(QColor(128, 128, 128));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    }
    p.setFont(font);
    p.setPen(Qt::black);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(QColor(192, 192, 192));
    const QFontMetrics metrics(font);
    for (const TTemplateArea& a : AutomationTemplateAreas(W, H, zoom)) {
        const QPoint at =
            a.caption == QLatin1String("[Return Address Area]") ? QPoint(3, 3) : a.captionAt;
        p.drawText(at.x(), at.y() + metrics.ascent(), a.caption);
    }
    p.restore();
}

void PaintPrinterMargins(QPainter& p, const TPrinterMarginPixels& m, float zoom) {
    if (!m.valid())
        return;
    p.save();
    p.setPen(QPen(Qt::red, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    const QRect r = PrinterMarginRect(m, zoom);
    p.drawRect(QRect(r.topLeft(), QSize(r.width() - 1, r.height() - 1)));
    p.restore();
}

TEnvelopePanel::TEnvelopePanel() {
    for (const QString& c : StreamClasses())
        design::RegisterBuiltInClass(c);
}

QStringList TEnvelopePanel::StreamClasses() const {
    return design::PanelKindClasses(design::pkEnvelope);
}

void TEnvelopePanel::SetPanelState(const QString& state) {
    State_ = FindEnvelopeTool(state) ? state : kPointingState;
    SetPointing(State_ == kPointingState);
}

void TEnvelopePanel::CreateObjectInRect(QRect r) {
    design::PlaceWithTool(*this, FindEnvelopeTool(State_), r);
}

void TEnvelopePanel::SizeForEnvelope(double widthInches, double heightInches) {
    const float zoom = Zoom();
    if (zoom != 1.0f)
        SetZoom(1.0f);
    SetSize(design::TDesignLength::FromInches(widthInches).RoundedPixels(),
            design::TDesignLength::FromInches(heightInches).RoundedPixels());
    if (zoom != 1.0f)
        SetZoom(zoom);
}

void TEnvelopePanel::PaintOverlays(QPainter& painter) const {
    if (ShowTemplate)
        PaintAutomationTemplate(painter, Width(), Height(), Zoom());
    if (ShowMargins)
        PaintPrinterMargins(painter, Margins, Zoom());
}

void AddStarterObjects(TEnvelopePanel& panel) {
    const auto areas = AutomationTemplateAreas(panel.Width(), panel.Height(), panel.Zoom());
    const QRect address = areas[2].rect;
    const QRect clear = areas[1].rect;
    const int inch = design::TDesignLength::FromInches(panel.Zoom()).TruncatedPixels();
    // The address block a little right of the middle, as mail is addressed,
    // inside the address area and above the barcode clear zone.
    const int left = std::max(address.left(), panel.Width() * 2 / 5);
    const int right = std::min(address.right() - inch / 8, left + inch * 15 / 4);
    const int top = address.top() + inch / 4;
    const int bottom = address.bottom() - inch / 16;
    panel.SetPanelState(QStringLiteral("psAddressLabel"));
    panel.CreateObjectInRect(QRect(QPoint(left, top), QPoint(right, bottom)));
    if (panel.ObjectCount() > 0) {
        TGGraphicControl* block = panel.Object(panel.ObjectCount() - 1);
        block->SetBounds(left, top, right - left, bottom - top);
        if (auto* a = dynamic_cast<design::TGDMultiLineAddressLabel*>(block)) {
            a->ShrinkToFit = true;
            a->ShowDataValue();
        }
    }
    // The barcode in the middle of the clear zone at the bottom right.
    panel.SetPanelState(QStringLiteral("psPostNetBarCode"));
    panel.CreateObjectInRect(
        QRect(QPoint(clear.left(), clear.top()), QPoint(clear.left() + 50, clear.top() + 15)));
    if (panel.ObjectCount() > 0) {
        TGGraphicControl* bar = panel.Object(panel.ObjectCount() - 1);
        if (dynamic_cast<design::TGPostNetBarCode*>(bar)) {
            const int x = clear.left() + std::max(0, (clear.width() - bar->Width()) / 2);
            const int y = clear.top() + std::max(0, (clear.height() - bar->Height()) / 2);
            bar->SetBounds(x, y, bar->Width(), bar->Height());
        }
    }
    panel.SetPanelState(kPointingState);
    panel.ClearSelection();
    panel.RequestRepaint();
}

} // namespace qp::envelopes
