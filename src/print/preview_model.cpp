#include "print/preview_model.h"

#include <algorithm>
#include <cmath>

namespace qp::print {

void TPreviewModel::SetJob(const TStoredJob* job) {
    Job_ = job;
    Page_ = PageCount() > 0 ? 1 : 0;
    if (OnPageChange)
        OnPageChange();
}

void TPreviewModel::ShowPage(int page) {
    const int n = PageCount();
    const int p = n == 0 ? 0 : std::clamp(page, 1, n);
    if (p == Page_)
        return;
    Page_ = p;
    if (OnPageChange)
        OnPageChange();
}

void TPreviewModel::SetZoom(double percent) {
    const double z = std::clamp(percent, kMinZoom, kMaxZoom);
    if (z == Zoom_)
        return;
    Zoom_ = z;
    if (OnZoomChange)
        OnZoomChange();
}

QSizeF TPreviewModel::Paper() const {
    return Job_ ? QSizeF(Job_->PaperWidth, Job_->PaperHeight) : QSizeF(8.5, 11);
}

double TPreviewModel::PageWidthZoom(QSizeF viewport, double screenDpi) const {
    const double full = Paper().width() * screenDpi * (1 + 2 * MarginPercent / 100);
    return full > 0 ? viewport.width() / full * 100 : Zoom_;
}

double TPreviewModel::WholePageZoom(QSizeF viewport, double screenDpi) const {
    const double k = 1 + 2 * MarginPercent / 100;
    const double h = Paper().height() * screenDpi * k;
    const double byHeight = h > 0 ? viewport.height() / h * 100 : Zoom_;
    return std::min(PageWidthZoom(viewport, screenDpi), byHeight);
}

void TPreviewModel::ZoomPageWidth(QSizeF viewport, double screenDpi) {
    SetZoom(PageWidthZoom(viewport, screenDpi));
}

void TPreviewModel::ZoomWholePage(QSizeF viewport, double screenDpi) {
    SetZoom(WholePageZoom(viewport, screenDpi));
}

void TPreviewModel::ApplyZoomMode(int mode, QSizeF viewport, double screenDpi) {
    if (mode == 1)
        ZoomWholePage(viewport, screenDpi);
    else if (mode == 2)
        ZoomPageWidth(viewport, screenDpi);
    else
        SetZoom(mode);
}

QSizeF TPreviewModel::PagePixels(double screenDpi) const {
    return Paper() * screenDpi * Zoom_ / 100;
}

QSizeF TPreviewModel::BorderPixels(double screenDpi) const {
    return PagePixels(screenDpi) * (MarginPercent / 100);
}

QSizeF TPreviewModel::CanvasPixels(double screenDpi) const {
    return PagePixels(screenDpi) + BorderPixels(screenDpi) * 2;
}

QString TPreviewModel::Title() const {
    // Round to nearest, halves to even.
    const long z = std::lrint(Zoom_);
    return QStringLiteral("Preview Page %1 of %2 ( %3% )").arg(Page_).arg(PageCount()).arg(z);
}

} // namespace qp::print
