#include "addressbook/ui/bulk_tool_window.h"

#include "addressbook/ui/dialog_calls.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::addressbook {

TBulkToolWindow::TBulkToolWindow(const QString& title, const QString& runCaption, int helpTopic,
                                 QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    body_ = new QVBoxLayout;
    layout->addLayout(body_);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(bar_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLine"));
    status_->setMinimumWidth(status_->fontMetrics().averageCharWidth() * 50);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    mouseHelp_ = new QToolButton(this);
    mouseHelp_->setObjectName(QStringLiteral("MouseHelpButton"));
    mouseHelp_->setText(QStringLiteral("?"));
    mouseHelp_->setFocusPolicy(Qt::NoFocus);
    run_ = new QPushButton(runCaption, this);
    run_->setObjectName(QStringLiteral("RunButton"));
    run_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    cancel_->setAutoDefault(false);
    help_ = new QPushButton(QStringLiteral("Help"), this);
    help_->setObjectName(QStringLiteral("HelpButton"));
    help_->setAutoDefault(false);
    buttons->addWidget(mouseHelp_);
    buttons->addStretch(1);
    for (auto* b : {run_, cancel_, help_})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, &TBulkToolWindow::reject);
    connect(help_, &QPushButton::clicked, this, [this, helpTopic] { ShowHelp(this, helpTopic); });
}

void TBulkToolWindow::showEvent(QShowEvent* event) {
    ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

void TBulkToolWindow::reject() {
    if (running_) {
        cancelWhileRunning();
        return;
    }
    QDialog::reject();
}

void TBulkToolWindow::setStatus(const QString& text) {
    status_->setText(text);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TBulkToolWindow::setProgress(int percent) {
    if (bar_->value() == percent)
        return;
    bar_->setValue(percent);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TBulkToolWindow::beginRun() {
    running_ = true;
    run_->setEnabled(false);
    help_->hide();
    mouseHelp_->hide();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TBulkToolWindow::endRun() {
    QApplication::restoreOverrideCursor();
    running_ = false;
    run_->setEnabled(true);
    help_->show();
    mouseHelp_->show();
}

} // namespace qp::addressbook
