#include "print/ui/file_preview.h"

#include "print/page_renderer.h"
#include "print/ui/magnifier_cursor.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace qp::print {

TFilePreview::TFilePreview(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("FilePreview"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(MagnifierCursor());
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    Model_.OnPageChange = [this] {
        viewport()->update();
        emit PageChanged();
    };
    Model_.OnZoomChange = [this] {
        UpdateScrollBars();
        viewport()->update();
        emit ZoomChanged();
    };
}

void TFilePreview::SetJob(const TStoredJob* job) {
    Model_.SetJob(job);
    UpdateScrollBars();
}

double TFilePreview::ScreenDpi() const {
    return logicalDpiX();
}

QSizeF TFilePreview::Viewport() const {
    // Fit as if no scroll bars were needed, so a fit does not shrink itself.
    return QSizeF(maximumViewportSize());
}

void TFilePreview::ZoomPageWidth() {
    const QSizeF vp = Viewport();
    const double zoom = Model_.PageWidthZoom(vp, ScreenDpi());
    // Leave room for the vertical scroll bar the page will then need.
    const bool needsBar =
        Model_.CanvasPixels(ScreenDpi()).height() * zoom / Model_.ZoomFactor() > vp.height();
    Model_.ZoomPageWidth(
        needsBar ? QSizeF(vp.width() - verticalScrollBar()->sizeHint().width(), vp.height()) : vp,
        ScreenDpi());
}

void TFilePreview::ZoomWholePage() {
    Model_.ZoomWholePage(Viewport(), ScreenDpi());
}

void TFilePreview::ApplyZoomMode(int mode) {
    if (mode == 1)
        ZoomWholePage();
    else if (mode == 2)
        ZoomPageWidth();
    else
        Model_.SetZoom(mode);
}

void TFilePreview::UpdateScrollBars() {
    const QSizeF canvas = Model_.CanvasPixels(ScreenDpi());
    const QSize vp = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(canvas.width())) - vp.width()));
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(canvas.height())) - vp.height()));
    horizontalScrollBar()->setPageStep(vp.width());
    verticalScrollBar()->setPageStep(vp.height());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

QPointF TFilePreview::PageOrigin() const {
    const double dpi = ScreenDpi();
    const QSizeF canvas = Model_.CanvasPixels(dpi);
    const QSizeF border = Model_.BorderPixels(dpi);
    const QSize vp = viewport()->size();
    // A page narrower than the window is centred.
    const double left = canvas.width() < vp.width() ? (vp.width() - canvas.width()) / 2
                                                    : -horizontalScrollBar()->value();
    const double top = canvas.height() < vp.height() ? (vp.height() - canvas.height()) / 2
                                                     : -verticalScrollBar()->value();
    return {left + border.width(), top + border.height()};
}

void TFilePreview::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const TStoredJob* job = Model_.Job();
    if (!job || Model_.Page() < 1)
        return;
    const double dpi = ScreenDpi();
    const QPointF origin = PageOrigin();
    const QRectF page(origin, Model_.PagePixels(dpi));
    p.fillRect(page, Qt::white);
    p.setClipRect(page);
    TDeviceMap map;
    map.XDpi = map.YDpi = dpi * Model_.ZoomFactor() / 100;
    map.OriginX = origin.x();
    map.OriginY = origin.y();
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!job->Outlines.empty()) {
        p.save();
        p.setPen(QPen(QColor(200, 200, 200), 0));
        p.setBrush(Qt::NoBrush);
        for (const TPreviewOutline& o : job->Outlines) {
            const QRectF r(QPointF(map.OriginX + o.Rect.left() * map.XDpi,
                                   map.OriginY + o.Rect.top() * map.YDpi),
                           QSizeF(o.Rect.width() * map.XDpi, o.Rect.height() * map.YDpi));
            if (o.Shape == TPreviewOutline::osEllipse)
                p.drawEllipse(r);
            else if (o.Shape == TPreviewOutline::osRoundRect)
                p.drawRoundedRect(r, 0.08 * map.XDpi, 0.08 * map.YDpi);
            else
                p.drawRect(r);
        }
        p.restore();
    }
    RenderPage(p, job->Pages[Model_.Page() - 1], map);
}

void TFilePreview::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    UpdateScrollBars();
}

void TFilePreview::mousePressEvent(QMouseEvent* e) {
    // Keep the clicked point of the page under the pointer.
    const QPointF origin = PageOrigin();
    const double before = Model_.ZoomFactor();
    const QPointF onPage = (e->position() - origin) / before;
    if (e->button() == Qt::LeftButton)
        Model_.ZoomIn();
    else
        Model_.ZoomOut();
    const double after = Model_.ZoomFactor();
    if (after != before) {
        const QPointF target = onPage * after +
                               Model_.BorderPixels(ScreenDpi()).width() * QPointF(1, 0) +
                               QPointF(0, Model_.BorderPixels(ScreenDpi()).height());
        horizontalScrollBar()->setValue(int(target.x() - e->position().x()));
        verticalScrollBar()->setValue(int(target.y() - e->position().y()));
    }
    e->accept();
}

void TFilePreview::keyPressEvent(QKeyEvent* e) {
    QScrollBar* bar = verticalScrollBar();
    if (e->key() == Qt::Key_Up) {
        bar->setValue(bar->value() - bar->singleStep()); // the bar clamps to its range
    } else if (e->key() == Qt::Key_Down) {
        bar->setValue(bar->value() + bar->singleStep());
    } else {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    e->accept();
}

} // namespace qp::print
