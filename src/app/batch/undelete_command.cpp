// Bringing back one deleted record before a rebuild removes it for good.

#include "addressbook/deleted_records.h"
#include "app/batch/batch_command.h"
#include "store/address_file.h"

#include <ostream>

namespace qp::batch {

namespace {

int runUndelete(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"recno"}, {});
    args.expectPositionals(1, 1);
    const auto recno = args.number("recno");
    if (!recno)
        throw UsageError("undelete needs --recno N");
    auto table = store::openAddressFile(args.positional(0, "FILE"), store::OpenMode::Exclusive);
    if (!table)
        throw Failure(table.error());
    if (!table->writeBlock().empty())
        throw Failure(table->writeBlock());
    table->setDeleted(false);
    if (*recno < 1 || !table->go(std::uint32_t(*recno)))
        throw Failure("There is no record " + std::to_string(*recno));
    if (auto st = addressbook::Undelete(*table); !st)
        throw Failure(st.error());
    out << "Undeleted record " << *recno << "\n";
    return 0;
}

BatchCommand undelete({"undelete", "FILE --recno N",
                       "Clears the deletion mark and ISDEL of record N (deleted records stay in "
                       "the file until the indexes are rebuilt).",
                       runUndelete});

} // namespace

} // namespace qp::batch
