#pragma once
// The bulk-mail presort: selected records counted per five-digit ZIP key,
// grouped into 5-digit, 3-digit and ADC groups and the rest, and written as
// the presort list PRESORT.PSL (CR LF lines, headings beginning "** ").

#include "store/record_selection.h"
#include "store/result.h"
#include "store/table.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qp::labels {

inline constexpr std::string_view kPresortFileName = "PRESORT.PSL";
inline constexpr std::string_view kPresortTitle = "Bulk Mail Presorting";
inline constexpr std::string_view kReadingRecordsStatus = "Reading database records...";
inline constexpr std::string_view kReadingRecordStatus = "Reading record ";
inline constexpr std::string_view kSortingStatus = "Sorting Zip Codes...";
inline constexpr std::string_view kCancelPresortQuestion = "Cancel PRESORT?";
inline constexpr std::string_view kUnknownHeading = "** Unknown";
inline constexpr std::uint32_t kPresortGroupMinimum = 10;

// PRESORT.PSL in the program folder, found whatever its case.
std::string presortListPath();

struct AdcRow {
    std::string_view name;
    std::string_view prefixes; // three-digit prefixes separated by single blanks
};
const std::array<AdcRow, 96>& adcTable();

// The first five characters of a ZIP field.
std::string_view presortKey(std::string_view zip);
// Digit first, between "00000" and "99999-999" by character codes, no "*".
bool acceptablePresortKey(std::string_view key);
// True for an empty country and for the names of the United States (USA,
// US, U.S.A., United States, United States of America, America, any case).
// Mail abroad is not presorted: its postal code is no ZIP code.
bool domesticCountry(std::string_view country);
// The ZIP a record is presorted by: empty for mail abroad.
std::string_view presortZip(std::string_view zip, std::string_view country);

// Counts per key: five-digit numeric keys in a flat array, any other
// accepted key in a hash map; constant cost per record.
class PresortTally {
public:
    PresortTally();
    // False (and counted as unplaced) when the ZIP gives no acceptable key.
    bool add(std::string_view zip);
    std::uint32_t counted() const { return counted_; }
    std::uint32_t unplaced() const { return unplaced_; }
    // Every key with its count, ascending by character codes.
    std::vector<std::pair<std::string, std::uint32_t>> sortedKeys() const;

private:
    std::vector<std::uint32_t> numeric_;
    std::unordered_map<std::string, std::uint32_t> other_;
    std::uint32_t counted_ = 0;
    std::uint32_t unplaced_ = 0;
};

enum class PresortGroupKind { FiveDigit, ThreeDigit, Adc, Unknown };
struct PresortGroup {
    PresortGroupKind kind;
    std::string heading; // "** 5-digit 12345", ...
    std::vector<std::string> keys;
    std::uint32_t pieces = 0;
};

struct PresortResult {
    std::vector<PresortGroup> groups; // in list order
    std::uint32_t counted = 0;
    std::uint32_t unplaced = 0;
    std::vector<std::string> lines() const;
    std::string text() const; // the lines, each ending CR LF
};

PresortResult groupPresort(const PresortTally& tally);
store::Status writePresortList(const std::string& path, const PresortResult& result);
// True for an empty file or one whose every line is a heading ("** ...") or a
// ZIP key: what writePresortList writes, and so may be replaced.
bool isPresortListFile(const std::string& path);

// One line of a presort list as label printing reads it back: only lines
// beginning "** " are headings.
struct PresortLine {
    bool heading = false;
    std::string text;
};
store::Result<std::vector<PresortLine>> readPresortList(const std::string& path);

struct PresortHooks {
    // "Reading database records...", "Reading record 100", "Sorting Zip Codes...".
    std::function<void(std::string_view status)> status;
    // Asked after every record (pending events run here); true stops the count.
    std::function<bool()> cancelRequested;
    // Some selected records have no usable ZIP: true goes on without them.
    // Unset: go on.
    std::function<bool(std::uint32_t unplaced, std::uint32_t selected)> goOnWithUnplaced;
};

enum class PresortOutcome { Done, Cancelled, Failed };
struct PresortRun {
    PresortOutcome outcome = PresortOutcome::Failed;
    PresortResult result;
    std::string message; // why it failed
};

// The question asked when records cannot be placed.
std::string unplacedQuestion(std::uint32_t unplaced, std::uint32_t selected);

// Gives the next ZIP into `zip`; false at the end.
using ZipSource = std::function<bool(std::string& zip, std::uint32_t& recno)>;

// Counts, groups and writes `outPath`; a cancel or a failure writes nothing.
PresortRun runPresort(const ZipSource& source, const std::string& outPath,
                      const PresortHooks& hooks = {});
// The same over the selection of an address table, in record-number order;
// the table's order, query and record are put back afterwards.
PresortRun runPresort(store::Table& addressTable, const store::RecordSelection& selection,
                      const std::string& outPath, const PresortHooks& hooks = {});

} // namespace qp::labels
