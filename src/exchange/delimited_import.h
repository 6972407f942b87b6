#pragma once
// Importing delimited text (comma, semicolon or tab, a first line of field
// names or none) into an address file along the import road.

#include "exchange/delimited_text.h"
#include "exchange/record_import.h"

namespace qp::exchange {

// Appends one record per record of `path` (after the names, when the format
// has them), filling the matched fields; a line break inside a quoted value
// stays one in the memo and becomes a blank elsewhere. Refused for the
// address file itself. Call rebuildAfterImport afterwards unless Refused.
ImportOutcome importDelimitedRecords(store::Table& table, const std::string& path,
                                     const DelimitedFormat& format,
                                     const std::vector<ImportField>& fields,
                                     const std::vector<AddressLabel>& offered,
                                     const ImportHooks& hooks = {});

} // namespace qp::exchange
