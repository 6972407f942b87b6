#pragma once
// The saved label designs: a LABEL.DBF record and its layout file
// sysdata/BIN#####.L. New, modify, delete and clone keep the two together:
// a layout that cannot be written adds or changes no record.

#include "labels/label_definition.h"
#include "store/result.h"
#include "store/table.h"

#include <optional>
#include <string>
#include <string_view>

namespace qp::design {
class TGBasePanel;
}

namespace qp::labels {

inline constexpr std::string_view kLayoutFileRemovedMessage =
    "Label definition file has been removed from the sysdata directory";
inline constexpr std::string_view kNoFreeLayoutNameMessage =
    "No new label layout file can be made: every name from BIN00001.L to BIN99999.L is taken";
inline constexpr std::string_view kClonePrefix = "Clone of :";

// The first BIN#####.L (00001 to 99999) that is neither a file in `sysdata`
// (whatever its case) nor the BINARY of any record, deleted ones included.
std::optional<std::string> freshLayoutFileName(const std::string& sysdata,
                                               store::Table& labelTable);
// The same for any layout table with a BINARY field: "BIN" + five digits +
// `extension` (".E" for envelopes).
std::optional<std::string> freshLayoutFileName(const std::string& sysdata, store::Table& table,
                                               std::string_view extension);

// sysdata + the definition's layout file, when the name has the BIN#####.L
// form; any other name (a folder, another extension) is refused.
store::Result<std::string> layoutFilePath(const std::string& sysdata, const LabelDefinition& def);
bool layoutFileExists(const std::string& sysdata, const LabelDefinition& def);

std::string cloneDescription(std::string_view description);
// "Delete \"<description>\"?" and "Clone \"<description>\"?"
std::string deleteQuestion(std::string_view description);
std::string cloneQuestion(std::string_view description);

// Writes the panel to the definition's layout file and then the record
// (appended when `isNew`, else the current one), and posts it. On failure
// nothing of the table changed and an old layout file is whole.
store::Status saveLabelDesign(store::Table& labelTable, const LabelDefinition& def, bool isNew,
                              design::TGBasePanel& panel, const std::string& sysdata);

// Marks the current record deleted and removes its layout file.
store::Status deleteLabelDesign(store::Table& labelTable, const std::string& sysdata);

// Copies the current record and its layout under a fresh layout name and
// "Clone of :" + the description; the new record is current afterwards.
// `scratch` is a panel the layout passes through.
store::Result<LabelDefinition> cloneLabelDesign(store::Table& labelTable,
                                                const std::string& sysdata,
                                                design::TGBasePanel& scratch);

// The definition described `description` (compared without regard to case
// and trailing blanks), made current; nothing when there is none.
std::optional<LabelDefinition> findLabelDesign(store::Table& labelTable,
                                               std::string_view description);

} // namespace qp::labels
