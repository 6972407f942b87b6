#pragma once
// How the main window's import commands run their windows.

#include "exchange/ui/import_dialog.h"
#include "store/table.h"

#include <QString>

#include <functional>
#include <string_view>

namespace qp::addressbook {
struct ToolContext;
}

namespace qp::exchange {

// The working folder as it was, whatever the file dialogs do.
class FolderKeeper {
public:
    FolderKeeper();
    ~FolderKeeper();
    FolderKeeper(const FolderKeeper&) = delete;
    FolderKeeper& operator=(const FolderKeeper&) = delete;

private:
    QString folder_;
};

// `failed`, a blank line, then the reason.
QString importFailedText(std::string_view failed, const std::string& reason);

// Runs `run` on the main window's table when it hands one over writable, or
// else on its address file opened exclusively (the window has closed its own
// cursor for the import); when that cannot be opened, says so after `failed`.
void runOnImportTable(addressbook::ToolContext& c, std::string_view failed,
                      const std::function<void(store::Table&)>& run);

// Shows an import window centred and modal, keeping the working folder;
// true when it imported records.
bool runImportWindow(ImportDialog& form);

} // namespace qp::exchange
