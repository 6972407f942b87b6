#pragma once
// The windows the main window opens and the answers it takes from them, in
// one place: new database, new record, date selector, filter, Getting
// Started, copy to clipboard.

#include "addressbook/new_record_rules.h"
#include "addressbook/record_rules.h"
#include "store/address_file.h"

#include <filesystem>
#include <optional>
#include <string>

class QWidget;

namespace qp::addressbook {

class TAddressMain;

struct NewDatabaseChoice {
    std::filesystem::path path;
    store::FieldLengths lengths;
};
// "Create new database" (and "Specify Field Lengths"); nothing on Cancel.
std::optional<NewDatabaseChoice> AskNewDatabase(QWidget* parent);

struct NewRecordAnswer {
    std::string last, first, zip;
};
// "New Record"; nothing on Cancel.
std::optional<NewRecordAnswer> AskNewRecord(QWidget* parent, const NewRecordOptions& options);

// "Select a Date": eight digits, blank for No Date, nothing on Cancel.
std::optional<std::string> AskDate(QWidget* parent, const std::string& storedDate);

// "Address Filter" over the main window's open file, laid out like its
// record area.
void RunFilterWindow(TAddressMain& main);

// "Getting Started", shown without blocking the main window.
void OpenGettingStarted(QWidget* parent);

// "Copy Record To Clipboard"; nothing on Cancel.
std::optional<ClipboardParts> AskClipboardParts(QWidget* parent);

// The help topics of the dialogs.
void ShowHelp(QWidget* window, int topic);

} // namespace qp::addressbook
