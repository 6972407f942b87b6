#pragma once
// The road every import from a named-field source takes (delimited text
// with field names, vCards): the index dropped first, one record appended
// per source record with its values made storable and counted, progress and
// cancel after each record, and the final message with what was changed,
// cut or skipped. The index is rebuilt afterwards with rebuildAfterImport.

#include "exchange/ascii_import.h"
#include "store/table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qp::exchange {

// The values of one new record: stored field name and UTF-8 text.
using ImportRecord = std::vector<std::pair<std::string, std::string>>;

// Eight digits, year, month, day, from the usual ways of writing a date:
// 19961231, 1996-12-31 (a time after it is ignored), 1996/12/31, 12/31/1996
// (month first) and 31.12.1996 (day first). Nothing when it is not a date.
std::optional<std::string> eightDigitDate(std::string_view text);

class RecordImport {
public:
    RecordImport(store::Table& table, const ImportHooks& hooks);

    // Drops the structural index so that records go in without index upkeep.
    bool begin();
    void setTotal(std::uint64_t total) { total_ = total; }
    // Progress in the source's own measure (bytes read of `total`) instead of
    // records counted.
    void setDone(std::uint64_t done) {
        done_ = done;
        measured_ = true;
    }
    void status(std::string_view text) const;
    // Appends one record with the non-empty values; false when the write failed.
    bool add(ImportRecord& values);
    // After each source record, imported or skipped: the gauge, pending
    // events, and whether to stop.
    bool cancelled();
    // A line for the final message (e.g. skipped source records).
    void addNote(std::string note) { notes_.push_back(std::move(note)); }
    // Ends the import: `source` names the file kind in the read error message
    // ("ASCII file", "vCard file").
    ImportOutcome finish(ImportOutcome::Kind kind, std::string_view source);
    ImportOutcome& outcome() { return outcome_; }

private:
    store::Table& table_;
    ImportHooks hooks_;
    ImportOutcome outcome_;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    bool measured_ = false;
    std::size_t datesUnread_ = 0;
    int lastPercent_ = -1;
    std::vector<std::string> notes_;
};

// "line 4" or "lines 4, 9, 12 and 3 more".
std::string lineList(const std::vector<std::uint64_t>& numbers, std::uint64_t total);

} // namespace qp::exchange
