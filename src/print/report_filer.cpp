#include "print/report_filer.h"

namespace qp::print {

TReportFiler::TReportFiler(TPrinterSetup* setup) : TBaseReport(setup) {}

TReportFiler::~TReportFiler() = default;

bool TReportFiler::BeginJob() {
    TStoredJob& job = Job();
    job.Clear();
    job.PaperWidth = PageWidth();
    job.PaperHeight = PageHeight();
    job.XDpi = XDpi();
    job.YDpi = YDpi();
    return true;
}

void TReportFiler::EndPage(TPageRecord&& page) {
    Job().Pages.push_back(std::move(page));
}

void TReportFiler::EndJob(bool) {}

} // namespace qp::print
