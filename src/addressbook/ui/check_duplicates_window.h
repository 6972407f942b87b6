#pragma once
// "Check and Repair Duplicates": the setup page, the walk, and the result
// page where the possible duplicates are edited, deleted or tagged.

#include "addressbook/maintenance/record_checks.h"
#include "store/table.h"

#include <QDialog>

#include <filesystem>
#include <string>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QToolButton;

namespace qp::addressbook {

class TRecordGrid;

class TCheckDuplicatesWindow : public QDialog {
    Q_OBJECT
public:
    // While a run works: asks whether to stop it instead of closing.
    void reject() override;
    static constexpr int kHelpTopic = 1044;
    TCheckDuplicatesWindow(store::Table& table, std::string tagId,
                           std::filesystem::path scratchPath = DuplicateScratchPath(),
                           QWidget* parent = nullptr);
    ~TCheckDuplicatesWindow() override;

    DuplicateOptions options() const;
    // Walks the file; the result page follows when something was found.
    void PerformCheck();
    std::uint32_t found() const { return found_; }
    bool onResultPage() const;

    QRadioButton* checkButton(DuplicateCheck check) const;
    QSpinBox* streetCharsBox() const { return streetChars_; }
    QCheckBox* suffixesBox() const { return suffixes_; }
    QLabel* statusLine() const { return status_; }
    TRecordGrid* grid() const { return grid_; }
    QPushButton* okButton() const { return ok_; }

    // Result page buttons.
    void DeleteRecord();
    void Save();
    void Undo();
    void Tag();
    void TagAll();

protected:
    void done(int result) override;

private:
    void checkChanged();
    void setRunning(bool running);

    store::Table& table_;
    std::string tagId_;
    std::filesystem::path scratchPath_;
    ScratchIndexFile scratch_;
    QStackedWidget* pages_ = nullptr;
    QRadioButton* byName_ = nullptr;
    QRadioButton* byInitial_ = nullptr;
    QRadioButton* byStreet_ = nullptr;
    QLabel* streetCharsLabel_ = nullptr;
    QSpinBox* streetChars_ = nullptr;
    QCheckBox* suffixes_ = nullptr;
    QPushButton* perform_ = nullptr;
    QWidget* resultPage_ = nullptr;
    TRecordGrid* grid_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* help_ = nullptr;
    QToolButton* mouseHelp_ = nullptr;
    bool running_ = false;
    bool cancelRequested_ = false;
    std::uint32_t found_ = 0;
};

} // namespace qp::addressbook
