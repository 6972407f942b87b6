#pragma once
// import-csv with --header, export with --csv or --vcard, and import-vcard.

#include <iosfwd>
#include <string>
#include <vector>

namespace qp::batch {

// Whether `words` hold the option `--name`.
bool hasOption(const std::vector<std::string>& words, const std::string& name);

int runImportCsvWithNames(const std::vector<std::string>& words, std::ostream& out);
int runExportWithNames(const std::vector<std::string>& words, std::ostream& out);

} // namespace qp::batch
