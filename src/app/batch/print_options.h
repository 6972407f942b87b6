#pragma once
// The print target options every printing batch command takes:
// --pdf FILE (the default headless target), --printer NAME, --copies N,
// and --paper letter|a4|a5|WxH where the command prints on plain sheets.

#include "app/batch/batch_args.h"

#include <set>
#include <string>

namespace qp::print {
class TPrinterSetup;
}

namespace qp::batch {

// Option names to add to a command's Args.
const std::set<std::string>& printValueOptions();
// Flags to add: --overwrite.
const std::set<std::string>& printFlags();

// An output file of a printing command: never a file of an open table, and an
// existing file replaced only when it is of the kind the command writes
// (`isKind`, e.g. a PDF) or --overwrite is given. Throws Failure otherwise.
void checkOutputFile(const Args& args, const std::string& path,
                     bool (*isKind)(const std::string& path), const std::string& kindName);
// True for a file that begins as a PDF does.
bool isPdfFile(const std::string& path);

// Selects the printer (or the PDF file, checked by checkOutputFile) and the
// copies on `setup`; a usage error when neither --pdf nor --printer is given
// or the printer is unknown.
void applyPrintTarget(const Args& args, print::TPrinterSetup& setup);
// Applies --paper when given.
void applyPaper(const Args& args, print::TPrinterSetup& setup);

} // namespace qp::batch
