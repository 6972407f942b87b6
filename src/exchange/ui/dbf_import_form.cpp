#include "exchange/ui/dbf_import_form.h"

#include "exchange/ui/match_window_parts.h"
#include "store/ui/common_dialogs.h"

#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qp::exchange {

using ui::qs;

namespace {

constexpr int kImportHelpTopic = 1021;
constexpr int kMatchHelpTopic = 1022;
constexpr int kMemoPreview = 60; // characters of a memo shown in the grid

} // namespace

// ---- source browser ----------------------------------------------------------

SourceTableModel::SourceTableModel(SourceTable& source, QObject* parent)
    : QAbstractTableModel(parent), source_(source) {}

int SourceTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(source_.recordCount());
}

int SourceTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(source_.fields().size());
}

QVariant SourceTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    if (source_.recNo() != std::uint32_t(index.row() + 1) &&
        !source_.go(std::uint32_t(index.row() + 1)))
        return {};
    const auto& f = source_.fields()[std::size_t(index.column())];
    if (!f.isMemo())
        return qs(source_.text(index.column()));
    QString memo = qs(source_.memo(index.column())).simplified();
    return memo.size() > kMemoPreview ? memo.left(kMemoPreview) + QStringLiteral("...") : memo;
}

QVariant SourceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < int(source_.fields().size())
                   ? qs(source_.fields()[std::size_t(section)].name)
                   : QVariant();
    // Records marked deleted show a star; they are not imported.
    if (source_.recNo() != std::uint32_t(section + 1) && !source_.go(std::uint32_t(section + 1)))
        return section + 1;
    return source_.deleted() ? QStringLiteral("*%1").arg(section + 1)
                             : QString::number(section + 1);
}

// ---- match window ------------------------------------------------------------

TDbfMatchForm::TDbfMatchForm(SourceTable& source, const std::vector<DbfMatchField>& fields,
                             const std::vector<AddressLabel>& offered, QWidget* parent)
    : QDialog(parent), fields_(fields), offered_(offered) {
    setWindowTitle("DBF File Import Match Fields");
    setObjectName("TDbfMatchForm");
    auto* layout = new QVBoxLayout(this);
    auto* browserLabel = new QLabel("Import DBF File Browser", this);
    layout->addWidget(browserLabel);
    browser_ = new QTableView(this);
    browser_->setObjectName("browserGrid");
    browser_->setModel(new SourceTableModel(source, browser_));
    browser_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    browser_->verticalHeader()->setDefaultSectionSize(browser_->fontMetrics().height() + 6);
    browserLabel->setBuddy(browser_);
    layout->addWidget(browser_, 1);

    match_ = addMatchGrid(layout, this, int(offered_.size()), qs(source.fileName()));
    for (int r = 0; r < int(offered_.size()); ++r)
        match_->setItem(r, 0, new QTableWidgetItem(qs(offered_[std::size_t(r)].label)));
    showRows();
    if (!offered_.empty())
        match_->setCurrentCell(0, 0);
    connect(match_, &QTableWidget::cellDoubleClicked, this, [this] { selectField(); });

    const MatchButtons buttons = addMatchButtons(layout, this, kMatchHelpTopic);
    connect(buttons.select, &QPushButton::clicked, this, [this] { selectField(); });
    connect(buttons.clear, &QPushButton::clicked, this, [this] { clearCurrent(); });
    connect(buttons.clearAll, &QPushButton::clicked, this, [this] { clearAll(); });
    resize(720, 600);
}

void TDbfMatchForm::showRows() {
    for (int r = 0; r < int(offered_.size()); ++r) {
        QString text;
        for (const auto& f : fields_)
            if (f.match == std::uint32_t(r))
                text = qs(f.name);
        if (auto* item = match_->item(r, 1))
            item->setText(text);
        else
            match_->setItem(r, 1, new QTableWidgetItem(text));
    }
}

std::vector<int> TDbfMatchForm::choicesForRow(int row) const {
    std::vector<int> choices;
    if (row < 0 || row >= int(offered_.size()))
        return choices;
    for (int f = 0; f < int(fields_.size()); ++f)
        if (fitsRow(fields_[std::size_t(f)], offered_[std::size_t(row)]))
            choices.push_back(f);
    return choices;
}

void TDbfMatchForm::chooseForRow(int row, int sourceField) {
    if (row < 0 || row >= int(offered_.size()))
        return;
    if (sourceField < 0) {
        for (auto& f : fields_)
            if (f.match == std::uint32_t(row))
                f.match = kNoMatch;
    } else if (sourceField < int(fields_.size()) &&
               fitsRow(fields_[std::size_t(sourceField)], offered_[std::size_t(row)])) {
        matchDbfField(fields_, std::size_t(sourceField), std::uint32_t(row));
    }
    showRows();
}

