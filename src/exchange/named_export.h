#pragma once
// Copying records out for spreadsheets and address books: delimited text
// with a first line of field names (UTF-8, optionally with a byte-order
// mark), and vCard 3.0.

#include "exchange/copy_out.h"

#include <string>
#include <vector>

namespace qp::exchange {

enum class NamedFormat { CsvWithNames, VCard };

struct NamedExportOptions {
    bool byteOrderMark = false; // for spreadsheets that take UTF-8 only with one
    char separator = ',';
};

// The columns of the delimited text: the twenty fields of the text copy,
// then the memo, each headed by its display label.
std::vector<std::string> namedColumns();

// One field of delimited text: quoted when it holds the separator, a quote,
// a line break or outer blanks, with quotes doubled.
std::string csvField(std::string_view value, char separator = ',');

// The card of the current record, lines ended by CR LF and folded at 75 bytes.
std::string vcardOf(const store::Table& table);

// Copies the records of `selection` in the current order, as copyRecordsOut
// does: refused for the address file itself, written beside the target and
// renamed over it only when whole.
CopyOutcome copyRecordsNamed(store::Table& table, NamedFormat format, const std::string& target,
                             const NamedExportOptions& options = {},
                             const store::RecordSelection& selection = {},
                             const CopyHooks& hooks = {},
                             const store::SelectionWalk::InfoHook& info = {});

} // namespace qp::exchange
