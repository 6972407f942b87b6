#pragma once
// Printing a designed report: header and footer bands on every page, the
// detail band once per record, the memo band wrapped and continued over
// pages, band shading and outlines. Drawn through the print engine.

#include "print/base_report.h"
#include "reports/report_run.h"
#include "reports/report_store.h"
#include "store/table.h"

namespace qp::print {
class TPrinterSetup;
}

namespace qp::reports {

struct DesignedOptions {
    bool onePerPage = false;
};

// The paper and orientation the settings describe, set on the job and its
// printer; nothing when the page is none of the four papers.
void SetPaperSizeFromReportVars(print::TBaseReport& job, const ReportVars& vars);

// Shades and outlines the rectangle (inches) as `b` says.
void DrawBandBox(print::TBaseReport& job, double x1, double y1, double x2, double y2,
                 const BandBorders& b);

// Runs on a running job from the table's current record on; the bands are
// bound to the table (detail band data source) and in printing mode.
// Returns the number of records printed.
class DesignedReportPrinter {
public:
    DesignedReportPrinter(ReportBands& bands, const ReportVars& vars, store::Table& table,
                          DesignedOptions options, ReportHooks hooks = {});

    void PrintTheReport(print::TBaseReport& job);
    void PrintHeaderFooter(print::TBaseReport& job);
    void PrinttheMemo(print::TBaseReport& job, const QString& memo);
    int recordsPrinted() const { return printed_; }

private:
    double inches(int px) const;
    ReportBands& bands_;
    ReportVars vars_;
    store::Table& table_;
    DesignedOptions options_;
    ReportHooks hooks_;
    bool started_ = false;
    double y_ = 0;
    int printed_ = 0;
};

// Sets title, margins, paper, status format, and the print and new-page
// routines on `job`; `printer` must outlive the job's run.
void prepareDesignedReport(print::TBaseReport& job, DesignedReportPrinter& printer,
                           const ReportVars& vars);

} // namespace qp::reports
