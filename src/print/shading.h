#pragma once
#include <QColor>

namespace qp::print {

// Colour of a cell shaded s percent (0 white .. 100 the colour itself).
QColor ShadedColor(const QColor& base, int percent);

} // namespace qp::print
