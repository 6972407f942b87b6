#include "addressbook/maintenance/search_replace.h"

#include "addressbook/maintenance/field_text.h"
#include "store/codepage.h"

#include <algorithm>

namespace qp::addressbook {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && store::upperCp1252(a) == store::upperCp1252(b);
}

std::string quoted(std::string_view value) {
    return "\"" + std::string(value) + "\"";
}

store::Result<std::string> bytesOf(std::string_view utf8, std::string_view what) {
    auto bytes = store::utf8ToCp1252Exact(utf8);
    if (!bytes)
        return store::fail("The " + std::string(what) +
                           " value has characters that an address file cannot hold");
    return *bytes;
}

} // namespace

const ReplaceTarget* FindReplaceTarget(std::string_view captionOrField) {
    for (const auto& t : kReplaceTargets)
        if (equalsNoCase(t.caption, captionOrField) || equalsNoCase(t.field, captionOrField))
            return &t;
    return nullptr;
}

std::string ReplaceConfirmation(const ReplaceRequest& r) {
    std::string condition;
    if (r.find.empty()) {
        condition = "is empty ";
    } else {
        condition = r.condition == FindCondition::ExactlyEqual ? "exactly matches: " : "contains: ";
        condition += quoted(r.find);
        condition += r.caseSensitive ? "  (case sensitive)" : " (not case sensitive)";
    }
    std::string action;
    const bool whole = r.action == ReplaceAction::WholeField;
    if (r.replacement.empty())
        action = whole ? "and delete the entire field " : "and delete the matching text ";
    else
        action = (whole ? "and replace the entire field with "
                        : "and replace only the matching text with ") +
                 quoted(r.replacement);
    return "Find records where field " + std::string(r.target.caption) + "\n" + condition + "\n" +
           action;
}

bool FieldMatches(std::string_view stored, std::string_view find, FindCondition condition,
                  bool caseSensitive) {
    if (find.empty())
        return stored.find_first_not_of(' ') == std::string_view::npos;
    std::string upperStored, upperFind;
    if (!caseSensitive) {
        upperStored = store::upperCp1252(stored);
        upperFind = store::upperCp1252(find);
        stored = upperStored;
        find = upperFind;
    }
    if (condition == FindCondition::ExactlyEqual)
        return stored.substr(0, find.size()) == find;
    return stored.find(find) != std::string_view::npos;
}

std::string ReplaceMatchingText(std::string_view value, std::string_view find,
                                std::string_view with, bool caseSensitive) {
    if (find.empty())
        return value.empty() ? std::string(with) : std::string(value);
    std::string upperValue, upperFind;
    std::string_view hay = value, needle = find;
    if (!caseSensitive) {
        upperValue = store::upperCp1252(value);
        upperFind = store::upperCp1252(find);
        hay = upperValue;
        needle = upperFind;
    }
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = hay.find(needle); at != std::string_view::npos;
         at = hay.find(needle, from)) {
        out.append(value.substr(from, at - from));
        out.append(with);
        from = at + needle.size();
    }
    out.append(value.substr(from));
    return out;
}

std::string ReplacedValue(std::string_view stored, const ReplaceRequest& request,
                          std::string_view findBytes, std::string_view withBytes, int width) {
    std::string value = request.action == ReplaceAction::WholeField
                            ? std::string(withBytes)
                            : ReplaceMatchingText(TrimRightBytes(stored), findBytes, withBytes,
                                                  request.caseSensitive);
    if (width >= 0 && value.size() > std::size_t(width))
        value.resize(std::size_t(width));
    return TrimRightBytes(value);
}

store::Result<std::uint32_t> RunReplace(store::Table& table, const ReplaceRequest& request,
                                        bool countOnly,
                                        const std::function<void(int percent)>& progress) {
    auto field = table.fieldIndex(request.target.field);
    if (!field)
        return store::fail("This file has no field " + std::string(request.target.field));
    const int width = table.fields()[std::size_t(*field)].length;
    auto find = bytesOf(request.find, "search");
    if (!find)
        return store::fail(find.error());
    auto with = bytesOf(request.replacement, "replacement");
    if (!with)
        return store::fail(with.error());
    std::optional<store::Expression> restriction;
    if (!request.restriction.empty()) {
        auto compiled = table.compile(request.restriction);
        if (!compiled)
            return store::fail(compiled.error());
        restriction = std::move(*compiled);
    }
    if (!countOnly)
        if (auto st = table.post(); !st)
            return store::fail(st.error());

    CursorState keep(table);
    table.setDeleted(false);
    if (auto st = table.setQuery({}); !st)
        return store::fail(st.error());
    if (auto st = table.setOrder(0); !st)
        return store::fail(st.error());
    const std::uint32_t total = std::max<std::uint32_t>(table.recCount(), 1);
    const store::EvalSettings settings{table.exact()};
    std::uint32_t seen = 0, count = 0;
    int lastPercent = -1;
    for (bool more = table.first(); more; more = table.next()) {
        ++seen;
        if (!table.deleted()) {
            const std::string stored = table.getRaw(*field);
            if (FieldMatches(stored, *find, request.condition, request.caseSensitive) &&
                (!restriction || restriction->isTrue(table.view(), settings))) {
                ++count;
                if (!countOnly) {
                    std::string value = ReplacedValue(stored, request, *find, *with, width);
                    if (value != TrimRightBytes(stored)) {
                        store::Status st = ReplaceBytes(table, request.target.field, value);
                        if (st)
                            st = table.post();
                        if (!st) {
                            table.discard();
                            return store::fail("Record " + std::to_string(table.recNo()) +
                                               " could not be changed: " + st.error() + "\n" +
                                               "Replaced " + std::to_string(count - 1) +
                                               " records before it");
                        }
                    }
                }
            }
        }
        const int percent = int(std::uint64_t(seen) * 100 / total);
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            progress(percent);
        }
    }
    return count;
}

} // namespace qp::addressbook
