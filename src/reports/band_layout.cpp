#include "reports/band_layout.h"

#include "design/design_units.h"
#include "reports/starter_report.h"

#include <algorithm>

namespace qp::reports {

int& BandHeight(ReportVars& v, TReportBand band) {
    switch (band) {
    case rbHeader:
        return v.HeaderHeight;
    case rbDetail:
        return v.DetailHeight;
    case rbFooter:
        return v.FooterHeight;
    case rbMemo:
        break;
    }
    static int memo = kMemoBandHeight;
    memo = kMemoBandHeight;
    return memo;
}

bool& BandUsed(ReportVars& v, TReportBand band) {
    switch (band) {
    case rbHeader:
        return v.UseHeader;
    case rbDetail:
        return v.UseDetail;
    case rbMemo:
        return v.UseMemo;
    case rbFooter:
        break;
    }
    return v.UseFooter;
}

namespace {

int excess(const ReportVars& v) {
    return v.HeaderHeight + v.DetailHeight + v.FooterHeight - PrintableHeight(v);
}

} // namespace

BandArrangement ArrangeBands(ReportVars& v) {
    BandArrangement a;
    a.width = BandWidth(v);
    a.startInch = design::TDesignLength::FromPixels(v.LeftMargin).Inches();
    for (TReportBand b : {rbHeader, rbDetail, rbFooter}) {
        int& h = BandHeight(v, b);
        if (!BandUsed(v, b))
            h = 0;
        else if (h <= 0) {
            h = kBandSwitchedOnHeight;
            if (const int over = excess(v); over > 0)
                h = std::max(0, h - over);
        }
    }
    int y = kRulerHeight;
    for (TReportBand b : {rbHeader, rbDetail, rbMemo, rbFooter}) {
        BandPlace& p = a.bands[b];
        p.captionTop = y;
        y += kCaptionHeight;
        p.bandTop = y;
        p.bandHeight = b == rbMemo ? (v.UseMemo ? kMemoBandHeight : 0) : BandHeight(v, b);
        y += p.bandHeight;
        p.sizerTop = y;
        y += kSizerHeight;
    }
    a.pageHeight = std::max(y, PrintableHeight(v) + a.bands[rbMemo].bandHeight + 100);
    return a;
}

void DragBand(ReportVars& v, TReportBand band, int pressHeight, int dy) {
    if (band == rbMemo || !BandUsed(v, band))
        return;
    int& h = BandHeight(v, band);
    h = std::max(0, pressHeight + dy);
    if (const int over = excess(v); over > 0)
        h = std::max(0, h - over);
}

void SwitchBand(ReportVars& v, TReportBand band, bool on) {
    BandUsed(v, band) = on;
    if (!on && band != rbMemo)
        BandHeight(v, band) = 0;
}

} // namespace qp::reports
