#pragma once
// "Rebuild Indexes" (the open address file) and "Rebuild System Indexes"
// (the tables of the sysdata folder): a run button, Cancel, Help, a progress
// bar and a status line; the window closes itself when the work is done.

#include "store/table.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qp::addressbook {

class TRebuildWindowBase : public QDialog {
    Q_OBJECT
public:
    QPushButton* runButton() const { return run_; }
    QLabel* statusLine() const { return status_; }
    QProgressBar* progressBar() const { return bar_; }
    // Runs the work as the run button does.
    void run();

protected:
    TRebuildWindowBase(const QString& title, const QString& caption, int helpTopic,
                       QWidget* parent);
    virtual void work() = 0;
    void setStatus(std::string_view text);
    void setProgress(int percent);
    void showEvent(QShowEvent* event) override;

private:
    QLabel* caption_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    bool running_ = false;
};

class TRebuildIndexesForm : public TRebuildWindowBase {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1040;
    TRebuildIndexesForm(store::Table& table, QWidget* parent = nullptr);

protected:
    void work() override;

private:
    store::Table& table_;
};

class TRebuildSystemIndexesForm : public TRebuildWindowBase {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1039;
    explicit TRebuildSystemIndexesForm(QWidget* parent = nullptr);

protected:
    void work() override;
};

} // namespace qp::addressbook
