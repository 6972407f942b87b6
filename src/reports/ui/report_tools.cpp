// The main window's "Print Reports", "Count Zip Codes" and "Print Current
// Record" commands.

#include "addressbook/tool_registry.h"
#include "reports/ui/record_sheet_window.h"
#include "reports/ui/report_setup_window.h"
#include "reports/ui/zip_count_window.h"

namespace qp::reports {

namespace {

QP_REGISTER_TOOL(addressbook::Tool::PrintReports, [](addressbook::ToolContext& c) {
    if (c.table)
        runPrintReports(c.window, *c.table, c.tagId, c.filterSet());
});

QP_REGISTER_TOOL(addressbook::Tool::CountZipCodes, [](addressbook::ToolContext& c) {
    if (c.table)
        runCountZipCodes(c.window, *c.table);
});

QP_REGISTER_TOOL(addressbook::Tool::PrintCurrentRecord, [](addressbook::ToolContext& c) {
    if (c.table)
        runPrintCurrentRecord(c.window, *c.table);
});

} // namespace

} // namespace qp::reports
