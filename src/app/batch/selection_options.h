#pragma once
// The record selection options of the batch commands that walk records:
// --selection all|filter|current, --recno N (the current record) and
// --start-from-current, as the printing tools offer them.

#include "app/batch/batch_args.h"
#include "store/record_selection.h"

#include <optional>
#include <set>
#include <string>

namespace qp::batch {

inline constexpr const char* kSelectionOptions =
    "[--selection all|filter|current] [--recno N] [--start-from-current]";

// Names to add to a command's Args: value options and flags.
const std::set<std::string>& selectionValueOptions();
const std::set<std::string>& selectionFlags();

// The selection the options name; nothing when none of them is given.
std::optional<store::RecordSelection> selectionFromArgs(const Args& args);

// Makes record --recno N the current record, when given.
void applyRecno(const Args& args, store::Table& table);

} // namespace qp::batch
