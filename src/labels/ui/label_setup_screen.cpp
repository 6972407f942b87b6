#include "labels/ui/label_setup_screen.h"

#include "design/layout_stream.h"
#include "design/ui/design_list_rows.h"
#include "design/ui/design_screen_rows.h"
#include "labels/manual_layout.h"
#include "labels/new_definition.h"
#include "labels/printing/label_designs.h"
#include "labels/ui/label_design_screen.h"
#include "labels/ui/label_positions_window.h"
#include "labels/ui/presort_window.h"
#include "print/draw_command.h"
#include "print/printer_setup.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"
#include "print/ui/window_hooks.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <filesystem>

namespace qp::labels {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QString threeDecimals(double v) {
    return QString::number(v, 'f', 3);
}

QString paperCaption(const std::string& code) {
    const int i = paperChoiceIndex(code);
    return i < 0 ? QString::fromStdString(code) : qs(kPaperChoices[std::size_t(i)].caption);
}

constexpr std::array<const char*, 8> kFieldCaptions{"Label Height", "Label Width", "Sheet Name",
                                                    "# Across",     "# Down",      "Paper Size",
                                                    "Paper Width",  "Paper Height"};
constexpr std::array<const char*, 8> kFieldNames{
    "HeightEdit", "WidthEdit",     "SheetNameEdit",  "AcrossEdit",
    "DownEdit",   "PaperSizeEdit", "PaperWidthEdit", "PaperHeightEdit"};

} // namespace

TLabelSetupScreen::TLabelSetupScreen(store::Table& addressTable, bool filterSet, std::string tagId,
                                     QWidget* parent)
    : QDialog(parent), address_(addressTable), tagId_(std::move(tagId)), filterSet_(filterSet),
      positions_(LabelPositions(LabelDefinition{})) {
    setWindowTitle(QStringLiteral("Print Labels"));
    source_.SetTable(&address_);
    source_.TagId = tagId_;
    design::UseAddressFieldLabels(source_, true);
    printPanel_.SetDataSet(&source_);

    if (auto opened = openLabelTable(sysdata().toStdString())) {
        labels_.emplace(std::move(*opened));
        if (auto st = showSavedLabels(*labels_); !st)
            ui::ShowInfo(qs(st.error()), parent);
    } else {
        ui::ShowInfo(qs(opened.error()), parent);
    }

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* listBox = new QVBoxLayout;
    list_ = design::ui::AddDesignList(listBox, this, QStringLiteral("Select Label"),
                                      QStringLiteral("LabelGrid"), 300);
    connect(list_, &QTableWidget::itemSelectionChanged, this, &TLabelSetupScreen::rowChosen);
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this] { modifyLabel(); });
    // Keys on the list: Enter changes the design, Delete removes it, Insert adds one.
    list_->installEventFilter(this);
    top->addLayout(listBox, 1);

    auto* details = new QFormLayout;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        fields_[i] = new QLineEdit(this);
        fields_[i]->setReadOnly(true);
        fields_[i]->setObjectName(QString::fromLatin1(kFieldNames[i]));
        fields_[i]->setFocusPolicy(Qt::NoFocus);
        fields_[i]->setMinimumWidth(190);
        details->addRow(QString::fromLatin1(kFieldCaptions[i]), fields_[i]);
    }
    top->addLayout(details);
    layout->addLayout(top, 1);

    auto* designButtons = new QHBoxLayout;
    auto addButton = [this](QBoxLayout* row, const char* caption, const char* name,
                            void (TLabelSetupScreen::*slot)()) {
        auto* b = design::ui::DesignPushButton(QString::fromLatin1(name),
                                               QString::fromLatin1(caption), this);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    addButton(designButtons, "Modify", "ModifyButton", &TLabelSetupScreen::modifyLabel);
    addButton(designButtons, "New", "NewButton", &TLabelSetupScreen::newLabel);
    addButton(designButtons, "Delete", "DeleteButton", &TLabelSetupScreen::deleteLabel);
    addButton(designButtons, "Clone", "CloneButton", &TLabelSetupScreen::cloneLabel);
    designButtons->addStretch();
    layout->addLayout(designButtons);

    auto* lower = new QHBoxLayout;
    const design::ui::WhatToPrintBox what = design::ui::BuildWhatToPrintBox(this);
    whatToPrint_ = what.box;
    all_ = what.all;
    filter_ = what.filter;
    current_ = what.current;
    startCurrent_ = what.startCurrent;
    presort_ = new QCheckBox(QStringLiteral("Presort for Bulk Mail"), whatToPrint_);
    presort_->setObjectName(QStringLiteral("PresortBox"));
    what.column->addWidget(presort_);
    filter_->setChecked(true);
    for (QRadioButton* r : {all_, filter_, current_})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                selectionChanged();
        });
    connect(startCurrent_, &QCheckBox::toggled, this, [this] { presortDone_ = false; });
    lower->addWidget(whatToPrint_);

    printerPanel_ = new QGroupBox(QStringLiteral("Printer"), this);
    printerPanel_->setObjectName(QStringLiteral("PrinterPanel"));
    auto* printerBox = new QVBoxLayout(printerPanel_);
    printerList_ = new QComboBox(printerPanel_);
    printerList_->setObjectName(QStringLiteral("PrinterList"));
    connect(printerList_, &QComboBox::activated, this,
            [](int index) { print::TPrinterSetup::Shared().SelectPrinter(index); });
    printerBox->addWidget(printerList_);
    printerBox->addStretch();
    lower->addWidget(printerPanel_, 1);
    layout->addLayout(lower);

    auto* bottom = new QHBoxLayout;
    auto* preview = new QPushButton(QStringLiteral("Preview"), this);
    preview->setObjectName(QStringLiteral("PreviewButton"));
    connect(preview, &QPushButton::clicked, this, [this] { printOrPreview(true); });
    auto* printButton = new QPushButton(QStringLiteral("Print"), this);
    printButton->setObjectName(QStringLiteral("PrintButton"));
    connect(printButton, &QPushButton::clicked, this, [this] { printOrPreview(false); });
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("HelpButton"));
    connect(help, &QPushButton::clicked, this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    for (auto* b : {preview, printButton, ok, help}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    bottom->insertStretch(2);
    layout->addLayout(bottom);

    fillList();
    setButtons();
}

TLabelSetupScreen::~TLabelSetupScreen() = default;

QString TLabelSetupScreen::sysdata() const {
    return QString::fromStdString(store::SysdataFolder().string());
}

bool TLabelSetupScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                modifyLabel();
                return true;
            case Qt::Key_Delete:
                deleteLabel();
                return true;
            case Qt::Key_Insert:
                newLabel();
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

QPushButton* TLabelSetupScreen::button(const char* objectName) const {
    return findChild<QPushButton*>(QString::fromLatin1(objectName));
}

void TLabelSetupScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!firstShow_)
        return;
    firstShow_ = false;
    syncPrinterList();
    setButtons();
    // A list from an earlier session may not match this selection.
    std::error_code ec;
    std::filesystem::remove(presortListPath(), ec);
}

