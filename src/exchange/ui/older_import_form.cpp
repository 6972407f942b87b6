#include "exchange/ui/older_import_form.h"

#include "exchange/ui/import_road.h"
#include "store/ui/common_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::exchange {

using ui::qs;

namespace {
constexpr int kHelpTopic = 1092;
} // namespace

TImportOlder::TImportOlder(store::Table& table, OlderVersion version, QWidget* parent)
    : QDialog(parent), table_(table), version_(version) {
    setWindowTitle("Import Quillpost " + qs(std::string(versionName(version))) + " DBF");
    setObjectName("TImportOlder");
    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel("DBF File Name", this));
    fileName_ = new QLabel("(none)", this);
    fileName_->setObjectName("fileName");
    fileName_->setFrameShape(QFrame::StyledPanel);
    nameRow->addWidget(fileName_, 1);
    layout->addLayout(nameRow);

    auto* buttons = new QHBoxLayout;
    selectButton_ = new QPushButton("Select DBF File", this);
    importButton_ = new QPushButton("Import", this);
    buttons->addWidget(selectButton_);
    buttons->addWidget(importButton_);
    layout->addLayout(buttons);

    status_ = new QLabel(this);
    status_->setObjectName("statusLine");
    layout->addWidget(status_);
    gauge_ = new QProgressBar(this);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    layout->addWidget(gauge_);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    cancelButton_ = new QPushButton("Cancel", this);
    helpButton_ = new QPushButton(tr("&Help"), this);
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
    resize(460, 170);
}

TImportOlder::~TImportOlder() = default;

void TImportOlder::setState(State state) {
    state_ = state;
    const bool busy = state == State::Importing || state == State::Rebuilding;
    selectButton_->setEnabled(!busy);
    importButton_->setEnabled(state == State::FileChosen);
    helpButton_->setEnabled(!busy);
    cancelButton_->setVisible(state != State::Rebuilding);
    status_->setVisible(busy);
}

void TImportOlder::selectFile() {
    const QString folder = QDir::currentPath();
    QFileDialog dialog(this, "Select DBF File");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({"DBF Files (*.dbf *.DBF)"});
    dialog.selectFile("*.dbf");
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    const QString path = chosen ? dialog.selectedFiles().first() : QString();
    QDir::setCurrent(folder);
    if (chosen)
        chooseFile(path);
}

void TImportOlder::chooseFile(const QString& path) {
    source_.reset();
    fileName_->setText("(none)");
    setState(State::NoFile);
    auto source = openOlderSource(path.toStdString(), table_.path(), version_);
    if (!source) {
        ui::ShowInfo(qs(source.error()), this);
        return;
    }
    source_.emplace(std::move(*source));
    fileName_->setText(QFileInfo(path).fileName());
    setState(State::FileChosen);
}

void TImportOlder::runImport() {
    if (state_ != State::FileChosen || !source_)
        return;
    cancelRequested_ = false;
    setState(State::Importing);
    ImportRoad road;
    road.window = this;
    road.status = status_;
    road.gauge = gauge_;
    road.cancelRequested = &cancelRequested_;
    road.rebuilding = [this] { setState(State::Rebuilding); };
    auto outcome = runImportRoad(road, table_, [&](const ImportHooks& hooks) {
        return importOlderRecords(table_, *source_, version_, hooks);
    });
    imported_ = outcome.imported;
    if (outcome.kind == ImportOutcome::Kind::Refused) {
        setState(State::FileChosen);
        return;
    }
    source_.reset();
    state_ = State::FileChosen;
    accept();
}

void TImportOlder::reject() {
    if (state_ == State::Importing) {
        cancelRequested_ = true;
        return;
    }
    if (state_ == State::Rebuilding)
        return;
    QDialog::reject();
}

} // namespace qp::exchange
