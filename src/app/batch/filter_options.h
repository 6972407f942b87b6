#pragma once
// The filter options batch commands share: --flt, --criteria, --tagged and
// --reverse, read as the filter window would set them.

#include "app/batch/batch_args.h"
#include "store/filter_criteria.h"
#include "store/table.h"

#include <optional>
#include <string>

namespace qp::batch {

inline constexpr const char* kFilterOptions =
    "[--flt FILE.FLT] [--criteria FIELD=TEXT]... [--tagged] [--reverse]";

// "LNAME=bak;jo": the criterion of the field named before the first "=".
void addCriterion(store::FilterCriteria& filter, const std::string& spec);

// The filter the options describe, if any.
std::optional<store::FilterCriteria> filterFromArgs(const Args& args);

// Puts the filter the options describe on `table`, or clears the engine's
// filter when they give none, and goes to the first record. A filter that
// matches nothing fails with `nothingMatches`: the engine drops such a
// filter, and a command would then walk every record.
void applyFilterOptions(const Args& args, store::Table& table, const std::string& tagId,
                        const std::string& nothingMatches);

// The tag identifier of the settings file beside the program.
std::string tagIdentifier();

} // namespace qp::batch
