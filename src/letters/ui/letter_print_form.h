#pragma once
// "Print Status Screen": runs a letter print job as soon as it is shown. A
// click on "Cancel" asks "Cancel print job?" after the record being printed;
// the button turns into "OK" with the final status at the end.

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace qp::print {
class TBaseReport;
}

namespace qp::letters {

class TLetterRun;

class TLetterPrint : public QDialog {
    Q_OBJECT
public:
    // Runs `job` when first shown.
    TLetterPrint(print::TBaseReport& job, QWidget* parent = nullptr);

    // The hooks a letter run reports to: the status line after each record,
    // and whether a Cancel request was confirmed.
    std::function<bool()> CancelHook();
    std::function<void(const QString&)> StatusHook();
    void SetRun(TLetterRun* run) { Run_ = run; }

    // Asks whether to cancel; default a Yes/No question. Tests replace it.
    std::function<bool(QWidget*)> ConfirmCancel;

    bool Completed() const { return Completed_; }
    bool Canceled() const { return Canceled_; }
    QString Failure() const { return Failure_; }
    QLabel* StatusLabel() const { return Label_; }
    QPushButton* Button() const { return Button_; }
    bool CancelRequested() const { return CancelRequested_; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void RunJob();
    void ButtonPressed();

    print::TBaseReport& Job_;
    TLetterRun* Run_ = nullptr;
    QLabel* Label_;
    QPushButton* Button_;
    bool Started_ = false;
    bool Running_ = false;
    bool Finished_ = false;
    bool CancelRequested_ = false;
    bool Completed_ = false;
    bool Canceled_ = false;
    QString Failure_;
};

} // namespace qp::letters
