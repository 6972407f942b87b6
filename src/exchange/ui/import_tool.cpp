#include "exchange/ui/import_tool.h"

#include "addressbook/tool_registry.h"
#include "store/address_file.h"
#include "store/ui/common_dialogs.h"

#include <QDir>

namespace qp::exchange {

FolderKeeper::FolderKeeper() : folder_(QDir::currentPath()) {}

FolderKeeper::~FolderKeeper() {
    QDir::setCurrent(folder_);
}

QString importFailedText(std::string_view failed, const std::string& reason) {
    return QString::fromLatin1(failed.data(), qsizetype(failed.size())) +
           QStringLiteral("\r\n\r\n") + QString::fromStdString(reason);
}

void runOnImportTable(addressbook::ToolContext& c, std::string_view failed,
                      const std::function<void(store::Table&)>& run) {
    if (c.table && !c.table->readOnly()) {
        run(*c.table);
        return;
    }
    auto table = store::openAddressFile(c.filePath, store::OpenMode::Exclusive);
    if (!table) {
        ui::ShowInfo(importFailedText(failed, table.error()), c.window);
        return;
    }
    run(*table);
}

bool runImportWindow(ImportDialog& form) {
    FolderKeeper keep;
    ui::CenterDialog(form);
    form.exec();
    return form.imported() > 0;
}

} // namespace qp::exchange
