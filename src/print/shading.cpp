#include "print/shading.h"

#include <algorithm>

namespace qp::print {

static int ShadeComponent(int c, int percent) {
    const int s = std::clamp(percent, 0, 100);
    return c + (100 - s) * (255 - c) / 100;
}

QColor ShadedColor(const QColor& base, int percent) {
    return QColor(ShadeComponent(base.red(), percent), ShadeComponent(base.green(), percent),
                  ShadeComponent(base.blue(), percent));
}

} // namespace qp::print
