#include "app/batch/filter_options.h"

#include "app/batch/batch_command.h"
#include "store/address_filter.h"
#include "store/filter_file.h"
#include "store/settings_file.h"

#include <algorithm>
#include <cctype>

namespace qp::batch {

namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

} // namespace

void addCriterion(store::FilterCriteria& filter, const std::string& spec) {
    auto eq = spec.find('=');
    if (eq == std::string::npos)
        throw UsageError("--criteria takes FIELD=TEXT, not \"" + spec + "\"");
    std::string field = upper(spec.substr(0, eq));
    if (field == "CITY")
        field = "CITY+STATE";
    const auto& names = store::kFilterFieldExpressions;
    auto it = std::find(names.begin(), names.end(), field);
    if (it == names.end())
        throw UsageError("--criteria: no filter box tests the field " + spec.substr(0, eq));
    filter.criteria[static_cast<std::size_t>(it - names.begin())] = spec.substr(eq + 1);
}

std::optional<store::FilterCriteria> filterFromArgs(const Args& args) {
    bool any = args.value("flt") || !args.values("criteria").empty() || args.flag("tagged") ||
               args.flag("reverse");
    if (!any)
        return std::nullopt;
    store::FilterCriteria filter;
    if (auto flt = args.value("flt")) {
        auto read = store::ReadFilterFrom(*flt);
        if (!read)
            throw Failure(read.error());
        filter = *read;
    }
    for (const auto& spec : args.values("criteria"))
        addCriterion(filter, spec);
    if (args.flag("tagged"))
        filter.tagged = true;
    if (args.flag("reverse"))
        filter.reverse = true;
    return filter;
}

std::string tagIdentifier() {
    auto settings = store::SettingsFile::standard();
    return store::LoadGlobalTagId(settings);
}

void applyFilterOptions(const Args& args, store::Table& table, const std::string& tagId,
                        const std::string& nothingMatches) {
    if (auto filter = filterFromArgs(args)) {
        auto outcome = store::ApplyFilter(table, *filter, tagId, store::FilterCount::AnyOnly);
        if (!outcome.message.empty())
            throw Failure(outcome.message);
        if (outcome.matches == 0)
            throw Failure(nothingMatches);
    } else if (auto st = store::ClearEngineFilter(table); !st) {
        throw Failure(st.error());
    }
    table.first();
}

} // namespace qp::batch
