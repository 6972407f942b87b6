#pragma once
// The four built-in column reports: name and city forms, columns, page
// heads, codes and memo lines. Drawn through the print engine onto any job
// from the address table's current record to the end of its selection.

#include "print/base_report.h"
#include "reports/report_run.h"
#include "store/table.h"

#include <QString>
#include <QStringList>

#include <string>

namespace qp::reports {

inline constexpr int kBuiltInReportCount = 4;
inline constexpr const char* kReportJobTitle = "Quillpost";
inline constexpr const char* kReportStatusFormat = "Printing Page %p\r%0\r%1";

// "1. Name,Address,City,State,Zip,Phone", ... as the list shows them.
QString BuiltInReportName(int report);
// The tag each report prints in: LNAME, or ORG for report 3.
std::string BuiltInReportOrder(int report);

struct BuiltInOptions {
    int report = 1; // 1 to 4
    QString title = QStringLiteral("Report 1");
    bool printMemo = false;
    bool printCodes = false;
};

// The field values a line is built from.
struct NameFields {
    QString lname, fname, middle, prefix;
};
QString NameA(const NameFields& n);
QString NameB(const NameFields& n);
QString CityLineA(const QString& city, const QString& state, const QString& zip);
QString CityLineB(const QString& city, const QString& state, const QString& zip);
QString TitleAndOrganization(const QString& title, const QString& org);
QString PhoneAndFax(const QString& phone, const QString& fax);

struct BuiltInColumn {
    const char* heading;
    double width;
};

// Prints the report on a running job from the table's current record on.
// Returns the number of records printed.
int printBuiltInReport(print::TBaseReport& job, store::Table& table, const BuiltInOptions& options,
                       const ReportHooks& hooks = {});

// Margins, title, status format and the print routine. `printed` (when
// given) receives the number of records printed.
void prepareBuiltInReport(print::TBaseReport& job, store::Table& table, BuiltInOptions options,
                          ReportHooks hooks = {}, int* printed = nullptr);

} // namespace qp::reports