void TDbfMatchForm::selectField() {
    const int row = match_->currentRow();
    if (row < 0)
        return;
    QMenu menu(this);
    menu.addAction("(none)")->setData(-1);
    for (int f : choicesForRow(row)) {
        auto* a = menu.addAction(qs(fields_[std::size_t(f)].name));
        a->setData(f);
        a->setCheckable(true);
        a->setChecked(fields_[std::size_t(f)].match == std::uint32_t(row));
    }
    if (auto* chosen = menu.exec(QCursor::pos()))
        chooseForRow(row, chosen->data().toInt());
}

void TDbfMatchForm::clearCurrent() {
    if (int row = match_->currentRow(); row >= 0)
        chooseForRow(row, -1);
}

void TDbfMatchForm::clearAll() {
    for (auto& f : fields_)
        f.match = kNoMatch;
    showRows();
}

// ---- import window -----------------------------------------------------------

TDbfImportForm::TDbfImportForm(store::Table& table, QWidget* parent)
    : ImportDialog(table, parent), offered_(dbfImportFields()) {
    setWindowTitle("DBF File Import");
    setObjectName("TDbfImportForm");
    auto* layout = new QVBoxLayout(this);
    addFileNameRow(layout, "DBF File Name");

    auto* buttons = new QHBoxLayout;
    selectButton_ = new QPushButton("Select DBF File", this);
    matchButton_ = new QPushButton("Match Fields", this);
    importButton_ = new QPushButton("Import", this);
    for (auto* b : {selectButton_, matchButton_, importButton_})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    addProgressRows(layout, kImportHelpTopic);

    connect(selectButton_, &QPushButton::clicked, this, [this] { selectFile(); });
    connect(matchButton_, &QPushButton::clicked, this, [this] { openMatch(); });
    connect(importButton_, &QPushButton::clicked, this, [this] { runImport(); });
    setState(State::NoFile);
    selectButton_->setDefault(true);
    resize(460, 180);
}

TDbfImportForm::~TDbfImportForm() = default;

void TDbfImportForm::setState(State state) {
    state_ = state;
    const bool busy = state == State::Importing || state == State::Rebuilding;
    selectButton_->setEnabled(!busy);
    matchButton_->setEnabled(!busy && state != State::NoFile);
    importButton_->setEnabled(!busy && state == State::Matched);
    showBusy(busy, state == State::Rebuilding);
}

void TDbfImportForm::dropFile() {
    source_.reset();
    fields_.clear();
    confirmed_ = false;
    fileName_->setText("(none)");
    setState(State::NoFile);
}

void TDbfImportForm::selectFile() {
    const QString path = askForFile("Select DBF File", {"DBF Files (*.DBF *.dbf)"}, "*.dbf");
    if (!path.isEmpty())
        chooseFile(path);
}

void TDbfImportForm::chooseFile(const QString& path) {
    dropFile();
    auto source = openImportSource(path.toStdString(), table_.path());
    if (!source) {
        ui::ShowInfo(qs(source.error()), this);
        return;
    }
    source_.emplace(std::move(*source));
    fields_ = sourceMatchFields(*source_);
    fileName_->setText(QFileInfo(path).fileName());
    setState(State::FileChosen);
}

std::vector<DbfMatchField> TDbfImportForm::matchingToShow() const {
    if (confirmed_)
        return fields_;
    auto proposed = fields_;
    proposeMatches(proposed, offered_);
    return proposed;
}

void TDbfImportForm::setMatching(std::vector<DbfMatchField> fields) {
    fields_ = std::move(fields);
    confirmed_ = true;
    setState(anyDbfMatched(fields_) ? State::Matched : State::FileChosen);
}

void TDbfImportForm::openMatch() {
    if (!source_)
        return;
    TDbfMatchForm match(*source_, matchingToShow(), offered_, this);
    ui::CenterDialog(match);
    if (match.exec() == QDialog::Accepted)
        setMatching(match.result());
}

void TDbfImportForm::runImport() {
    if (state_ != State::Matched || !source_)
        return;
    setState(State::Importing);
    auto outcome = runRoad([this] { setState(State::Rebuilding); },
                           [&](const ImportHooks& hooks) {
                               return importDbfRecords(table_, *source_, fields_, offered_, hooks);
                           });
    if (outcome.kind == ImportOutcome::Kind::Refused) {
        setState(State::Matched);
        return;
    }
    source_.reset();
    state_ = State::Matched;
    accept();
}

} // namespace qp::exchange
