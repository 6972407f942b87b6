#include "addressbook/ui/check_duplicates_window.h"

#include "addressbook/ui/check_window_parts.h"
#include "addressbook/ui/dialog_calls.h"
#include "addressbook/ui/record_grid.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::addressbook {

TCheckDuplicatesWindow::TCheckDuplicatesWindow(store::Table& table, std::string tagId,
                                               std::filesystem::path scratchPath, QWidget* parent)
    : QDialog(parent), table_(table), tagId_(std::move(tagId)),
      scratchPath_(std::move(scratchPath)) {
    setObjectName(QStringLiteral("TCheckDuplicatesWindow"));
    setWindowTitle(QStringLiteral("Check and Repair Duplicates"));
    auto* layout = new QVBoxLayout(this);
    pages_ = new QStackedWidget(this);
    layout->addWidget(pages_, 1);

    // Setup page.
    auto* setup = new QWidget(pages_);
    setup->setObjectName(QStringLiteral("SetupPage"));
    auto* sl = new QVBoxLayout(setup);
    auto* heading = new QLabel(QStringLiteral("Duplicate Record Check Setup"), setup);
    heading->setObjectName(QStringLiteral("lblSetup"));
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    sl->addWidget(heading);
    auto* what = new QGroupBox(QStringLiteral("What to check:"), setup);
    what->setObjectName(QStringLiteral("gbWhat"));
    auto* wl = new QVBoxLayout(what);
    byName_ = new QRadioButton(QStringLiteral("&Last + First"), what);
    byName_->setObjectName(QStringLiteral("rbName"));
    byInitial_ = new QRadioButton(QStringLiteral("Last + &First Initial"), what);
    byInitial_->setObjectName(QStringLiteral("rbInitial"));
    byStreet_ = new QRadioButton(QStringLiteral("&Street Address"), what);
    byStreet_->setObjectName(QStringLiteral("rbStreet"));
    byName_->setChecked(true);
    for (auto* b : {byName_, byInitial_, byStreet_})
        wl->addWidget(b);
    auto* charsRow = new QHBoxLayout;
    streetCharsLabel_ =
        new QLabel(QStringLiteral("Check how many characters of street address (max 30)"), what);
    streetCharsLabel_->setObjectName(QStringLiteral("lblStreetChars"));
    streetChars_ = new QSpinBox(what);
    streetChars_->setObjectName(QStringLiteral("spStreetChars"));
    streetChars_->setRange(1, kMaxStreetChars);
    streetChars_->setValue(kMaxStreetChars);
    streetCharsLabel_->setBuddy(streetChars_);
    charsRow->addWidget(streetCharsLabel_);
    charsRow->addWidget(streetChars_);
    charsRow->addStretch(1);
    wl->addLayout(charsRow);
    suffixes_ =
        new QCheckBox(QStringLiteral("Treat street suffixes alike (STREET = ST, NORTH = N)"), what);
    suffixes_->setObjectName(QStringLiteral("chkSuffixes"));
    wl->addWidget(suffixes_);
    sl->addWidget(what);
    perform_ = NewActionButton(QStringLiteral("&Perform Duplicate Check Now"), "btnPerform", setup);
    perform_->setDefault(true);
    sl->addWidget(perform_, 0, Qt::AlignLeft);
    sl->addStretch(1);
    pages_->addWidget(setup);

    // Result page.
    resultPage_ = new QWidget(pages_);
    resultPage_->setObjectName(QStringLiteral("ResultPage"));
    auto* rl = new QVBoxLayout(resultPage_);
    auto* click = new QLabel(QStringLiteral("Click on field to begin editing"), resultPage_);
    click->setObjectName(QStringLiteral("lblClick"));
    rl->addWidget(click);
    grid_ = new TRecordGrid(table_, AddressCheckColumns(false), tagId_, QStringLiteral("dup"),
                            resultPage_);
    rl->addWidget(grid_, 1);
    auto* actions = new QHBoxLayout;
    auto* del = NewActionButton(QStringLiteral("&Delete"), "btnDelete", resultPage_);
    auto* save = NewActionButton(QStringLiteral("S&ave"), "btnSave", resultPage_);
    auto* undo = NewActionButton(QStringLiteral("&Undo"), "btnUndo", resultPage_);
    auto* tag = NewActionButton(QStringLiteral("&Tag"), "btnTag", resultPage_);
    auto* tagAll = NewActionButton(QStringLiteral("Tag &All"), "btnTagAll", resultPage_);
    for (auto* b : {del, save, undo, tag, tagAll})
        actions->addWidget(b);
    actions->addStretch(1);
    rl->addLayout(actions);
    pages_->addWidget(resultPage_);
    connect(del, &QPushButton::clicked, this, &TCheckDuplicatesWindow::DeleteRecord);
    connect(save, &QPushButton::clicked, this, &TCheckDuplicatesWindow::Save);
    connect(undo, &QPushButton::clicked, this, &TCheckDuplicatesWindow::Undo);
    connect(tag, &QPushButton::clicked, this, &TCheckDuplicatesWindow::Tag);
    connect(tagAll, &QPushButton::clicked, this, &TCheckDuplicatesWindow::TagAll);

    bar_ = NewProgressBar(this);
    layout->addWidget(bar_);
    status_ = NewStatusLine(this);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    mouseHelp_ = NewMouseHelpButton(this);
    cancel_ = NewActionButton(QStringLiteral("Cancel"), "CancelButton", this);
    ok_ = NewActionButton(QStringLiteral("Ok"), "OkButton", this);
    help_ = NewActionButton(QStringLiteral("Help"), "HelpButton", this);
    buttons->addWidget(mouseHelp_);
    buttons->addStretch(1);
    for (auto* b : {cancel_, ok_, help_})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, &TCheckDuplicatesWindow::reject);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(help_, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpTopic); });
    connect(perform_, &QPushButton::clicked, this, &TCheckDuplicatesWindow::PerformCheck);
    for (auto* b : {byName_, byInitial_, byStreet_})
        connect(b, &QRadioButton::toggled, this, [this] { checkChanged(); });
    checkChanged();
    resize(760, 420);
    ui::CenterDialog(*this);
}

