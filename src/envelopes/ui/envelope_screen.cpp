#include "envelopes/ui/envelope_screen.h"

#include "addressbook/tool_registry.h"
#include "design/design_units.h"
#include "design/layout_stream.h"
#include "design/ui/design_list_rows.h"
#include "design/ui/design_screen_rows.h"
#include "envelopes/envelope_design_rules.h"
#include "envelopes/envelope_print_job.h"
#include "envelopes/ui/envelope_design_screen.h"
#include "envelopes/ui/envelope_feed_dialogs.h"
#include "envelopes/ui/envelope_panel_view.h"
#include "envelopes/ui/envelope_size_dialog.h"
#include "print/printer_setup.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"
#include "print/ui/printer_dialogs.h"
#include "print/ui/window_hooks.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::envelopes {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

constexpr float kPreviewZoom = 0.3f;

} // namespace

TQPEnvelopes::TQPEnvelopes(store::Table& addressTable, bool filterSet, std::string tagId,
                           QWidget* parent)
    : QDialog(parent), address_(addressTable), filterSet_(filterSet), tagId_(std::move(tagId)) {
    setObjectName(QStringLiteral("TQPEnvelopes"));
    setWindowTitle(QStringLiteral("Print Envelope"));
    source_.SetTable(&address_);
    source_.TagId = tagId_;
    design::UseAddressFieldLabels(source_, true);
    preview_.SetDataSet(&source_);
    printPanel_.SetDataSet(&source_);

    if (auto opened = openEnvelopeTable(sysdata())) {
        envelopes_.emplace(std::move(*opened));
    } else {
        ui::ShowInfo(qs(opened.error()), parent);
    }

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* listBox = new QVBoxLayout;
    list_ = design::ui::AddDesignList(listBox, this, QStringLiteral("Select Envelope"),
                                      QStringLiteral("EnvelopeGrid"), 260);
    connect(list_, &QTableWidget::itemSelectionChanged, this, &TQPEnvelopes::rowChosen);
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this] { modifyEnvelope(); });
    auto* designButtons = new QHBoxLayout;
    auto addButton = [this](QBoxLayout* row, const QString& caption, const char* name, auto slot) {
        auto* b = design::ui::DesignPushButton(QString::fromLatin1(name), caption, this);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    addButton(designButtons, QStringLiteral("&Modify"), "ModifyButton",
              &TQPEnvelopes::modifyEnvelope);
    addButton(designButtons, QStringLiteral("&New"), "NewButton", &TQPEnvelopes::newEnvelope);
    addButton(designButtons, QStringLiteral("&Delete"), "DeleteButton",
              &TQPEnvelopes::deleteEnvelope);
    addButton(designButtons, QStringLiteral("&Clone"), "CloneButton", &TQPEnvelopes::cloneEnvelope);
    listBox->addLayout(designButtons);
    top->addLayout(listBox, 1);

    auto* right = new QVBoxLayout;
    previewView_ = new TEnvelopePanelView(preview_);
    previewView_->setObjectName(QStringLiteral("PreviewPanel"));
    previewView_->setReadOnly(true);
    previewView_->setFocusPolicy(Qt::NoFocus);
    previewArea_ = new QScrollArea(this);
    previewArea_->setObjectName(QStringLiteral("PreviewArea"));
    previewArea_->setBackgroundRole(QPalette::Dark);
    previewArea_->setAlignment(Qt::AlignCenter);
    previewArea_->setWidget(previewView_);
    previewArea_->setMinimumSize(330, 190);
    right->addWidget(previewArea_, 1);

    auto* recordBox = new QGroupBox(QStringLiteral("Current Record"), this);
    recordBox->setObjectName(QStringLiteral("CurrentRecordPanel"));
    auto* recordRow = new QHBoxLayout(recordBox);
    design::ui::AddRecordButtons(recordRow, recordBox, true,
                                 [this](int which) { moveRecord(which); });
    recordCaption_ = new QLabel(recordBox);
    recordCaption_->setObjectName(QStringLiteral("RecordCaption"));
    recordRow->addWidget(recordCaption_, 1);
    right->addWidget(recordBox);
    top->addLayout(right, 1);
    layout->addLayout(top, 1);

    auto* lower = new QHBoxLayout;
    const design::ui::WhatToPrintBox what = design::ui::BuildWhatToPrintBox(this);
    all_ = what.all;
    filter_ = what.filter;
    current_ = what.current;
    startCurrent_ = what.startCurrent;
    current_->setChecked(true);
    if (!filterSet_)
        filter_->setEnabled(false);
    lower->addWidget(what.box);
    lower->addStretch();

    auto* buttons = new QVBoxLayout;
    auto* setupButton = addButton(buttons, QStringLiteral("Printer Setup"), "PrinterSetupButton",
                                  &TQPEnvelopes::printerSetup);
    (void)setupButton;
    auto* previewButton = addButton(buttons, QStringLiteral("Pre&view"), "PreviewButton",
                                    [this] { printOrPreview(true); });
    (void)previewButton;
    auto* printButton = addButton(buttons, QStringLiteral("&Print"), "PrintButton",
                                  [this] { printOrPreview(false); });
    printButton->setDefault(true);
    addButton(buttons, QStringLiteral("Ok"), "OkButton", &QDialog::accept);
    addButton(buttons, QStringLiteral("Help"), "HelpButton",
              [this] { print::ShowHelpTopic(this, kEnvelopeScreenHelpTopic); });
    lower->addLayout(buttons);
    layout->addLayout(lower);

    fillList();
    showRecord();
}

