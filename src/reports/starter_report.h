#pragma once
// The report a user starts from outside the designer: the description as
// the header's title, a detail line of name, city and phone, and the page
// number in the footer.

#include "reports/report_store.h"

namespace qp::reports {

// Band width of the designer: a quarter inch narrower than the space
// between the side margins.
int BandWidth(const ReportVars& vars);

void makeStarterReport(ReportBands& bands, ReportVars& vars, const QString& title);

} // namespace qp::reports
