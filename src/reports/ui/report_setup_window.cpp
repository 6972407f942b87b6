#include "reports/ui/report_setup_window.h"

#include "print/printer_setup.h"
#include "print/ui/printer_dialogs.h"
#include "print/ui/window_hooks.h"
#include "reports/designed_report.h"
#include "reports/ui/report_designer.h"
#include "reports/ui/report_job.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

namespace qp::reports {

namespace {

constexpr int kHelpTopic = 1087;

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

void setReportFinalTexts(ReportJobSpec& spec) {
    spec.finalTexts.Completed = QStringLiteral("\rReport Print Completed!");
    spec.finalTexts.Ready = QStringLiteral("\rReport Preview Ready!");
    spec.finalTexts.PrintCanceled = QStringLiteral("\rReport Print Canceled!");
    spec.finalTexts.PreviewCanceled = QStringLiteral("\rReport Preview Canceled!");
    spec.finalTexts.Stopped = QStringLiteral("\rPreview Stopped at page %p!");
    spec.cancelQuestion = QStringLiteral("Cancel Report Printing?");
    spec.previewCaption = QStringLiteral("Preview Report");
    spec.previewZoom = 2; // the page width
}

} // namespace

TReportSetup::TReportSetup(store::Table& addressTable, store::Table reportTable,
                           std::string sysdata, std::string tagId, bool filterSet, QWidget* parent)
    : QDialog(parent), address_(addressTable), reportTable_(std::move(reportTable)),
      sysdata_(std::move(sysdata)), source_(&addressTable) {
    setWindowTitle(QStringLiteral("Print Report"));
    source_.TagId = std::move(tagId);
    design::UseAddressFieldLabels(source_, true);

    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("Tabs"));

    // Built-in reports.
    auto* builtIn = new QWidget(tabs_);
    auto* bl = new QVBoxLayout(builtIn);
    auto* selectLabel = new QLabel(QStringLiteral("&Select Report:"), builtIn);
    bl->addWidget(selectLabel);
    builtIns_ = new QListWidget(builtIn);
    builtIns_->setObjectName(QStringLiteral("BuiltInList"));
    for (int i = 1; i <= kBuiltInReportCount; ++i)
        builtIns_->addItem(BuiltInReportName(i));
    builtIns_->setCurrentRow(0);
    selectLabel->setBuddy(builtIns_);
    bl->addWidget(builtIns_);
    auto* titleRow = new QHBoxLayout;
    auto* titleLabel = new QLabel(QStringLiteral("Report &Title"), builtIn);
    title_ = new QLineEdit(QStringLiteral("Report 1"), builtIn);
    title_->setObjectName(QStringLiteral("TitleEdit"));
    titleLabel->setBuddy(title_);
    titleRow->addWidget(titleLabel);
    titleRow->addWidget(title_, 1);
    bl->addLayout(titleRow);
    memo_ = new QCheckBox(QStringLiteral("Print &Memo"), builtIn);
    memo_->setObjectName(QStringLiteral("MemoBox"));
    codes_ = new QCheckBox(QStringLiteral("Print C&odes"), builtIn);
    codes_->setObjectName(QStringLiteral("CodesBox"));
    bl->addWidget(memo_);
    bl->addWidget(codes_);
    connect(builtIns_, &QListWidget::currentRowChanged, this,
            [this](int row) { title_->setText(QStringLiteral("Report %1").arg(row + 1)); });
    tabs_->addTab(builtIn, QStringLiteral("Built In Reports"));

