#include "exchange/ui/ascii_import_form.h"

#include "exchange/delimited_import.h"
#include "exchange/field_names.h"
#include "exchange/same_file.h"
#include "exchange/ui/match_window_parts.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qp::exchange {

using ui::qs;

namespace {

constexpr int kImportHelpTopic = 1023;
constexpr int kMatchHelpTopic = 1024;

} // namespace

// ---- match window ------------------------------------------------------------

TAsciiMatchForm::TAsciiMatchForm(const AsciiScan& scan, const std::vector<ImportField>& fields,
                                 const std::vector<AddressLabel>& offered, const QString& fileName,
                                 QWidget* parent)
    : QDialog(parent), fields_(fields), offered_(offered) {
    setWindowTitle("ASCII File Import Match Fields");
    setObjectName("TAsciiMatchForm");

    auto* layout = new QVBoxLayout(this);
    auto* sampleLabel = new QLabel("Sample ASCII Fields", this);
    layout->addWidget(sampleLabel);
    sample_ = new QTableWidget(int(scan.sample.size()), int(fields_.size()), this);
    sample_->setObjectName("sampleGrid");
    sample_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList names;
    for (const auto& f : fields_)
        names << qs(f.name);
    sample_->setHorizontalHeaderLabels(names);
    const QFontMetrics fm(font());
    const int minWidth = fm.horizontalAdvance("Field 12") + 8;
    const int maxWidth = 2 * logicalDpiX();
    for (int c = 0; c < int(fields_.size()); ++c) {
        int w = fm.horizontalAdvance("W") * int(std::min<std::size_t>(fields_[c].longest, 1000));
        sample_->setColumnWidth(c, std::clamp(w, minWidth, std::max(minWidth, maxWidth)));
    }
    for (int r = 0; r < int(scan.sample.size()); ++r)
        for (int c = 0; c < int(fields_.size()) && c < int(scan.sample[r].size()); ++c)
            sample_->setItem(r, c, new QTableWidgetItem(qs(scan.sample[r][c])));
    sampleLabel->setBuddy(sample_);
    layout->addWidget(sample_, 1);

    match_ = addMatchGrid(layout, this, int(offered_.size()), fileName);
    rowField_.assign(offered_.size(), -1);
    for (int r = 0; r < int(offered_.size()); ++r) {
        match_->setItem(r, 0, new QTableWidgetItem(qs(offered_[r].label)));
        for (int f = 0; f < int(fields_.size()); ++f)
            if (!fields_[f].match.empty() &&
                equalsIgnoringCase(fields_[f].match, offered_[r].label))
                rowField_[r] = f;
        showRow(r);
    }
    if (!offered_.empty())
        match_->setCurrentCell(0, 0);
    connect(match_, &QTableWidget::cellDoubleClicked, this, [this] { selectField(); });

    const MatchButtons buttons = addMatchButtons(layout, this, kMatchHelpTopic);
    connect(buttons.select, &QPushButton::clicked, this, [this] { selectField(); });
    connect(buttons.clear, &QPushButton::clicked, this, [this] { clearCurrent(); });
    connect(buttons.clearAll, &QPushButton::clicked, this, [this] { clearAll(); });
    resize(640, 520);
}

void TAsciiMatchForm::showRow(int row) {
    int f = rowField_[row];
    QString text = f >= 0 ? qs(fields_[f].name) : QString();
    if (auto* item = match_->item(row, 1))
        item->setText(text);
    else
        match_->setItem(row, 1, new QTableWidgetItem(text));
}

void TAsciiMatchForm::chooseForRow(int row, int textField) {
    if (row < 0 || row >= int(rowField_.size()))
        return;
    if (textField >= 0)
        for (int r = 0; r < int(rowField_.size()); ++r)
            if (rowField_[r] == textField) {
                rowField_[r] = -1;
                showRow(r);
            }
    rowField_[row] = textField < int(fields_.size()) ? textField : -1;
    showRow(row);
}

void TAsciiMatchForm::selectField() {
    int row = match_->currentRow();
    if (row < 0)
        return;
    QMenu menu(this);
    auto* none = menu.addAction("(none)");
    none->setData(-1);
    for (int f = 0; f < int(fields_.size()); ++f) {
        auto* a = menu.addAction(qs(fields_[f].name));
        a->setData(f);
        a->setCheckable(true);
        a->setChecked(rowField_[row] == f);
    }
    if (auto* chosen = menu.exec(QCursor::pos()))
        chooseForRow(row, chosen->data().toInt());
}

void TAsciiMatchForm::clearCurrent() {
    if (int row = match_->currentRow(); row >= 0)
        chooseForRow(row, -1);
}

void TAsciiMatchForm::clearAll() {
    for (int r = 0; r < int(rowField_.size()); ++r)
        chooseForRow(r, -1);
}

std::vector<ImportField> TAsciiMatchForm::result() const {
    auto fields = fields_;
    for (auto& f : fields)
        f.match.clear();
    for (int r = 0; r < int(rowField_.size()); ++r)
        if (rowField_[r] >= 0)
            fields[rowField_[r]].match = offered_[r].label;
    return fields;
}

// ---- import window -----------------------------------------------------------

