#include "exchange/ui/vcard_import_form.h"

#include "exchange/same_file.h"
#include "store/ui/common_dialogs.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::exchange {

using ui::qs;

namespace {

constexpr int kHelpTopic = 1023; // beside the other text imports

} // namespace

TVCardImportForm::TVCardImportForm(store::Table& table, QWidget* parent)
    : ImportDialog(table, parent) {
    setWindowTitle("vCard File Import");
    setObjectName("TVCardImportForm");
    auto* layout = new QVBoxLayout(this);
    addFileNameRow(layout, "vCard File Name");
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

    addProgressRows(layout, kHelpTopic);

    connect(selectButton_, &QPushButton::clicked, this, [this] { selectFile(); });
    connect(importButton_, &QPushButton::clicked, this, [this] { runImport(); });
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
    showBusy(busy, state == State::Rebuilding);
    if (state == State::FileChosen)
        importButton_->setDefault(true);
}

void TVCardImportForm::selectFile() {
    const QString path =
        askForFile("Select vCard File", {"vCard files (*.vcf *.VCF *.vcard)", "All files (*)"});
    if (!path.isEmpty())
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
    setState(State::Importing);
    auto outcome =
        runPlainRoad([this] { setState(State::Rebuilding); },
                     [&](const ImportHooks& hooks) {
                         return importVCards(table_, path_.toStdString(), options(), hooks);
                     });
    if (outcome.kind == ImportOutcome::Kind::Refused) {
        setState(State::NoFile);
        return;
    }
    state_ = State::FileChosen;
    accept();
}

} // namespace qp::exchange
