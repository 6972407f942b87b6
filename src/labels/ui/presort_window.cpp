#include "labels/ui/presort_window.h"

#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qp::labels {

namespace {
QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
} // namespace

TSortBulkMail::TSortBulkMail(store::Table& table, const store::RecordSelection& selection,
                             std::string outPath, QWidget* parent)
    : QDialog(parent), table_(table), selection_(selection), outPath_(std::move(outPath)) {
    setWindowTitle(qs(kPresortTitle));
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLabel"));
    QFont bold = status_->font();
    bold.setBold(true);
    status_->setFont(bold);
    status_->setMinimumWidth(280);
    status_->setAlignment(Qt::AlignCenter);
    layout->addWidget(status_);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    connect(cancel_, &QPushButton::clicked, this, &TSortBulkMail::reject);
    layout->addWidget(cancel_, 0, Qt::AlignCenter);
}

void TSortBulkMail::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        QTimer::singleShot(0, this, &TSortBulkMail::start);
    }
}

void TSortBulkMail::start() {
    running_ = true;
    PresortHooks hooks;
    hooks.status = [this](std::string_view text) {
        status_->setText(qs(text));
        QApplication::processEvents();
    };
    hooks.cancelRequested = [this] {
        QApplication::processEvents();
        return cancelRequested_;
    };
    hooks.goOnWithUnplaced = [this](std::uint32_t unplaced, std::uint32_t selected) {
        return ui::AskYesNo(qs(unplacedQuestion(unplaced, selected)), windowTitle(), this);
    };
    run_ = runPresort(table_, selection_, outPath_, hooks);
    running_ = false;
    done(run_.outcome == PresortOutcome::Done ? Accepted : Rejected);
}

void TSortBulkMail::reject() {
    if (!running_) {
        if (!started_)
            QDialog::reject();
        return;
    }
    if (ui::AskYesNo(qs(kCancelPresortQuestion), windowTitle(), this))
        cancelRequested_ = true;
}

PresortRun runPresortWindow(store::Table& table, const store::RecordSelection& selection,
                            const std::string& outPath, QWidget* parent) {
    TSortBulkMail window(table, selection, outPath, parent);
    ui::CenterDialog(window);
    window.exec();
    return window.run();
}

} // namespace qp::labels
