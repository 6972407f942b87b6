#pragma once
// "Address Browse": a grid of the visible records that follows the main
// cursor both ways, with record navigation and tagging.

#include "store/table.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QPushButton;
class QTableView;

namespace qp::addressbook {

class TBrowseModel;

class TBrowseWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1031;
    // `toggleTag` toggles the current record's tag as the main window does.
    TBrowseWindow(store::Table& table, std::string tagId, std::function<void()> toggleTag,
                  QWidget* parent = nullptr);
    ~TBrowseWindow() override;

    QTableView* grid() const { return grid_; }
    TBrowseModel* model() const { return model_; }
    // The browse-visible fields in the grid's visual order.
    std::vector<std::string> visualFields() const;
    void First();
    void Prior();
    void Next();
    void Last();
    void Tag();
    // Lets deleted records into the grid (greyed, with a Deleted column).
    void setShowDeleted(bool on);
    // Clears the current record's deletion mark and ISDEL.
    void Undelete();

protected:
    void done(int result) override;

private:
    void selectCurrent();
    void rowChosen(int row);
    void updateUndelete();

    store::Table& table_;
    std::function<void()> toggleTag_;
    std::vector<std::string> order_; // the cursor's whole field order
    QTableView* grid_ = nullptr;
    TBrowseModel* model_ = nullptr;
    bool following_ = false;
    bool saved_ = false;
    QCheckBox* showDeleted_ = nullptr;
    QPushButton* undelete_ = nullptr;
    std::string queryBefore_; // the query in force before deleted records were shown
};

} // namespace qp::addressbook
