// The report layout file reader fed arbitrary bytes. A damaged file must
// end in an error with empty bands and the new-report settings, never in a
// crash or a hang; whatever it accepts must write and read back the same.

#include "report_file_target.h"

#include "gui_application.h"

#include "reports/report_store.h"

#include <QByteArray>

int ReadReportBytes(const std::uint8_t* data, std::size_t size) {
    qp::fuzz::ensureGuiApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    qp::reports::ReportBands bands;
    qp::reports::ReportVars vars;
    if (!qp::reports::readReportData(bytes, bands, vars)) {
        if (!(vars == qp::reports::NewReportVars()) || bands.Header.ObjectCount() ||
            bands.Detail.ObjectCount() || bands.Footer.ObjectCount())
            __builtin_trap();
        return 0;
    }
    const QByteArray again = qp::reports::writeReportData(bands, vars);
    qp::reports::ReportBands back;
    qp::reports::ReportVars backVars;
    if (!qp::reports::readReportData(again, back, backVars) || !(backVars == vars) ||
        back.Detail.ObjectCount() != bands.Detail.ObjectCount())
        __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReadReportBytes(data, size);
}
