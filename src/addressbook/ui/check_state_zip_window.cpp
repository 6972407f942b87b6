#include "addressbook/ui/check_state_zip_window.h"

#include "addressbook/ui/check_window_parts.h"
#include "addressbook/ui/dialog_calls.h"
#include "addressbook/ui/record_grid.h"
#include "store/shared_routines.h"
#include "store/system_tables.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::addressbook {

namespace {

QLabel* label(const QString& text, const char* name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    return l;
}

std::vector<GridColumn> stateZipColumns() {
    const std::vector<GridColumn> columns = AddressCheckColumns(false);
    // State and ZIP right after the name: what the user came to correct.
    std::vector<GridColumn> ordered;
    for (const char* first : {"LNAME", "FNAME", "STATE", "ZIP"})
        for (const auto& c : columns)
            if (c.field == first)
                ordered.push_back(c);
    for (const auto& c : columns)
        if (c.field != "LNAME" && c.field != "FNAME" && c.field != "STATE" && c.field != "ZIP")
            ordered.push_back(c);
    return ordered;
}

} // namespace

TCheckStateZipWindow::TCheckStateZipWindow(store::Table& table, std::string tagId, QWidget* parent)
    : QDialog(parent), table_(table), tagId_(std::move(tagId)) {
    setObjectName(QStringLiteral("TCheckStateZipWindow"));
    setWindowTitle(QStringLiteral("Check State and Zip  Codes"));
    auto* layout = new QVBoxLayout(this);
    pages_ = new QStackedWidget(this);
    layout->addWidget(pages_, 1);

    setupPage_ = new QWidget(pages_);
    setupPage_->setObjectName(QStringLiteral("SetupPage"));
    auto* sl = new QVBoxLayout(setupPage_);
    auto* heading =
        label(QStringLiteral("Check For State/Province  && Zipcode/Postal Code Anomolies")
                  .replace(QStringLiteral("&&"), QStringLiteral("&")),
              "lblHeading", setupPage_);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    sl->addWidget(heading);
    sl->addWidget(label(
        QStringLiteral("A check will be performed by comparing the records in the file against "
                       "the State/Province file, which contains a list of State/Zip "
                       "Province/Postcode combinations. This file may be edited or added to by "
                       "clicking the 'Edit State/Province File' button below."),
        "lblExplanation", setupPage_));
    includeBlank_ = new QCheckBox(
        QStringLiteral("Include records with blank State/Province or Zip/Postcode entries?"),
        setupPage_);
    includeBlank_->setObjectName(QStringLiteral("chkIncludeBlank"));
    sl->addWidget(includeBlank_);
    perform_ = NewActionButton(QStringLiteral("Perform Check Now"), "btnPerform", setupPage_);
    perform_->setDefault(true);
    sl->addWidget(perform_, 0, Qt::AlignLeft);
    sl->addStretch(1);
    pages_->addWidget(setupPage_);

    resultPage_ = new QWidget(pages_);
    resultPage_->setObjectName(QStringLiteral("ResultPage"));
    auto* rl = new QVBoxLayout(resultPage_);
    rl->addWidget(label(QStringLiteral("These records have questionable state/zip or "
                                       "province/postcode combinations. You may edit the "
                                       "contents to make changes. When you are done, press the "
                                       "Close button."),
                        "lblResult", resultPage_));
    rl->addWidget(
        label(QStringLiteral("Click on field to begin editing"), "lblClick", resultPage_));
    grid_ = new TRecordGrid(table_, stateZipColumns(), tagId_, QStringLiteral("csz"), resultPage_);
    rl->addWidget(grid_, 1);
    auto* ra = new QHBoxLayout;
    const std::pair<QPushButton*, void (TCheckStateZipWindow::*)()> resultButtons[] = {
        {NewActionButton(QStringLiteral("&Edit"), "btnEdit", resultPage_),
         &TCheckStateZipWindow::EditRecord},
        {NewActionButton(QStringLiteral("&Save"), "btnSave", resultPage_),
         &TCheckStateZipWindow::SaveRecord},
        {NewActionButton(QStringLiteral("&Cancel"), "btnCancelEdit", resultPage_),
         &TCheckStateZipWindow::CancelRecord},
        {NewActionButton(QStringLiteral("&Tag"), "btnTag", resultPage_),
         &TCheckStateZipWindow::Tag},
        {NewActionButton(QStringLiteral("Tag &All"), "btnTagAll", resultPage_),
         &TCheckStateZipWindow::TagAll},
    };
    for (const auto& [b, slot] : resultButtons) {
        ra->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
    }
    ra->addStretch(1);
    rl->addLayout(ra);
    pages_->addWidget(resultPage_);

    statesPage_ = new QWidget(pages_);
    statesPage_->setObjectName(QStringLiteral("StatesPage"));
    auto* el = new QVBoxLayout(statesPage_);
    el->addWidget(label(QStringLiteral("Make changes to the State/Province file to best reflect "
                                       "your country"),
                        "lblStates", statesPage_));
    el->addWidget(
        label(QStringLiteral("Click on field to begin editing"), "lblStatesClick", statesPage_));
    auto* ea = new QHBoxLayout;
    const std::pair<QPushButton*, void (TCheckStateZipWindow::*)()> stateButtons[] = {
        {NewActionButton(QStringLiteral("Delete"), "btnStateDelete", statesPage_),
         &TCheckStateZipWindow::DeleteState},
        {NewActionButton(QStringLiteral("Save"), "btnStateSave", statesPage_),
         &TCheckStateZipWindow::SaveState},
        {NewActionButton(QStringLiteral("Undo"), "btnStateUndo", statesPage_),
         &TCheckStateZipWindow::UndoState},
        {NewActionButton(QStringLiteral("Add"), "btnStateAdd", statesPage_),
         &TCheckStateZipWindow::AddState},
    };
    for (const auto& [b, slot] : stateButtons) {
        ea->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
    }
    ea->addStretch(1);
    el->addLayout(ea);
    pages_->addWidget(statesPage_);

    bar_ = NewProgressBar(this);
    layout->addWidget(bar_);
    status_ = NewStatusLine(this);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    mouseHelp_ = NewMouseHelpButton(this);
    editStates_ =
        NewActionButton(QStringLiteral("Edit State/Province File"), "btnEditStates", this);
    cancel_ = NewActionButton(QStringLiteral("Cancel"), "CancelButton", this);
    close_ = NewActionButton(QStringLiteral("Close"), "CloseButton", this);
    help_ = NewActionButton(QStringLiteral("Help"), "HelpButton", this);
    buttons->addWidget(mouseHelp_);
    buttons->addWidget(editStates_);
    buttons->addStretch(1);
    for (auto* b : {cancel_, close_, help_})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(perform_, &QPushButton::clicked, this, &TCheckStateZipWindow::PerformCheck);
    connect(editStates_, &QPushButton::clicked, this, &TCheckStateZipWindow::ToggleStateEditor);
    connect(cancel_, &QPushButton::clicked, this, &TCheckStateZipWindow::reject);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    connect(help_, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpTopic); });
    resize(760, 420);
    ui::CenterDialog(*this);
}

