#pragma once
// The record selection the printing and copying tools offer, and the walk
// over it: note the position and query, set the selection's query, start at
// the first or the current record, and put everything back afterwards.

#include "table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qp::store {

enum class SelectionChoice { All, Filter, Current };

inline constexpr std::string_view kSelectionAllCaption = "All records";
inline constexpr std::string_view kSelectionFilterCaption = "Records matching filter";
inline constexpr std::string_view kSelectionCurrentCaption = "Only current record";
inline constexpr std::string_view kStartFromCurrentCaption = "Start from current record";
inline constexpr std::string_view kOutOfRangeMessage =
    "Current record is out of range. Starting with first record";

struct RecordSelection {
    SelectionChoice choice = SelectionChoice::Filter;
    bool startFromCurrent = false;
    // Labels and reports narrow "current" by a record-number query; envelopes
    // and letters leave the query alone and stay on the record.
    bool currentByQuery = true;
};

// The query a selection runs under, given the query in force and the record
// the cursor stands on.
std::string selectionQuery(const RecordSelection& selection, std::string_view queryInForce,
                           std::uint32_t currentRecno);

// One walk over a selection. The destructor restores the noted query, clears
// the scope and goes back to the noted record.
class SelectionWalk {
public:
    using InfoHook = std::function<void(std::string_view message)>;

    // Sets the query and positions the cursor; `info` receives the
    // out-of-range message. Fails only when the query cannot be set.
    static Result<SelectionWalk> begin(Table& table, const RecordSelection& selection,
                                       const InfoHook& info = {});

    SelectionWalk(SelectionWalk&& other) noexcept;
    SelectionWalk& operator=(SelectionWalk&&) = delete;
    ~SelectionWalk();

    // The cursor stands on a record of the selection.
    bool valid() const;
    // Moves to the next record; false at the end. "Current" without a query
    // change processes one record only.
    bool next();
    // Records in the selection (the engine's count under its query).
    std::uint32_t count();
    std::uint32_t notedRecno() const { return notedRecno_; }
    const std::string& notedQuery() const { return notedQuery_; }
    void restore();

private:
    explicit SelectionWalk(Table& table) : table_(&table) {}
    Table* table_;
    RecordSelection selection_;
    std::uint32_t notedRecno_ = 0;
    std::string notedQuery_;
    bool restored_ = false;
    bool single_ = false;
    bool singleDone_ = false;
};

} // namespace qp::store
