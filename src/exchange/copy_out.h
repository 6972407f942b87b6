#pragma once
// Copying the records of a selection out of the address file, to a new DBF
// table with the address file's structure or to comma-delimited text.

#include "store/record_selection.h"
#include "store/table.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qp::exchange {

enum class CopyFormat { Dbf, Text };

inline constexpr std::string_view kNothingToCopyMessage =
    "No active records for current filter. Nothing to copy";
inline constexpr std::string_view kDbfExtensionMessage = "Must have a .DBF extension";
inline constexpr std::string_view kCopyErrorMessage = "There was an error copying";
inline constexpr std::string_view kOverwriteCaption = "Warning!";
inline constexpr std::string_view kCancelCopyQuestion = "Cancel copy?";
inline constexpr std::string_view kCancelCopyCaption = "Cancel";

// The twenty fields of every output, in the order of a text line.
inline constexpr std::array<std::string_view, 20> kTextOrder{
    "PREFIX", "FNAME",   "MIDDLE", "LNAME",  "TITLE", "ORG", "STREET", "STREET2", "CITY",  "STATE",
    "ZIP",    "COUNTRY", "PHONE",  "PHONE2", "EMAIL", "FAX", "DATE",   "USER1",   "USER2", "CODES"};

// The message that refuses `target`, or nothing: the extension for DBF
// output, then the address file itself (any spelling of its path).
std::optional<std::string> checkCopyName(CopyFormat format, const std::string& target,
                                         const std::string& addressPath);

// The existing file a copy to `target` would replace: for DBF output any file
// of the table's family (the table, its .CDX or .FPT, in any letter case).
std::optional<std::string> existingCopyTarget(CopyFormat format, const std::string& target);

// The overwrite question for an existing target.
std::string overwriteQuestion(const std::string& target);

// One text line of the current record, without its CR LF: twenty values in
// double quotes, a quote inside a value doubled.
std::string textLine(const store::Table& table);

struct CopyHooks {
    std::function<void(int percent)> progress;
    // Called after each record; true stops the copy after it.
    std::function<bool()> cancelled;
};

struct CopyOutcome {
    bool ok = true;
    bool cancelled = false;
    std::uint32_t copied = 0;
    std::string message; // kCopyErrorMessage on failure
};

// Copies the records of `selection` in the current order from its first
// record; checks no name (see checkCopyName) and asks nothing. The table's
// query, scope and record are put back afterwards.
CopyOutcome copyRecordsOut(store::Table& table, CopyFormat format, const std::string& target,
                           const store::RecordSelection& selection = {},
                           const CopyHooks& hooks = {},
                           const store::SelectionWalk::InfoHook& info = {});

} // namespace qp::exchange
