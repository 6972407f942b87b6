#pragma once
// Page and zoom state of a stored-job preview, apart from any widget.
#include "print/draw_command.h"

#include <QSizeF>
#include <QString>
#include <functional>

namespace qp::print {

class TPreviewModel {
public:
    double ZoomInc = 10;        // percentage points per zoom step
    double MarginPercent = 2.5; // grey border around the page, percent of its size
    int ShadowDepth = 0;
    bool Monochrome = false;
    static constexpr double kMinZoom = 10;
    static constexpr double kMaxZoom = 500;

    std::function<void()> OnPageChange;
    std::function<void()> OnZoomChange;

    void SetJob(const TStoredJob* job);
    const TStoredJob* Job() const { return Job_; }
    int PageCount() const { return Job_ ? Job_->PageCount() : 0; }
    int Page() const { return Page_; } // from 1; 0 when there are no pages
    void ShowPage(int page);
    void First() { ShowPage(1); }
    void Prev() { ShowPage(Page_ - 1); }
    void Next() { ShowPage(Page_ + 1); }
    void Last() { ShowPage(PageCount()); }

    double ZoomFactor() const { return Zoom_; }
    void SetZoom(double percent);
    void ZoomIn() { SetZoom(Zoom_ + ZoomInc); }
    void ZoomOut() { SetZoom(Zoom_ - ZoomInc); }
    // Zoom so that the page (with its border) fits the viewport, in pixels
    // at screenDpi.
    void ZoomPageWidth(QSizeF viewport, double screenDpi);
    void ZoomWholePage(QSizeF viewport, double screenDpi);
    // Opening mode: 1 whole page, 2 page width, any other value a percent.
    void ApplyZoomMode(int mode, QSizeF viewport, double screenDpi);
    double PageWidthZoom(QSizeF viewport, double screenDpi) const;
    double WholePageZoom(QSizeF viewport, double screenDpi) const;

    // Sizes in screen pixels at the current zoom.
    QSizeF PagePixels(double screenDpi) const;
    QSizeF BorderPixels(double screenDpi) const; // one side
    QSizeF CanvasPixels(double screenDpi) const; // page plus border on both sides

    // "Preview Page n of m ( z% )".
    QString Title() const;

private:
    QSizeF Paper() const;
    const TStoredJob* Job_ = nullptr;
    int Page_ = 0;
    double Zoom_ = 75.0;
};

} // namespace qp::print
