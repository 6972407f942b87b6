#include "addressbook/maintenance/record_checks.h"

#include "addressbook/maintenance/field_text.h"
#include "addressbook/maintenance/street_suffixes.h"
#include "store/codepage.h"
#include "store/shared_routines.h"

#include <algorithm>
#include <vector>

namespace qp::addressbook {

namespace {

struct Walked {
    DuplicateKey key;
    std::uint32_t recno;
};

int fieldOf(const store::Table& table, std::string_view name) {
    auto i = table.fieldIndex(name);
    return i ? *i : -1;
}

// Adds the records of `recnos` to the scratch index in one bulk build and
// makes it the order.
store::Status collect(store::Table& table, const ScratchIndexFile& scratch,
                      const std::vector<std::uint32_t>& recnos) {
    if (auto st = table.keyAddRecords(recnos); !st)
        return st;
    if (auto st = table.setOrder(scratch.order()); !st)
        return st;
    table.first();
    return {};
}

} // namespace

std::filesystem::path DuplicateScratchPath() {
    return std::filesystem::path(store::ProgramFolder()) / std::string(kDuplicateScratchName);
}

std::string_view DuplicateScratchKey(DuplicateCheck check) {
    return check == DuplicateCheck::Street ? "upper(STREET)" : "upper(LNAME-FNAME)";
}

std::string DuplicateFoundText(std::uint32_t found) {
    return "Found " + std::to_string(found) + " possible duplicates";
}

DuplicateKey DuplicateKeyOf(std::string_view lname, std::string_view fname, std::string_view street,
                            const DuplicateOptions& options) {
    DuplicateKey key;
    if (options.check == DuplicateCheck::Street) {
        const int k = std::clamp(options.streetChars, 1, kMaxStreetChars);
        std::string text = options.suffixesAlike ? NormalizeStreet(TrimRightBytes(street))
                                                 : store::upperCp1252(street);
        if (text.size() > std::size_t(k))
            text.resize(std::size_t(k));
        key.first = TrimRightBytes(text);
        return key;
    }
    key.first = store::upperCp1252(TrimRightBytes(lname));
    key.second = store::upperCp1252(
        TrimRightBytes(options.check == DuplicateCheck::Initial ? fname.substr(0, 1) : fname));
    return key;
}

CheckOutcome RunDuplicateCheck(store::Table& table, const DuplicateOptions& options,
                               ScratchIndexFile& scratch, const std::filesystem::path& scratchPath,
                               const CheckReport& report) {
    CheckOutcome outcome;
    if (auto st = table.post(); !st) {
        outcome.error = st.error();
        return outcome;
    }
    if (auto st =
            scratch.create(table, scratchPath, std::string(DuplicateScratchKey(options.check)));
        !st) {
        outcome.error = st.error();
        return outcome;
    }
    const int lname = fieldOf(table, "LNAME"), fname = fieldOf(table, "FNAME"),
              street = fieldOf(table, "STREET");
    (void)table.setOrder(0);
    std::vector<Walked> walked;
    CheckProgress progress;
    progress.total = table.recCount();
    walked.reserve(progress.total);
    for (bool more = table.first(); more; more = table.next()) {
        ++progress.seen;
        if (!table.deleted())
            walked.push_back({DuplicateKeyOf(StoredField(table, lname), StoredField(table, fname),
                                             StoredField(table, street), options),
                              table.recNo()});
        if (report && !report(progress)) {
            outcome.cancelled = true;
            break;
        }
    }
    std::stable_sort(walked.begin(), walked.end(),
                     [](const Walked& a, const Walked& b) { return a.key < b.key; });
    std::vector<std::uint32_t> found;
    const DuplicateKey* previous = nullptr;
    for (const Walked& w : walked) {
        if (!w.key.first.empty() && previous && w.key == *previous)
            found.push_back(w.recno);
        previous = &w.key;
    }
    outcome.found = std::uint32_t(found.size());
    if (auto st = collect(table, scratch, found); !st)
        outcome.error = st.error();
    progress.found = outcome.found;
    if (report)
        (void)report(progress);
    return outcome;
}

std::filesystem::path StateZipScratchPath(const std::string& addressFile) {
    return std::filesystem::path(addressFile).parent_path() / std::string(kStateZipScratchName);
}

std::string StateZipFoundText(std::uint32_t found) {
    return "Found " + std::to_string(found) + " records with questionable state or zipcodes";
}

StateZipLookup::StateZipLookup(store::Table& csz) : csz_(csz) {
    const int tag = csz.tagArea("STATE");
    if (tag == 0 || !csz.fieldIndex("LOW_ZIP") || !csz.fieldIndex("HIGH_ZIP")) {
        error_ = "CSZ.DBF has no STATE index or no ZIP range fields";
        return;
    }
    if (auto st = csz.setOrder(tag); !st)
        error_ = st.error();
    csz.setExact(false);
    csz.setSoftSeek(false);
}

const StateZipLookup::Range& StateZipLookup::find(const std::string& state) {
    auto it = cache_.find(state);
    if (it != cache_.end())
        return it->second;
    Range range;
    if (error_.empty()) {
        auto found = csz_.seek(store::cp1252ToUtf8(state));
        if (found && *found && !csz_.eof()) {
            range.found = true;
            auto bytes = [&](std::string_view field) {
                auto i = csz_.fieldIndex(field);
                return i ? TrimRightBytes(csz_.getRaw(*i)) : std::string();
            };
            range.low = bytes("LOW_ZIP");
            range.high = bytes("HIGH_ZIP");
        }
    }
    return cache_.emplace(state, std::move(range)).first->second;
}

bool StateZipQuestionable(const std::string& state, const std::string& zip, bool includeBlank,
                          StateZipLookup& lookup) {
    if (state.empty() || zip.empty())
        return includeBlank;
    const StateZipLookup::Range& range = lookup.find(state);
    return !range.found || zip < range.low || zip > range.high;
}

CheckOutcome RunStateZipCheck(store::Table& table, store::Table& csz, bool includeBlank,
                              ScratchIndexFile& scratch, const std::filesystem::path& scratchPath,
                              const CheckReport& report) {
    CheckOutcome outcome;
    StateZipLookup lookup(csz);
    if (!lookup.error().empty()) {
        outcome.error = lookup.error();
        return outcome;
    }
    if (auto st = table.post(); !st) {
        outcome.error = st.error();
        return outcome;
    }
    if (auto st = scratch.create(table, scratchPath, std::string(kStateZipScratchKey)); !st) {
        outcome.error = st.error();
        return outcome;
    }
    const int stateField = fieldOf(table, "STATE"), zipField = fieldOf(table, "ZIP");
    (void)table.setOrder(0);
    CheckProgress progress;
    progress.total = table.recCount();
    std::vector<std::uint32_t> found;
    for (bool more = table.first(); more; more = table.next()) {
        ++progress.seen;
        if (!table.deleted() && StateZipQuestionable(TrimRightBytes(StoredField(table, stateField)),
                                                     TrimRightBytes(StoredField(table, zipField)),
                                                     includeBlank, lookup)) {
            found.push_back(table.recNo());
            ++progress.found;
        }
        if (report && !report(progress)) {
            outcome.cancelled = true;
            break;
        }
    }
    outcome.found = progress.found;
    if (auto st = collect(table, scratch, found); !st)
        outcome.error = st.error();
    return outcome;
}

} // namespace qp::addressbook
