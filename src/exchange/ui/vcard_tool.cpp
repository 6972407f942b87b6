// The main window's "Import from vCard" command.

#include "addressbook/tool_registry.h"
#include "exchange/ui/vcard_import_form.h"
#include "store/address_file.h"
#include "store/ui/common_dialogs.h"

#include <QDir>

namespace qp::exchange {

namespace {

constexpr const char* kOpenFailedMessage = "Unknown error. Unable to do vCard import at this time";

void runVCardImport(QWidget* parent, store::Table& table) {
    const QString folder = QDir::currentPath();
    TVCardImportForm form(table, parent);
    ui::CenterDialog(form);
    form.exec();
    QDir::setCurrent(folder);
}

void importVCardTool(addressbook::ToolContext& c) {
    // As for the text import: the window's own table, or the file opened
    // exclusively when the window has closed its cursor for the import.
    if (c.table && !c.table->readOnly()) {
        runVCardImport(c.window, *c.table);
        return;
    }
    auto table = store::openAddressFile(c.filePath, store::OpenMode::Exclusive);
    if (!table) {
        ui::ShowInfo(QString::fromLatin1(kOpenFailedMessage) + QStringLiteral("\r\n\r\n") +
                         QString::fromStdString(table.error()),
                     c.window);
        return;
    }
    runVCardImport(c.window, *table);
}

QP_REGISTER_TOOL(addressbook::Tool::ImportVCard, importVCardTool);

} // namespace

} // namespace qp::exchange
