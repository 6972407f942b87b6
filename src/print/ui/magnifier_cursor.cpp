#include "print/ui/magnifier_cursor.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

namespace qp::print {

QCursor MagnifierCursor() {
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(QSize(32, 32) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(QRectF(3, 3, 16, 16));
    p.drawLine(QPointF(17, 17), QPointF(28, 28));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QRectF(3, 3, 16, 16));
    p.setPen(QPen(Qt::black, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 17), QPointF(27, 27));
    p.end();
    return QCursor(pm, 11, 11);
}

} // namespace qp::print
