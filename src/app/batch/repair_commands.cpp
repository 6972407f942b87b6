// The repair batch command.

#include "app/batch/batch_command.h"
#include "store/repair.h"
#include "store/table.h"

#include <ostream>

namespace qp::batch {

namespace {

int runRepair(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {}, {});
    args.expectPositionals(1, 1);
    const std::string& path = args.positional(0, "FILE");
    auto table = store::Table::open(path, store::OpenMode::Exclusive);
    if (!table)
        throw Failure(table.error());
    auto outcome = store::repairTableFiles(*table);
    if (!outcome)
        throw Failure(outcome.error());
    for (const auto& line : outcome->lines)
        out << line << "\n";
    return 0;
}

BatchCommand repair({"repair", "FILE",
                     "Repairs a damaged table: keeps every whole record, sets the header to "
                     "match, rewrites the memo file and rebuilds the indexes; says what was kept "
                     "and dropped. The originals stay as NAME.bak.* when anything was dropped.",
                     runRepair});

} // namespace
} // namespace qp::batch
