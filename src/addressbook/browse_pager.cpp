#include "addressbook/browse_pager.h"

#include <algorithm>
#include <cstdlib>

namespace qp::addressbook {

TBrowsePager::TBrowsePager(store::Table& table, RowReader reader)
    : table_(table), reader_(std::move(reader)) {
    reset();
}

void TBrowsePager::reset() {
    pages_.clear();
    pageAge_.clear();
    anchors_.clear();
    cursorRow_ = -1;
    cursorRecno_ = table_.eof() ? 0 : table_.recNo();
    rows_ = int(table_.queryRecCount());
    anchors_.assign(std::size_t(rows_ / kAnchorStep + 1), 0);
    if (cursorRecno_ != 0)
        table_.go(cursorRecno_);
}

void TBrowsePager::note(int row, std::uint32_t recno) {
    if (row % kAnchorStep == 0 && std::size_t(row / kAnchorStep) < anchors_.size())
        anchors_[std::size_t(row / kAnchorStep)] = recno;
}

bool TBrowsePager::position(int target) {
    if (target < 0 || target >= rows_)
        return false;
    // Candidate starting points: the two ends, the nearest anchors, the cursor.
    struct Start {
        int row;
        std::uint32_t recno; // 0: an end
    };
    std::vector<Start> starts{{0, 0}, {rows_ - 1, 0}};
    const int k = target / kAnchorStep;
    for (int a : {k, k + 1})
        if (std::size_t(a) < anchors_.size() && anchors_[std::size_t(a)] != 0)
            starts.push_back({a * kAnchorStep, anchors_[std::size_t(a)]});
    if (cursorRow_ >= 0 && cursorRecno_ != 0)
        starts.push_back({cursorRow_, cursorRecno_});
    const Start best = *std::min_element(starts.begin(), starts.end(), [&](auto& a, auto& b) {
        return std::abs(a.row - target) < std::abs(b.row - target);
    });
    bool ok =
        best.recno == 0 ? (best.row == 0 ? table_.first() : table_.last()) : table_.go(best.recno);
    if (!ok || table_.eof())
        return false;
    int row = best.row;
    note(row, table_.recNo());
    while (row != target) {
        ok = row < target ? table_.next() : table_.prior();
        ++steps_;
        if (!ok || table_.eof() || table_.bof())
            return false;
        row += row < target ? 1 : -1;
        note(row, table_.recNo());
    }
    return true;
}

void TBrowsePager::restoreCursor() {
    if (cursorRecno_ != 0 && table_.recNo() != cursorRecno_)
        table_.go(cursorRecno_);
}

const std::vector<std::string>& TBrowsePager::row(int r) {
    if (r < 0 || r >= rows_)
        return empty_;
    const int page = r / kPageRows;
    auto found = pages_.find(page);
    if (found == pages_.end()) {
        std::vector<std::vector<std::string>> values;
        const int from = page * kPageRows;
        const int to = std::min(rows_, from + kPageRows);
        if (position(from)) {
            for (int i = from; i < to; ++i) {
                values.push_back(reader_(table_));
                pageRecnos_[i] = table_.recNo();
                if (i + 1 < to) {
                    ++steps_;
                    if (!table_.next() || table_.eof())
                        break;
                    note(i + 1, table_.recNo());
                }
            }
        }
        restoreCursor();
        if (pages_.size() >= kCachedPages) {
            const int oldest = pageAge_.back();
            pageAge_.pop_back();
            for (int i = oldest * kPageRows; i < (oldest + 1) * kPageRows; ++i)
                pageRecnos_.erase(i);
            pages_.erase(oldest);
        }
        found = pages_.emplace(page, std::move(values)).first;
        pageAge_.push_front(page);
    } else if (pageAge_.front() != page) {
        pageAge_.remove(page);
        pageAge_.push_front(page);
    }
    const auto& rows = found->second;
    const std::size_t i = std::size_t(r - page * kPageRows);
    return i < rows.size() ? rows[i] : empty_;
}

std::uint32_t TBrowsePager::recnoOfRow(int r) {
    if (auto it = pageRecnos_.find(r); it != pageRecnos_.end())
        return it->second;
    (void)row(r);
    auto it = pageRecnos_.find(r);
    return it != pageRecnos_.end() ? it->second : 0;
}

bool TBrowsePager::goToRow(int r) {
    const std::uint32_t recno = recnoOfRow(r);
    if (recno == 0 || !table_.go(recno))
        return false;
    cursorRow_ = r;
    cursorRecno_ = recno;
    return true;
}

int TBrowsePager::locate(std::uint32_t recno) {
    for (const auto& [r, n] : pageRecnos_)
        if (n == recno)
            return r;
    for (std::size_t a = 0; a < anchors_.size(); ++a)
        if (anchors_[a] == recno)
            return int(a * kAnchorStep);
    // Walk outwards from the record, toward the start and the end in turns
    // with growing stretches, until an end is met.
    std::uint32_t back = recno, ahead = recno;
    int backSteps = 0, aheadSteps = 0;
    for (int stretch = 256;; stretch *= 2) {
        table_.go(back);
        for (int i = 0; i < stretch; ++i) {
            ++steps_;
            if (!table_.prior() || table_.bof())
                return backSteps;
            ++backSteps;
        }
        back = table_.recNo();
        table_.go(ahead);
        for (int i = 0; i < stretch; ++i) {
            ++steps_;
            if (!table_.next() || table_.eof())
                return rows_ - 1 - aheadSteps;
            ++aheadSteps;
        }
        ahead = table_.recNo();
    }
}

int TBrowsePager::currentRow() {
    if (table_.eof() || table_.bof() || rows_ == 0)
        return -1;
    const std::uint32_t recno = table_.recNo();
    if (recno == cursorRecno_ && cursorRow_ >= 0)
        return cursorRow_;
    const int r = locate(recno);
    table_.go(recno);
    cursorRecno_ = recno;
    cursorRow_ = r;
    note(r, recno);
    return r;
}

void TBrowsePager::invalidateRow(int r) {
    pages_.erase(r / kPageRows);
    pageAge_.remove(r / kPageRows);
}

void TBrowsePager::invalidateValues() {
    pages_.clear();
    pageAge_.clear();
    pageRecnos_.clear();
}

} // namespace qp::addressbook
