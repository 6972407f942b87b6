#include "reports/report_vars.h"

#include "design/design_units.h"
#include "design/layout_stream.h"

#include <algorithm>

namespace qp::reports {

namespace {

using design::PixelsPerInch;
using design::Trunc;

int px(double inches) {
    return design::TDesignLength::FromInches(inches).TruncatedPixels();
}

bool near(int a, int b) {
    return std::abs(a - b) <= 1;
}

} // namespace

ReportVars NewReportVars() {
    ReportVars v;
    SetPaper(v, ReportPaper::LetterPortrait);
    v.LeftMargin = v.TopMargin = v.RightMargin = v.BottomMargin = px(0.5);
    return v;
}

int ShadedColor(int color, int percent) {
    const int p = std::clamp(percent, 0, 100);
    const int k = 100 - p;
    int out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c = (color >> shift) & 0xFF;
        out |= (c + k * (255 - c) / 100) << shift;
    }
    return out;
}

QString PaperDescription(ReportPaper paper) {
    switch (paper) {
    case ReportPaper::LetterPortrait:
        return QStringLiteral("Letter Size, Portrait");
    case ReportPaper::LetterLandscape:
        return QStringLiteral("Letter Size, Landscape");
    case ReportPaper::A4Portrait:
        return QStringLiteral("A4 Size, Portrait");
    case ReportPaper::A4Landscape:
        return QStringLiteral("A4 Size, Landscape");
    case ReportPaper::Unknown:
        break;
    }
    return {};
}

ReportPaper PaperFromDescription(const QString& text) {
    const QString t = text.simplified();
    for (ReportPaper p : {ReportPaper::LetterPortrait, ReportPaper::LetterLandscape,
                          ReportPaper::A4Portrait, ReportPaper::A4Landscape})
        if (t.compare(PaperDescription(p), Qt::CaseInsensitive) == 0)
            return p;
    return ReportPaper::Unknown;
}

ReportPaper RecognisePaper(int w, int h) {
    if (near(w, px(kLetterWidth)) && near(h, px(kLetterHeight)))
        return ReportPaper::LetterPortrait;
    if (near(w, px(kLetterHeight)) && near(h, px(kLetterWidth)))
        return ReportPaper::LetterLandscape;
    if (near(w, px(kA4Width)) && near(h, px(kA4Height)))
        return ReportPaper::A4Portrait;
    if (near(w, px(kA4Height)) && near(h, px(kA4Width)))
        return ReportPaper::A4Landscape;
    return ReportPaper::Unknown;
}

bool IsA4(ReportPaper p) {
    return p == ReportPaper::A4Portrait || p == ReportPaper::A4Landscape;
}

bool IsLandscape(ReportPaper p) {
    return p == ReportPaper::LetterLandscape || p == ReportPaper::A4Landscape;
}

void SetPaper(ReportVars& v, ReportPaper paper) {
    double w = IsA4(paper) ? kA4Width : kLetterWidth;
    double h = IsA4(paper) ? kA4Height : kLetterHeight;
    if (IsLandscape(paper))
        std::swap(w, h);
    v.PageWidth = px(w);
    v.PageHeight = px(h);
}

int ThousandthsOfPixels(int pixels) {
    return design::TDesignLength::FromPixels(pixels).RoundedThousandths();
}

int PixelsOfThousandths(int thousandths) {
    return design::TDesignLength::FromThousandthsExact(thousandths).RoundedPixels();
}

int PrintableHeight(const ReportVars& v) {
    return v.PageHeight - v.TopMargin - v.BottomMargin;
}

void WriteReportVars(design::TStreamWriter& w, const ReportVars& v) {
    for (int length : {v.PageWidth, v.PageHeight, v.LeftMargin, v.TopMargin, v.RightMargin,
                       v.BottomMargin, v.HeaderHeight, v.DetailHeight, v.FooterHeight})
        w.WriteInteger(ThousandthsOfPixels(length));
    for (bool b : {v.UseHeader, v.UseDetail, v.UseMemo, v.UseFooter})
        w.WriteBoolean(b);
    w.WriteString(v.MemoFontName);
    w.WriteInteger(v.MemoFontSize);
    w.WriteBoolean(v.MemoFontBold);
    w.WriteBoolean(v.MemoFontItalic);
    w.WriteInteger(v.MemoAlignment);
    w.WriteString(v.DefaultFontName);
    w.WriteInteger(v.DefaultFontSize);
    w.WriteBoolean(v.DefaultFontBold);
    w.WriteBoolean(v.DefaultFontItalic);
    for (const BandBorders& b : v.Borders) {
        w.WriteBoolean(b.Left);
        w.WriteBoolean(b.Top);
        w.WriteBoolean(b.Right);
        w.WriteBoolean(b.Bottom);
        w.WriteInteger(b.LineWidth);
        w.WriteInteger(b.ShadePercent);
        w.WriteInteger(b.ShadeColor);
    }
}

