#include "exchange/ui/exchange_tools.h"

#include "addressbook/tool_registry.h"
#include "exchange/copy_out.h"
#include "exchange/ui/ascii_import_form.h"
#include "exchange/ui/copy_out_form.h"
#include "exchange/ui/import_tool.h"
#include "store/ui/common_dialogs.h"

#include <optional>
#include <string_view>

namespace qp::exchange {

namespace {

constexpr std::string_view kOpenFailedMessage =
    "Unknown error. Unable to do ASCII import at this time";

} // namespace

bool runAsciiImport(QWidget* parent, store::Table& table) {
    TAsciiImportForm form(table, parent);
    return runImportWindow(form);
}

bool runCopyRecordsOut(QWidget* parent, store::Table& table) {
    FolderKeeper keep;
    if (table.queryRecCount() == 0) {
        ui::ShowInfo(ui::qs(std::string(kNothingToCopyMessage)), parent);
        return false;
    }
    TCopyRecordsOutForm form(table, parent);
    ui::CenterDialog(form);
    form.exec();
    return form.outcome().ok && form.outcome().copied > 0;
}

namespace {

void importTool(addressbook::ToolContext& c) {
    runOnImportTable(c, kOpenFailedMessage,
                     [&c](store::Table& table) { runAsciiImport(c.window, table); });
}

QP_REGISTER_TOOL(addressbook::Tool::ImportAscii, importTool);
QP_REGISTER_TOOL(addressbook::Tool::Export, [](addressbook::ToolContext& c) {
    if (c.table)
        runCopyRecordsOut(c.window, *c.table);
});

} // namespace

} // namespace qp::exchange
