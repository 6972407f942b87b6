#include "labels/printing/label_design_rules.h"

#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/design_units.h"
#include "design/graphic_control.h"
#include "labels/template_filter.h"
#include "store/shared_routines.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cctype>

namespace qp::labels {

namespace {

constexpr QRgb kArtInk = qRgb(192, 192, 192);
constexpr QRgb kArtPaper = qRgb(255, 255, 255);
// The corner radius the panel gives a round-cornered label.
constexpr int kCornerRadius = 12;

// Two colours only: silver ink on white paper.
QImage toArtBits(const QImage& picture) {
    return picture.convertToFormat(QImage::Format_Mono, QList<QRgb>{kArtPaper, kArtInk},
                                   Qt::ThresholdDither);
}

void drawShape(QPainter& p, design::TLabelShapeType shape, const QRectF& r, qreal radius) {
    if (shape == design::lsEllipse)
        p.drawEllipse(r);
    else if (shape == design::lsRoundRect)
        p.drawRoundedRect(r, radius, radius);
    else
        p.drawRect(r);
}

QImage drawnArt(const LabelDefinition& def, QSize size) {
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(kArtPaper);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    const design::TLabelShapeType shape = panelShape(def.shape);
    // The die-cut edge, two pixels wide just inside the panel.
    p.setPen(QPen(QColor(kArtInk), 2));
    drawShape(p, shape, QRectF(1, 1, size.width() - 2, size.height() - 2), kCornerRadius);
    // Where the printing should stay, a sixteenth of an inch further in.
    const int m = kArtSafeMargin;
    if (size.width() > 2 * m + 2 && size.height() > 2 * m + 2) {
        p.setPen(QPen(QColor(kArtInk), 1, Qt::DotLine));
        drawShape(p, shape, QRectF(m, m, size.width() - 2 * m - 1, size.height() - 2 * m - 1),
                  std::max(1, kCornerRadius - m));
    }
    p.end();
    return toArtBits(canvas);
}

// A picture of the stock among the program's resources, when one was built in.
QImage resourceArt(const std::string& name, QSize size) {
    const QString base = QStringLiteral(":/qp/labels/art/") + QString::fromStdString(name);
    for (const char* ext : {".png", ".bmp"}) {
        const QString path = base + QLatin1String(ext);
        if (!QFile::exists(path))
            continue;
        QImage picture(path);
        if (picture.isNull())
            continue;
        QImage mono =
            picture.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither);
        for (int i = 0; i < mono.colorCount(); ++i)
            mono.setColor(i, qGray(mono.color(i)) < 128 ? kArtInk : kArtPaper);
        QImage canvas(size, QImage::Format_RGB32);
        canvas.fill(kArtPaper);
        QPainter p(&canvas);
        p.drawImage(0, 0, mono); // unscaled, from the top-left corner
        p.end();
        return toArtBits(canvas);
    }
    return {};
}

} // namespace

std::string sheetCaption(const LabelDefinition& def) {
    return isUserDefined(def) ? std::string(kUserDefinedCaption) : def.templateName;
}

// ---- Panel size ----

design::TLabelShapeType panelShape(std::string_view shapeCode) {
    const std::string code = upperAscii(store::Trim(shapeCode));
    if (code == "SR")
        return design::lsRectangle;
    if (code == "EL")
        return design::lsEllipse;
    return design::lsRoundRect;
}

PanelGeometry panelGeometry(const LabelDefinition& def) {
    return {design::PanelPixelsForInches(def.labelWidth),
            design::PanelPixelsForInches(def.labelHeight), panelShape(def.shape)};
}

void sizePanel(design::TGBasePanel& panel, const LabelDefinition& def) {
    const PanelGeometry g = panelGeometry(def);
    const float zoom = panel.Zoom();
    if (zoom == 1.0f && panel.Width() == g.width && panel.Height() == g.height &&
        panel.Shape == g.shape)
        return;
    if (zoom != 1.0f)
        panel.SetZoom(1.0f);
    if (panel.Width() != g.width || panel.Height() != g.height)
        panel.SetSize(g.width, g.height);
    if (panel.Shape != g.shape) {
        panel.Shape = g.shape;
        panel.RequestRepaint();
    }
    if (zoom != 1.0f)
        panel.SetZoom(zoom);
}

