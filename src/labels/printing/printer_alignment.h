#pragma once
// A per-printer nudge added to every label origin, for printers that feed
// sheets a little off. Kept in the settings file, section "Label Alignment",
// one key per printer name: "X,Y" in inches. Absent means no offset.

#include "labels/label_definition.h"
#include "store/result.h"

#include <string>
#include <string_view>

namespace qp::store {
class SettingsFile;
}

namespace qp::labels {

inline constexpr std::string_view kAlignmentSection = "Label Alignment";
// Larger offsets are typing mistakes, not feed errors.
inline constexpr double kMaxAlignmentOffset = 1.0;

Point readPrinterAlignment(const store::SettingsFile& settings, std::string_view printer);
store::Status writePrinterAlignment(store::SettingsFile& settings, std::string_view printer,
                                    Point offset);

} // namespace qp::labels
