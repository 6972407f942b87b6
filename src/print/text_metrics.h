#pragma once
// Font metrics in inches, taken at one fixed high resolution so that the
// layout of a job does not depend on the device it is later painted on.
#include "print/print_types.h"

#include <QFont>
#include <QFontMetricsF>
#include <memory>
#include <optional>

namespace qp::print {

QFont MakeQFont(const TFontSpec& spec);

class TTextMetrics {
public:
    void SetFont(const TFontSpec& spec);
    double Ascent() const;     // inches
    double Descent() const;    // inches
    double LineHeight() const; // ascent + descent + leading, inches
    double Width(const QString& text) const;

private:
    void Ensure() const;
    TFontSpec Spec_;
    mutable std::optional<QFontMetricsF> Metrics_;
};

constexpr double kMetricsDpi = 1200;

} // namespace qp::print
