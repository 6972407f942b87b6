#pragma once
// Rebuilding indexes: the open address file (packed, its 26 tags built
// again) and the system tables of the sysdata folder.

#include "store/result.h"
#include "store/table.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::addressbook {

struct RebuildReport {
    std::function<void(std::string_view status)> status;
    std::function<void(int percent)> progress;
    // Called with the account of a repair, when the file was damaged.
    std::function<void(const std::string& account)> repaired;
};

inline constexpr std::string_view kCleaningStatus = "Cleaning out old deleted records";
inline constexpr std::string_view kRebuildingStatus = "Rebuilding indexes";
inline constexpr std::string_view kRepairingStatus = "Repairing the damaged file";

// Repairs a damaged file first (every whole record kept, the originals
// kept as NAME.bak.* when anything is dropped); then deletes the structural
// index (also one that could not be opened), packs the file, builds the 26 tags. The bar
// follows the pack's progress, then 100 x T / 2100 where T sums the rises of
// the progress values the tag builds report.
store::Status RebuildAddressIndexes(store::Table& table, const RebuildReport& report);

// Each system table in turn (LETTER, LABEL, CSZ, LBLTPL, ENVELOPE, REPORT):
// index file deleted, packed, its one tag built. A table that fails is
// skipped without a message; the names of the skipped tables, each with
// the reason, are returned.
std::vector<std::string> RebuildSystemIndexes(const std::filesystem::path& sysdataFolder,
                                              const RebuildReport& report);

// Accumulates the rises of successive progress values.
class RiseCounter {
public:
    int add(int value) {
        if (value > last_)
            total_ += value - last_;
        last_ = value;
        return total_;
    }
    int total() const { return total_; }

private:
    int last_ = 0;
    int total_ = 0;
};

} // namespace qp::addressbook
