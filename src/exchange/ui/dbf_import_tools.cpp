#include "exchange/ui/dbf_import_tools.h"

#include "addressbook/tool_registry.h"
#include "exchange/ui/dbf_import_form.h"
#include "exchange/ui/older_import_form.h"
#include "store/address_file.h"
#include "store/ui/common_dialogs.h"

#include <QDir>

namespace qp::exchange {

namespace {

constexpr const char* kOpenFailedMessage = "Unknown error. Unable to do ASCII import at this time";

// The working folder as it was, whatever the file dialogs do.
class FolderKeeper {
public:
    FolderKeeper() : folder_(QDir::currentPath()) {}
    ~FolderKeeper() { QDir::setCurrent(folder_); }

private:
    QString folder_;
};

} // namespace

bool runDbfImport(QWidget* parent, store::Table& table) {
    FolderKeeper keep;
    TDbfImportForm form(table, parent);
    ui::CenterDialog(form);
    form.exec();
    return form.imported() > 0;
}

bool runOlderImport(QWidget* parent, store::Table& table, OlderVersion version) {
    FolderKeeper keep;
    TImportOlder form(table, version, parent);
    ui::CenterDialog(form);
    form.exec();
    return form.imported() > 0;
}

namespace {

void dbfImportTool(addressbook::ToolContext& c) {
    // The window hands over its table, or only the path when it has closed
    // its own cursor for the import.
    if (c.table && !c.table->readOnly()) {
        runDbfImport(c.window, *c.table);
        return;
    }
    auto table = store::openAddressFile(c.filePath, store::OpenMode::Exclusive);
    if (!table) {
        ui::ShowInfo(QString::fromLatin1(kOpenFailedMessage) + QStringLiteral("\r\n\r\n") +
                         QString::fromStdString(table.error()),
                     c.window);
        return;
    }
    runDbfImport(c.window, *table);
}

void olderImportTool(addressbook::ToolContext& c, OlderVersion version) {
    if (!c.table)
        return;
    if (c.table->readOnly() || !c.table->writeBlock().empty()) {
        ui::ShowInfo(QString::fromLatin1(kOpenFailedMessage) + QStringLiteral("\r\n\r\n") +
                         QString::fromStdString(c.table->writeBlock()),
                     c.window);
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
