#include "reports/designed_report.h"

#include "design/design_types.h"
#include "design/design_units.h"
#include "print/paper_codes.h"
#include "print/printer_setup.h"
#include "reports/builtin_report.h"
#include "reports/record_sheet.h"

namespace qp::reports {

namespace {

constexpr double kEighth = 0.125;
constexpr double kEps = 1e-6;

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

void SetPaperSizeFromReportVars(print::TBaseReport& job, const ReportVars& vars) {
    const ReportPaper paper = RecognisePaper(vars.PageWidth, vars.PageHeight);
    if (paper == ReportPaper::Unknown)
        return;
    job.Setup().SetPaperCode(IsA4(paper) ? print::kPaperA4 : print::kPaperLetter);
    job.Orientation = IsLandscape(paper) ? print::poLandScape : print::poPortrait;
    job.Setup().SetOrientation(job.Orientation);
}

void DrawBandBox(print::TBaseReport& job, double x1, double y1, double x2, double y2,
                 const BandBorders& b) {
    if (b.ShadePercent > 0) {
        job.SetBrush(design::ToQColor(design::TColor{
                         static_cast<std::uint32_t>(ShadedColor(b.ShadeColor, b.ShadePercent))}),
                     print::bsSolid);
        job.SetPen(Qt::black, print::psClear, 1);
        job.FillRect(x1 + 0.01, y1 + 0.01, x2, y2);
        job.SetBrush(Qt::white, print::bsClear);
    }
    if (!(b.Left || b.Top || b.Right || b.Bottom))
        return;
    job.SetPen(Qt::black, print::psSolid, -b.LineWidth);
    double dx = 0, dy = 0;
    if (b.LineWidth >= 2) {
        dx = b.LineWidth / job.XDpi();
        dy = b.LineWidth / job.YDpi();
    }
    const double l = x1 + dx, t = y1 + dy, r = x2 - dx, bt = y2 - dy;
    if (b.Top) {
        job.MoveTo(l, t);
        job.LineTo(r, t);
    }
    if (b.Right) {
        job.MoveTo(r, t);
        job.LineTo(r, bt);
    }
    if (b.Bottom) {
        job.MoveTo(l, bt);
        job.LineTo(r, bt);
    }
    if (b.Left) {
        job.MoveTo(l, t);
        job.LineTo(l, bt);
    }
    job.SetPen(Qt::black, print::psSolid, 1);
}

DesignedReportPrinter::DesignedReportPrinter(ReportBands& bands, const ReportVars& vars,
                                             store::Table& table, DesignedOptions options,
                                             ReportHooks hooks)
    : bands_(bands), vars_(vars), table_(table), options_(options), hooks_(std::move(hooks)) {}

double DesignedReportPrinter::inches(int px) const {
    return design::TDesignLength::FromPixels(px).Inches();
}

void DesignedReportPrinter::PrintHeaderFooter(print::TBaseReport& job) {
    if (!started_)
        return;
    const double headerH = vars_.UseHeader ? inches(vars_.HeaderHeight) : 0;
    const double footerH = vars_.UseFooter ? inches(vars_.FooterHeight) : 0;
    const double x = inches(vars_.LeftMargin) + kEighth;
    if (vars_.UseHeader) {
        DrawBandBox(job, job.SectionLeft - kEighth, job.SectionTop - headerH,
                    job.SectionRight + kEighth, job.SectionTop, vars_.Borders[rbHeader]);
        bands_.Header.PrintObjects(job, x, job.SectionTop - headerH);
    }
    if (vars_.UseFooter) {
        DrawBandBox(job, job.SectionLeft - kEighth, job.SectionBottom, job.SectionRight + kEighth,
                    job.SectionBottom + footerH, vars_.Borders[rbFooter]);
        bands_.Footer.PrintObjects(job, x, job.SectionBottom);
    }
    y_ = job.SectionTop;
}

void DesignedReportPrinter::PrinttheMemo(print::TBaseReport& job, const QString& memo) {
    auto setMemoFont = [&] {
        job.SetFont(vars_.MemoFontName, vars_.MemoFontSize);
        job.SetBold(vars_.MemoFontBold);
        job.SetItalic(vars_.MemoFontItalic);
    };
    setMemoFont();
    const double h = job.LineHeight();
    if (h <= 0)
        return;
    // Wrapped at the width the lines print in, so none leaves its band.
    const double width = job.SectionRight - job.SectionLeft;
    QStringList lines =
        wrapText(memo, width, [&job](const QString& s) { return job.TextWidth(s); });
    const double extra = 0; // the engine's line height already holds the leading
    qsizetype at = 0;
    while (at < lines.size()) {
        if (job.Aborted())
            return;
        int n = static_cast<int>((job.SectionBottom - y_) / h + kEps);
        if (n <= 0) {
            const bool fresh = y_ <= job.SectionTop + kEps;
            if (fresh)
                return; // not one line fits on a whole page
            job.NewPage();
            if (job.Aborted())
                return;
            setMemoFont();
            n = static_cast<int>((job.SectionBottom - y_) / h + kEps);
            if (n <= 0)
                return;
        }
        const int k = static_cast<int>(std::min<qsizetype>(n, lines.size() - at));
        DrawBandBox(job, job.SectionLeft - kEighth, y_, job.SectionRight + kEighth,
                    y_ + k * h + extra, vars_.Borders[rbMemo]);
        setMemoFont();
        job.GotoXY(job.SectionLeft, y_);
        job.NewLine();
        for (int i = 0; i < k; ++i, ++at) {
            const QString& line = lines[at];
            switch (vars_.MemoAlignment) {
            case 1:
                job.PrintRight(line, job.SectionRight);
                break;
            case 2:
                job.PrintCenter(line, (job.SectionLeft + job.SectionRight) / 2);
                break;
            default:
                job.Print(line);
                break;
            }
            job.NewLine();
            y_ += h;
        }
        y_ += extra;
        if (at < lines.size()) {
            job.NewPage();
            if (job.Aborted())
                return;
            setMemoFont();
        }
    }
}

void DesignedReportPrinter::PrintTheReport(print::TBaseReport& job) {
    const double headerH = vars_.UseHeader ? inches(vars_.HeaderHeight) : 0;
    const double footerH = vars_.UseFooter ? inches(vars_.FooterHeight) : 0;
    const double detailH = inches(vars_.DetailHeight);
    job.MarginLeft = inches(vars_.LeftMargin) + kEighth;
    job.MarginRight = inches(vars_.RightMargin) + kEighth;
    job.MarginTop = inches(vars_.TopMargin) + headerH;
    job.MarginBottom = inches(vars_.BottomMargin) + footerH;
    job.ResetSection();
    for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer})
        p->Printing = true;
    started_ = true;
    PrintHeaderFooter(job);
    const double x = inches(vars_.LeftMargin) + kEighth;
    printed_ = 0;
    while (!table_.eof()) {
        if (job.Aborted() || (hooks_.stopRequested && hooks_.stopRequested()))
            break;
        if (vars_.UseDetail) {
            // A band taller than a whole page prints where it is rather
            // than starting an empty page first.
            if (job.SectionBottom - y_ < detailH - kEps && y_ > job.SectionTop + kEps) {
                job.NewPage();
                if (job.Aborted())
                    break;
            }
            DrawBandBox(job, job.SectionLeft - kEighth, y_, job.SectionRight + kEighth,
                        y_ + detailH, vars_.Borders[rbDetail]);
            bands_.Detail.RefreshDataValues();
            bands_.Detail.PrintObjects(job, x, y_);
            y_ += detailH;
        }
        if (vars_.UseMemo && table_.fieldIndex("MEMO")) {
            auto memo = table_.getMemo("MEMO");
            if (memo)
                PrinttheMemo(job, qs(*memo));
        }
        ++printed_;
        if (hooks_.processEvents)
            hooks_.processEvents();
        const bool more = table_.next() && !table_.eof();
        if (!more)
            break;
        if (options_.onePerPage) {
            job.NewPage();
            if (job.Aborted())
                break;
        }
    }
    for (TReportPanel* p : {&bands_.Header, &bands_.Detail, &bands_.Footer})
        p->Printing = false;
    started_ = false;
}

void prepareDesignedReport(print::TBaseReport& job, DesignedReportPrinter& printer,
                           const ReportVars& vars) {
    job.Title = QString::fromLatin1(kReportJobTitle);
    SetPaperSizeFromReportVars(job, vars);
    job.OnBeforePrint = [](print::TBaseReport& r) {
        r.StatusFormat = QString::fromLatin1(kReportStatusFormat);
        r.StatusText = {QString(), QString()};
    };
    job.OnPrint = [&printer](print::TBaseReport& r) { printer.PrintTheReport(r); };
    job.OnNewPage = [&printer](print::TBaseReport& r) { printer.PrintHeaderFooter(r); };
}

} // namespace qp::reports