TCheckStateZipWindow::~TCheckStateZipWindow() {
    scratch_.close();
}

bool TCheckStateZipWindow::onResultPage() const {
    return pages_->currentWidget() == resultPage_;
}

void TCheckStateZipWindow::setRunning(bool running) {
    running_ = running;
    close_->setVisible(!running);
    help_->setVisible(!running);
    mouseHelp_->setVisible(!running);
    editStates_->setEnabled(!running);
    perform_->setEnabled(!running);
}

void TCheckStateZipWindow::PerformCheck() {
    if (running_ || editingStates())
        return;
    auto csz =
        store::openSystemTable(store::SysdataFolder().string(), store::SystemTable::StateZip);
    if (!csz) {
        ui::ShowInfo(ui::qs(csz.error()), this);
        return;
    }
    setRunning(true);
    cancelRequested_ = false;
    const CheckOutcome outcome = RunStateZipCheck(
        table_, *csz, includeBlank_->isChecked(), scratch_, StateZipScratchPath(table_.path()),
        ShowCheckProgress(bar_, status_, cancelRequested_, StateZipFoundText));
    setRunning(false);
    bar_->setValue(0);
    found_ = outcome.found;
    status_->setText(ui::qs(StateZipFoundText(found_)));
    if (!outcome.error.empty()) {
        scratch_.close();
        ui::ShowInfo(ui::qs(outcome.error), this);
        return;
    }
    grid_->reload();
    grid_->First();
    pages_->setCurrentWidget(resultPage_);
    grid_->view()->setFocus();
}