TCheckDuplicatesWindow::~TCheckDuplicatesWindow() {
    scratch_.close();
}

DuplicateOptions TCheckDuplicatesWindow::options() const {
    DuplicateOptions o;
    o.check = byStreet_->isChecked()    ? DuplicateCheck::Street
              : byInitial_->isChecked() ? DuplicateCheck::Initial
                                        : DuplicateCheck::Name;
    o.streetChars = streetChars_->value();
    o.suffixesAlike = o.check == DuplicateCheck::Street && suffixes_->isChecked();
    return o;
}

QRadioButton* TCheckDuplicatesWindow::checkButton(DuplicateCheck check) const {
    return check == DuplicateCheck::Street    ? byStreet_
           : check == DuplicateCheck::Initial ? byInitial_
                                              : byName_;
}

bool TCheckDuplicatesWindow::onResultPage() const {
    return pages_->currentWidget() == resultPage_;
}

void TCheckDuplicatesWindow::checkChanged() {
    const bool street = byStreet_->isChecked();
    streetCharsLabel_->setVisible(street);
    streetChars_->setVisible(street);
    suffixes_->setVisible(street);
}

void TCheckDuplicatesWindow::setRunning(bool running) {
    running_ = running;
    cancel_->setVisible(running);
    ok_->setVisible(!running);
    help_->setVisible(!running);
    mouseHelp_->setVisible(!running);
    perform_->setEnabled(!running);
}

void TCheckDuplicatesWindow::PerformCheck() {
    if (running_)
        return;
    const DuplicateOptions o = options();
    setRunning(true);
    cancelRequested_ = false;
    const CheckOutcome outcome =
        RunDuplicateCheck(table_, o, scratch_, scratchPath_,
                          ShowCheckProgress(bar_, status_, cancelRequested_, DuplicateFoundText));
    setRunning(false);
    bar_->setValue(0);
    found_ = outcome.found;
    status_->setText(ui::qs(DuplicateFoundText(found_)));
    if (!outcome.error.empty()) {
        scratch_.close();
        ui::ShowInfo(ui::qs(outcome.error), this);
        return;
    }
    if (found_ == 0) {
        scratch_.close();
        return;
    }
    const bool street = o.check == DuplicateCheck::Street;
    auto* old = grid_;
    grid_ = new TRecordGrid(table_, AddressCheckColumns(street), tagId_, QStringLiteral("dup"),
                            resultPage_);
    static_cast<QVBoxLayout*>(resultPage_->layout())->replaceWidget(old, grid_);
    old->deleteLater();
    old->hide();
    connect(grid_, &TRecordGrid::failed, this, [](const QString&) {});
    grid_->reload();
    grid_->First();
    pages_->setCurrentWidget(resultPage_);
    grid_->view()->setFocus();
}

void TCheckDuplicatesWindow::DeleteRecord() {
    if (!ui::AskYesNo(QStringLiteral("Delete this record?"), QStringLiteral("DELETE"), this))
        return;
    grid_->DeleteCurrent(true);
}

void TCheckDuplicatesWindow::Save() {
    grid_->Save();
}

void TCheckDuplicatesWindow::Undo() {
    grid_->Undo();
}

void TCheckDuplicatesWindow::Tag() {
    grid_->ToggleTagOfCurrent();
}

void TCheckDuplicatesWindow::TagAll() {
    TagAllFound(*grid_, table_, tagId_, QStringLiteral("Tag all possible duplicates?"), this);
}

void TCheckDuplicatesWindow::reject() {
    if (running_) {
        if (ui::AskYesNo(QStringLiteral("Cancel operation?"), QStringLiteral("CANCEL"), this))
            cancelRequested_ = true;
        return;
    }
    QDialog::reject();
}

void TCheckDuplicatesWindow::done(int result) {
    if (running_)
        return;
    if (grid_)
        grid_->Save();
    scratch_.close();
    QDialog::done(result);
}

} // namespace qp::addressbook
