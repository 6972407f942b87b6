#pragma once
// The ZIP code count: how many records of a selection share each ZIP key,
// in ten digit groups, an "other" group and the blank entry, and the result
// list the count window shows, prints and exports.

#include "store/record_selection.h"
#include "store/table.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qp::reports {

inline constexpr std::string_view kCountZipTitle = "Count Zip Codes";
inline constexpr std::string_view kCountingCaption =
    "Counting the number of occurrences of each zip code:";
inline constexpr std::string_view kReadingRecordsStatus = "Reading database records...";
inline constexpr std::string_view kReadingRecordStatus = "Reading record ";
inline constexpr std::string_view kSortingStatus = "Sorting Zip Codes...";
inline constexpr std::string_view kFinishedStatus =
    "Finished counting. Press Print or Preview for the report";
inline constexpr std::string_view kCancelCountQuestion = "Cancel Count?";
inline constexpr std::string_view kBlankKey = "BLANK";

// The first five characters of the ZIP with its blanks trimmed (fewer when
// it is shorter); `zip` is one byte per character, as the table stores it.
std::string_view zipCountKey(std::string_view zip);

// 0 to 9: a five-character key starting with that digit and lying between
// "00000" and "99999-999" in plain character order; 10: any other key.
inline constexpr int kOtherGroup = 10;
int zipGroupOf(std::string_view key);

// "#,##0": the count with `separator` between groups of three digits.
std::string formatCount(std::uint64_t count, std::string_view separator);

// The thousands separator of the user's regional settings (UTF-8).
std::string regionalThousandsSeparator();

struct ZipTally {
    std::string key; // UTF-8; "BLANK" for the empty ZIPs
    std::uint64_t count = 0;
    bool operator==(const ZipTally&) const = default;
};

// Counts keys. Each group keeps a hash of its keys, so that a record costs
// the same whatever the number of distinct ZIPs.
class ZipCounter {
public:
    // One record's ZIP as stored (Windows-1252, blanks allowed).
    void add(std::string_view zip);
    std::uint64_t records() const { return records_; }
    std::uint64_t blanks() const { return blank_; }
    std::size_t distinctKeys() const;

    // Groups 0 to 9 and "other", each sorted by key, then the blank entry:
    // the order of the result list, without its separator lines.
    std::vector<ZipTally> tallies() const;

private:
    std::array<std::unordered_map<std::string, std::uint64_t>, 11> groups_;
    std::uint64_t blank_ = 0;
    std::uint64_t records_ = 0;
};

// Keys of one group in list order: digit keys by character codes (numeric
// order), other keys without regard to case.
bool zipKeyLess(const std::string& a, const std::string& b);

// The result list: the digit groups' lines, two empty lines, the other
// group's lines and the "BLANK" line. A line is the key left-justified in
// ten characters followed by the formatted count.
std::vector<std::string> zipResultLines(const std::vector<ZipTally>& tallies,
                                        std::string_view separator);
std::string zipResultLine(const ZipTally& tally, std::string_view separator);

// The key and the count of a result line (both empty for a separator line).
struct ZipLineParts {
    std::string key;
    std::string count;
};
ZipLineParts splitZipResultLine(std::string_view line);

// "ZIP,Count" and one row per entry, in list order, CR LF line ends; counts
// without separators so that spreadsheets read them as numbers.
std::string zipCountCsv(const std::vector<ZipTally>& tallies);

struct ZipCountHooks {
    std::function<void(std::string_view)> status;
    // Asked after every record; true stops the count.
    std::function<bool()> cancelRequested;
};

enum class ZipCountOutcome { Done, Canceled, Failed };

struct ZipCountRun {
    ZipCountOutcome outcome = ZipCountOutcome::Failed;
    std::string message; // why it failed
    ZipCounter counter;
    std::vector<ZipTally> tallies;
};

// Walks the selection in record order and counts; the table's order,
// query and record are put back afterwards, also after a cancel.
ZipCountRun countZipCodes(store::Table& table, const store::RecordSelection& selection,
                          const ZipCountHooks& hooks = {});

} // namespace qp::reports
