#include "addressbook/ui/tagging_window.h"

#include "addressbook/tagging.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qp::addressbook {

TTaggingWindow::TTaggingWindow(store::Table& table, std::string tagId, QWidget* parent)
    : QDialog(parent), table_(table), tagId_(std::move(tagId)) {
    setObjectName(QStringLiteral("TTaggingWindow"));
    setWindowTitle(QStringLiteral("Tagging"));
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(QStringLiteral("Tagging Records"), this);
    status_->setObjectName(QStringLiteral("lblStatus"));
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("lblCount"));
    layout->addWidget(status_);
    layout->addWidget(count_);
    auto* buttons = new QHBoxLayout;
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("btnCancel"));
    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(QStringLiteral("btnOk"));
    ok_->hide();
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    buttons->addWidget(ok_);
    layout->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (ui::AskYesNo(QStringLiteral("Cancel Tagging?"), QStringLiteral("CANCEL"), this))
            cancelRequested_ = true;
    });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(260);
    ui::CenterDialog(*this);
}

void TTaggingWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        QTimer::singleShot(0, this, &TTaggingWindow::run);
    }
}

void TTaggingWindow::run() {
    started_ = true;
    auto outcome = TagAllMatches(table_, tagId_, [this](std::uint32_t n) {
        count_->setText(QString::number(n) + QStringLiteral(" tagged"));
        QApplication::processEvents();
        return !cancelRequested_;
    });
    tagged_ = outcome.tagged;
    cancelled_ = outcome.cancelled;
    if (!outcome.error.empty())
        ui::ShowInfo(ui::qs(outcome.error), this);
    status_->setText(cancelled_ ? QStringLiteral("Cancelled before completion")
                                : QStringLiteral("Complete"));
    cancel_->hide();
    ok_->show();
    ok_->setDefault(true);
    ok_->setFocus();
}

QString TTaggingWindow::statusText() const {
    return status_->text();
}

QString TTaggingWindow::countText() const {
    return count_->text();
}

} // namespace qp::addressbook
