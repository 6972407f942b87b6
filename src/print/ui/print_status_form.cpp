#include "print/ui/print_status_form.h"

#include "print/base_report.h"
#include "print/printer_setup.h"
#include "print/report_printer.h"
#include "print/status_format.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qp::print {

TPrintStatusForm::TPrintStatusForm(TBaseReport& job, TStatusMode mode, QWidget* parent)
    : QDialog(parent), Job_(job), Mode_(mode) {
    setWindowTitle(mode == smPrint ? QStringLiteral("Print Status")
                                   : QStringLiteral("Preview Status"));
    setModal(true);
    Label_ = new QLabel(this);
    Label_->setObjectName(QStringLiteral("StatusLabel"));
    Label_->setAlignment(Qt::AlignCenter);
    Label_->setMinimumSize(260, 60);
    Button_ =
        new QPushButton(mode == smPrint ? QStringLiteral("Cancel") : QStringLiteral("Stop"), this);
    Button_->setObjectName(QStringLiteral("CancelButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_);
    layout->addWidget(Button_, 0, Qt::AlignHCenter);
    connect(Button_, &QPushButton::clicked, this, &TPrintStatusForm::ButtonPressed);
    ConfirmCancel = [](QWidget* w, const QString& q) {
        return QMessageBox::question(w, QStringLiteral("CANCEL"), q,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    ReportError = [](QWidget* w, const QString& text) {
        QMessageBox::warning(w, QStringLiteral("Information"), text);
    };
}

QString TPrintStatusForm::DisplayText(const QString& status) {
    QString s = status;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

bool TPrintStatusForm::JobAborted() const {
    return Job_.Aborted();
}

bool TPrintStatusForm::ShowPreviewAfterwards() const {
    return Mode_ == smPreview && Finished_ && !Job_.Aborted();
}

void TPrintStatusForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!Started_) {
        Started_ = true;
        // Start once the window is on screen, from the event loop.
        QTimer::singleShot(0, this, &TPrintStatusForm::RunJob);
    }
}

void TPrintStatusForm::RunJob() {
    Running_ = true;
    Job_.OnStatus = [this](const QString& s) {
        Label_->setText(DisplayText(s));
        QCoreApplication::processEvents(); // lets Cancel / Stop reach the job
    };
    const bool started = Job_.Execute() || Job_.Aborted();
    Job_.OnStatus = nullptr;
    Running_ = false;
    Finished_ = true;
    Button_->setText(QStringLiteral("Ok"));
    if (!started) {
        Label_->setText(DisplayText(Job_.LastError()));
        if (ReportError && !CloseAfterJob_)
            ReportError(this, Job_.LastError());
    } else {
        ShowFinalText();
    }
    if (CloseAfterJob_ || (started && Mode_ == smPreview && CloseWhenPreviewReady &&
                           !Job_.Aborted() && !StopRequested_))
        accept();
}

void TPrintStatusForm::ShowFinalText() {
    QString text;
    if (Job_.Aborted())
        text = Mode_ == smPrint ? FinalTexts.PrintCanceled : FinalTexts.PreviewCanceled;
    else if (StopRequested_)
        text = FinalTexts.Stopped;
    else
        text = Mode_ == smPrint ? FinalTexts.Completed : FinalTexts.Ready;
    text = FormatStatus(text, Job_.CurrentPage(), Job_.StatusText);
    // A cancelled PDF keeps the pages already written; say so.
    if (Job_.Aborted() && Job_.Setup().IsPdf()) {
        if (auto* printer = dynamic_cast<TReportPrinter*>(&Job_)) {
            const int n = printer->PagesOutput();
            text += n > 0 ? QStringLiteral("\r%1 page(s) kept in %2")
                                .arg(n)
                                .arg(Job_.Setup().OutputFileName())
                          : QStringLiteral("\rNo file was written.");
        }
    }
    Label_->setText(DisplayText(text));
}

void TPrintStatusForm::ButtonPressed() {
    if (Finished_ || !Started_) {
        accept();
        return;
    }
    RequestEnd(true);
}

void TPrintStatusForm::RequestEnd(bool ask) {
    if (!Running_ || Job_.Aborted() || Asking_)
        return; // a second press while the first one is being handled
    if (Mode_ == smPreview) {
        StopRequested_ = true;
        if (!ask)
            Job_.Abort();
        return;
    }
    if (ask) {
        Asking_ = true;
        const bool yes = ConfirmCancel ? ConfirmCancel(this, CancelQuestion) : true;
        Asking_ = false;
        if (!yes || !Running_)
            return;
    }
    Job_.Abort();
}

void TPrintStatusForm::reject() {
    if (Running_) {
        CloseAfterJob_ = true;
        RequestEnd(false);
        return;
    }
    QDialog::reject();
}

void TPrintStatusForm::closeEvent(QCloseEvent* e) {
    if (Running_) {
        // The window goes only after the job has returned.
        CloseAfterJob_ = true;
        RequestEnd(false);
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

} // namespace qp::print
