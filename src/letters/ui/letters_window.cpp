#include "letters/ui/letters_window.h"

#include "letters/letter_job.h"
#include "letters/ui/letter_designer.h"
#include "letters/ui/letter_preview.h"
#include "letters/ui/letter_print_form.h"
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/report_printer.h"
#include "print/ui/printer_dialogs.h"
#include "print/ui/window_hooks.h"
#include "richtext/page_settings.h"
#include "store/table.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::letters {

namespace {

constexpr int kHelpTopic = 1083;

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

TQPLetters::TQPLetters(TLetterTable letters, store::Table& addressFile, bool filterSet,
                       QWidget* parent)
    : QDialog(parent), Letters_(std::move(letters)), Address_(addressFile), FilterSet_(filterSet) {
    setWindowTitle(QStringLiteral("Print Letters"));
    RunDesigner = [](TLetterDesign& d) { return d.exec(); };
    auto* layout = new QVBoxLayout(this);

    auto* select = new QGroupBox(QStringLiteral("Select Letter"), this);
    select->setObjectName(QStringLiteral("SelectGroup"));
    auto* selectLayout = new QHBoxLayout(select);
    Grid_ = new QTableWidget(0, 1, select);
    Grid_->setObjectName(QStringLiteral("LetterGrid"));
    Grid_->setHorizontalHeaderLabels({QStringLiteral("Letter Description")});
    Grid_->horizontalHeader()->setStretchLastSection(true);
    Grid_->verticalHeader()->hide();
    Grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid_->setMinimumSize(360, 180);
    connect(Grid_, &QTableWidget::currentCellChanged, this, [this] { SelectionChanged(); });
    connect(Grid_, &QTableWidget::cellDoubleClicked, this, [this] { ModifyLetter(); });
    selectLayout->addWidget(Grid_, 1);
    auto* listButtons = new QVBoxLayout;
    auto listButton = [&](const QString& caption, const QString& name, auto slot) {
        auto* b = new QPushButton(caption, select);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        listButtons->addWidget(b);
    };
    listButton(QStringLiteral("&Modify"), QStringLiteral("ModifyButton"),
               &TQPLetters::ModifyLetter);
    listButton(QStringLiteral("&New"), QStringLiteral("NewButton"), &TQPLetters::NewLetter);
    listButton(QStringLiteral("&Delete"), QStringLiteral("DeleteButton"),
               &TQPLetters::DeleteLetter);
    listButton(QStringLiteral("C&lone"), QStringLiteral("CloneButton"), &TQPLetters::CloneLetter);
    listButtons->addStretch(1);
    selectLayout->addLayout(listButtons);
    layout->addWidget(select, 1);

    auto* what = new QGroupBox(QStringLiteral("What to Print"), this);
    what->setObjectName(QStringLiteral("WhatGroup"));
    auto* whatLayout = new QVBoxLayout(what);
    All_ = new QRadioButton(qs(store::kSelectionAllCaption), what);
    All_->setObjectName(QStringLiteral("rbAll"));
    Filter_ = new QRadioButton(qs(store::kSelectionFilterCaption), what);
    Filter_->setObjectName(QStringLiteral("rbFilter"));
    Filter_->setEnabled(FilterSet_);
    Current_ = new QRadioButton(qs(store::kSelectionCurrentCaption), what);
    Current_->setObjectName(QStringLiteral("rbCurrent"));
    Current_->setChecked(true);
    StartCurrent_ = new QCheckBox(qs(store::kStartFromCurrentCaption), what);
    StartCurrent_->setObjectName(QStringLiteral("cbStartFromCurrent"));
    for (QWidget* w : std::initializer_list<QWidget*>{All_, Filter_, Current_, StartCurrent_})
        whatLayout->addWidget(w);
    layout->addWidget(what);

    auto* printer = new QFormLayout;
    Printer_ = new QLabel(this);
    Printer_->setObjectName(QStringLiteral("PrinterName"));
    printer->addRow(QStringLiteral("Printer:"), Printer_);
    Copies_ = new QSpinBox(this);
    Copies_->setObjectName(QStringLiteral("CopiesBox"));
    Copies_->setRange(1, kMaxCopies);
    Copies_->setValue(1);
    Copies_->setMaximumWidth(Copies_->fontMetrics().horizontalAdvance(QStringLiteral("9999")) * 3);
    auto* copiesLabel = new QLabel(QStringLiteral("# &copies of each letter"), this);
    copiesLabel->setBuddy(Copies_);
    printer->addRow(copiesLabel, Copies_);
    layout->addLayout(printer);

    auto* row = new QHBoxLayout;
    auto button = [&](const QString& caption, const QString& name, auto slot) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    button(QStringLiteral("Ok"), QStringLiteral("OkButton"), &QDialog::accept)->setDefault(true);
    button(QStringLiteral("&Print"), QStringLiteral("PrintButton"), [this] { PrintLetters(); });
    button(QStringLiteral("Pre&view"), QStringLiteral("PreviewButton"), &TQPLetters::PreviewLetter);
    button(QStringLiteral("Printer &Setup"), QStringLiteral("SetupButton"),
           &TQPLetters::PrinterSetup);
    button(QStringLiteral("Help"), QStringLiteral("HelpButton"),
           [this] { print::ShowHelpTopic(this, kHelpTopic); });
    auto* whatsThis = print::NewMouseHelpButton(this);
    row->addWidget(whatsThis);
    layout->addLayout(row);

    FillGrid(Letters_.CurrentRecno());
    ShowPrinter();
}

QPushButton* TQPLetters::Button(const QString& objectName) const {
    return findChild<QPushButton*>(objectName);
}

void TQPLetters::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!Shown_) {
        Shown_ = true;
        UpdateButtons();
    }
}

