#include "letters/ui/letter_print_form.h"

#include "letters/letter_job.h"
#include "print/base_report.h"
#include "store/ui/common_dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qp::letters {

TLetterPrint::TLetterPrint(print::TBaseReport& job, QWidget* parent) : QDialog(parent), Job_(job) {
    setWindowTitle(QStringLiteral("Print Status Screen"));
    setModal(true);
    Label_ = new QLabel(this);
    Label_->setObjectName(QStringLiteral("StatusLabel"));
    Label_->setAlignment(Qt::AlignCenter);
    Label_->setMinimumSize(280, 60);
    Label_->setWordWrap(true);
    Button_ = new QPushButton(QStringLiteral("Cancel"), this);
    Button_->setObjectName(QStringLiteral("CancelButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_);
    layout->addWidget(Button_, 0, Qt::AlignHCenter);
    connect(Button_, &QPushButton::clicked, this, &TLetterPrint::ButtonPressed);
    ConfirmCancel = [](QWidget* w) {
        return QMessageBox::question(
                   w, QStringLiteral("CANCEL"), QString::fromLatin1(kCancelQuestion),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
}

std::function<void(const QString&)> TLetterPrint::StatusHook() {
    return [this](const QString& text) {
        Label_->setText(text);
        QCoreApplication::processEvents(); // lets a Cancel click reach the job
    };
}

std::function<bool()> TLetterPrint::CancelHook() {
    return [this] {
        if (!CancelRequested_)
            return false;
        const bool yes = ConfirmCancel ? ConfirmCancel(this) : true;
        CancelRequested_ = false;
        return yes;
    };
}

void TLetterPrint::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!Started_) {
        Started_ = true;
        QTimer::singleShot(0, this, &TLetterPrint::RunJob);
    }
}

void TLetterPrint::RunJob() {
    Running_ = true;
    QCoreApplication::processEvents();
    const bool ok = Job_.Execute();
    Running_ = false;
    Finished_ = true;
    Button_->setText(QStringLiteral("OK"));
    const bool userCancelled = Run_ && Run_->Cancelled() && Job_.LastError().isEmpty();
    if (ok) {
        Completed_ = true;
        Label_->setText(QString::fromLatin1(kLetterCompleted));
    } else {
        // Whatever ended the job, it did not complete: never say so.
        Canceled_ = true;
        Label_->setText(QString::fromLatin1(kLetterCanceled));
        if (!userCancelled) {
            Failure_ = Job_.LastError().isEmpty()
                           ? QStringLiteral("The letters could not be printed.")
                           : Job_.LastError();
            ui::ShowInfo(Failure_, this);
        }
    }
}

void TLetterPrint::ButtonPressed() {
    if (Finished_ || !Started_) {
        accept();
        return;
    }
    CancelRequested_ = true; // answered after the record being printed
}

void TLetterPrint::reject() {
    if (Running_) {
        CancelRequested_ = true;
        return;
    }
    QDialog::reject();
}

void TLetterPrint::closeEvent(QCloseEvent* e) {
    if (Running_) {
        CancelRequested_ = true;
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

} // namespace qp::letters
