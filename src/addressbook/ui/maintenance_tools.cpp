#include "addressbook/ui/maintenance_tools.h"

#include "addressbook/maintenance/record_checks.h"
#include "addressbook/tool_registry.h"
#include "addressbook/ui/check_duplicates_window.h"
#include "addressbook/ui/check_state_zip_window.h"
#include "addressbook/ui/convert_case_window.h"
#include "addressbook/ui/delete_records_window.h"
#include "addressbook/ui/search_replace_window.h"
#include "store/shared_routines.h"
#include "store/table_files.h"
#include "store/ui/common_dialogs.h"

namespace qp::addressbook {

namespace {

std::string filterOf(const ToolContext& c) {
    return c.filterSet() ? c.filter->expression : std::string();
}

} // namespace

void RegisterMaintenanceTools() {
    RegisterTool(Tool::SearchReplace, [](ToolContext& c) {
        TSearchReplaceWindow window(*c.table, filterOf(c), c.window);
        window.exec();
    });
    RegisterTool(Tool::ConvertCase, [](ToolContext& c) {
        TConvertCaseWindow window(*c.table, c.filterSet(), c.window);
        window.exec();
    });
    RegisterTool(Tool::DeleteRecords, [](ToolContext& c) {
        TDeleteRecordsWindow window(*c.table, filterOf(c), c.window);
        window.exec();
    });
    RegisterTool(Tool::CheckDuplicates, [](ToolContext& c) {
        {
            TCheckDuplicatesWindow window(*c.table, c.tagId, DuplicateScratchPath(), c.window);
            window.exec();
        }
        RemoveScratchFile(DuplicateScratchPath());
    });
    RegisterTool(Tool::CheckStateZip, [](ToolContext& c) {
        const auto csz = store::resolveCaseInsensitive(store::SysdataFolder(), "CSZ.DBF");
        if (!store::fileExists(csz.string())) {
            ui::ShowInfo(QStringLiteral("The file CSZ.DBF has been removed from the SYSDATA "
                                        "directory. Unable to continue."),
                         c.window);
            return;
        }
        TCheckStateZipWindow window(*c.table, c.tagId, c.window);
        window.exec();
    });
}

} // namespace qp::addressbook