void TQPLetters::FillGrid(std::uint32_t select) {
    const auto entries = Letters_.Entries();
    QSignalBlocker block(Grid_);
    Grid_->setRowCount(int(entries.size()));
    int row = entries.empty() ? -1 : 0;
    for (int i = 0; i < int(entries.size()); ++i) {
        auto* item = new QTableWidgetItem(entries[std::size_t(i)].Description);
        item->setData(Qt::UserRole, entries[std::size_t(i)].Recno);
        Grid_->setItem(i, 0, item);
        if (entries[std::size_t(i)].Recno == select)
            row = i;
    }
    if (row >= 0) {
        Grid_->setCurrentCell(row, 0);
        Grid_->selectRow(row);
        Letters_.Go(Grid_->item(row, 0)->data(Qt::UserRole).toUInt());
    }
    UpdateButtons();
}

void TQPLetters::SelectionChanged() {
    const int row = Grid_->currentRow();
    if (row >= 0 && Grid_->item(row, 0))
        Letters_.Go(Grid_->item(row, 0)->data(Qt::UserRole).toUInt());
    UpdateButtons();
}

void TQPLetters::UpdateButtons() {
    const bool has = Letters_.HasCurrent() && Grid_->rowCount() > 0;
    for (const char* name :
         {"ModifyButton", "CloneButton", "PrintButton", "PreviewButton", "DeleteButton"})
        if (QPushButton* b = Button(QLatin1String(name)))
            b->setEnabled(has);
    Grid_->setEnabled(has);
}

void TQPLetters::ShowPrinter() {
    auto& setup = print::TPrinterSetup::Shared();
    Printer_->setText(setup.PrinterNames().isEmpty() ? QString() : setup.DeviceName());
}

void TQPLetters::PrinterSetup() {
    auto& setup = print::TPrinterSetup::Shared();
    if (setup.PrinterNames().isEmpty())
        ui::ShowInfo(QStringLiteral("There are no printers installed"), this);
    else
        print::RunPrinterSetupDialog(setup, this);
    ShowPrinter();
}

store::RecordSelection TQPLetters::Selection() const {
    store::RecordSelection s;
    s.choice = All_->isChecked()      ? store::SelectionChoice::All
               : Filter_->isChecked() ? store::SelectionChoice::Filter
                                      : store::SelectionChoice::Current;
    s.startFromCurrent = StartCurrent_->isChecked();
    s.currentByQuery = false; // letters stay on the current record
    return s;
}

void TQPLetters::StoreFailed(const store::Status& st) {
    ui::ShowInfo(QStringLiteral("The letter was not stored.\n") + qs(st.error()), this);
}

bool TQPLetters::LoadSelected(QTextDocument& doc) {
    auto loaded = Letters_.Load(doc);
    if (!loaded) {
        ui::ShowInfo(qs(loaded.error()), this);
        return false;
    }
    if (!loaded->isEmpty())
        ui::ShowInfo(
            QStringLiteral("The letter \"%1\" is damaged; what could be read is shown.\n%2")
                .arg(Letters_.Description(), *loaded),
            this);
    return true;
}

void TQPLetters::ModifyLetter() {
    if (!Letters_.HasCurrent())
        return;
    const std::uint32_t recno = Letters_.CurrentRecno();
    QTextDocument doc;
    if (!LoadSelected(doc))
        return;
    TLetterDesign designer(&Address_, this);
    designer.SetDescription(Letters_.Description());
    designer.SetDocument(doc);
    if (RunDesigner(designer) == QDialog::Accepted) {
        Letters_.Go(recno);
        if (auto st = Letters_.Update(designer.Description(), designer.Document()); !st)
            StoreFailed(st);
    }
    FillGrid(recno);
}

