#include "exchange/ui/dbf_import_tools.h"

#include "addressbook/tool_registry.h"
#include "exchange/ui/dbf_import_form.h"
#include "exchange/ui/import_tool.h"
#include "exchange/ui/older_import_form.h"
#include "store/ui/common_dialogs.h"

#include <string_view>

namespace qp::exchange {

namespace {

constexpr std::string_view kOpenFailedMessage =
    "Unknown error. Unable to do ASCII import at this time";

} // namespace

bool runDbfImport(QWidget* parent, store::Table& table) {
    TDbfImportForm form(table, parent);
    return runImportWindow(form);
}

bool runOlderImport(QWidget* parent, store::Table& table, OlderVersion version) {
    TImportOlder form(table, version, parent);
    return runImportWindow(form);
}

namespace {

void dbfImportTool(addressbook::ToolContext& c) {
    runOnImportTable(c, kOpenFailedMessage,
                     [&c](store::Table& table) { runDbfImport(c.window, table); });
}

void olderImportTool(addressbook::ToolContext& c, OlderVersion version) {
    if (!c.table)
        return;
    if (c.table->readOnly() || !c.table->writeBlock().empty()) {
        ui::ShowInfo(importFailedText(kOpenFailedMessage, c.table->writeBlock()), c.window);
        return;
    }
    runOlderImport(c.window, *c.table, version);
}

QP_REGISTER_TOOL(addressbook::Tool::ImportDbf, dbfImportTool);
QP_REGISTER_TOOL(addressbook::Tool::ImportVersion1,
                 [](addressbook::ToolContext& c) { olderImportTool(c, OlderVersion::V1); });
QP_REGISTER_TOOL(addressbook::Tool::ImportVersion2,
                 [](addressbook::ToolContext& c) { olderImportTool(c, OlderVersion::V2); });

} // namespace

} // namespace qp::exchange
