#pragma once
// The "Zip Code Count Report": the result list of a ZIP count in four
// columns per page, each of three tab stops, odd lines shaded, with its page
// head and foot. Drawn through the print engine onto any job.

#include "print/base_report.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace qp::print {
class TPrinterSetup;
}

namespace qp::reports {

inline constexpr const char* kZipReportTitle = "Zip Code Count Report";
inline constexpr const char* kZipPreviewTitle = "Preview Zipcode Count";
inline constexpr int kZipColumns = 4;
inline constexpr double kZipColumnWidth = 1.875; // inches, on paper wide enough

// What the report needs besides the lines: a stop request, read before
// every line (a preview's "Stop"), and a way to let window messages run.
struct ZipReportHooks {
    std::function<bool()> stopRequested;
    std::function<void()> processEvents;
};

// The width of one column: 1.875 inches, narrower when four of them would
// not fit between the side margins (A4), so that the last column stays on
// the paper inside the right margin.
double zipColumnWidth(const print::TBaseReport& job);

// Page head and foot: the title above the section, "Page n" below it, a
// rectangle around the section and the column boundaries.
void zipReportHeaderFooter(print::TBaseReport& job);
// The section's frame and the column boundaries; drawn again when a page's
// lines are done, since the shaded cells cover the frame's left and top edges.
void drawZipFrame(print::TBaseReport& job);

// Prints the lines; the job's margins and font must be set (prepareZipReport).
void printZipReport(print::TBaseReport& job, const std::vector<std::string>& lines,
                    const ZipReportHooks& hooks = {});

// Sets margins, title, status format and the print routine on `job`.
void prepareZipReport(print::TBaseReport& job, const std::vector<std::string>& lines,
                      ZipReportHooks hooks = {});

} // namespace qp::reports
