#include "window_factory.h"

#include "addressbook/ui/address_main.h"
#include "addressbook/ui/check_duplicates_window.h"
#include "addressbook/ui/check_state_zip_window.h"
#include "addressbook/ui/convert_case_window.h"
#include "addressbook/ui/date_selector_dialog.h"
#include "addressbook/ui/delete_records_window.h"
#include "addressbook/ui/field_lengths_dialog.h"
#include "addressbook/ui/filter_window.h"
#include "addressbook/ui/getting_started_window.h"
#include "addressbook/ui/new_database_dialog.h"
#include "addressbook/ui/new_record_dialog.h"
#include "addressbook/ui/preferences_window.h"
#include "addressbook/ui/rebuild_windows.h"
#include "addressbook/ui/search_replace_window.h"
#include "exchange/address_labels.h"
#include "exchange/ascii_import.h"
#include "exchange/ui/ascii_import_form.h"
#include "exchange/ui/copy_out_form.h"
#include "exchange/ui/dbf_import_form.h"
#include "exchange/ui/older_import_form.h"
#include "exchange/ui/vcard_import_form.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"
#include "store/address_file.h"
#include "store/filter_criteria.h"
#include "store/settings_file.h"

#include <QDir>
#include <QFile>

namespace qp::helptest {

struct WindowShelf::State {
    std::optional<store::Table> table;
    store::FilterCriteria criteria;
    print::TPrinterSetup setup;
    print::TStoredJob job;
    std::unique_ptr<print::TReportFiler> statusJob;
};

WindowShelf::WindowShelf() : state_(std::make_unique<State>()) {
    qputenv("QUILLPOST_HOME", dir_.path().toLocal8Bit());
    QDir(dir_.path()).mkpath(QStringLiteral("DATA"));
    QDir(dir_.path()).mkpath(QStringLiteral("sysdata"));
    const std::string path = dir_.filePath(QStringLiteral("DATA/ADDR.DBF")).toStdString();
    (void)store::createAddressFile(path, {});
    if (auto t = store::openAddressFile(path, store::OpenMode::Exclusive))
        state_->table.emplace(std::move(*t));
    state_->setup.SelectPrinterByName(print::TPrinterSetup::kPdfPrinterName);
    print::TReportFiler filer(&state_->setup);
    filer.SetStream(&state_->job);
    filer.OnPrint = [](print::TBaseReport& r) { r.Rectangle(1.0, 1.0, 2.0, 2.0); };
    filer.Execute();
    state_->statusJob = std::make_unique<print::TReportFiler>(&state_->setup);
}

WindowShelf::~WindowShelf() {
    if (homeWasSet_)
        qputenv("QUILLPOST_HOME", savedHome_);
    else
        qunsetenv("QUILLPOST_HOME");
}

std::vector<BuiltWindow> WindowShelf::build() {
    using namespace qp::addressbook;
    std::vector<BuiltWindow> out;
    auto add = [&out](const char* key, QWidget* w) {
        out.push_back({QString::fromLatin1(key), std::unique_ptr<QWidget>(w)});
    };
    add("TAddressMain", new TAddressMain);
    add("TNewDatabaseDialog", new TNewDatabaseDialog(nullptr, dir_.filePath("DATA").toStdString()));
    add("TFieldLengthsDialog", new TFieldLengthsDialog(store::NewFileFieldLengths{}));
    if (state_->table)
        add("TFilterWindow", new TFilterWindow(*state_->table, state_->criteria, "TAG1"));
    add("TGettingStartedWindow", new TGettingStartedWindow([](int) {}));
    add("TPreferencesWindow", new TPreferencesWindow);
    add("TNewRecordDialog", new TNewRecordDialog(NewRecordOptions{}));
    add("TDateSelectorDialog", new TDateSelectorDialog("19961231"));
    if (state_->table) {
        add("TRebuildIndexesForm", new TRebuildIndexesForm(*state_->table));
        add("TAsciiImportForm", new exchange::TAsciiImportForm(*state_->table));
        add("TCopyRecordsOutForm", new exchange::TCopyRecordsOutForm(*state_->table));
        add("TDbfImportForm", new exchange::TDbfImportForm(*state_->table));
        add("TImportOlder", new exchange::TImportOlder(*state_->table, exchange::OlderVersion::V2));
        add("TVCardImportForm", new exchange::TVCardImportForm(*state_->table));
        add("TSearchReplaceWindow", new TSearchReplaceWindow(*state_->table, "STATE='IL'"));
        add("TConvertCaseWindow", new TConvertCaseWindow(*state_->table, true));
        add("TDeleteRecordsWindow", new TDeleteRecordsWindow(*state_->table, "STATE='IL'"));
        add("TCheckDuplicatesWindow",
            new TCheckDuplicatesWindow(*state_->table, "TAG1",
                                       dir_.filePath("_chkdup.idx").toStdString()));
        add("TCheckStateZipWindow", new TCheckStateZipWindow(*state_->table, "TAG1"));
    }
    add("TRebuildSystemIndexesForm", new TRebuildSystemIndexesForm);
    {
        exchange::AsciiScan scan;
        std::vector<exchange::ImportField> fields;
        add("TAsciiMatchForm",
            new exchange::TAsciiMatchForm(scan, fields, exchange::defaultImportFields(),
                                          QStringLiteral("in.csv")));
    }
    add("TPrintStatusForm", new print::TPrintStatusForm(*state_->statusJob, print::smPrint));
    add("TPreviewForm", new print::TPreviewForm(state_->job, QStringLiteral("Labels")));
    return out;
}

} // namespace qp::helptest