    // Designed reports.
    auto* designer = new QWidget(tabs_);
    auto* dl = new QHBoxLayout(designer);
    list_ = new QTreeWidget(designer);
    list_->setObjectName(QStringLiteral("ReportList"));
    list_->setHeaderLabels({QStringLiteral("Description")});
    list_->setRootIsDecorated(false);
    list_->header()->setStretchLastSection(true);
    dl->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    modify_ = button(QStringLiteral("&Modify"), "ModifyButton", designer);
    new_ = button(QStringLiteral("&New"), "NewButton", designer);
    delete_ = button(QStringLiteral("&Delete"), "DeleteButton", designer);
    clone_ = button(QStringLiteral("C&lone"), "CloneButton", designer);
    for (QPushButton* b : {modify_, new_, delete_, clone_})
        side->addWidget(b);
    side->addStretch();
    dl->addLayout(side);
    connect(modify_, &QPushButton::clicked, this, &TReportSetup::modifyReport);
    connect(new_, &QPushButton::clicked, this, &TReportSetup::newReport);
    connect(delete_, &QPushButton::clicked, this, &TReportSetup::deleteReport);
    connect(clone_, &QPushButton::clicked, this, &TReportSetup::cloneReport);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { rowChosen(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { modifyReport(); });
    tabs_->addTab(designer, QStringLiteral("Report Designer"));
    layout->addWidget(tabs_, 1);

    // What to print.
    what_ = new QGroupBox(QStringLiteral("What to Print"), this);
    what_->setObjectName(QStringLiteral("WhatToPrint"));
    auto* wl = new QGridLayout(what_);
    all_ = new QRadioButton(qs(store::kSelectionAllCaption), what_);
    all_->setObjectName(QStringLiteral("AllRecords"));
    filter_ = new QRadioButton(qs(store::kSelectionFilterCaption), what_);
    filter_->setObjectName(QStringLiteral("FilterRecords"));
    current_ = new QRadioButton(qs(store::kSelectionCurrentCaption), what_);
    current_->setObjectName(QStringLiteral("CurrentRecord"));
    startCurrent_ = new QCheckBox(qs(store::kStartFromCurrentCaption), what_);
    startCurrent_->setObjectName(QStringLiteral("StartFromCurrent"));
    onePerPage_ = new QCheckBox(QStringLiteral("One Record Per Page"), what_);
    onePerPage_->setObjectName(QStringLiteral("OnePerPage"));
    wl->addWidget(all_, 0, 0);
    wl->addWidget(filter_, 1, 0);
    wl->addWidget(current_, 2, 0);
    wl->addWidget(startCurrent_, 0, 1);
    wl->addWidget(onePerPage_, 1, 1);
    filter_->setChecked(true);
    if (!filterSet) {
        filter_->setEnabled(false);
        all_->setChecked(true);
    }
    layout->addWidget(what_);

    auto* row = new QHBoxLayout;
    auto* ok = button(QStringLiteral("Ok"), "OkButton", this);
    print_ = button(QStringLiteral("&Print"), "PrintButton", this);
    preview_ = button(QStringLiteral("Pre&view"), "PreviewButton", this);
    auto* setup = button(QStringLiteral("Printer &Setup"), "SetupButton", this);
    auto* help = button(QStringLiteral("Help"), "HelpButton", this);
    for (QPushButton* b : {ok, print_, preview_, setup, help})
        row->addWidget(b);
    layout->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(print_, &QPushButton::clicked, this, [this] { DoPrint(false); });
    connect(preview_, &QPushButton::clicked, this, [this] { DoPrint(true); });
    connect(setup, &QPushButton::clicked, this, [this] { runPrinterSetup(this); });
    connect(help, &QPushButton::clicked, this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { updateButtons(); });

    runDesigner = [this](ReportBands& bands, ReportDesign& design, bool isNew) {
        TReportDesigner window(bands, design, isNew, &address_, this);
        return window.exec() == QDialog::Accepted;
    };
    refreshList();
    resize(560, 420);
}

TReportSetup::~TReportSetup() = default;

bool TReportSetup::atEnd() const {
    return reportTable_.eof() || rows_.empty();
}

void TReportSetup::refreshList() {
    const std::uint32_t current = reportTable_.eof() ? 0 : reportTable_.recNo();
    QSignalBlocker block(list_);
    list_->clear();
    rows_.clear();
    int select = -1;
    for (bool ok = reportTable_.first(); ok && !reportTable_.eof(); ok = reportTable_.next()) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, qs(store::TrimRight(reportTable_.getString("DESCRIPT"))));
        if (reportTable_.recNo() == current)
            select = int(rows_.size());
        rows_.push_back(reportTable_.recNo());
    }
    if (!rows_.empty()) {
        if (select < 0)
            select = 0;
        list_->setCurrentItem(list_->topLevelItem(select));
        reportTable_.go(rows_[std::size_t(select)]);
    }
    updateButtons();
}

void TReportSetup::rowChosen() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row >= 0 && std::size_t(row) < rows_.size())
        reportTable_.go(rows_[std::size_t(row)]);
    updateButtons();
}

void TReportSetup::updateButtons() {
    const bool have = !atEnd();
    for (QWidget* w : {static_cast<QWidget*>(modify_), static_cast<QWidget*>(delete_),
                       static_cast<QWidget*>(clone_), static_cast<QWidget*>(list_)})
        w->setEnabled(have);
    const bool builtIn = tabs_->currentIndex() == BuiltInPage;
    const bool printable = have || builtIn;
    for (QWidget* w : {static_cast<QWidget*>(print_), static_cast<QWidget*>(preview_),
                       static_cast<QWidget*>(what_)}) {
        w->setEnabled(printable);
        w->setVisible(printable);
    }
    onePerPage_->setVisible(!builtIn);
}

BuiltInOptions TReportSetup::builtInOptions() const {
    BuiltInOptions o;
    o.report = std::max(0, builtIns_->currentRow()) + 1;
    o.title = title_->text();
    o.printMemo = memo_->isChecked();
    o.printCodes = codes_->isChecked();
    return o;
}

ReportSelection TReportSetup::selection() const {
    ReportSelection s;
    s.choice = all_->isChecked()       ? store::SelectionChoice::All
               : current_->isChecked() ? store::SelectionChoice::Current
                                       : store::SelectionChoice::Filter;
    s.startFromCurrent = startCurrent_->isChecked();
    return s;
}

