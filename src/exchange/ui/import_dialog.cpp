#include "exchange/ui/import_dialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::exchange {

ImportDialog::ImportDialog(store::Table& table, QWidget* parent) : QDialog(parent), table_(table) {}

void ImportDialog::addFileNameRow(QVBoxLayout* layout, const QString& caption) {
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(caption, this));
    fileName_ = new QLabel("(none)", this);
    fileName_->setObjectName("fileName");
    fileName_->setFrameShape(QFrame::StyledPanel);
    nameRow->addWidget(fileName_, 1);
    layout->addLayout(nameRow);
}

void ImportDialog::addProgressRows(QVBoxLayout* layout, int helpTopic) {
    status_ = new QLabel(this);
    status_->setObjectName("statusLine");
    status_->hide();
    layout->addWidget(status_);
    gauge_ = new QProgressBar(this);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    layout->addWidget(gauge_);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    cancelButton_ = new QPushButton("Cancel", this);
    helpButton_ = new QPushButton(tr("&Help"), this);
    // The help viewer reads the topic from the window.
    setProperty("helpTopic", helpTopic);
    helpButton_->setProperty("helpTopic", helpTopic);
    bottom->addWidget(cancelButton_);
    bottom->addWidget(helpButton_);
    layout->addLayout(bottom);
    connect(cancelButton_, &QPushButton::clicked, this, [this] { reject(); });
}

void ImportDialog::showBusy(bool busy, bool rebuilding) {
    helpButton_->setEnabled(!busy);
    cancelButton_->setVisible(!rebuilding);
    status_->setVisible(busy);
}

ImportRoad ImportDialog::road(const std::function<void()>& rebuilding) {
    cancelRequested_ = false;
    phase_ = Phase::Importing;
    ImportRoad road;
    road.window = this;
    road.status = status_;
    road.gauge = gauge_;
    road.cancelRequested = &cancelRequested_;
    road.rebuilding = [this, rebuilding] {
        phase_ = Phase::Rebuilding;
        rebuilding();
    };
    return road;
}

DbfImportOutcome
ImportDialog::runRoad(const std::function<void()>& rebuilding,
                      const std::function<DbfImportOutcome(const ImportHooks&)>& importRecords) {
    auto outcome = runImportRoad(road(rebuilding), table_, importRecords);
    phase_ = Phase::Idle;
    return outcome;
}

ImportOutcome
ImportDialog::runPlainRoad(const std::function<void()>& rebuilding,
                           const std::function<ImportOutcome(const ImportHooks&)>& importRecords) {
    auto outcome = runPlainImportRoad(road(rebuilding), table_, importRecords);
    phase_ = Phase::Idle;
    return outcome;
}

void ImportDialog::reject() {
    if (phase_ == Phase::Importing) {
        cancelRequested_ = true;
        return;
    }
    if (phase_ == Phase::Rebuilding)
        return;
    QDialog::reject();
}

} // namespace qp::exchange
