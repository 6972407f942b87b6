#pragma once
// Importing the address files of the two earlier versions: each is known by
// its fields and copied field by field, without matching.

#include "exchange/dbf_import.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qp::exchange {

enum class OlderVersion { V1, V2 };

// "1.x" or "2.x".
std::string_view versionName(OlderVersion version);
// The fields a file of that version must have.
const std::vector<std::string_view>& requiredFields(OlderVersion version);

// Opens `path` for the import with the messages in their order: the
// address file itself, unreadable, no records, fields missing.
store::Result<SourceTable> openOlderSource(const std::string& path, const std::string& tablePath,
                                           OlderVersion version);

// A 1.x date as eight digits: blank stays blank, eight digits of a real date
// stay as they are, anything else is read in the short-date pattern; empty
// when it cannot be read.
std::string olderDate(std::string_view value, std::string_view shortDatePattern);

// Copies every source record by the version's mapping (1.x records marked
// deleted are left out);
// a 2.x record marked deleted, or whose ISDEL is true, arrives with both.
DbfImportOutcome importOlderRecords(store::Table& table, SourceTable& source, OlderVersion version,
                                    const ImportHooks& hooks = {},
                                    std::string_view shortDatePattern = {});

} // namespace qp::exchange
