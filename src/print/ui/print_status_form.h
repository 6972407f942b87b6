#pragma once
// The modal status window of a print or preview job: it runs the job as soon
// as it is shown, shows the status line, and ends with an "Ok" button.
#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;

namespace qp::print {

class TBaseReport;

enum TStatusMode { smPrint, smPreview };

struct TFinalTexts {
    QString Completed = QStringLiteral("\rPrint Completed!");
    QString Ready = QStringLiteral("\rPreview Ready!");
    QString PrintCanceled = QStringLiteral("\rPrint Canceled!");
    QString PreviewCanceled = QStringLiteral("\rPreview Canceled!");
    QString Stopped = QStringLiteral("\rPreview Stopped at page %p!");
};

class TPrintStatusForm : public QDialog {
    Q_OBJECT
public:
    TPrintStatusForm(TBaseReport& job, TStatusMode mode, QWidget* parent = nullptr);

    TFinalTexts FinalTexts;
    QString CancelQuestion = QStringLiteral("Cancel Printing?");
    bool CloseWhenPreviewReady = false; // labels close a finished preview at once
    // Asks whether to cancel printing; default a Yes/No box titled "CANCEL".
    std::function<bool(QWidget*, const QString&)> ConfirmCancel;
    // Reports a job that could not start; default a message box.
    std::function<void(QWidget*, const QString&)> ReportError;

    // Read by the producing routine before each record of a preview.
    bool StopRequested() const { return StopRequested_; }
    bool Running() const { return Running_; }
    bool Finished() const { return Finished_; }
    bool JobAborted() const;
    // A stopped preview still shows its pages.
    bool ShowPreviewAfterwards() const;

    QLabel* StatusLabel() const { return Label_; }
    QPushButton* Button() const { return Button_; }

    static QString DisplayText(const QString& status); // "\r" line breaks for the label

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void RunJob();
    void ButtonPressed();
    void RequestEnd(bool ask);
    void ShowFinalText();

    TBaseReport& Job_;
    TStatusMode Mode_;
    QLabel* Label_;
    QPushButton* Button_;
    bool Started_ = false;
    bool Running_ = false;
    bool Finished_ = false;
    bool StopRequested_ = false;
    bool CloseAfterJob_ = false;
    bool Asking_ = false;
};

} // namespace qp::print
