#include "reports/ui/record_sheet_window.h"

#include "print/ui/window_hooks.h"
#include "reports/ui/report_job.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::reports {

namespace {

// The window has no topic of its own in the help file's numbering; this one
// is its page among the report topics.
constexpr int kHelpTopic = 1088;
constexpr int kBoxRows = 11;

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

QString sheetBoxName(int i) {
    return QStringLiteral("cb") + qs(kSheetFields[static_cast<std::size_t>(i)].field);
}

TPrintCurrentRecord::TPrintCurrentRecord(store::Table& table, QWidget* parent)
    : QDialog(parent), table_(table) {
    setWindowTitle(QString::fromLatin1(kPrintCurrentRecordTitle));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Fields to Print"), this);
    group->setObjectName(QStringLiteral("FieldsGroup"));
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < kSheetFieldCount; ++i) {
        auto* b = new QCheckBox(qs(kSheetFields[static_cast<std::size_t>(i)].checkBox), group);
        b->setObjectName(sheetBoxName(i));
        b->setChecked(true);
        grid->addWidget(b, i % kBoxRows, i / kBoxRows);
        boxes_[static_cast<std::size_t>(i)] = b;
    }
    all_ = new QCheckBox(QStringLiteral("All"), group);
    all_->setObjectName(QStringLiteral("cbAll"));
    all_->setChecked(true);
    grid->addWidget(all_, kSheetFieldCount % kBoxRows, kSheetFieldCount / kBoxRows);
    connect(all_, &QCheckBox::clicked, this, &TPrintCurrentRecord::allClicked);
    layout->addWidget(group);

    auto* row = new QHBoxLayout;
    auto button = [&](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    auto* print = button(QStringLiteral("&Print"), QStringLiteral("PrintButton"));
    print->setDefault(true);
    connect(print, &QPushButton::clicked, this, [this] { DoPrint(false); });
    connect(button(QStringLiteral("Pre&view"), QStringLiteral("PreviewButton")),
            &QPushButton::clicked, this, [this] { DoPrint(true); });
    connect(button(QStringLiteral("Printer &Setup"), QStringLiteral("SetupButton")),
            &QPushButton::clicked, this, [this] { runPrinterSetup(this); });
    connect(button(QStringLiteral("&Cancel"), QStringLiteral("CancelButton")),
            &QPushButton::clicked, this, &QDialog::reject);
    connect(button(QStringLiteral("Help"), QStringLiteral("HelpButton")), &QPushButton::clicked,
            this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    layout->addLayout(row);
}

SheetChoices TPrintCurrentRecord::choices() const {
    SheetChoices c{};
    for (std::size_t i = 0; i < c.size(); ++i)
        c[i] = boxes_[i]->isChecked();
    return c;
}

void TPrintCurrentRecord::allClicked(bool checked) {
    for (QCheckBox* b : boxes_)
        b->setChecked(checked);
}

bool TPrintCurrentRecord::DoPrint(bool preview) {
    auto sheet = readRecordSheet(table_);
    if (!sheet) {
        ui::ShowInfo(qs(sheet.error()), this);
        return false;
    }
    ReportJobSpec spec;
    spec.preview = preview;
    spec.previewCaption = QString::fromLatin1(kRecordPreviewTitle);
    spec.previewZoom = 2; // the page width
    spec.pdfFileName = QStringLiteral("Record %1.pdf").arg(table_.recNo());
    spec.finalTexts.Completed = QStringLiteral("\rReport Print Completed!");
    spec.finalTexts.Ready = QStringLiteral("\rReport Preview Ready!");
    spec.finalTexts.PrintCanceled = QStringLiteral("\rReport Print Canceled!");
    spec.finalTexts.PreviewCanceled = QStringLiteral("\rReport Preview Canceled!");
    spec.finalTexts.Stopped = QStringLiteral("\rPreview Stopped at page %p!");
    spec.cancelQuestion = QStringLiteral("Cancel Report Printing?");
    const SheetChoices chosen = choices();
    spec.prepare = [&](print::TBaseReport& job, const print::TPrintStatusForm& status) {
        RecordSheetHooks hooks;
        hooks.stopRequested = [&status] { return status.StopRequested(); };
        hooks.processEvents = [] { QApplication::processEvents(); };
        prepareRecordSheet(job, *sheet, chosen, std::move(hooks));
    };
    return runReportJob(this, spec) == ReportJobOutcome::Completed;
}

void runPrintCurrentRecord(QWidget* parent, store::Table& table) {
    TPrintCurrentRecord window(table, parent);
    ui::CenterDialog(window);
    window.exec();
}

} // namespace qp::reports
