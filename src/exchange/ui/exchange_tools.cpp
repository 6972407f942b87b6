#include "exchange/ui/exchange_tools.h"

#include "addressbook/tool_registry.h"
#include "exchange/copy_out.h"
#include "exchange/ui/ascii_import_form.h"
#include "exchange/ui/copy_out_form.h"
#include "store/address_file.h"
#include "store/ui/common_dialogs.h"

#include <QDir>

#include <optional>

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

bool runAsciiImport(QWidget* parent, store::Table& table) {
    FolderKeeper keep;
    TAsciiImportForm form(table, parent);
    ui::CenterDialog(form);
    form.exec();
    return form.imported() > 0;
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
    // The window hands over its table, or only the path when it has closed
    // its own cursor for the import.
    if (c.table && !c.table->readOnly()) {
        runAsciiImport(c.window, *c.table);
        return;
    }
    auto table = store::openAddressFile(c.filePath, store::OpenMode::Exclusive);
    if (!table) {
        ui::ShowInfo(QString::fromLatin1(kOpenFailedMessage) + QStringLiteral("\r\n\r\n") +
                         QString::fromStdString(table.error()),
                     c.window);
        return;
    }
    runAsciiImport(c.window, *table);
}

QP_REGISTER_TOOL(addressbook::Tool::ImportAscii, importTool);
QP_REGISTER_TOOL(addressbook::Tool::Export, [](addressbook::ToolContext& c) {
    if (c.table)
        runCopyRecordsOut(c.window, *c.table);
});

} // namespace

} // namespace qp::exchange
