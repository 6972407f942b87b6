#include "addressbook/maintenance/case_conversion.h"

#include "addressbook/maintenance/field_text.h"
#include "store/codepage.h"
#include "store/filter_criteria.h"

namespace qp::addressbook {

const CaseField* FindCaseField(std::string_view captionOrField) {
    auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && store::upperCp1252(a) == store::upperCp1252(b);
    };
    for (const auto& f : kCaseFields)
        if (same(f.caption, captionOrField) || same(f.field, captionOrField))
            return &f;
    return nullptr;
}

std::string ConvertCaseText(std::string_view bytes, CaseConversion conversion) {
    switch (conversion) {
    case CaseConversion::Upper:
        return store::upperCp1252(bytes);
    case CaseConversion::Lower:
        return LowerCp1252(bytes);
    case CaseConversion::Capitalize:
        break;
    }
    std::string out = LowerCp1252(bytes);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if ((i == 0 || out[i - 1] == ' ') && IsCp1252Letter(c))
            out[i] = static_cast<char>(store::upperCp1252(c));
    }
    return out;
}

CaseOutcome
RunCaseConversion(store::Table& table, const CaseRun& run, bool countOnly,
                  const std::function<bool(std::uint32_t done, std::uint32_t total)>& afterRecord) {
    CaseOutcome outcome;
    std::vector<std::pair<std::string, int>> fields;
    for (const auto& name : run.fields)
        if (auto i = table.fieldIndex(name))
            fields.emplace_back(name, *i);
    if (auto st = table.post(); !st) {
        outcome.error = st.error();
        return outcome;
    }
    CursorState keep(table);
    if (run.records == CaseRecords::All)
        if (auto st = table.setQuery(store::kNoFilterQuery); !st) {
            outcome.error = st.error();
            return outcome;
        }
    const bool one = run.records == CaseRecords::Current;
    std::uint32_t total = 1;
    bool more = true;
    if (!one) {
        total = table.queryRecCount();
        more = table.first();
    } else {
        more = !table.eof() && table.recNo() > 0;
    }
    for (; more; more = table.next()) {
        bool changed = false;
        for (const auto& [name, index] : fields) {
            const std::string stored = TrimRightBytes(table.getRaw(index));
            std::string converted = ConvertCaseText(stored, run.conversion);
            if (converted == stored)
                continue;
            changed = true;
            if (countOnly)
                break;
            if (auto st = ReplaceBytes(table, name, converted); !st) {
                table.discard();
                outcome.error = st.error();
                return outcome;
            }
        }
        if (changed && !countOnly)
            if (auto st = table.post(); !st) {
                table.discard();
                outcome.error = "Record " + std::to_string(table.recNo()) +
                                " could not be changed: " + st.error();
                return outcome;
            }
        ++outcome.visited;
        if (changed)
            ++outcome.changed;
        if (one)
            break;
        if (afterRecord && !afterRecord(outcome.visited, total)) {
            outcome.cancelled = true;
            break;
        }
    }
    if (one && afterRecord)
        (void)afterRecord(outcome.visited, total);
    return outcome;
}

} // namespace qp::addressbook
