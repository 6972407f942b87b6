#pragma once
#include "print/base_report.h"

#include <memory>

namespace qp::print {

// The same job recorded page by page into a stored job (for the preview,
// or to print later with PrintStoredJob).
class TReportFiler : public TBaseReport {
public:
    explicit TReportFiler(TPrinterSetup* setup = nullptr);
    ~TReportFiler() override;

    TAccuracyMethod AccuracyMethod = amPositioning;

    // The caller's stored job (the window owns it); nullptr: the filer's own.
    void SetStream(TStoredJob* job) { Stream_ = job; }
    TStoredJob& Job() { return Stream_ ? *Stream_ : Own_; }
    const TStoredJob& Job() const { return Stream_ ? *Stream_ : Own_; }

protected:
    bool BeginJob() override;
    void EndPage(TPageRecord&& page) override;
    void EndJob(bool aborted) override;

private:
    TStoredJob Own_;
    TStoredJob* Stream_ = nullptr;
};

} // namespace qp::print