TQPEnvelopes::~TQPEnvelopes() = default;

std::string TQPEnvelopes::sysdata() const {
    return store::SysdataFolder().string();
}

QWidget* TQPEnvelopes::previewWidget() const {
    return previewView_;
}

QPushButton* TQPEnvelopes::button(const char* objectName) const {
    return findChild<QPushButton*>(QString::fromLatin1(objectName));
}

bool TQPEnvelopes::askUser(const QString& text, const QString& title) {
    return ask ? ask(text, title) : ui::AskYesNo(text, title, this);
}

void TQPEnvelopes::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!firstShow_)
        return;
    firstShow_ = false;
    feed_ = loadEnvelopeSettings(store::SettingsFile::standard(), print::TPrinterSetup::Shared());
}

void TQPEnvelopes::fillList(std::uint32_t select) {
    rows_.clear();
    {
        QSignalBlocker block(list_);
        list_->setRowCount(0);
        if (envelopes_) {
            store::Table& t = *envelopes_;
            if (select == 0 && !t.eof())
                select = t.recNo();
            int selectedRow = 0;
            for (bool ok = t.first(); ok && !t.eof(); ok = t.next()) {
                if (t.recNo() == select)
                    selectedRow = int(rows_.size());
                rows_.push_back(t.recNo());
                const int row = list_->rowCount();
                list_->insertRow(row);
                list_->setItem(row, 0,
                               new QTableWidgetItem(QString::fromStdString(
                                   store::TrimRight(t.getString("DESCRIPT")))));
            }
            if (!rows_.empty()) {
                list_->selectRow(selectedRow);
                t.go(rows_[size_t(selectedRow)]);
            }
        }
    }
    refreshPreview();
    setButtons();
}

void TQPEnvelopes::rowChosen() {
    const int row = list_->currentRow();
    if (!envelopes_ || row < 0 || row >= int(rows_.size()))
        return;
    envelopes_->go(rows_[size_t(row)]);
    refreshPreview();
}

std::optional<EnvelopeDefinition> TQPEnvelopes::currentDefinition() const {
    if (!envelopes_ || rows_.empty() || envelopes_->eof())
        return std::nullopt;
    return readEnvelopeDefinition(*envelopes_);
}

void TQPEnvelopes::refreshPreview() {
    preview_.ClearObjects();
    auto def = currentDefinition();
    if (def && envelopeLayoutExists(sysdata(), *def)) {
        QString error;
        if (preview_.Zoom() != 1.0f)
            preview_.SetZoom(1.0f);
        (void)design::LoadLayoutFile(
            preview_, QString::fromStdString(*envelopeLayoutPath(sysdata(), *def)), &error);
    }
    preview_.SetZoom(kPreviewZoom);
    // The envelope lying as it is designed: width across, height down.
    if (def && knownEnvelopeCode(def->code))
        preview_.SetSize(
            design::RoundHalfEven(design::PixelsPerInch * def->width() * kPreviewZoom),
            design::RoundHalfEven(design::PixelsPerInch * def->height() * kPreviewZoom));
    else
        preview_.SetSize(0, 0);
    preview_.RefreshDataValues();
    previewView_->SyncSize();
    previewView_->setVisible(def.has_value());
    previewView_->update();
}

