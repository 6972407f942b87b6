#pragma once
// "Bulk Mail Presorting": runs the presort as soon as it is shown, with its
// status line and a Cancel button, and closes itself when done.

#include "labels/presort.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace qp::labels {

class TSortBulkMail : public QDialog {
    Q_OBJECT
public:
    TSortBulkMail(store::Table& table, const store::RecordSelection& selection, std::string outPath,
                  QWidget* parent = nullptr);
    const PresortRun& run() const { return run_; }
    QLabel* statusLabel() const { return status_; }
    QPushButton* cancelButton() const { return cancel_; }

public slots:
    void reject() override; // Cancel, Escape and closing ask first

protected:
    void showEvent(QShowEvent*) override;

private:
    void start();

    store::Table& table_;
    store::RecordSelection selection_;
    std::string outPath_;
    PresortRun run_;
    QLabel* status_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool started_ = false;
    bool running_ = false;
    bool cancelRequested_ = false;
};

// Shows the window over `parent` and gives its outcome (a failure is left
// to the caller to report).
PresortRun runPresortWindow(store::Table& table, const store::RecordSelection& selection,
                            const std::string& outPath, QWidget* parent);

} // namespace qp::labels
