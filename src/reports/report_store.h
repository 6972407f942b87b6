#pragma once
// The saved report designs: a REPORT.DBF record (description, paper
// description, layout file name) and its layout file sysdata/BIN#####.R
// holding the header, detail and footer objects and the report settings.
// Saving, deleting and cloning keep the two together.

#include "reports/report_panel.h"
#include "reports/report_vars.h"
#include "store/result.h"
#include "store/table.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace qp::reports {

inline constexpr std::string_view kNoFreeReportNameMessage =
    "No new report layout file can be made: every name from BIN00001.R to BIN99999.R is taken";
inline constexpr std::size_t kReportDescriptionLimit = 60;

// The three design bands of one report.
struct ReportBands {
    TReportPanel Header{rpkHeader};
    TReportPanel Detail{rpkDetail};
    TReportPanel Footer{rpkFooter};
    void Clear();
    void SetDataSet(const design::TDataSource* source);
};

// What the report table's record says, with the settings of its file.
struct ReportDesign {
    QString Description = QString::fromLatin1(kNewReportDescription);
    QString Layout = QStringLiteral("Letter Size, Portrait");
    std::string Binary; // BIN#####.R, no folder; empty for a new report
    ReportVars Vars = NewReportVars();
};

// sysdata/REPORT.DBF (created when missing, never when it exists but will
// not open), in description order, deleted records hidden, on its first record.
store::Result<store::Table> openReportTable(const std::string& sysdata);

// The first BIN#####.R (00001 to 99999) that is neither a file in `sysdata`
// (whatever its case) nor the BINARY of any record of the table.
std::optional<std::string> freshReportFileName(const std::string& sysdata,
                                               store::Table& reportTable);

// sysdata + the name, when it has the BIN#####.R form.
store::Result<std::string> reportFilePath(const std::string& sysdata, const std::string& binary);

ReportDesign readReportRecord(const store::Table& reportTable);

// Reads a layout file into the bands and settings. A missing file gives
// empty bands and the new-report settings; a damaged one the same, and the
// reason.
store::Status readReportFile(const std::string& path, ReportBands& bands, ReportVars& vars);
// The same from and to the bytes of a layout file.
store::Status readReportData(const QByteArray& data, ReportBands& bands, ReportVars& vars);
QByteArray writeReportData(ReportBands& bands, const ReportVars& vars);
// Writes the bands and settings to `path`, whole or not at all.
store::Status writeReportFile(const std::string& path, ReportBands& bands, const ReportVars& vars);

// LoadReport: a new report, or the current record's report with its file.
// The design is always usable; a damaged file is reported in the status.
store::Status loadReport(bool isNew, store::Table& reportTable, const std::string& sysdata,
                         ReportBands& bands, ReportDesign& design);

// SaveReport: writes the layout file and then the record (appended for a
// new report, with a fresh file name set in `design`). On failure the table
// and every file are as they were.
store::Status saveReport(bool isNew, store::Table& reportTable, const std::string& sysdata,
                         ReportBands& bands, ReportDesign& design);

// Deletes the current record and then its layout file.
store::Status deleteReport(store::Table& reportTable, const std::string& sysdata);

// Copies the current report under a fresh file name as "Clone of " + its
// description; the copy is current afterwards.
store::Result<ReportDesign> cloneReport(store::Table& reportTable, const std::string& sysdata);

// The report described `description` (case and trailing blanks ignored), made current.
std::optional<ReportDesign> findReport(store::Table& reportTable, std::string_view description);

std::string reportDeleteQuestion(std::string_view description);
std::string reportCloneQuestion(std::string_view description);

} // namespace qp::reports
