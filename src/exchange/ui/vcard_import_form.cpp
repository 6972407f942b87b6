#include "exchange/ui/vcard_import_form.h"
#include "exchange/ui/import_road.h"

#include "exchange/same_file.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::exchange {

using ui::qs;

namespace {

constexpr int kHelpTopic = 1023; // beside the other text imports

} // namespace

TVCardImportForm::TVCardImportForm(store::Table& table, QWidget* parent)
    : QDialog(parent), table_(table) {
    setWindowTitle("vCard File Import");
    setObjectName("TVCardImportForm");
    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel("vCard File Name", this));
    fileName_ = new QLabel("(none)", this);
    fileName_->setObjectName("fileName");
    fileName_->setFrameShape(QFrame::StyledPanel);
    nameRow->addWidget(fileName_, 1);
    layout->addLayout(nameRow);
    count_ = new QLabel(this);
    count_->setObjectName("cardCount");
    layout->addWidget(count_);

    auto* choices = new QFormLayout;
    address_ = new QComboBox(this);
    address_->setObjectName("addressBox");
    address_->addItem("The preferred address", int(CardAddress::Preferred));
    address_->addItem("The work address", int(CardAddress::Work));
    address_->addItem("The home address", int(CardAddress::Home));
    date_ = new QComboBox(this);
    date_->setObjectName("dateBox");
    date_->addItem("Nothing", int(CardDate::None));
    date_->addItem("The birthday", int(CardDate::Birthday));
    date_->addItem("The anniversary", int(CardDate::Anniversary));
    choices->addRow("&Address to import", address_);
    choices->addRow("Actual &Date from", date_);
    layout->addLayout(choices);

    auto* buttons = new QHBoxLayout;
    selectButton_ = new QPushButton("&Select vCard File", this);
    importButton_ = new QPushButton("&Import", this);
    buttons->addWidget(selectButton_);
    buttons->addWidget(importButton_);
    layout->addLayout(buttons);

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
    helpButton_ = new QPushButton("&Help", this);
    setProperty("helpTopic", kHelpTopic);
    helpButton_->setProperty("helpTopic", kHelpTopic);
    bottom->addWidget(cancelButton_);
    bottom->addWidget(helpButton_);
    layout->addLayout(bottom);

    connect(selectButton_, &QPushButton::clicked, this, [this] { selectFile(); });
    connect(importButton_, &QPushButton::clicked, this, [this] { runImport(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { reject(); });
    setState(State::NoFile);
    selectButton_->setDefault(true);
    resize(460, 240);
}

void TVCardImportForm::setState(State state) {
    state_ = state;
    const bool busy = state == State::Importing || state == State::Rebuilding;
    selectButton_->setEnabled(!busy);
    importButton_->setEnabled(state == State::FileChosen);
    address_->setEnabled(!busy);
    date_->setEnabled(!busy);
    helpButton_->setEnabled(!busy);
    cancelButton_->setVisible(state != State::Rebuilding);
    status_->setVisible(busy);
    if (state == State::FileChosen)
        importButton_->setDefault(true);
}

void TVCardImportForm::selectFile() {
    const QString folder = QDir::currentPath();
    QFileDialog dialog(this, "Select vCard File");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({"vCard files (*.vcf *.VCF *.vcard)", "All files (*)"});
    bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    QString path = chosen ? dialog.selectedFiles().first() : QString();
    QDir::setCurrent(folder);
    if (chosen)
        chooseFile(path);
}

void TVCardImportForm::chooseFile(const QString& path) {
    if (isTableItself(path.toStdString(), table_.path())) {
        ui::ShowInfo(qs(std::string(kCopyToItselfMessage)), this);
        return;
    }
    auto scan = scanVCardFile(path.toStdString());
    if (!scan.usable) {
        path_.clear();
        fileName_->setText("(none)");
        count_->clear();
        setState(State::NoFile);
        ui::ShowInfo(qs(scan.message), this);
        return;
    }
    path_ = path;
    fileName_->setText(QFileInfo(path).fileName());
    count_->setText(scan.cards == 1 ? QString("1 card")
                                    : QString("%1 cards").arg(qulonglong(scan.cards)));
    setState(State::FileChosen);
}

VCardOptions TVCardImportForm::options() const {
    VCardOptions o;
    o.address = CardAddress(address_->currentData().toInt());
    o.date = CardDate(date_->currentData().toInt());
    return o;
}

void TVCardImportForm::runImport() {
    if (state_ != State::FileChosen)
        return;
    cancelRequested_ = false;
    setState(State::Importing);
    ImportRoad road;
    road.window = this;
    road.status = status_;
    road.gauge = gauge_;
    road.cancelRequested = &cancelRequested_;
    road.rebuilding = [this] { setState(State::Rebuilding); };
    auto outcome = runPlainImportRoad(road, table_, [&](const ImportHooks& hooks) {
        return importVCards(table_, path_.toStdString(), options(), hooks);
    });
    imported_ = outcome.imported;
    if (outcome.kind == ImportOutcome::Kind::Refused) {
        setState(State::NoFile);
        return;
    }
    state_ = State::FileChosen;
    accept();
}

void TVCardImportForm::reject() {
    if (state_ == State::Importing) {
        cancelRequested_ = true;
        return;
    }
    if (state_ == State::Rebuilding)
        return;
    QDialog::reject();
}

} // namespace qp::exchange