void TCheckStateZipWindow::ToggleStateEditor() {
    if (running_)
        return;
    if (editingStates()) {
        statesGrid_->Save();
        delete statesGrid_; // before the table it shows
        statesGrid_ = nullptr;
        states_.reset();
        pages_->setCurrentWidget(pageBeforeEditing_ ? pageBeforeEditing_ : setupPage_);
        editStates_->setText(QStringLiteral("Edit State/Province File"));
        cancel_->setEnabled(true);
        return;
    }
    if (table_.changed())
        grid_->Save();
    auto csz =
        store::openSystemTable(store::SysdataFolder().string(), store::SystemTable::StateZip);
    if (!csz) {
        ui::ShowInfo(QStringLiteral("Unable to open CSZ.DBF\r\n\r\n") +
                         QString::fromStdString(csz.error()),
                     this);
        return;
    }
    states_.emplace(std::move(*csz));
    if (int tag = states_->tagArea("STATE"))
        (void)states_->setOrder(tag);
    std::vector<GridColumn> columns{{"NAME", QStringLiteral("State or Province")},
                                    {"STATE", QStringLiteral("Abbreviation")},
                                    {"LOW_ZIP", QStringLiteral("Starting Zip/Post")},
                                    {"HIGH_ZIP", QStringLiteral("Ending Zip/Post")}};
    statesGrid_ =
        new TRecordGrid(*states_, std::move(columns), {}, QStringLiteral("states"), statesPage_);
    auto* pageLayout = static_cast<QVBoxLayout*>(statesPage_->layout());
    pageLayout->insertWidget(2, statesGrid_, 1);
    statesGrid_->reload();
    statesGrid_->First();
    pageBeforeEditing_ = pages_->currentWidget();
    pages_->setCurrentWidget(statesPage_);
    editStates_->setText(QStringLiteral("Stop Editing"));
    cancel_->setEnabled(false);
}

void TCheckStateZipWindow::EditRecord() {
    grid_->EditCurrent();
}

void TCheckStateZipWindow::SaveRecord() {
    grid_->Save();
}

void TCheckStateZipWindow::CancelRecord() {
    grid_->Undo();
}

void TCheckStateZipWindow::Tag() {
    grid_->ToggleTagOfCurrent();
}

void TCheckStateZipWindow::TagAll() {
    TagAllFound(*grid_, table_, tagId_,
                QStringLiteral("Tag all records with questionable state or zipcodes?"), this);
}

void TCheckStateZipWindow::DeleteState() {
    if (statesGrid_ &&
        ui::AskYesNo(QStringLiteral("Delete this record?"), QStringLiteral("DELETE"), this))
        statesGrid_->DeleteCurrent(false);
}

void TCheckStateZipWindow::SaveState() {
    if (statesGrid_)
        statesGrid_->Save();
}

void TCheckStateZipWindow::UndoState() {
    if (statesGrid_)
        statesGrid_->Undo();
}

void TCheckStateZipWindow::AddState() {
    if (statesGrid_)
        statesGrid_->AddBlank();
}

void TCheckStateZipWindow::reject() {
    if (running_) {
        if (ui::AskYesNo(QStringLiteral("Cancel operation?"), QStringLiteral("CANCEL"), this))
            cancelRequested_ = true;
        return;
    }
    if (editingStates())
        return;
    QDialog::reject();
}

void TCheckStateZipWindow::done(int result) {
    if (running_)
        return;
    if (editingStates())
        ToggleStateEditor();
    if (table_.changed())
        grid_->Save();
    scratch_.close();
    QDialog::done(result);
}

} // namespace qp::addressbook
