#include "print/text_metrics.h"

#include <QImage>

namespace qp::print {

QFont MakeQFont(const TFontSpec& spec) {
    QFont f(spec.Name);
    f.setPointSizeF(spec.Size > 0 ? spec.Size : 1);
    f.setBold(spec.Bold);
    f.setItalic(spec.Italic);
    f.setUnderline(spec.Underline);
    f.setStrikeOut(spec.StrikeOut);
    // Unhinted outlines keep advances the same on every resolution.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

static QPaintDevice* MetricsDevice() {
    static QImage image = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        const int dpm = qRound(kMetricsDpi / 0.0254);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return &image;
}

void TTextMetrics::SetFont(const TFontSpec& spec) {
    if (Metrics_ && spec.Name == Spec_.Name && spec.Size == Spec_.Size && spec.Bold == Spec_.Bold &&
        spec.Italic == Spec_.Italic)
        return;
    Spec_ = spec;
    Metrics_.reset();
}

void TTextMetrics::Ensure() const {
    if (!Metrics_)
        Metrics_.emplace(MakeQFont(Spec_), MetricsDevice());
}

double TTextMetrics::Ascent() const {
    Ensure();
    return Metrics_->ascent() / kMetricsDpi;
}

double TTextMetrics::Descent() const {
    Ensure();
    return Metrics_->descent() / kMetricsDpi;
}

double TTextMetrics::LineHeight() const {
    Ensure();
    return Metrics_->lineSpacing() / kMetricsDpi;
}

double TTextMetrics::Width(const QString& text) const {
    Ensure();
    return Metrics_->horizontalAdvance(text) / kMetricsDpi;
}

} // namespace qp::print
