#include "design/graphic_control.h"

#include "design/barcodes.h"
#include "design/base_panel.h"
#include "design/design_units.h"
#include "print/base_report.h"
#include "print/report_canvas.h"

#include <QPainter>

namespace qp::design {

TGGraphicControl::~TGGraphicControl() = default;

void TGGraphicControl::SetBounds(int left, int top, int width, int height) {
    if (left == Left_ && top == Top_ && width == Width_ && height == Height_)
        return;
    StoreBounds(left, top, width, height);
    BoundsChanged();
}

void TGGraphicControl::StoreBounds(int left, int top, int width, int height) {
    Left_ = left;
    Top_ = top;
    Width_ = width;
    Height_ = height;
}

void TGGraphicControl::BoundsChanged() {
    const QRect now = BoundsRect();
    if (LastBounds_.isNull())
        LastBounds_ = now;
    if (now != LastBounds_) {
        Changed();
        LastBounds_ = now;
        if (Panel_)
            Panel_->PostFitToSelection();
    }
    Repaint();
}

void TGGraphicControl::SetLocked(bool v) {
    SetProperty(QStringLiteral("Locked"), v);
}

void TGGraphicControl::SetUnselectable(bool v) {
    SetProperty(QStringLiteral("Unselectable"), v);
}

void TGGraphicControl::Loaded() {
    Loading_ = false;
}

void TGGraphicControl::Draw(QPainter&, const TDrawContext&) {}

void TGGraphicControl::Paint(QPainter& painter) {
    Draw(painter, TDrawContext::Screen());
}

void TGGraphicControl::PrintObject(print::TBaseReport& report, double x, double y) {
    print::TReportCanvas canvas(report, PixelsPerInch);
    PrintOn(canvas.Painter(), report, x, y);
}

void TGGraphicControl::PrintOn(QPainter& painter, print::TBaseReport& report, double x, double y) {
    TDrawContext c;
    c.Target = dtPaper;
    c.DesignDecorations = false;
    c.OriginInches = QPointF(x, y);
    c.Grid = GridOf(report);
    c.Report = &report;
    const QPointF at = TDesignLength::PointFromInches(c.OriginInches);
    painter.save();
    painter.translate(at);
    Draw(painter, c);
    painter.restore();
    Printed(report);
}

bool TGGraphicControl::HitTest(QPoint p, int) const {
    return BoundsRect().contains(p);
}

bool TGGraphicControl::Printing() const {
    return Panel_ && Panel_->Printing;
}

void TGGraphicControl::Changed() {
    if (Panel_ && !Panel_->Printing)
        Panel_->NotifyChanged();
}

void TGGraphicControl::Repaint() {
    if (Panel_ && !Panel_->Printing)
        Panel_->RequestRepaint();
}

const TPropertyTable& TGGraphicControl::BaseTable() {
    using O = TGGraphicControl;
    static const TPropertyTable t{
        Row<O>(
            "Left", 0, srAlways, peNone, [](const O& o) { return o.Left_; },
            [](O& o, const TPropertyValue& v) {
                int i = 0;
                return AsInt(v, i) && (o.SetLeft(i), true);
            }),
        Row<O>(
            "Top", 0, srAlways, peNone, [](const O& o) { return o.Top_; },
            [](O& o, const TPropertyValue& v) {
                int i = 0;
                return AsInt(v, i) && (o.SetTop(i), true);
            }),
        Row<O>(
            "Width", 0, srAlways, peNone, [](const O& o) { return o.Width_; },
            [](O& o, const TPropertyValue& v) {
                int i = 0;
                return AsInt(v, i) && (o.SetWidth(i), true);
            }),
        Row<O>(
            "Height", 0, srAlways, peNone, [](const O& o) { return o.Height_; },
            [](O& o, const TPropertyValue& v) {
                int i = 0;
                return AsInt(v, i) && (o.SetHeight(i), true);
            }),
        Row<O>(
            "Cursor", 0, srUnlessDefault, peChanged, [](const O& o) { return o.Cursor; },
            [](O& o, const TPropertyValue& v) { return AsInt(v, o.Cursor); }),
        Row<O>(
            "Hint", QString(), srUnlessDefault, peChanged, [](const O& o) { return o.Hint; },
            [](O& o, const TPropertyValue& v) { return AsString(v, o.Hint); }),
        Row<O>(
            "Locked", false, srAlways, peRepaint | peChanged, [](const O& o) { return o.Locked_; },
            [](O& o, const TPropertyValue& v) { return AsBool(v, o.Locked_); }),
        Row<O>(
            "Unselectable", false, srAlways, peRepaint | peChanged,
            [](const O& o) { return o.Unselectable_; },
            [](O& o, const TPropertyValue& v) {
                if (!AsBool(v, o.Unselectable_))
                    return false;
                if (o.Unselectable_ && !o.Loading_ && o.Panel_)
                    o.Panel_->RemoveFromSelection(&o);
                return true;
            }),
    };
    return t;
}

TPropertyList TGGraphicControl::StoredProperties() const {
    TPropertyList out;
    for (const TPropertyRow& r : PropertyTable().Rows()) {
        if (r.Store == srNever)
            continue;
        TPropertyValue v = r.Get(*this);
        if (r.Store == srUnlessDefault && v == r.Default)
            continue;
        out.push_back({r.Name, std::move(v)});
    }
    return out;
}

std::optional<TPropertyValue> TGGraphicControl::Property(const QString& name) const {
    if (const TPropertyRow* r = PropertyTable().Find(name))
        return r->Get(*this);
    return std::nullopt;
}

bool TGGraphicControl::SetProperty(const QString& name, const TPropertyValue& v) {
    const TPropertyRow* r = PropertyTable().Find(name);
    if (!r)
        return false;
    const TPropertyValue before = r->Get(*this);
    if (!r->Set(*this, v))
        return false;
    if (r->Effects != peNone && !(r->Get(*this) == before))
        PropertyChanged(r->Effects);
    return true;
}

void TGGraphicControl::PropertyChanged(unsigned effects) {
    if (effects & peRelayout)
        InvalidateLayout();
    if (effects & peRepaint)
        Repaint();
    if ((effects & peChanged) && !Loading_)
        Changed();
}

int IdentIndex(const TPropertyValue& v, const char* const* names, int count) {
    QString s;
    if (!AsIdent(v, s))
        return -1;
    for (int i = 0; i < count; ++i)
        if (s.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace qp::design