TAsciiImportForm::TAsciiImportForm(store::Table& table, QWidget* parent)
    : ImportDialog(table, parent), offered_(defaultImportFields()) {
    setWindowTitle("ASCII File Import");
    setObjectName("TAsciiImportForm");
    auto* layout = new QVBoxLayout(this);
    addFileNameRow(layout, "ASCII File Name");

    // Files from spreadsheets and address books: a first line of names, and
    // a semicolon or tab between fields.
    auto* formatRow = new QHBoxLayout;
    header_ = new QCheckBox("First line holds field &names", this);
    header_->setObjectName("headerBox");
    separator_ = new QComboBox(this);
    separator_->setObjectName("separatorBox");
    separator_->addItem("Comma", ',');
    separator_->addItem("Semicolon", ';');
    separator_->addItem("Tab", '\t');
    auto* separatorLabel = new QLabel("Se&parator", this);
    separatorLabel->setBuddy(separator_);
    formatRow->addWidget(header_);
    formatRow->addStretch();
    formatRow->addWidget(separatorLabel);
    formatRow->addWidget(separator_);
    layout->addLayout(formatRow);
    auto formatChanged = [this] {
        DelimitedFormat f;
        f.header = header_->isChecked();
        f.separator = char(separator_->currentData().toInt());
        setFormat(f);
    };
    connect(header_, &QCheckBox::toggled, this, formatChanged);
    connect(separator_, &QComboBox::activated, this, formatChanged);

    auto* buttons = new QHBoxLayout;
    selectButton_ = new QPushButton("Select ASCII File", this);
    matchButton_ = new QPushButton("Match Fields", this);
    importButton_ = new QPushButton("Import", this);
    buttons->addWidget(selectButton_);
    buttons->addWidget(matchButton_);
    buttons->addWidget(importButton_);
    layout->addLayout(buttons);

    addProgressRows(layout, kImportHelpTopic);

    connect(selectButton_, &QPushButton::clicked, this, [this] { selectFile(); });
    connect(matchButton_, &QPushButton::clicked, this, [this] { openMatch(); });
    connect(importButton_, &QPushButton::clicked, this, [this] { runImport(); });
    setState(State::NoFile);
    selectButton_->setDefault(true);
    resize(460, 180);
}

void TAsciiImportForm::setState(State state) {
    state_ = state;
    bool busy = state == State::Importing || state == State::Rebuilding;
    selectButton_->setEnabled(!busy);
    matchButton_->setEnabled(!busy && state != State::NoFile);
    importButton_->setEnabled(!busy && state == State::Matched);
    header_->setEnabled(!busy && !path_.isEmpty());
    separator_->setEnabled(!busy && !path_.isEmpty());
    showBusy(busy, state == State::Rebuilding);
}

void TAsciiImportForm::selectFile() {
    const QString path = askForFile(
        "Select ASCII File", {"Text files, CSV Files (*.TXT *.CSV *.txt *.csv)", "All files (*)"},
        "*.txt;*.csv", "prn");
    if (!path.isEmpty())
        chooseFile(path);
}

void TAsciiImportForm::chooseFile(const QString& path) {
    if (isTableItself(path.toStdString(), table_.path())) {
        ui::ShowInfo(qs(std::string(kCopyToItselfMessage)), this);
        return;
    }
    path_ = path;
    fileName_->setText(QFileInfo(path).fileName());
    format_ = isImportableFile(path.toStdString()) ? detectDelimitedFormat(path.toStdString())
                                                   : DelimitedFormat{};
    rescan();
}

void TAsciiImportForm::setFormat(const DelimitedFormat& format) {
    format_ = format;
    if (!path_.isEmpty())
        rescan();
}

void TAsciiImportForm::rescan() {
    {
        const QSignalBlocker blockHeader(header_), blockSeparator(separator_);
        header_->setChecked(format_.header);
        separator_->setCurrentIndex(std::max(0, separator_->findData(int(format_.separator))));
    }
    const std::string path = path_.toStdString();
    scan_ = plainCommas() ? scanAsciiFile(path) : scanDelimitedFile(path, format_);
    offered_ = format_.header ? namedImportFields() : defaultImportFields();
    fields_ = scan_.fields;
    if (!scan_.usable) {
        setState(State::NoFile);
        ui::ShowInfo(qs(scan_.message), this);
        return;
    }
    setState(anyMatched(fields_) ? State::Matched : State::FileChosen);
}

void TAsciiImportForm::setMatching(std::vector<ImportField> fields) {
    fields_ = std::move(fields);
    setState(anyMatched(fields_) ? State::Matched : State::FileChosen);
}

void TAsciiImportForm::openMatch() {
    TAsciiMatchForm match(scan_, fields_, offered_, QFileInfo(path_).fileName(), this);
    ui::CenterDialog(match);
    if (match.exec() == QDialog::Accepted)
        setMatching(match.result());
}

void TAsciiImportForm::runImport() {
    if (state_ != State::Matched)
        return;
    setState(State::Importing);
    auto outcome = runPlainRoad(
        [this] { setState(State::Rebuilding); },
        [&](const ImportHooks& hooks) {
            return plainCommas()
                       ? importAsciiRecords(table_, path_.toStdString(), fields_, offered_, hooks)
                       : importDelimitedRecords(table_, path_.toStdString(), format_, fields_,
                                                offered_, hooks);
        });
    if (outcome.kind == ImportOutcome::Kind::Refused) {
        setState(State::Matched);
        return;
    }
    state_ = State::Matched;
    accept();
}

} // namespace qp::exchange
