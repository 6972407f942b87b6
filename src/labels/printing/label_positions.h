#pragma once
// Which label positions of a sheet get a label: one flag per position,
// numbered row by row from 0, sized to the sheet and all set at first.

#include "labels/label_definition.h"

#include <string_view>
#include <vector>

namespace qp::labels {

class LabelPositions {
public:
    LabelPositions() = default;
    explicit LabelPositions(int count) : flags_(count > 0 ? count : 0, true) {}
    explicit LabelPositions(const LabelDefinition& def) : LabelPositions(positionsPerSheet(def)) {}

    int count() const { return static_cast<int>(flags_.size()); }
    // Out of range positions are never selected.
    bool selected(int position) const;
    void set(int position, bool on);
    void toggle(int position);
    void setAll(bool on);
    int selectedCount() const;
    // A sheet of another size starts again with every position set.
    void fitSheet(const LabelDefinition& def);

    // Numbered from 1 as the batch interface reads them: "1,3,5-30".
    // Empty text selects every position.
    static store::Result<LabelPositions> parse(std::string_view text, int count);

private:
    std::vector<bool> flags_;
};

} // namespace qp::labels
