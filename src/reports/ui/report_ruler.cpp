#include "reports/ui/report_ruler.h"

#include "design/design_units.h"

#include <QPainter>

namespace qp::reports {

THRuler::THRuler(QWidget* parent) : QWidget(parent) {
    resize(768, 33);
}

void THRuler::SetStartInch(double inches) {
    if (inches == StartInch_)
        return;
    StartInch_ = inches;
    update();
}

void THRuler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(255, 255, 0)); // colour 65535
    const QColor grey(0x80, 0x80, 0x80);
    p.setPen(grey);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(9);
    p.setFont(f);
    const int step = design::PixelsPerInch / 16;
    const int h = height();
    int count = static_cast<int>(StartInch_ * 16);
    for (int x = 0; x < width(); x += step, ++count) {
        int tick = h / 4;
        if (count % 16 == 0)
            tick = h;
        else if (count % 8 == 0)
            tick = h / 2;
        p.drawLine(x, 0, x, tick);
        if (count % 16 == 0 && count != 0)
            p.drawText(QPoint(x + 3, h / 4 + p.fontMetrics().ascent()),
                       QString::number(count / 16));
    }
}

} // namespace qp::reports
