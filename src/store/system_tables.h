#pragma once
// The system tables in the sysdata folder: their schemas, and opening one
// (creating it when that is allowed and it is missing, building its one tag
// when its index file is missing).

#include "table.h"

#include <string>
#include <string_view>
#include <vector>

namespace qp::store {

enum class SystemTable { Letter, Report, Envelope, Label, LabelTemplate, StateZip };

struct SystemTableSpec {
    SystemTable id;
    std::string_view fileName; // "LETTER.DBF"
    bool creatable;
    std::vector<FieldSpec> fields;
    std::string_view tagName;
    std::string_view tagExpression;
    std::string_view failMessage; // shown when it cannot be opened (or created)
};

const SystemTableSpec& systemTableSpec(SystemTable table);
const std::vector<SystemTableSpec>& systemTableSpecs();

// Opens `sysdataFolder`/fileName (found whatever its letter case). A
// creatable table that does not exist is created; one that exists but cannot
// be opened is left as it is. Failure carries the table's own message,
// followed by the reason on a second line.
Result<Table> openSystemTable(const std::string& sysdataFolder, SystemTable table);

// Creates the table fresh (no check for an existing file) with its tag.
Status createSystemTable(const std::string& path, SystemTable table);

} // namespace qp::store
