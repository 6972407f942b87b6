#include "exchange/ui/older_import_form.h"

#include "store/ui/common_dialogs.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::exchange {

using ui::qs;

namespace {
constexpr int kHelpTopic = 1092;
} // namespace

TImportOlder::TImportOlder(store::Table& table, OlderVersion version, QWidget* parent)
    : ImportDialog(table, parent), version_(version) {
    setWindowTitle("Import Quillpost " + qs(std::string(versionName(version))) + " DBF");
    setObjectName("TImportOlder");
    auto* layout = new QVBoxLayout(this);
    addFileNameRow(layout, "DBF File Name");

    auto* buttons = new QHBoxLayout;
    selectButton_ = new QPushButton("Select DBF File", this);
    importButton_ = new QPushButton("Import", this);
    buttons->addWidget(selectButton_);
    buttons->addWidget(importButton_);
    layout->addLayout(buttons);

    addProgressRows(layout, kHelpTopic);

    connect(selectButton_, &QPushButton::clicked, this, [this] { selectFile(); });
    connect(importButton_, &QPushButton::clicked, this, [this] { runImport(); });
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
    showBusy(busy, state == State::Rebuilding);
}

void TImportOlder::selectFile() {
    const QString path = askForFile("Select DBF File", {"DBF Files (*.dbf *.DBF)"}, "*.dbf");
    if (!path.isEmpty())
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
    setState(State::Importing);
    auto outcome = runRoad([this] { setState(State::Rebuilding); },
                           [&](const ImportHooks& hooks) {
                               return importOlderRecords(table_, *source_, version_, hooks);
                           });
    if (outcome.kind == ImportOutcome::Kind::Refused) {
        setState(State::FileChosen);
        return;
    }
    source_.reset();
    state_ = State::FileChosen;
    accept();
}

} // namespace qp::exchange
