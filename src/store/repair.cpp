#include "store/repair.h"

#include "store/address_file.h"
#include "store/os_file.h"
#include "store/system_tables.h"

#include <algorithm>
#include <cctype>

namespace qp::store {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

bool looksLikeAddressFile(const Table& table) {
    return std::all_of(kAddressFields.begin(), kAddressFields.end(),
                       [&](const auto& f) { return table.fieldIndex(f.name).has_value(); });
}

std::string plural(std::uint64_t n, const std::string& word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

} // namespace

Result<RepairOutcome> repairTableFiles(Table& table) {
    RepairOutcome outcome;
    auto report = table.repair();
    if (!report)
        return fail(report.error());
    outcome.report = std::move(*report);
    const RepairReport& r = outcome.report;

    // The tags the table is known to need, when the old index did not give them.
    if (looksLikeAddressFile(table)) {
        if (!addressIndexValid(table)) {
            if (auto st = buildAddressTags(table); !st)
                return fail(st.error() + "\n" + table.indexError());
        }
    } else {
        const std::string name = baseName(table.path());
        for (const auto& spec : systemTableSpecs())
            if (sameName(name, spec.fileName) && table.tagArea(spec.tagName) == 0) {
                if (table.tagCount() > 0 || !table.indexError().empty())
                    if (auto st = table.deleteStructuralIndex(); !st)
                        return fail(st.error());
                if (auto st =
                        table.indexTag(std::string(spec.tagName), std::string(spec.tagExpression));
                    !st)
                    return fail(st.error());
            }
    }
    if (auto st = table.flush(); !st)
        return fail(st.error());
    outcome.tagsBuilt = table.tagCount();

    auto& lines = outcome.lines;
    if (r.problems.empty())
        lines.push_back("No damage found.");
    for (const auto& problem : r.problems)
        lines.push_back("Found: " + problem);
    lines.push_back("Kept " + plural(r.recordsKept, "record") +
                    (r.deletedKept ? " (" + std::to_string(r.deletedKept) + " marked deleted)"
                                   : std::string()) +
                    "; the header counted " + std::to_string(r.headerCount) + ".");
    if (r.bytesDropped)
        lines.push_back("Dropped " + plural(r.bytesDropped, "byte") +
                        " of a partial record at the end of the file.");
    if (r.memosKept || !r.memosDropped.empty())
        lines.push_back("Kept " + plural(r.memosKept, "memo") + ".");
    if (!r.memosDropped.empty()) {
        std::string which;
        for (std::size_t i = 0; i < r.memosDropped.size() && i < 20; ++i)
            which += (i ? ", " : "") + std::to_string(r.memosDropped[i]);
        if (r.memosDropped.size() > 20)
            which += ", ...";
        lines.push_back("Dropped " + plural(r.memosDropped.size(), "memo") +
                        " that could not be read (records " + which + ").");
    }
    lines.push_back("Rebuilt " +
                    plural(static_cast<std::uint64_t>(outcome.tagsBuilt), "index tag") + ".");
    if (!r.backups.empty()) {
        std::string names;
        for (const auto& b : r.backups)
            names += (names.empty() ? "" : ", ") + baseName(b);
        lines.push_back("The original files are kept as " + names + ".");
    }
    return outcome;
}

} // namespace qp::store
