#pragma once
// "Address Filter": one box per criterion laid out like the record area,
// the Tagged and Reverse switches, and Test, Clear, Ok and Cancel, which
// apply the filter to the table the window is given.

#include "addressbook/ui/dialog_support.h"
#include "store/address_filter.h"
#include "store/filter_criteria.h"
#include "store/table.h"

#include <QDialog>
#include <QRect>
#include <QString>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace qp::addressbook {

// Where one criterion's box goes, copied from the record area: the box's
// rectangle and the label's (an empty label rectangle puts the label left of
// the box). Rectangles are in one coordinate space, the record area's.
struct FilterBoxPlacement {
    store::FilterField field;
    QString label;
    QRect box;
    QRect labelRect;
};

class TFilterWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1033;

    // `criteria` is the filter state of the main window; the window reads it
    // on opening and leaves in it what Ok, Cancel or the last Test applied.
    // `tagId` is the tag identifier in force. Without placements the boxes
    // stand in a grid of their own; criteria missing from the placements go
    // into that grid too.
    TFilterWindow(store::Table& table, store::FilterCriteria& criteria, std::string tagId,
                  std::vector<FilterBoxPlacement> placements = {}, QWidget* parent = nullptr);

    // The matches of the filter last applied (0: no filter in force).
    std::uint32_t matches() const { return matches_; }

    QLineEdit* box(store::FilterField field) const { return boxes_[std::size_t(field)]; }

    void setHelpHandler(HelpHandler handler) { help_ = std::move(handler); }

    void accept() override;
    void reject() override;

public slots:
    void test();
    void clear();

signals:
    // After every application of the filter, so the caller can refresh what
    // it shows behind the window.
    void filterApplied(std::uint32_t matches);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void loadBoxes(const store::FilterCriteria& from);
    void boxesToCriteria();
    void apply();
    QWidget* buildPlacedArea(const std::vector<FilterBoxPlacement>& placements,
                             std::array<bool, store::kFilterFieldCount>& placed);
    QWidget* buildGrid(const std::array<bool, store::kFilterFieldCount>& placed);
    QLineEdit* makeBox(store::FilterField field, QWidget* parent);

    store::Table& table_;
    store::FilterCriteria& criteria_;
    store::FilterCriteria original_;
    std::string tagId_;
    std::array<QLineEdit*, store::kFilterFieldCount> boxes_{};
    QCheckBox* tagged_ = nullptr;
    QCheckBox* reverse_ = nullptr;
    QLabel* matchLine_ = nullptr;
    QLabel* dateNote_ = nullptr;
    std::uint32_t matches_ = 0;
    bool matchedNothing_ = false; // the last filter applied matched no record and was dropped
    bool tested_ = false;
    HelpHandler help_;
};

} // namespace qp::addressbook