namespace {

// One value of the settings list; a list that ends early says which value
// it lacks.
struct VarsReader {
    design::TStreamReader& r;
    int index = 0;

    bool more() {
        ++index;
        if (r.Failed())
            return false;
        quint8 b = 0;
        if (r.PeekByte(b) && b == 0) {
            r.Fail(QStringLiteral("The report settings end after %1 of %2 values")
                       .arg(index - 1)
                       .arg(kReportVarsCount));
            return false;
        }
        return true;
    }
    bool integer(int& out) {
        qint32 v = 0;
        if (!more() || !r.ReadInteger(v))
            return false;
        out = v;
        return true;
    }
    bool length(int& out) {
        int v = 0;
        if (!integer(v))
            return false;
        out = PixelsOfThousandths(v);
        return true;
    }
    bool boolean(bool& out) { return more() && r.ReadBoolean(out); }
    bool string(QString& out) { return more() && r.ReadString(out); }
};

} // namespace

bool ReadReportVars(design::TStreamReader& r, ReportVars& out) {
    ReportVars v = NewReportVars();
    VarsReader in{r};
    bool ok = in.length(v.PageWidth) && in.length(v.PageHeight) && in.length(v.LeftMargin) &&
              in.length(v.TopMargin) && in.length(v.RightMargin) && in.length(v.BottomMargin) &&
              in.length(v.HeaderHeight) && in.length(v.DetailHeight) && in.length(v.FooterHeight) &&
              in.boolean(v.UseHeader) && in.boolean(v.UseDetail) && in.boolean(v.UseMemo) &&
              in.boolean(v.UseFooter) && in.string(v.MemoFontName) && in.integer(v.MemoFontSize) &&
              in.boolean(v.MemoFontBold) && in.boolean(v.MemoFontItalic) &&
              in.integer(v.MemoAlignment) && in.string(v.DefaultFontName) &&
              in.integer(v.DefaultFontSize) && in.boolean(v.DefaultFontBold) &&
              in.boolean(v.DefaultFontItalic);
    for (BandBorders& b : v.Borders)
        ok = ok && in.boolean(b.Left) && in.boolean(b.Top) && in.boolean(b.Right) &&
             in.boolean(b.Bottom) && in.integer(b.LineWidth) && in.integer(b.ShadePercent) &&
             in.integer(b.ShadeColor);
    if (!ok)
        return false;
    // A page of no size, or margins that leave nothing, cannot be laid out.
    if (v.PageWidth <= 0 || v.PageHeight <= 0 || v.PageWidth > 100 * PixelsPerInch ||
        v.PageHeight > 100 * PixelsPerInch) {
        r.Fail(QStringLiteral("The report's page size is not usable"));
        return false;
    }
    for (int* m : {&v.LeftMargin, &v.TopMargin, &v.RightMargin, &v.BottomMargin, &v.HeaderHeight,
                   &v.DetailHeight, &v.FooterHeight})
        *m = std::clamp(*m, 0, std::max(v.PageWidth, v.PageHeight));
    for (int* size : {&v.MemoFontSize, &v.DefaultFontSize})
        *size = std::clamp(*size, 1, 400);
    if (v.MemoAlignment < 0 || v.MemoAlignment > 2)
        v.MemoAlignment = 0;
    for (BandBorders& b : v.Borders) {
        b.LineWidth = std::clamp(b.LineWidth, 1, 3);
        b.ShadePercent = std::clamp(b.ShadePercent, 0, 100);
        b.ShadeColor &= 0xFFFFFF;
    }
    out = v;
    return true;
}

} // namespace qp::reports