void TQPEnvelopes::showRecord() {
    auto field = [this](const char* name) {
        return QString::fromStdString(store::Trim(address_.getString(name)));
    };
    recordCaption_->setText(address_.eof() ? QString()
                                           : field("FNAME") + QLatin1Char(' ') + field("LNAME") +
                                                 QStringLiteral("\n") + field("ORG") +
                                                 QStringLiteral("\n") + field("CITY"));
}

void TQPEnvelopes::moveRecord(int which) {
    switch (which) {
    case 0:
        address_.first();
        break;
    case 1:
        address_.prior();
        break;
    case 2:
        if (!address_.next() || address_.eof())
            address_.last();
        break;
    default:
        address_.last();
        break;
    }
    showRecord();
    preview_.RefreshDataValues();
    previewView_->update();
}

void TQPEnvelopes::setButtons() {
    const bool any = !rows_.empty();
    for (const char* name :
         {"ModifyButton", "PrintButton", "PreviewButton", "DeleteButton", "CloneButton"})
        if (auto* b = button(name))
            b->setEnabled(any);
    list_->setEnabled(any);
    if (auto* b = button("NewButton"))
        b->setEnabled(envelopes_.has_value());
}

store::RecordSelection TQPEnvelopes::selection() const {
    store::RecordSelection s;
    s.choice = all_->isChecked()       ? store::SelectionChoice::All
               : current_->isChecked() ? store::SelectionChoice::Current
                                       : store::SelectionChoice::Filter;
    s.startFromCurrent = startCurrent_->isChecked();
    s.currentByQuery = false;
    return s;
}

bool TQPEnvelopes::runDesign(EnvelopeDefinition def, bool isNew) {
    const std::string folder = sysdata();
    TEnvelopePanel panel;
    panel.SetDataSet(&source_);
    if (!isNew && envelopeLayoutExists(folder, def)) {
        QString error;
        if (!design::LoadLayoutFile(panel, QString::fromStdString(*envelopeLayoutPath(folder, def)),
                                    &error)) {
            // Saving over a layout that could not be read would lose it.
            ui::ShowInfo(QStringLiteral("The envelope layout could not be read, so it cannot be "
                                        "changed:\n") +
                             error,
                         this);
            return false;
        }
    } else {
        auto fresh = freshEnvelopeLayoutName(folder, *envelopes_);
        if (!fresh) {
            ui::ShowInfo(qs(kNoFreeLayoutNameMessage), this);
            return false;
        }
        def.layoutFile = *fresh;
    }
    panel.RefreshDataValues();

    auto& setup = print::TPrinterSetup::Shared();
    const QMarginsF m = setup.UnprintableMargins();
    const TPrinterMarginPixels margins = MarginPixels(m.left(), m.top(), m.right(), m.bottom(),
                                                      setup.PageWidth(), setup.PageHeight());
    TEnvelopeDesignScreen screen(panel, def, isNew, &address_, margins, this);
    screen.runModal = runModal;
    bool saved = false;
    if (runModal(screen) == QDialog::Accepted) {
        EnvelopeDefinition result = screen.definition();
        result.layoutFile = def.layoutFile;
        const std::uint32_t before = envelopes_->eof() ? 0 : envelopes_->recNo();
        if (auto st = saveEnvelopeDesign(*envelopes_, result, isNew, panel, folder); !st) {
            ui::ShowInfo(qs(st.error()), this);
            if (before)
                envelopes_->go(before);
        } else {
            saved = true;
        }
        fillList(envelopes_->eof() ? 0 : envelopes_->recNo());
    }
    showRecord();
    return saved;
}

void TQPEnvelopes::modifyEnvelope() {
    if (auto def = currentDefinition())
        runDesign(*def, false);
}

void TQPEnvelopes::newEnvelope() {
    if (!envelopes_)
        return;
    const int code = currentDefinition() ? currentDefinition()->code : kDefaultEnvelopeCode;
    auto chosen = chooseEnvelopeSize(code, this, runModal);
    if (!chosen)
        return;
    EnvelopeDefinition def;
    def.description = std::string(kNewEnvelopeDescription);
    def.code = *chosen;
    runDesign(def, true);
}

