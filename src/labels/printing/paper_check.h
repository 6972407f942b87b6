#pragma once
// The paper a label sheet needs: requested from the printer, read back and
// compared, with the question asked when it cannot be confirmed.

#include "labels/label_definition.h"

#include <string>

namespace qp::print {
class TPrinterSetup;
}

namespace qp::labels {

// Drivers that cannot take a user-defined paper: nothing is requested and
// the check always asks.
inline constexpr std::string_view kNoUserPaperDriver = "HPFDJ";

// Requests the sheet's paper and orientation on `setup`; false when no
// paper could be requested.
bool requestLabelPaper(print::TPrinterSetup& setup, const LabelDefinition& def);

// Both sides of the page, rounded to hundredths, within 0.05 in of the
// sheet's, short side with short side whatever the orientations.
bool paperMatches(Size sheet, double pageWidth, double pageHeight);

// Requests the paper and checks what the printer reports.
bool labelPaperConfirmed(print::TPrinterSetup& setup, const LabelDefinition& def);

std::string paperQuestion(Size sheet);

} // namespace qp::labels