// ---- Zoom ----

float zoomStepDown(float zoom) {
    const float step = 0.1f;
    return zoom < 0.5f ? zoom : zoom - step;
}

float zoomStepUp(float zoom) {
    const float step = 0.1f;
    return zoom > 1.5f ? zoom : zoom + step;
}

int zoomPercent(float zoom) {
    return design::RoundHalfEven(zoom * 100.0f);
}

std::string zoomCaption(float zoom) {
    return std::to_string(zoomPercent(zoom)) + "%";
}

// ---- Default font ----

std::string defaultFontCaption(const store::DesignFontSettings& font) {
    std::string caption = "Default Font: " + font.name + ", " + std::to_string(font.size) + " pt ";
    if (font.bold)
        caption += ", bold";
    if (font.italic)
        caption += ", italic";
    return caption;
}

design::TDesignFont designFontOf(const store::DesignFontSettings& font) {
    design::TDesignFont f;
    f.Name = QString::fromStdString(font.name);
    f.Size = font.size;
    f.Bold = font.bold;
    f.Italic = font.italic;
    return f;
}

store::DesignFontSettings fontSettingsOf(const design::TDesignFont& font) {
    return {font.Name.toStdString(), font.Size, font.Bold, font.Italic};
}

// ---- POSTNET ----

bool tooNarrowForPostNet(const LabelDefinition& def) {
    return def.labelWidth < static_cast<float>(kPostNetMinimumLabelWidth);
}

namespace {
design::TGGraphicControl* firstPostNet(const design::TGBasePanel& panel) {
    for (int i = 0; i < panel.ObjectCount(); ++i)
        if (dynamic_cast<design::TGPostNetBarCode*>(panel.Object(i)))
            return panel.Object(i);
    return nullptr;
}
} // namespace

bool holdsPostNet(const design::TGBasePanel& panel) {
    return firstPostNet(panel) != nullptr;
}

bool removeFirstPostNet(design::TGBasePanel& panel) {
    design::TGGraphicControl* barcode = firstPostNet(panel);
    if (!barcode)
        return false;
    panel.DeleteObject(barcode);
    return true;
}

// ---- New label ----

void addNewLabelAddressBlock(design::TGLabelPanel& panel) {
    panel.SetPanelState(design::psAddressLabel);
    const QRect area(QPoint(5, 5), QPoint(panel.Width() - 10, panel.Height() - 10));
    panel.CreateObjectInRect(area);
    // Fitting sizes the block to the sample record's lines; a new label's
    // block keeps the whole label so that records with more lines (a title,
    // a second street line) print all of them.
    if (panel.ObjectCount() > 0) {
        design::TGGraphicControl* block = panel.Object(panel.ObjectCount() - 1);
        const int height = area.bottom() - area.top();
        if (block->Height() < height)
            block->SetHeight(height);
        // A long address shrinks rather than losing its city/state/ZIP line.
        if (auto* address = dynamic_cast<design::TGDMultiLineAddressLabel*>(block)) {
            address->ShrinkToFit = true;
            address->ShowDataValue();
        }
    }
    panel.SetPanelState(design::psPointing);
    panel.ClearSelection();
    for (int i = 0; i < panel.ObjectCount(); ++i)
        panel.AddToSelection(panel.Object(i));
    panel.RequestRepaint();
}

// ---- Stock art ----

std::string artName(const LabelDefinition& def) {
    const std::string art = store::Trim(def.art);
    return upperAscii(art.substr(0, art.find('.')));
}

QImage stockArt(const LabelDefinition& def, QSize panelSize100) {
    const std::string name = artName(def);
    if (!hasStockArt(def) || panelSize100.isEmpty())
        return {};
    QImage picture = name.empty() ? QImage() : resourceArt(name, panelSize100);
    return picture.isNull() ? drawnArt(def, panelSize100) : picture;
}

bool hasStockArt(const LabelDefinition& def) {
    return !artName(def).empty() || (!isUserDefined(def) && !store::Trim(def.templateName).empty());
}

// ---- Changes ----

void DesignChangeTracker::note() {
    if (quiet_ > 0)
        return;
    changed_ = true;
    if (onChanged)
        onChanged();
}

} // namespace qp::labels
