#pragma once
// What every import window shares: the chosen file's name, the status line,
// gauge, Cancel and Help under the buttons, and the import road with Cancel
// while records are read and no way out while the indexes are rebuilt.

#include "exchange/ui/import_road.h"
#include "store/table.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace qp::exchange {

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    QLabel* fileNameLabel() const { return fileName_; }
    QLabel* statusLine() const { return status_; }
    QProgressBar* gauge() const { return gauge_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    // Records the last import added.
    std::uint32_t imported() const { return imported_; }

protected:
    ImportDialog(store::Table& table, QWidget* parent);

    // The caption and the chosen file's name, "(none)" until one is chosen.
    void addFileNameRow(QVBoxLayout* layout, const QString& caption);
    // The status line, the gauge, and Cancel and Help at the bottom right.
    void addProgressRows(QVBoxLayout* layout, int helpTopic);
    // What every window shows while busy: Help off, the status line on, and
    // Cancel gone while the indexes are rebuilt.
    void showBusy(bool busy, bool rebuilding);

    // The open dialog for one existing file, leaving the working folder as
    // it was; empty when none was chosen.
    QString askForFile(const QString& title, const QStringList& filters,
                       const QString& pattern = {}, const QString& suffix = {});

    // Runs the import road on this window; `rebuilding` puts the window in
    // its rebuilding state once the records are in.
    DbfImportOutcome
    runRoad(const std::function<void()>& rebuilding,
            const std::function<DbfImportOutcome(const ImportHooks&)>& importRecords);
    ImportOutcome
    runPlainRoad(const std::function<void()>& rebuilding,
                 const std::function<ImportOutcome(const ImportHooks&)>& importRecords);

    // Cancel while importing asks the record loop to stop; while rebuilding
    // it is ignored, as a half-built index would be worse than waiting.
    void reject() override;

    store::Table& table_;
    QLabel* fileName_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;

private:
    enum class Phase { Idle, Importing, Rebuilding };

    ImportRoad road(const std::function<void()>& rebuilding);

    Phase phase_ = Phase::Idle;
    bool cancelRequested_ = false;
    std::uint32_t imported_ = 0;
};

} // namespace qp::exchange
