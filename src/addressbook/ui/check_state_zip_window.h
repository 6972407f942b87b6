#pragma once
// "Check State and Zip  Codes": the setup page, the walk against CSZ.DBF,
// the result page with the questionable records, and the editor of the
// state table that either page can open.

#include "addressbook/maintenance/record_checks.h"
#include "store/table.h"

#include <QDialog>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace qp::addressbook {

class TRecordGrid;

class TCheckStateZipWindow : public QDialog {
    Q_OBJECT
public:
    // While a run works: asks whether to stop it instead of closing.
    void reject() override;
    static constexpr int kHelpTopic = 1043;
    TCheckStateZipWindow(store::Table& table, std::string tagId, QWidget* parent = nullptr);
    ~TCheckStateZipWindow() override;

    void PerformCheck();
    // "Edit State/Province File" and "Stop Editing".
    void ToggleStateEditor();
    bool editingStates() const { return states_.has_value(); }
    std::uint32_t found() const { return found_; }
    bool onResultPage() const;

    QCheckBox* includeBlankBox() const { return includeBlank_; }
    QLabel* statusLine() const { return status_; }
    QPushButton* editStatesButton() const { return editStates_; }
    QPushButton* cancelButton() const { return cancel_; }
    TRecordGrid* grid() const { return grid_; }
    TRecordGrid* statesGrid() const { return statesGrid_; }

    // Result page buttons.
    void EditRecord();
    void SaveRecord();
    void CancelRecord();
    void Tag();
    void TagAll();
    // State table buttons.
    void DeleteState();
    void SaveState();
    void UndoState();
    void AddState();

protected:
    void done(int result) override;

private:
    void setRunning(bool running);

    store::Table& table_;
    std::string tagId_;
    ScratchIndexFile scratch_;
    std::optional<store::Table> states_;
    QStackedWidget* pages_ = nullptr;
    QWidget* setupPage_ = nullptr;
    QWidget* resultPage_ = nullptr;
    QWidget* statesPage_ = nullptr;
    QWidget* pageBeforeEditing_ = nullptr;
    QCheckBox* includeBlank_ = nullptr;
    QPushButton* perform_ = nullptr;
    TRecordGrid* grid_ = nullptr;
    TRecordGrid* statesGrid_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* editStates_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* help_ = nullptr;
    QToolButton* mouseHelp_ = nullptr;
    bool running_ = false;
    bool cancelRequested_ = false;
    std::uint32_t found_ = 0;
};

} // namespace qp::addressbook
