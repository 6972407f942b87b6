#pragma once
// Importing comma-separated text into an address file: splitting lines by the
// quote rule, scanning a sample, matching text fields to address fields, and
// the import itself with the indexes dropped and rebuilt once.

#include "exchange/address_labels.h"
#include "exchange/import_values.h"
#include "store/table.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qp::exchange {

inline constexpr std::size_t kMaxFieldLength = 2048;  // characters; longer values are cut
inline constexpr std::size_t kMaxLineBytes = 1 << 20; // longer lines are damaged and skipped
inline constexpr std::size_t kMaxImportFields = 255;
inline constexpr std::size_t kSampleLines = 10;

inline constexpr std::string_view kUnableToImportMessage = "Unable to import from this file";
inline constexpr std::string_view kCountingStatus = "Counting total lines";
inline constexpr std::string_view kImportingStatus = "Importing records";
inline constexpr std::string_view kRebuildingStatus = "Rebuilding Indexes ";

// Splits one line into fields. A field that begins with a quote runs to the
// quote followed by a comma or the end of the line, and "" inside it is one
// quote, as spreadsheets write it. A line not written that way is split by
// the older quote rule (commas between quotes belong to the field, an outer
// pair of quotes is removed). `unbalanced`, when given, is set when a quote
// opened on the line is never closed.
std::vector<std::string> splitAsciiLine(std::string_view line, bool* unbalanced = nullptr);

// Cuts each value to kMaxFieldLength characters; returns how many were cut.
std::size_t cutLongValues(std::vector<std::string>& fields);

enum class TextEncoding { Utf8, Windows1252 };

// UTF-8 when every byte of the file is valid UTF-8, else Windows-1252.
TextEncoding detectEncoding(const std::string& path);

// Reads a text file line by line as UTF-8, whatever its encoding: CR LF or LF
// ends a line, a UTF-8 byte-order mark is dropped. A line longer than
// kMaxLineBytes is damaged: it is skipped without being kept in memory and
// counted, so memory stays bounded on any input.
class LineReader {
public:
    LineReader(const std::string& path, TextEncoding encoding);
    bool isOpen() const;
    // The next sound line; false at the end or on a read error (see failed()).
    bool next(std::string& line);
    bool failed() const { return failed_; }
    // The number of the line last returned, counting from 1.
    std::uint64_t lineNumber() const { return number_; }
    std::uint64_t damagedCount() const { return damaged_; }
    // The first few damaged lines' numbers.
    const std::vector<std::uint64_t>& damagedLines() const { return damagedLines_; }

private:
    bool fill();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
    TextEncoding encoding_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    std::uint64_t number_ = 0;
    std::uint64_t damaged_ = 0;
    std::vector<std::uint64_t> damagedLines_;
};

// Only regular files are read: a device or pipe may never end.
bool isImportableFile(const std::string& path);

struct ImportField {
    std::string name;        // "Field " + number
    std::size_t longest = 0; // longest sample value, in characters
    std::string match;       // display label of the matched address field, or empty
};

struct AsciiScan {
    bool usable = false; // more than one line read
    TextEncoding encoding = TextEncoding::Utf8;
    std::vector<ImportField> fields;              // as many as the first line has (≤ 255)
    std::vector<std::vector<std::string>> sample; // up to ten lines, padded to the field count
    std::string message;                          // why it is not usable
};

AsciiScan scanAsciiFile(const std::string& path);

// Puts `label` on the field `fieldIndex` (or clears that row when the index
// is out of range) and takes it off every other field: a text field feeds
// at most one address field, an address field takes at most one text field.
void matchField(std::vector<ImportField>& fields, std::size_t fieldIndex, const std::string& label);
bool anyMatched(const std::vector<ImportField>& fields);

struct ImportHooks {
    std::function<void(std::string_view status)> status;
    std::function<void(int percent)> progress;
    // Called after each record, where the windows let pending events run;
    // true asks to stop.
    std::function<bool()> cancelled;
};

struct ImportOutcome {
    enum class Kind { Complete, Cancelled, ReadError, WriteError, Refused };
    Kind kind = Kind::Complete;
    std::uint32_t imported = 0;
    std::size_t valuesChanged = 0;  // characters Windows-1252 cannot hold, or control characters
    std::size_t valuesCut = 0;      // longer than kMaxFieldLength
    ShortenedValues shortened;      // longer than their field's width
    std::uint64_t damagedLines = 0; // longer than kMaxLineBytes, skipped
    std::vector<std::uint64_t> damagedNumbers; // the first few of them
    std::uint64_t unbalancedLines = 0;         // a quote never closed
    std::vector<std::uint64_t> unbalancedNumbers;
    std::string message; // the final message for the user
};

// Appends one record per line of `csvPath` to the address file `table`
// (open exclusively), filling the matched fields. The structural index is
// deleted first; call rebuildAfterImport afterwards in every case but Refused.
ImportOutcome importAsciiRecords(store::Table& table, const std::string& csvPath,
                                 const std::vector<ImportField>& fields,
                                 const std::vector<AddressLabel>& offered,
                                 const ImportHooks& hooks = {});

// Builds the 26 tags; `progress` follows the engine's reports.
store::Status rebuildAfterImport(store::Table& table,
                                 const std::function<void(int percent)>& progress = {});

} // namespace qp::exchange
