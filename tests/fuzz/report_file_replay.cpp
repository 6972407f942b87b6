// Runs the report file target over a fixed corpus without libFuzzer: a new
// report, a report with objects in every band and shaded outlines, and the
// same files truncated and mutated from a fixed seed.

#include "replay_support.h"
#include "report_file_target.h"

#include "reports/starter_report.h"

#include <QGuiApplication>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qp::fuzz::ReplayPlan plan;
    {
        qp::reports::ReportBands empty;
        plan.seeds.push_back(qp::reports::writeReportData(empty, qp::reports::NewReportVars()));
        qp::reports::ReportBands bands;
        qp::reports::ReportVars vars = qp::reports::NewReportVars();
        qp::reports::makeStarterReport(bands, vars, QStringLiteral("Seed"));
        vars.UseMemo = true;
        for (auto& b : vars.Borders)
            b = {true, true, true, true, 2, 40, 0x00C0C0};
        plan.seeds.push_back(qp::reports::writeReportData(bands, vars));
    }
    plan.cutStep = 5;
    plan.mutations = 20000;
    plan.what = "report files";
    plan.edits.kinds = 6;
    plan.edits.more = [](QByteArray& out, int at, int, qp::fuzz::Random& r) {
        qp::fuzz::makeByteExtreme(out, at, r);
    };
    return qp::fuzz::replay(argc, argv, std::move(plan),
                            [](const QByteArray& b) { qp::fuzz::feed(ReadReportBytes, b); });
}
