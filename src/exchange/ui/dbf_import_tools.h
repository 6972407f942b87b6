#pragma once
// The entries the main window calls for the DBF imports.

#include "exchange/older_import.h"
#include "store/table.h"

class QWidget;

namespace qp::exchange {

// The DBF import on `table`, the address file open exclusively. True when
// records were imported.
bool runDbfImport(QWidget* parent, store::Table& table);

// The import of an earlier version's file into `table`, the main window's
// own address file. True when records were imported.
bool runOlderImport(QWidget* parent, store::Table& table, OlderVersion version);

} // namespace qp::exchange
