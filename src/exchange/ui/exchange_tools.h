#pragma once
// The entries the main window calls for the import and export commands.

#include "store/table.h"

class QWidget;

namespace qp::exchange {

// The ASCII import on `table`, the address file open exclusively. The caller
// reopens the file afterwards. True when records were imported.
bool runAsciiImport(QWidget* parent, store::Table& table);

// Copy Records Out of `table` under the query in force (the filter). True
// when a copy was made.
bool runCopyRecordsOut(QWidget* parent, store::Table& table);

} // namespace qp::exchange
