#pragma once
// "Count Zip Codes": counts the selection's ZIP codes as soon as it is first
// shown, then offers the count as a printed or previewed report and as a CSV
// file.

#include "reports/zip_count.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace qp::reports {

class TCountZipCodes : public QDialog {
    Q_OBJECT
public:
    enum class State { Idle, Counting, Finished, Canceled };

    TCountZipCodes(store::Table& table, QWidget* parent = nullptr);

    State state() const { return state_; }
    const std::vector<std::string>& resultLines() const { return lines_; }
    const std::vector<ZipTally>& tallies() const { return tallies_; }

    // Count and build the result list.
    void DoTheSort();
    // Print or preview the result (counting first when needed).
    void DoThePrintJob(bool preview);
    // Writes the counts as CSV; false with the reason shown.
    bool ExportCsv(const QString& path);

    QLabel* statusLabel() const { return status_; }
    QPushButton* cancelButton() const { return cancel_; }
    QWidget* buttonRow() const { return buttons_; }
    QListWidget* resultList() const { return list_; }

public slots:
    void reject() override; // Escape and closing during the count ask first

protected:
    void showEvent(QShowEvent* e) override;

private:
    void SetStatusLabel(const QString& text);
    void askCancel();
    void exportClicked();

    store::Table& table_;
    State state_ = State::Idle;
    bool cancelRequested_ = false;
    bool started_ = false;
    std::vector<std::string> lines_;
    std::vector<ZipTally> tallies_;
    QLabel* status_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QWidget* buttons_ = nullptr;
    QListWidget* list_ = nullptr;
};

// Opens the window over `parent` on the address file's current selection.
void runCountZipCodes(QWidget* parent, store::Table& table);

} // namespace qp::reports
