#include "addressbook/rebuild.h"

#include "store/address_file.h"
#include "store/repair.h"
#include "store/shared_routines.h"
#include "store/system_tables.h"

#include <algorithm>
#include <utility>

namespace qp::addressbook {

namespace {

void say(const RebuildReport& report, std::string_view text) {
    if (report.status)
        report.status(text);
}

void bar(const RebuildReport& report, int percent) {
    if (report.progress)
        report.progress(std::clamp(percent, 0, 100));
}

} // namespace

store::Status RebuildAddressIndexes(store::Table& table, const RebuildReport& report) {
    if (!table.damage().empty()) {
        say(report, kRepairingStatus);
        auto repaired = store::repairTableFiles(table);
        if (!repaired)
            return store::fail(repaired.error());
        if (report.repaired) {
            std::string account;
            for (const auto& line : repaired->lines)
                account += (account.empty() ? "" : "\n") + line;
            report.repaired(account);
        }
    }
    say(report, kCleaningStatus);
    if (!table.indexName().empty() || !table.indexError().empty())
        if (auto st = table.deleteStructuralIndex(); !st)
            return st;
    table.setProgressHook([&](int percent) { bar(report, percent); });
    store::Status packed = table.pack();
    if (!packed) {
        table.setProgressHook({});
        return packed;
    }
    say(report, kRebuildingStatus);
    bar(report, 0);
    RiseCounter rises;
    table.setProgressHook([&](int percent) { bar(report, 100 * rises.add(percent) / 2100); });
    store::Status built = store::buildAddressTags(table);
    table.setProgressHook({});
    return built;
}

std::vector<std::string> RebuildSystemIndexes(const std::filesystem::path& sysdataFolder,
                                              const RebuildReport& report) {
    using store::SystemTable;
    const std::pair<SystemTable, std::string_view> order[] = {
        {SystemTable::Letter, "Rebuilding Letters File indexes"},
        {SystemTable::Label, "Rebuilding Label File indexes"},
        {SystemTable::StateZip, "Rebuilding State/Province File indexes"},
        {SystemTable::LabelTemplate, "Rebuilding Label Setup File indexes"},
        {SystemTable::Envelope, "Rebuilding Envelope File indexes"},
        {SystemTable::Report, "Rebuilding Report File indexes"},
    };
    int done = 0;
    std::vector<std::string> skipped;
    for (const auto& [id, status] : order) {
        say(report, status);
        const store::SystemTableSpec& spec = store::systemTableSpec(id);
        auto path = store::resolveCaseInsensitive(sysdataFolder, spec.fileName);
        auto table = store::Table::open(path.string(), store::OpenMode::Exclusive);
        if (table) {
            // A damaged table is repaired (every whole record kept) before
            // its pack, which would otherwise refuse it.
            if (!table->damage().empty())
                (void)store::repairTableFiles(*table);
            (void)table->deleteStructuralIndex();
            std::error_code ec;
            std::filesystem::remove(
                store::resolveCaseInsensitive(sysdataFolder, path.stem().string() + ".CDX"), ec);
            store::Status st = table->pack();
            if (st)
                st = table->indexTag(std::string(spec.tagName), std::string(spec.tagExpression));
            if (!st)
                skipped.push_back(std::string(spec.fileName) + ": " + st.error());
        } else {
            skipped.push_back(std::string(spec.fileName) + ": " + table.error());
        }
        bar(report, 100 * ++done / int(std::size(order)));
    }
    return skipped;
}

} // namespace qp::addressbook
