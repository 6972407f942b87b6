#include "addressbook/ui/bulk_tool_window.h"

#include "addressbook/ui/check_window_parts.h"
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
    bar_ = NewProgressBar(this);
    layout->addWidget(bar_);
    status_ = NewStatusLine(this);
    status_->setMinimumWidth(status_->fontMetrics().averageCharWidth() * 50);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    mouseHelp_ = NewMouseHelpButton(this);
    run_ = new QPushButton(runCaption, this);
    run_->setObjectName(QStringLiteral("RunButton"));
    run_->setDefault(true);
    cancel_ = NewActionButton(QStringLiteral("Cancel"), "CancelButton", this);
    help_ = NewActionButton(QStringLiteral("Help"), "HelpButton", this);
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
