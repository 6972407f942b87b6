#pragma once
// A new label definition as New makes it: on the default stock, with that
// stock's geometry read from the catalogue, so that every label of the sheet
// lands where the stock has it.

#include "labels/label_definition.h"
#include "store/table.h"

#include <optional>
#include <string>
#include <string_view>

namespace qp::labels {

// The catalogue record whose DESCRIPT is `name` (ignoring case), from the
// first record; the catalogue's query and position are left where it ends.
std::optional<LabelTemplate> findLabelTemplate(store::Table& catalogue, std::string_view name);

// The default definition on the default stock. Without a catalogue, or
// without that stock in it, the built-in defaults stand.
LabelDefinition newLabelDefinition(const std::string& sysdataFolder);

} // namespace qp::labels
