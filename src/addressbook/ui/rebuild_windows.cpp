#include "addressbook/ui/rebuild_windows.h"

#include "addressbook/deleted_records.h"
#include "addressbook/rebuild.h"
#include "addressbook/ui/dialog_calls.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::addressbook {

TRebuildWindowBase::TRebuildWindowBase(const QString& title, const QString& caption, int helpTopic,
                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    caption_ = new QLabel(caption, this);
    caption_->setObjectName(QStringLiteral("caption"));
    layout->addWidget(caption_);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(bar_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setMinimumWidth(status_->fontMetrics().averageCharWidth() * 45);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    run_ = new QPushButton(QStringLiteral("Reindex"), this);
    run_->setObjectName(QStringLiteral("btnReindex"));
    run_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    help_ = new QPushButton(QStringLiteral("Help"), this);
    buttons->addStretch(1);
    for (auto* b : {run_, cancel_, help_})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(run_, &QPushButton::clicked, this, &TRebuildWindowBase::run);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(help_, &QPushButton::clicked, this, [this, helpTopic] { ShowHelp(this, helpTopic); });
}

void TRebuildWindowBase::showEvent(QShowEvent* event) {
    ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

void TRebuildWindowBase::setStatus(std::string_view text) {
    status_->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TRebuildWindowBase::setProgress(int percent) {
    if (bar_->value() == percent)
        return;
    bar_->setValue(percent);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TRebuildWindowBase::run() {
    if (running_)
        return;
    running_ = true;
    for (auto* b : {run_, cancel_, help_})
        b->setVisible(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    work();
    QApplication::restoreOverrideCursor();
    accept();
}

TRebuildIndexesForm::TRebuildIndexesForm(store::Table& table, QWidget* parent)
    : TRebuildWindowBase(QStringLiteral("Rebuild Indexes"),
                         QStringLiteral("Rebuild indexes for ") +
                             QFileInfo(QString::fromStdString(table.path())).fileName(),
                         kHelpTopic, parent),
      table_(table) {
    setObjectName(QStringLiteral("rebuildIndexes"));
}

void TRebuildIndexesForm::work() {
    // Deleted records go for good here: ask first, naming how many.
    if (const std::uint32_t deleted = CountDeleted(table_); deleted > 0) {
        QApplication::restoreOverrideCursor();
        const bool go =
            ui::AskYesNoDefaultNo(QString::fromStdString(RemoveDeletedQuestion(deleted)),
                                  QStringLiteral("Rebuild Indexes"), this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (!go)
            return;
    }
    QString account;
    auto st = RebuildAddressIndexes(
        table_, {[this](std::string_view s) { setStatus(s); }, [this](int p) { setProgress(p); },
                 [&account](const std::string& text) { account = QString::fromStdString(text); }});
    if (!account.isEmpty()) {
        QApplication::restoreOverrideCursor();
        ui::ShowInfo(account, this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    if (!st) {
        QApplication::restoreOverrideCursor();
        ui::ShowInfo(QString::fromStdString(st.error()), this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

TRebuildSystemIndexesForm::TRebuildSystemIndexesForm(QWidget* parent)
    : TRebuildWindowBase(QStringLiteral("Rebuild System Indexes"),
                         QStringLiteral("Rebuild the indexes of the system files"), kHelpTopic,
                         parent) {
    setObjectName(QStringLiteral("rebuildSystemIndexes"));
}

void TRebuildSystemIndexesForm::work() {
    (void)RebuildSystemIndexes(
        store::SysdataFolder(),
        {[this](std::string_view s) { setStatus(s); }, [this](int p) { setProgress(p); }, {}});
}

} // namespace qp::addressbook
