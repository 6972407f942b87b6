#include "reports/starter_report.h"

#include "design/design_units.h"
#include "design/text_labels.h"

#include <memory>

namespace qp::reports {

using namespace qp::design;

int BandWidth(const ReportVars& v) {
    return v.PageWidth - v.LeftMargin - v.RightMargin - PixelsPerInch / 4;
}

namespace {

TDesignFont font(const ReportVars& v, int size = 0, bool bold = false) {
    TDesignFont f;
    f.Name = v.DefaultFontName;
    f.Size = size > 0 ? size : v.DefaultFontSize;
    f.Bold = bold || v.DefaultFontBold;
    f.Italic = v.DefaultFontItalic;
    return f;
}

void addField(TReportPanel& band, const ReportVars& v, const QString& field, const QString& label,
              int left, int width) {
    auto o = std::make_unique<TGPDLabel>();
    o->DataFieldName = field;
    o->DataFieldDescript = label;
    o->SetFont(font(v));
    TGGraphicControl* p =
        band.AddObject(std::move(o), QRect(QPoint(left, 8), QPoint(left + width, 24)));
    p->ShowDesignText();
}

} // namespace

void makeStarterReport(ReportBands& bands, ReportVars& v, const QString& title) {
    bands.Clear();
    v.UseHeader = v.UseDetail = v.UseFooter = true;
    v.UseMemo = false;
    v.HeaderHeight = 40;
    v.DetailHeight = 24;
    v.FooterHeight = 28;
    const int w = BandWidth(v);
    for (TReportPanel* p : {&bands.Header, &bands.Detail, &bands.Footer})
        p->SetSize(w, p == &bands.Header   ? v.HeaderHeight
                      : p == &bands.Detail ? v.DetailHeight
                                           : v.FooterHeight);

    auto heading = std::make_unique<TGPLabel>();
    heading->SetCaption(title);
    heading->SetFont(font(v, 14, true));
    static_cast<TGPLabel*>(
        bands.Header.AddObject(std::move(heading), QRect(QPoint(0, 6), QPoint(300, 30))))
        ->FitToText();

    addField(bands.Detail, v, QStringLiteral("FullName"), QStringLiteral("Full Name"), 0, 220);
    addField(bands.Detail, v, QStringLiteral("CityStateZip"), QStringLiteral("City, State & Zip"),
             w * 2 / 5, 240);
    addField(bands.Detail, v, QStringLiteral("PHONE"), QStringLiteral("Phone 1"), w * 4 / 5, w / 5);

    auto page = std::make_unique<TGPLabel>();
    page->SetCaption(QStringLiteral("Page"));
    page->SetFont(font(v));
    auto* pageLabel = static_cast<TGPLabel*>(
        bands.Footer.AddObject(std::move(page), QRect(QPoint(w / 2 - 40, 8), QPoint(w / 2, 24))));
    pageLabel->FitToText();
    auto number = std::make_unique<TGPageNumberLabel>();
    number->SetFont(font(v));
    auto* n = static_cast<TGPageNumberLabel*>(bands.Footer.AddObject(
        std::move(number), QRect(QPoint(pageLabel->Left() + pageLabel->Width() + 4, 8),
                                 QPoint(pageLabel->Left() + pageLabel->Width() + 44, 24))));
    n->RefreshCaption(nullptr);
    n->FitToText();
}

} // namespace qp::reports
