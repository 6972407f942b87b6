#pragma once
#include "print/base_report.h"
#include "print/pdf_file.h"

#include <QPainter>
#include <memory>
#include <vector>

namespace qp::print {

// A job sent to the selected printer (or, for "PDF file", written to a PDF).
// Each page goes out when it is finished, so an abort keeps the pages done.
class TReportPrinter : public TBaseReport {
public:
    explicit TReportPrinter(TPrinterSetup* setup = nullptr) : TBaseReport(setup) {}
    ~TReportPrinter() override;

    int PagesOutput() const { return PagesOut_; }

protected:
    bool BeginJob() override;
    void EndPage(TPageRecord&& page) override;
    void EndJob(bool aborted) override;

private:
    bool OutputPage(const TPageRecord& page);
    std::unique_ptr<TPdfFile> Pdf_; // the PDF target, when printing to a file
    QPainter Painter_;
    bool Open_ = false;
    bool RepeatCopies_ = false;
    int PagesOut_ = 0;
    std::vector<TPageRecord> Kept_; // for copies the device cannot make itself
};

// Prints a stored job on the selected printer; false with *error on failure.
bool PrintStoredJob(const TStoredJob& job, TPrinterSetup& setup, const QString& title = {},
                    QString* error = nullptr);

} // namespace qp::print
