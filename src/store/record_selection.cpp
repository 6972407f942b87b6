#include "store/record_selection.h"

namespace qp::store {

std::string selectionQuery(const RecordSelection& selection, std::string_view queryInForce,
                           std::uint32_t currentRecno) {
    switch (selection.choice) {
    case SelectionChoice::All:
        return "NOT ISDEL";
    case SelectionChoice::Filter:
        return std::string(queryInForce);
    case SelectionChoice::Current:
        if (selection.currentByQuery)
            return "Recno()=" + std::to_string(currentRecno);
        return std::string(queryInForce);
    }
    return std::string(queryInForce);
}

namespace {

// go() lands on any record; the selection holds only the visible ones.
bool inSelection(const Table& table, const std::string& query) {
    if (table.eof() || (table.deletedHidden() && table.deleted()))
        return false;
    if (query.empty())
        return true;
    auto match = table.evalLogical(query);
    return match && *match;
}

} // namespace

Result<SelectionWalk> SelectionWalk::begin(Table& table, const RecordSelection& selection,
                                           const InfoHook& info) {
    SelectionWalk walk(table);
    walk.selection_ = selection;
    walk.notedRecno_ = table.eof() || table.bof() ? 0 : table.recNo();
    walk.notedQuery_ = table.dbFilter();
    std::string query = selectionQuery(selection, walk.notedQuery_, walk.notedRecno_);
    if (query != walk.notedQuery_)
        if (auto st = table.setQuery(query); !st) {
            walk.restored_ = true;
            return fail(st.error());
        }
    if (selection.choice == SelectionChoice::Current && !selection.currentByQuery) {
        walk.single_ = true;
        if (walk.notedRecno_ == 0 || !table.go(walk.notedRecno_))
            table.first();
        return walk;
    }
    if (selection.startFromCurrent) {
        bool there = walk.notedRecno_ != 0 && table.go(walk.notedRecno_) &&
                     table.recNo() == walk.notedRecno_ && inSelection(table, query);
        if (!there) {
            if (info)
                info(kOutOfRangeMessage);
            table.first();
        }
    } else {
        table.first();
    }
    return walk;
}

SelectionWalk::SelectionWalk(SelectionWalk&& other) noexcept
    : table_(other.table_), selection_(other.selection_), notedRecno_(other.notedRecno_),
      notedQuery_(std::move(other.notedQuery_)), restored_(other.restored_), single_(other.single_),
      singleDone_(other.singleDone_) {
    other.restored_ = true;
}

SelectionWalk::~SelectionWalk() {
    restore();
}

bool SelectionWalk::valid() const {
    if (single_ && singleDone_)
        return false;
    return !table_->eof() && !table_->bof();
}

bool SelectionWalk::next() {
    if (single_) {
        singleDone_ = true;
        return false;
    }
    return table_->next() && !table_->eof();
}

std::uint32_t SelectionWalk::count() {
    if (single_)
        return valid() ? 1 : 0;
    return table_->queryRecCount();
}

void SelectionWalk::restore() {
    if (restored_)
        return;
    restored_ = true;
    if (table_->dbFilter() != notedQuery_)
        (void)table_->setQuery(notedQuery_);
    (void)table_->setScope("", "");
    if (notedRecno_ == 0 || !table_->go(notedRecno_))
        table_->first();
}

} // namespace qp::store
