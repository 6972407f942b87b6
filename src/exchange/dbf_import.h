#pragma once
// Importing another DBF table into an address file: opening the source with
// its messages, proposing matches of source fields to address fields, the
// fields each address field may take, and the record loop shared with the
// import of the earlier versions' files.

#include "exchange/address_labels.h"
#include "exchange/ascii_import.h"
#include "exchange/source_table.h"
#include "store/table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::exchange {

inline constexpr std::uint32_t kNoMatch = 1000;
inline constexpr std::string_view kUnableToOpenPrefix = "Unable to open the file ";
inline constexpr std::string_view kNoRecordsPrefix = "There are no records in ";
inline constexpr std::string_view kImportToItselfMessage = "Cannot import a file to itself";
inline constexpr std::string_view kUnknownImportError = "Unknown error while importing.";

// The address fields the match window offers, in the cursor's order: the
// visible fields but ISDEL, with the date and the memo.
std::vector<AddressLabel> dbfImportFields();

// Opens `path` to import into the address file at `tablePath`. The error is
// the message for the user: the file is the address file itself (under any
// name or link), cannot be read, or holds no records.
store::Result<SourceTable> openImportSource(const std::string& path, const std::string& tablePath);

// One source field and the address field it feeds.
struct DbfMatchField {
    std::string name;
    char type = 'C';
    bool hasText = true;            // false for pictures and binary memos
    std::uint32_t match = kNoMatch; // index into the offered address fields
};

std::vector<DbfMatchField> sourceMatchFields(const SourceTable& source);

// The proposals: a memo feeds Memo; a character, logical, numeric or date
// field feeds the first address field whose label or name is its name;
// each address field takes the first source field that fits it.
void proposeMatches(std::vector<DbfMatchField>& fields, const std::vector<AddressLabel>& offered);

// Whether a source field may feed an address field: memo rows take memos
// only, date rows dates only, every other row any field with text but memos.
bool fitsRow(const DbfMatchField& field, const AddressLabel& row);

// Puts source field `fieldIndex` on address field `row` and takes it off any
// other row; kNoMatch as the field index clears the row.
void matchDbfField(std::vector<DbfMatchField>& fields, std::size_t fieldIndex, std::uint32_t row);
bool anyDbfMatched(const std::vector<DbfMatchField>& fields);

struct DbfImportOutcome : ImportOutcome {
    std::string failure;              // "Unknown error while importing." and why, after a failure
    std::uint32_t skippedDeleted = 0; // source records marked deleted
    std::uint32_t missingRecords = 0; // counted by the header, not in the file
    std::uint32_t memosDamaged = 0;   // read only as far as the memo file goes
};

// What the record loop asks of each source record: set the appended
// address record's fields. `markDeleted` asks for the deletion mark.
struct RecordFill {
    bool markDeleted = false;
};
using FillRecord = std::function<store::Status(const SourceTable& source, store::Table& table,
                                               DbfImportOutcome& outcome, RecordFill& fill)>;

// Appends one address record per source record, from the first to the
// count the source had when the loop started, with the indexes dropped first
// (rebuildAfterImport afterwards, in every case but Refused). Records marked
// deleted are left out, or with `keepMarked` imported with
// RecordFill::markDeleted already set.
DbfImportOutcome importSourceRecords(store::Table& table, SourceTable& source,
                                     const FillRecord& fillRecord, const ImportHooks& hooks = {},
                                     bool keepMarked = false);

// The DBF import: each matched source field into its address field.
DbfImportOutcome importDbfRecords(store::Table& table, SourceTable& source,
                                  const std::vector<DbfMatchField>& fields,
                                  const std::vector<AddressLabel>& offered,
                                  const ImportHooks& hooks = {});

// Sets `field` of the appended record from an imported value: an empty value
// leaves the default, a memo is stored by the memo rule, and a value the file
// cannot hold is changed and counted (once, also when `changed` says the
// reading already changed it).
store::Status putImportedValue(store::Table& table, std::string_view field, std::string value,
                               DbfImportOutcome& outcome, bool changed = false);

} // namespace qp::exchange
