#include "app/batch/selection_options.h"

#include "app/batch/batch_command.h"

namespace qp::batch {

const std::set<std::string>& selectionValueOptions() {
    static const std::set<std::string> names{"selection", "recno"};
    return names;
}

const std::set<std::string>& selectionFlags() {
    static const std::set<std::string> names{"start-from-current"};
    return names;
}

std::optional<store::RecordSelection> selectionFromArgs(const Args& args) {
    auto choice = args.value("selection");
    if (!choice && !args.flag("start-from-current") && !args.value("recno"))
        return std::nullopt;
    store::RecordSelection selection;
    std::string name = choice.value_or("filter");
    if (name == "all")
        selection.choice = store::SelectionChoice::All;
    else if (name == "filter")
        selection.choice = store::SelectionChoice::Filter;
    else if (name == "current")
        selection.choice = store::SelectionChoice::Current;
    else
        throw UsageError("--selection takes all, filter or current");
    selection.startFromCurrent = args.flag("start-from-current");
    return selection;
}

void applyRecno(const Args& args, store::Table& table) {
    auto recno = args.number("recno");
    if (!recno)
        return;
    if (*recno < 1 || !table.go(static_cast<std::uint32_t>(*recno)))
        throw Failure("There is no record " + std::to_string(*recno));
}

} // namespace qp::batch
