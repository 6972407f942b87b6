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

// Selects the printer (or the PDF file) and the copies on `setup`; a usage
// error when neither --pdf nor --printer is given or the printer is unknown.
void applyPrintTarget(const Args& args, print::TPrinterSetup& setup);
// Applies --paper when given.
void applyPaper(const Args& args, print::TPrinterSetup& setup);

} // namespace qp::batch