bool TReportSetup::onePerPage() const {
    return onePerPage_->isChecked();
}

bool TReportSetup::DoPrint(bool preview) {
    const bool builtIn = tabs_->currentIndex() == BuiltInPage;
    if (!builtIn && atEnd())
        return false;
    int copies = 1;
    if (!preview) {
        if (!ui::CheckPrinterReady(this))
            return false;
        copies = print::RunPrintDialog(print::TPrinterSetup::Shared(), this);
        if (copies <= 0)
            return false;
    }
    ReportJobSpec spec;
    spec.preview = preview;
    setReportFinalTexts(spec);
    auto info = [this](std::string_view m) { ui::ShowInfo(qs(m), this); };

    if (builtIn) {
        const BuiltInOptions options = builtInOptions();
        const std::string order = BuiltInReportOrder(options.report);
        auto walk = ReportWalk::begin(address_, selection(), order,
                                      options.report == 4 ? std::string() : order, info);
        if (!walk) {
            ui::ShowInfo(qs(walk.error()), this);
            return false;
        }
        spec.pdfFileName = options.title + QStringLiteral(".pdf");
        spec.prepare = [&](print::TBaseReport& job, const print::TPrintStatusForm& status) {
            ReportHooks hooks;
            hooks.stopRequested = [&status] { return status.StopRequested(); };
            hooks.processEvents = [] { QApplication::processEvents(); };
            prepareBuiltInReport(job, address_, options, std::move(hooks));
            job.Copies = copies;
        };
        return runReportJob(this, spec) == ReportJobOutcome::Completed;
    }

    ReportBands bands;
    bands.SetDataSet(&source_);
    ReportDesign design;
    if (auto st = loadReport(false, reportTable_, sysdata_, bands, design); !st) {
        ui::ShowInfo(qs(st.error()), this);
        return false;
    }
    auto walk = ReportWalk::begin(address_, selection(), {}, {}, info);
    if (!walk) {
        ui::ShowInfo(qs(walk.error()), this);
        return false;
    }
    spec.pdfFileName = design.Description + QStringLiteral(".pdf");
    std::optional<DesignedReportPrinter> printer;
    spec.prepare = [&](print::TBaseReport& job, const print::TPrintStatusForm& status) {
        ReportHooks hooks;
        hooks.stopRequested = [&status] { return status.StopRequested(); };
        hooks.processEvents = [] { QApplication::processEvents(); };
        printer.emplace(bands, design.Vars, address_, DesignedOptions{onePerPage()},
                        std::move(hooks));
        prepareDesignedReport(job, *printer, design.Vars);
        job.Copies = copies;
    };
    return runReportJob(this, spec) == ReportJobOutcome::Completed;
}

void TReportSetup::openDesigner(bool isNew) {
    ReportBands bands;
    bands.SetDataSet(&source_);
    ReportDesign design;
    if (auto st = loadReport(isNew, reportTable_, sysdata_, bands, design); !st)
        ui::ShowInfo(qs(st.error()) + QStringLiteral("\nThe report opens with empty bands."), this);
    if (!runDesigner || !runDesigner(bands, design, isNew))
        return;
    if (!isNew && !reportTable_.go(reportTable_.recNo()))
        return;
    if (auto st = saveReport(isNew, reportTable_, sysdata_, bands, design); !st)
        ui::ShowInfo(qs(st.error()), this);
    refreshList();
}

void TReportSetup::modifyReport() {
    if (!atEnd())
        openDesigner(false);
}

void TReportSetup::newReport() {
    openDesigner(true);
}

void TReportSetup::deleteReport() {
    if (atEnd())
        return;
    const std::string description = store::TrimRight(reportTable_.getString("DESCRIPT"));
    if (!ui::AskYesNo(qs(reportDeleteQuestion(description)), QStringLiteral("DELETE"), this))
        return;
    if (auto st = reports::deleteReport(reportTable_, sysdata_); !st)
        ui::ShowInfo(qs(st.error()), this);
    refreshList();
}

void TReportSetup::cloneReport() {
    if (atEnd())
        return;
    const std::string description = store::TrimRight(reportTable_.getString("DESCRIPT"));
    if (!ui::AskYesNo(qs(reportCloneQuestion(description)), QStringLiteral("CLONE"), this))
        return;
    if (auto copy = reports::cloneReport(reportTable_, sysdata_); !copy)
        ui::ShowInfo(qs(copy.error()), this);
    refreshList();
}

void runPrintReports(QWidget* parent, store::Table& addressTable, const std::string& tagId,
                     bool filterSet) {
    const std::string sysdata = store::SysdataFolder().string();
    auto table = openReportTable(sysdata);
    if (!table) {
        ui::ShowInfo(qs(table.error()), parent);
        return;
    }
    TReportSetup window(addressTable, std::move(*table), sysdata, tagId, filterSet, parent);
    ui::CenterDialog(window);
    window.exec();
}

} // namespace qp::reports
