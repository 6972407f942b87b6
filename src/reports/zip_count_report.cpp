#include "reports/zip_count_report.h"

#include "reports/zip_count.h"

#include <algorithm>

namespace qp::reports {

namespace {

constexpr int kStopMargin = 5; // hundredths of an inch
constexpr int kOddLineShade = 5;

void setColumnStops(print::TBaseReport& job, double columnWidth) {
    const double w = columnWidth / 3;
    job.ClearTabs();
    job.SetTab(0, print::pjLeft, w, kStopMargin);
    job.SetTab(w, print::pjRight, w, kStopMargin);
    job.SetTab(2 * w, print::pjLeft, w, kStopMargin);
}

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

double zipColumnWidth(const print::TBaseReport& job) {
    const double room = (job.SectionRight - job.SectionLeft) / kZipColumns;
    return std::min(kZipColumnWidth, room);
}

void zipReportHeaderFooter(print::TBaseReport& job) {
    job.OriginX = 0;
    job.SetBold(true);
    job.Home();
    job.GotoXY(job.MarginLeft, job.SectionTop - 0.25);
    job.NewLine();
    job.Print(QString::fromLatin1(kZipReportTitle));
    job.SetBold(false);
    job.GotoXY(job.MarginLeft, job.SectionBottom);
    job.NewLine();
    job.Print(QStringLiteral("Page ") + QString::number(job.CurrentPage()));
    drawZipFrame(job);
}

void drawZipFrame(print::TBaseReport& job) {
    const double origin = job.OriginX;
    job.OriginX = 0;
    job.Rectangle(job.SectionLeft, job.SectionTop, job.SectionRight, job.SectionBottom);
    const double w = zipColumnWidth(job);
    for (int i = 1; i < kZipColumns; ++i) {
        const double x = job.SectionLeft + i * w;
        job.MoveTo(x, job.SectionTop);
        job.LineTo(x, job.SectionBottom);
    }
    job.OriginX = origin;
}

void printZipReport(print::TBaseReport& job, const std::vector<std::string>& lines,
                    const ZipReportHooks& hooks) {
    const double columnWidth = zipColumnWidth(job);
    setColumnStops(job, columnWidth);
    int column = 0;
    auto startColumn = [&] {
        job.OriginX = job.SectionLeft + column * columnWidth;
        job.Home();
    };
    zipReportHeaderFooter(job);
    startColumn();
    int lineInColumn = 0;
    for (const std::string& line : lines) {
        if (job.Aborted() || (hooks.stopRequested && hooks.stopRequested()))
            break;
        if (job.LinesLeft() < 1) {
            if (++column >= kZipColumns) {
                drawZipFrame(job); // again, over the shading of the page's lines
                job.NewPage();
                if (job.Aborted())
                    break;
                zipReportHeaderFooter(job);
                column = 0;
            }
            startColumn();
            lineInColumn = 0;
        }
        const int shade = ++lineInColumn % 2 == 1 ? kOddLineShade : 0;
        // The count is printed whole, however many digits it has.
        const ZipLineParts parts = splitZipResultLine(line);
        job.Tab(shade);
        job.Print(qs(parts.key));
        job.Tab(shade);
        job.Print(qs(parts.count));
        job.Tab(shade);
        job.NewLine();
        if (hooks.processEvents)
            hooks.processEvents();
    }
    if (!job.Aborted())
        drawZipFrame(job);
    job.OriginX = 0;
}

void prepareZipReport(print::TBaseReport& job, const std::vector<std::string>& lines,
                      ZipReportHooks hooks) {
    job.Title = QString::fromLatin1(kZipReportTitle);
    job.MarginLeft = job.MarginRight = 0.5;
    job.MarginTop = job.MarginBottom = 1.0;
    job.OnBeforePrint = [](print::TBaseReport& r) {
        r.StatusFormat = QStringLiteral("Printing Page %p\r%0\r%1");
        r.StatusText = {QString(), QString()};
    };
    job.OnPrint = [lines, hooks = std::move(hooks)](print::TBaseReport& r) {
        r.SetFont(QStringLiteral("Arial"), 10);
        r.SetBold(false);
        r.SetItalic(false);
        r.ResetSection();
        printZipReport(r, lines, hooks);
    };
}

} // namespace qp::reports
