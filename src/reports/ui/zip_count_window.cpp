#include "reports/ui/zip_count_window.h"

#include "print/ui/window_hooks.h"
#include "reports/ui/report_job.h"
#include "reports/zip_count_report.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>

namespace qp::reports {

namespace {

constexpr int kHelpTopic = 1002;
// Window messages run this often during the count: often enough for Cancel
// to answer at once, seldom enough not to slow the count down.
constexpr unsigned kRecordsPerEventRun = 64;

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QPushButton* addButton(QBoxLayout* row, QWidget* parent, const QString& caption,
                       const QString& name) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

} // namespace

TCountZipCodes::TCountZipCodes(store::Table& table, QWidget* parent)
    : QDialog(parent), table_(table) {
    setWindowTitle(qs(kCountZipTitle));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(qs(kCountingCaption), this);
    caption->setObjectName(QStringLiteral("CaptionLabel"));
    layout->addWidget(caption);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLabel"));
    status_->setMinimumWidth(360);
    layout->addWidget(status_);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ResultList"));
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setMinimumHeight(200);
    layout->addWidget(list_, 1);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    cancel_->setAutoDefault(false);
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, &TCountZipCodes::askCancel);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);

    buttons_ = new QWidget(this);
    buttons_->setObjectName(QStringLiteral("ButtonRow"));
    auto* row = new QHBoxLayout(buttons_);
    row->setContentsMargins(0, 0, 0, 0);
    auto* ok = addButton(row, buttons_, QStringLiteral("Ok"), QStringLiteral("OkButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(addButton(row, buttons_, QStringLiteral("&Print"), QStringLiteral("PrintButton")),
            &QPushButton::clicked, this, [this] { DoThePrintJob(false); });
    connect(addButton(row, buttons_, QStringLiteral("Pre&view"), QStringLiteral("PreviewButton")),
            &QPushButton::clicked, this, [this] { DoThePrintJob(true); });
    connect(
        addButton(row, buttons_, QStringLiteral("Printer &Setup"), QStringLiteral("SetupButton")),
        &QPushButton::clicked, this, [this] { runPrinterSetup(this); });
    connect(
        addButton(row, buttons_, QStringLiteral("&Export CSV..."), QStringLiteral("ExportButton")),
        &QPushButton::clicked, this, &TCountZipCodes::exportClicked);
    connect(addButton(row, buttons_, QStringLiteral("Help"), QStringLiteral("HelpButton")),
            &QPushButton::clicked, this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    layout->addWidget(buttons_);
}

void TCountZipCodes::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!started_) {
        started_ = true;
        QTimer::singleShot(0, this, [this] {
            if (state_ == State::Idle)
                DoTheSort();
        });
    }
}

void TCountZipCodes::SetStatusLabel(const QString& text) {
    status_->setText(text);
    QApplication::processEvents();
}

void TCountZipCodes::DoTheSort() {
    if (state_ == State::Counting)
        return;
    buttons_->hide();
    cancel_->show();
    status_->clear();
    status_->show();
    list_->clear();
    state_ = State::Counting;
    cancelRequested_ = false;
    lines_.clear();
    tallies_.clear();

    ZipCountHooks hooks;
    hooks.status = [this](std::string_view s) { SetStatusLabel(qs(s)); };
    unsigned sinceEvents = 0;
    hooks.cancelRequested = [this, &sinceEvents] {
        if (++sinceEvents >= kRecordsPerEventRun) {
            sinceEvents = 0;
            QApplication::processEvents();
        }
        return cancelRequested_;
    };
    store::RecordSelection selection; // the records of the query in force
    selection.choice = store::SelectionChoice::Filter;
    ZipCountRun run = countZipCodes(table_, selection, hooks);

    buttons_->show();
    cancel_->hide();
    if (run.outcome != ZipCountOutcome::Done) {
        state_ = State::Canceled;
        if (run.outcome == ZipCountOutcome::Failed)
            ui::ShowInfo(qs(run.message), this);
        QDialog::reject(); // no result: the window closes itself
        return;
    }
    tallies_ = std::move(run.tallies);
    lines_ = zipResultLines(tallies_, regionalThousandsSeparator());
    for (const auto& line : lines_)
        list_->addItem(qs(line));
    state_ = State::Finished;
    QApplication::beep();
    SetStatusLabel(qs(kFinishedStatus));
}

void TCountZipCodes::askCancel() {
    if (state_ != State::Counting)
        return;
    if (ui::AskYesNo(qs(kCancelCountQuestion), QStringLiteral("CANCEL"), this))
        cancelRequested_ = true;
}

void TCountZipCodes::reject() {
    if (state_ == State::Counting) {
        askCancel();
        return;
    }
    QDialog::reject();
}

void TCountZipCodes::DoThePrintJob(bool preview) {
    if (state_ != State::Finished) {
        DoTheSort();
        if (state_ != State::Finished)
            return;
    }
    ReportJobSpec spec;
    spec.preview = preview;
    spec.previewCaption = QString::fromLatin1(kZipPreviewTitle);
    spec.previewZoom = 100;
    spec.pdfFileName = QStringLiteral("Zip Code Count.pdf");
    spec.prepare = [this](print::TBaseReport& job, const print::TPrintStatusForm& status) {
        ZipReportHooks hooks;
        hooks.stopRequested = [&status] { return status.StopRequested(); };
        hooks.processEvents = [] { QApplication::processEvents(); };
        prepareZipReport(job, lines_, std::move(hooks));
    };
    runReportJob(this, spec);
}

bool TCountZipCodes::ExportCsv(const QString& path) {
    const std::string csv = zipCountCsv(tallies_);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) !=
            static_cast<qint64>(csv.size()) ||
        !file.commit()) {
        ui::ShowInfo(QStringLiteral("The counts could not be written to %1: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString()),
                     this);
        return false;
    }
    return true;
}

void TCountZipCodes::exportClicked() {
    if (state_ != State::Finished)
        return;
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Export Zip Code Counts"),
                                     QDir::home().filePath(QStringLiteral("zipcounts.csv")),
                                     QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty())
        ExportCsv(path);
}

void runCountZipCodes(QWidget* parent, store::Table& table) {
    TCountZipCodes window(table, parent);
    ui::CenterDialog(window);
    window.exec();
}

} // namespace qp::reports
