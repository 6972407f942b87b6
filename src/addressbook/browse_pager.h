#pragma once
// Row access for the browse grid without reading the whole file: the n-th
// visible record in the current order is reached by walking the cursor from
// the nearest known point (the ends, the record the grid stands on, or a
// sparse anchor noted every kAnchorStep rows), and rows are read a page at
// a time into a small cache. Memory stays a few kilobytes per million rows.

#include "store/table.h"

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

namespace qp::addressbook {

class TBrowsePager {
public:
    static constexpr int kAnchorStep = 1024;
    static constexpr int kPageRows = 64;
    static constexpr std::size_t kCachedPages = 16;

    // Reads the values of one row from the current record.
    using RowReader = std::function<std::vector<std::string>(const store::Table&)>;

    TBrowsePager(store::Table& table, RowReader reader);

    // Forgets everything and counts the visible records again.
    void reset();
    int rowCount() const { return rows_; }

    // The values of a row; the cursor is back on the current record after.
    const std::vector<std::string>& row(int row);
    std::uint32_t recnoOfRow(int row);

    // The row the cursor's record is on (found by walking when not known);
    // -1 when the cursor stands on no visible record.
    int currentRow();
    // Puts the cursor on a row; false when out of range.
    bool goToRow(int row);
    // Forgets the cached values of one row (after a record changed).
    void invalidateRow(int row);
    void invalidateValues();

    // Walk statistics, for tests and benchmarks.
    std::uint64_t steps() const { return steps_; }
    std::size_t anchorCount() const { return anchors_.size(); }

private:
    bool position(int row); // cursor on the row; knownRow_ follows
    void note(int row, std::uint32_t recno);
    void restoreCursor();
    int locate(std::uint32_t recno);

    store::Table& table_;
    RowReader reader_;
    int rows_ = 0;
    // The cursor's record and its row when known.
    int cursorRow_ = -1;
    std::uint32_t cursorRecno_ = 0;
    std::vector<std::uint32_t> anchors_; // row k*kAnchorStep -> recno, 0 unknown
    std::unordered_map<int, std::vector<std::vector<std::string>>> pages_;
    std::list<int> pageAge_; // most recent first
    std::unordered_map<int, std::uint32_t> pageRecnos_;
    std::uint64_t steps_ = 0;
    std::vector<std::string> empty_;
};

} // namespace qp::addressbook