void TQPLetters::NewLetter() {
    TLetterDesign designer(&Address_, this);
    designer.SetDescription(QString::fromLatin1(kUntitledLetter));
    designer.SetNewLetter();
    std::uint32_t select = Letters_.CurrentRecno();
    if (RunDesigner(designer) == QDialog::Accepted) {
        if (auto st = Letters_.Add(designer.Description(), designer.Document()); !st)
            StoreFailed(st);
        else
            select = Letters_.CurrentRecno();
    }
    FillGrid(select);
}

void TQPLetters::DeleteLetter() {
    if (!Letters_.HasCurrent())
        return;
    if (!ui::AskYesNo(QStringLiteral("Delete \"%1\"?").arg(Letters_.Description()),
                      QStringLiteral("DELETE"), this))
        return;
    if (auto st = Letters_.Delete(); !st)
        ui::ShowInfo(QStringLiteral("The letter was not deleted.\n") + qs(st.error()), this);
    FillGrid(Letters_.CurrentRecno());
}

void TQPLetters::CloneLetter() {
    if (!Letters_.HasCurrent())
        return;
    if (!ui::AskYesNo(QStringLiteral("Clone \"%1\"?").arg(Letters_.Description()),
                      QStringLiteral("CLONE"), this))
        return;
    const std::uint32_t before = Letters_.CurrentRecno();
    if (auto st = Letters_.Clone(); !st) {
        StoreFailed(st);
        FillGrid(before);
        return;
    }
    FillGrid(Letters_.CurrentRecno());
}

void TQPLetters::PreviewLetter() {
    if (!Letters_.HasCurrent())
        return;
    QTextDocument doc;
    if (!LoadSelected(doc))
        return;
    TRTFPreviewForm preview(Address_, this);
    preview.SetTemplate(doc);
    preview.exec();
}

bool TQPLetters::PrintLetters(bool askPrinter) {
    if (!Letters_.HasCurrent())
        return false;
    auto& setup = print::TPrinterSetup::Shared();
    if (askPrinter) {
        if (setup.IsPdf()) {
            const QString file = QFileDialog::getSaveFileName(
                this, QStringLiteral("Print To PDF File"),
                QDir::home().filePath(Letters_.Description().trimmed() + QStringLiteral(".pdf")),
                QStringLiteral("PDF files (*.pdf)"));
            if (file.isEmpty())
                return false;
            setup.SetOutputFileName(file);
        } else if (print::RunPrintDialog(setup, this) == 0) {
            return false;
        }
        ShowPrinter();
    }
    setup.SetCopies(1); // the copies of each letter are the run's own
    QTextDocument letter;
    if (!LoadSelected(letter))
        return false;
    const richtext::TPageSettings page = richtext::PageSettings(letter);
    if (!TextAreaInches(page)) {
        ui::ShowInfo(NoTextAreaMessage(page), this);
        return false;
    }
    // The walk notes the record and query and puts them back when it goes.
    auto walk = store::SelectionWalk::begin(
        Address_, Selection(), [this](std::string_view m) { ui::ShowInfo(qs(m), this); });
    if (!walk) {
        ui::ShowInfo(qs(walk.error()), this);
        return false;
    }
    if (!walk->valid()) {
        ui::ShowInfo(QStringLiteral("There are no records to print"), this);
        return false;
    }
    setup.SetUserPaper(page.PageWidth / double(richtext::kTwipsPerInch),
                       page.PageHeight / double(richtext::kTwipsPerInch));
    print::TReportPrinter job(&setup);
    TLetterPrint status(job, this);
    TLetterJobHooks hooks;
    hooks.Status = status.StatusHook();
    hooks.CancelNow = status.CancelHook();
    TLetterRun run(letter, Address_, *walk, Copies_->value(),
                   Selection().choice == store::SelectionChoice::Current, std::move(hooks));
    status.SetRun(&run);
    PrepareLetterJob(job, run, Letters_.Description().trimmed());
    ui::CenterDialog(status);
    status.exec();
    walk->restore();
    return status.Completed();
}

void runLettersWindow(QWidget* parent, store::Table& addressFile, bool filterSet) {
    auto letters = TLetterTable::Open();
    if (!letters) {
        ui::ShowInfo(qs(letters.error()), parent);
        return;
    }
    TQPLetters window(std::move(*letters), addressFile, filterSet, parent);
    ui::CenterDialog(window);
    window.exec();
}

} // namespace qp::letters
