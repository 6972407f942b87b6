#pragma once
// Shows one page of a stored job in a scrolling area, at a zoom.
#include "print/preview_model.h"

#include <QAbstractScrollArea>

namespace qp::print {

class TFilePreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TFilePreview(QWidget* parent = nullptr);

    void SetJob(const TStoredJob* job);
    TPreviewModel& Model() { return Model_; }
    const TPreviewModel& Model() const { return Model_; }

    double ScreenDpi() const; // logical pixels per inch at 100 %
    void ZoomPageWidth();
    void ZoomWholePage();
    void ApplyZoomMode(int mode);
    // The page's top-left corner in viewport coordinates.
    QPointF PageOrigin() const;

signals:
    void PageChanged();
    void ZoomChanged();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void UpdateScrollBars();
    QSizeF Viewport() const;
    TPreviewModel Model_;
};

} // namespace qp::print