void TLabelSetupScreen::fillList(std::uint32_t select) {
    rows_.clear();
    QSignalBlocker block(list_);
    list_->setRowCount(0);
    if (!labels_)
        return;
    store::Table& t = *labels_;
    if (select == 0 && !t.eof())
        select = t.recNo();
    int selectedRow = 0;
    for (bool ok = t.first(); ok && !t.eof(); ok = t.next()) {
        if (t.recNo() == select)
            selectedRow = static_cast<int>(rows_.size());
        rows_.push_back(t.recNo());
        const int row = list_->rowCount();
        list_->insertRow(row);
        list_->setItem(row, 0,
                       new QTableWidgetItem(QString::fromStdString(t.getString("DESCRIPT"))));
    }
    if (!rows_.empty()) {
        list_->selectRow(selectedRow);
        t.go(rows_[std::size_t(selectedRow)]);
    }
    showCurrent();
    setButtons();
}

void TLabelSetupScreen::rowChosen() {
    const int row = list_->currentRow();
    if (!labels_ || row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    labels_->go(rows_[std::size_t(row)]);
    showCurrent();
}

std::optional<LabelDefinition> TLabelSetupScreen::currentDefinition() const {
    if (!labels_ || rows_.empty() || labels_->eof())
        return std::nullopt;
    return readLabelDefinition(*labels_);
}

void TLabelSetupScreen::showCurrent() {
    auto def = currentDefinition();
    if (!def) {
        for (auto* f : fields_)
            f->clear();
        return;
    }
    const QStringList values{threeDecimals(def->labelHeight),
                             threeDecimals(def->labelWidth),
                             QString::fromStdString(sheetName(*def)),
                             QString::number(def->across),
                             QString::number(def->down),
                             paperCaption(def->paperSize),
                             threeDecimals(def->sheetWidth),
                             threeDecimals(def->sheetDepth)};
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->setText(values[int(i)]);
}

void TLabelSetupScreen::setButtons() {
    const bool any = !rows_.empty();
    for (const char* name :
         {"ModifyButton", "PrintButton", "PreviewButton", "DeleteButton", "CloneButton"})
        if (auto* b = button(name))
            b->setEnabled(any);
    list_->setEnabled(any);
    whatToPrint_->setVisible(any);
    printerPanel_->setVisible(any);
    if (!filterSet_) {
        filter_->setEnabled(false);
        if (filter_->isChecked())
            all_->setChecked(true);
    }
}

void TLabelSetupScreen::selectionChanged() {
    presortDone_ = false;
    if (current_->isChecked()) {
        presort_->setChecked(false);
        presort_->setEnabled(false);
    } else {
        presort_->setEnabled(true);
    }
}

void TLabelSetupScreen::syncPrinterList() {
    auto& setup = print::TPrinterSetup::Shared();
    QSignalBlocker block(printerList_);
    printerList_->clear();
    printerList_->addItems(setup.PrinterNames());
    printerList_->setCurrentIndex(setup.PrinterIndex());
}

store::RecordSelection TLabelSetupScreen::selection() const {
    store::RecordSelection s;
    s.choice = all_->isChecked()       ? store::SelectionChoice::All
               : current_->isChecked() ? store::SelectionChoice::Current
                                       : store::SelectionChoice::Filter;
    s.startFromCurrent = startCurrent_->isChecked();
    s.currentByQuery = true;
    return s;
}

bool TLabelSetupScreen::presortChecked() const {
    return presort_->isChecked() && presort_->isEnabled();
}

bool TLabelSetupScreen::runDesign(LabelDefinition def, bool isNew) {
    const std::string folder = sysdata().toStdString();
    design::TGLabelPanel panel;
    panel.SetDataSet(&source_);
    if (!isNew && layoutFileExists(folder, def)) {
        QString error;
        if (!design::LoadLayoutFile(panel, QString::fromStdString(*layoutFilePath(folder, def)),
                                    &error)) {
            // Saving over a layout that could not be read would lose it.
            ui::ShowInfo(QStringLiteral("The label layout could not be read, so it cannot be "
                                        "changed:\n") +
                             error,
                         this);
            return false;
        }
    } else {
        auto fresh = freshLayoutFileName(folder, *labels_);
        if (!fresh) {
            ui::ShowInfo(qs(kNoFreeLayoutNameMessage), this);
            return false;
        }
        def.layoutFile = *fresh;
    }
    panel.RefreshDataValues();

    TLabelDesignScreen screen(panel, def, isNew, folder, &address_, this);
    bool saved = false;
    if (runModal(screen) == QDialog::Accepted) {
        LabelDefinition result = screen.definition();
        result.layoutFile = def.layoutFile;
        const std::uint32_t before = labels_->recNo();
        if (auto st = saveLabelDesign(*labels_, result, isNew, panel, folder); !st) {
            ui::ShowInfo(qs(st.error()), this);
            if (before)
                labels_->go(before);
        } else {
            saved = true;
        }
        fillList(labels_->recNo());
    }
    syncPrinterList();
    setButtons();
    return saved;
}

void TLabelSetupScreen::modifyLabel() {
    if (auto def = currentDefinition())
        runDesign(*def, false);
}

void TLabelSetupScreen::newLabel() {
    if (!labels_)
        return;
    runDesign(newLabelDefinition(sysdata().toStdString()), true);
}

void TLabelSetupScreen::deleteLabel() {
    auto def = currentDefinition();
    if (!def || !ui::AskYesNo(qs(deleteQuestion(def->description)), QStringLiteral("DELETE"), this))
        return;
    if (auto st = deleteLabelDesign(*labels_, sysdata().toStdString()); !st)
        ui::ShowInfo(qs(st.error()), this);
    fillList();
}

void TLabelSetupScreen::cloneLabel() {
    auto def = currentDefinition();
    if (!def || !ui::AskYesNo(qs(cloneQuestion(def->description)), QStringLiteral("CLONE"), this))
        return;
    const std::uint32_t before = labels_->recNo();
    auto copy = cloneLabelDesign(*labels_, sysdata().toStdString(), printPanel_);
    if (!copy) {
        ui::ShowInfo(qs(copy.error()), this);
        labels_->go(before);
        fillList(before);
        return;
    }
    fillList(labels_->recNo());
}

void TLabelSetupScreen::printOrPreview(bool preview) {
    auto def = currentDefinition();
    if (!def)
        return;
    positions_.fitSheet(*def);
    TSelectSpecificLabels where(*def, positions_, copies_, presortChecked(), this, firstSheetOnly_);
    if (runModal(where) != QDialog::Accepted)
        return;
    positions_ = where.positions();
    copies_ = where.copies();
    firstSheetOnly_ = where.firstSheetOnly();

    auto& setup = print::TPrinterSetup::Shared();
    if (!preview && setup.IsPdf()) {
        const QString file = QFileDialog::getSaveFileName(
            this, QStringLiteral("Print To PDF File"),
            QDir::home().filePath(QString::fromStdString(def->description) +
                                  QStringLiteral(".pdf")),
            QStringLiteral("PDF files (*.pdf)"));
        if (file.isEmpty())
            return;
        setup.SetOutputFileName(file);
    }

    LabelPrintRequest request;
    request.addressTable = &address_;
    request.panel = &printPanel_;
    request.definition = *def;
    request.sysdataFolder = sysdata().toStdString();
    request.presortPath = presortListPath();
    request.selection = selection();
    request.presort = presortChecked();
    request.presortDone = presortDone_;
    request.positions = positions_;
    request.firstSheetOnly = firstSheetOnly_;
    request.copies = copies_;
    request.preview = preview;
    request.offset = where.alignment();
    request.setup = &setup;

    LabelPrintHooks hooks;
    hooks.info = [this](std::string_view text) { ui::ShowInfo(qs(text), this); };
    hooks.confirm = [this](std::string_view text) {
        return ui::AskYesNo(qs(text), windowTitle(), this);
    };
    hooks.presort = [this](store::Table& table, const store::RecordSelection& s,
                           const std::string& path) {
        return runPresortWindow(table, s, path, this);
    };
    hooks.run = [this, preview](print::TBaseReport& job, LabelWalk& walk) {
        print::TPrintStatusForm status(job, preview ? print::smPreview : print::smPrint, this);
        status.FinalTexts.Completed = QStringLiteral("\rLabel Print Completed!");
        status.FinalTexts.PrintCanceled = QStringLiteral("\rLabel Print Canceled!");
        status.FinalTexts.PreviewCanceled = QStringLiteral("\rLabel Preview Canceled!");
        status.FinalTexts.Stopped = QStringLiteral("\rPreview Stopped at page %p!");
        status.CancelQuestion = QStringLiteral("Cancel Label Printing?");
        status.CloseWhenPreviewReady = true;
        walk.stopRequested = [&status] { return status.StopRequested(); };
        walk.processEvents = [] { QApplication::processEvents(); };
        // Addresses cut on their label are named in the final status.
        walk.finished = [&status, &walk] {
            const std::string cut = clippedSummary(walk.clippedRecords());
            if (!cut.empty())
                status.FinalTexts.Completed += QStringLiteral("\r") + qs(cut);
        };
        runModal(status);
        // A preview's status window closes at once: say it before the pages.
        if (preview && !status.JobAborted())
            if (const std::string cut = clippedSummary(walk.clippedRecords()); !cut.empty())
                ui::ShowInfo(qs(cut), this);
        return !status.JobAborted();
    };
    hooks.showPreview = [this](const print::TStoredJob& stored) {
        print::TPreviewForm form(stored, QStringLiteral("Preview Labels"), 75, this);
        runModal(form);
    };
    printLabels(request, hooks);
    presortDone_ = request.presortDone;
}

void runLabelScreen(QWidget* parent, store::Table& addressTable, bool filterSet,
                    const std::string& tagId) {
    TLabelSetupScreen screen(addressTable, filterSet, tagId, parent);
    if (!screen.opened())
        return;
    ui::CenterDialog(screen);
    screen.exec();
}

} // namespace qp::labels
