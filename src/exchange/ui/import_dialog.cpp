#include "exchange/ui/import_dialog.h"

#include <QDir>
#include <QFileDialog>
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

QString ImportDialog::askForFile(const QString& title, const QStringList& filters,
                                 const QString& pattern, const QString& suffix) {
    const QString folder = QDir::currentPath();
    QFileDialog dialog(this, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(filters);
    if (!suffix.isEmpty())
        dialog.setDefaultSuffix(suffix);
    if (!pattern.isEmpty())
        dialog.selectFile(pattern);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    const QString path = chosen ? dialog.selectedFiles().first() : QString();
    QDir::setCurrent(folder);
    return path;
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
    imported_ = outcome.imported;
    return outcome;
}

ImportOutcome
ImportDialog::runPlainRoad(const std::function<void()>& rebuilding,
                           const std::function<ImportOutcome(const ImportHooks&)>& importRecords) {
    auto outcome = runPlainImportRoad(road(rebuilding), table_, importRecords);
    phase_ = Phase::Idle;
    imported_ = outcome.imported;
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
