#include "addressbook/ui/tool_session.h"

#include "addressbook/ui/address_main.h"
#include "addressbook/ui/maintenance_tools.h"
#include "addressbook/ui/preferences_window.h"
#include "addressbook/ui/rebuild_windows.h"
#include "addressbook/ui/search_browse_tools.h"
#include "print/printer_setup.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>

namespace qp::addressbook {

TToolSession::TToolSession(TAddressMain& window, Tool tool)
    : window_(window), traits_(TraitsOf(tool)) {
    store::Table* table = window.table();
    if ((traits_.needsFile || traits_.needsRecord) && !table) {
        ui::ShowInfo(QStringLiteral("You need to have a database file open first"), &window);
        return;
    }
    if (traits_.needsRecord && table && table->queryRecCount() == 0) {
        if (tool == Tool::Export)
            ui::ShowInfo(QStringLiteral("No active records for current filter. Nothing to copy"),
                         &window);
        return;
    }
    if (traits_.needsPrinter && !ui::CheckPrinterReady(&window))
        return;
    ready_ = true;

    window.reactToTableEvents_ = false;
    ++window.displaySuspended_;
    if (traits_.restorePrinter)
        printer_ = print::TPrinterSetup::Shared().PrinterNames().value(
            print::TPrinterSetup::Shared().PrinterIndex());
    context_.window = &window;
    context_.table = table;
    context_.filePath = window.currentFile().toStdString();
    context_.filter = &window.filter_;
    context_.tagId = window.tagId_;
    context_.nameAndAddressFields = traits_.nameAndAddressFields;
    window.SetExtraFields(traits_.nameAndAddressFields);
    if (!table)
        return;
    hadRecord_ = window.hasRecord();
    recno_ = table->recNo();
    query_ = table->dbFilter();
    order_ = window.currentOrder();
    switch (traits_.query) {
    case ToolQuery::Keep:
        break;
    case ToolQuery::NotDeleted:
        (void)table->setQuery(store::kNoFilterQuery);
        break;
    case ToolQuery::BareFilter:
        (void)table->setQuery(window.filter_.expression);
        break;
    case ToolQuery::Remove:
        (void)table->setQuery({});
        break;
    }
    if (traits_.query != ToolQuery::Keep && hadRecord_)
        table->go(recno_);
}

namespace {

// Goes to `recno` and says whether it is visible under the query in force.
bool stillMatches(store::Table& table, std::uint32_t recno) {
    if (!table.go(recno) || (table.deletedHidden() && table.deleted()))
        return false;
    if (table.dbFilter().empty())
        return true;
    auto passes = table.evalLogical(table.dbFilter());
    return passes && *passes;
}

} // namespace

TToolSession::~TToolSession() {
    if (ready_)
        restore();
}

void TToolSession::restore() {
    TAddressMain& w = window_;
    w.SetExtraFields(false);
    if (traits_.reopenFile)
        w.reopenCurrentFile();
    if (store::Table* table = w.table(); table && !traits_.movesRecord) {
        if (table->changed())
            (void)table->post();
        (void)table->setScope({}, {});
        w.SetCurrentOrder(order_);
        if (traits_.reapplyFilter) {
            w.ApplyFilter();
        } else if (table->dbFilter() != query_) {
            if (!table->setQuery(query_))
                w.ApplyFilter();
        }
        const bool stayed = traits_.staysOnRecord && hadRecord_ && stillMatches(*table, recno_);
        if (!stayed) {
            if (traits_.firstRecord || traits_.reapplyFilter)
                table->first();
            else if (hadRecord_)
                table->go(recno_);
        }
    }
    if (traits_.restorePrinter) {
        auto& setup = print::TPrinterSetup::Shared();
        setup.SelectDefaultPrinter();
        if (!printer_.isEmpty())
            setup.SelectPrinterByName(printer_);
    }
    w.LoadPreferences();
    --w.displaySuspended_;
    w.reactToTableEvents_ = true;
    w.ShowRecord();
    w.SetButtons();
}

void RegisterBuiltInTools() {
    static const bool once = [] {
        RegisterTool(Tool::RebuildIndexes, [](ToolContext& c) {
            TRebuildIndexesForm form(*c.table, c.window);
            form.exec();
        });
        RegisterTool(Tool::RebuildSystemIndexes, [](ToolContext& c) {
            TRebuildSystemIndexesForm form(c.window);
            form.exec();
        });
        RegisterTool(Tool::Preferences, [](ToolContext& c) {
            TPreferencesWindow window(c.window);
            window.exec();
        });
        RegisterSearchBrowseTools();
        RegisterMaintenanceTools();
        return true;
    }();
    (void)once;
}

} // namespace qp::addressbook
