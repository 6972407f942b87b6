#pragma once
// The duplicate check and the state/ZIP check: each walks the visible
// records of the address file, collects the suspicious ones into a scratch
// index and leaves that index as the cursor's order, so that the cursor
// shows only them.

#include "addressbook/maintenance/scratch_index.h"
#include "store/table.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace qp::addressbook {

struct CheckProgress {
    std::uint32_t seen = 0;
    std::uint32_t total = 0;
    std::uint32_t found = 0;
};
// Called after each record; false cancels the walk (what was found stays).
using CheckReport = std::function<bool(const CheckProgress&)>;

struct CheckOutcome {
    std::uint32_t found = 0;
    bool cancelled = false;
    std::string error; // the check could not run
};

// ---- Duplicates ----

enum class DuplicateCheck { Name, Initial, Street };
inline constexpr int kMaxStreetChars = 30;

struct DuplicateOptions {
    DuplicateCheck check = DuplicateCheck::Name;
    int streetChars = kMaxStreetChars; // 1 to 30
    bool suffixesAlike = false;        // STREET = ST, NORTH = N, ...
};

inline constexpr std::string_view kDuplicateScratchName = "_chkdup.idx";
// `_chkdup.idx` in the program folder.
std::filesystem::path DuplicateScratchPath();
// "upper(LNAME-FNAME)" for the name checks, "upper(STREET)" for the street.
std::string_view DuplicateScratchKey(DuplicateCheck check);
std::string DuplicateFoundText(std::uint32_t found); // "Found 3 possible duplicates"

// What two records are compared by (Windows-1252, capitals): last name and
// first name (or its first letter) apart, or the first k characters of the
// street. An empty `first` is never compared.
struct DuplicateKey {
    std::string first;
    std::string second;
    bool operator==(const DuplicateKey&) const = default;
    auto operator<=>(const DuplicateKey&) const = default;
};
DuplicateKey DuplicateKeyOf(std::string_view lname, std::string_view fname, std::string_view street,
                            const DuplicateOptions& options);

// Walks the visible records grouped by their keys (records with equal keys
// in record-number order); every record whose key equals the one before it
// is collected, so the first of each group never is.
CheckOutcome RunDuplicateCheck(store::Table& table, const DuplicateOptions& options,
                               ScratchIndexFile& scratch, const std::filesystem::path& scratchPath,
                               const CheckReport& report = {});

// ---- State and ZIP ----

inline constexpr std::string_view kStateZipScratchName = "_chksz.idx";
inline constexpr std::string_view kStateZipScratchKey = "upper(LNAME)+upper(FNAME)";
// `_chksz.idx` in the address file's folder.
std::filesystem::path StateZipScratchPath(const std::string& addressFile);
std::string StateZipFoundText(std::uint32_t found);

// Looks states up in CSZ.DBF by its STATE tag as the engine seeks: a table
// state that begins with the value, the first in STATE order; the ZIP range
// of that one row. Answers are kept per state.
class StateZipLookup {
public:
    explicit StateZipLookup(store::Table& csz);
    const std::string& error() const { return error_; }
    struct Range {
        bool found = false;
        std::string low, high; // trimmed
    };
    const Range& find(const std::string& state);

private:
    store::Table& csz_;
    std::string error_;
    std::map<std::string, Range> cache_;
};

// True when the record's state and ZIP (Windows-1252, trimmed) are
// questionable: state not found, or ZIP below LOW_ZIP or above HIGH_ZIP
// compared as text. A blank state or ZIP is skipped, or, with
// `includeBlank`, questionable without a look-up.
bool StateZipQuestionable(const std::string& state, const std::string& zip, bool includeBlank,
                          StateZipLookup& lookup);

CheckOutcome RunStateZipCheck(store::Table& table, store::Table& csz, bool includeBlank,
                              ScratchIndexFile& scratch, const std::filesystem::path& scratchPath,
                              const CheckReport& report = {});

} // namespace qp::addressbook
