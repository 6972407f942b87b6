// The main window's "Import from vCard" command.

#include "addressbook/tool_registry.h"
#include "exchange/ui/import_tool.h"
#include "exchange/ui/vcard_import_form.h"

#include <string_view>

namespace qp::exchange {

namespace {

constexpr std::string_view kOpenFailedMessage =
    "Unknown error. Unable to do vCard import at this time";

void importVCardTool(addressbook::ToolContext& c) {
    runOnImportTable(c, kOpenFailedMessage, [&c](store::Table& table) {
        TVCardImportForm form(table, c.window);
        runImportWindow(form);
    });
}

QP_REGISTER_TOOL(addressbook::Tool::ImportVCard, importVCardTool);

} // namespace

} // namespace qp::exchange