void TQPEnvelopes::deleteEnvelope() {
    auto def = currentDefinition();
    if (!def || !askUser(QStringLiteral("Delete \"%1\"?").arg(qs(def->description)),
                         QStringLiteral("DELETE")))
        return;
    if (auto st = deleteEnvelopeDesign(*envelopes_, sysdata()); !st)
        ui::ShowInfo(qs(st.error()), this);
    fillList();
}

void TQPEnvelopes::cloneEnvelope() {
    auto def = currentDefinition();
    if (!def || !askUser(QStringLiteral("Clone \"%1\"?").arg(qs(def->description)),
                         QStringLiteral("CLONE")))
        return;
    const std::uint32_t before = envelopes_->recNo();
    auto copy = cloneEnvelopeDesign(*envelopes_, sysdata());
    if (!copy) {
        ui::ShowInfo(qs(copy.error()), this);
        envelopes_->go(before);
        fillList(before);
        return;
    }
    fillList(envelopes_->recNo());
}

void TQPEnvelopes::printerSetup() {
    auto& setup = print::TPrinterSetup::Shared();
    if (!print::RunPrinterSetupDialog(setup, this))
        return;
    store::SettingsFile settings = store::SettingsFile::standard();
    if (auto st = saveEnvelopeSettings(settings, setup, feed_); !st)
        ui::ShowInfo(qs(st.error()), this);
}

void TQPEnvelopes::printOrPreview(bool preview) {
    auto def = currentDefinition();
    if (!def)
        return;
    auto& setup = print::TPrinterSetup::Shared();
    store::SettingsFile settings = store::SettingsFile::standard();

    EnvelopePrintRequest request;
    request.addressTable = &address_;
    request.panel = &printPanel_;
    request.definition = *def;
    request.sysdataFolder = sysdata();
    request.selection = selection();
    request.preview = preview;
    request.setup = &setup;
    request.settings = &settings;

    EnvelopePrintHooks hooks;
    hooks.info = [this](std::string_view text) { ui::ShowInfo(displayText(text), this); };
    hooks.printDialog = [&](FeedMethod& feed) {
        TEnvelopePrePrint dialog(setup, def->width(), def->height(), feed, this);
        dialog.runModal = runModal;
        if (runModal(dialog) != QDialog::Accepted)
            return false;
        feed = dialog.feed();
        feed_ = feed;
        if (!preview && setup.IsPdf()) {
            const QString file = QFileDialog::getSaveFileName(
                this, QStringLiteral("Print To PDF File"),
                QDir::home().filePath(QString::fromStdString(def->description) +
                                      QStringLiteral(".pdf")),
                QStringLiteral("PDF files (*.pdf)"));
            if (file.isEmpty())
                return false;
            setup.SetOutputFileName(file);
        }
        return true;
    };
    hooks.run = [this, preview](print::TBaseReport& job, EnvelopeWalk& walk) {
        print::TPrintStatusForm status(job, preview ? print::smPreview : print::smPrint, this);
        status.FinalTexts.Completed = qs(kPrintCompleted);
        status.FinalTexts.PrintCanceled = qs(kPrintCanceled);
        status.FinalTexts.PreviewCanceled = qs(kPreviewCanceled);
        status.FinalTexts.Stopped = qs(kPreviewStopped);
        // Cancel aborts the print at once, without a question.
        status.ConfirmCancel = [](QWidget*, const QString&) { return true; };
        status.CloseWhenPreviewReady = true;
        walk.stopRequested = [&status] { return status.StopRequested(); };
        walk.processEvents = [] { QApplication::processEvents(); };
        runModal(status);
        return !status.JobAborted();
    };
    hooks.showPreview = [this](const print::TStoredJob& stored) {
        print::TPreviewForm form(stored, QStringLiteral("Preview Envelope"), 75, this);
        runModal(form);
    };
    printEnvelopes(request, hooks);
    showRecord();
}

void runEnvelopeScreen(QWidget* parent, store::Table& addressTable, bool filterSet,
                       const std::string& tagId) {
    TQPEnvelopes screen(addressTable, filterSet, tagId, parent);
    if (!screen.opened())
        return;
    ui::CenterDialog(screen);
    screen.exec();
}

namespace {

QP_REGISTER_TOOL(addressbook::Tool::PrintEnvelopes, [](addressbook::ToolContext& c) {
    if (c.table)
        runEnvelopeScreen(c.window, *c.table, c.filterSet(), c.tagId);
});

} // namespace

} // namespace qp::envelopes
