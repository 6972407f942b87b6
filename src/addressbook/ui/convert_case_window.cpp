#include "addressbook/ui/convert_case_window.h"

#include "addressbook/maintenance/field_text.h"
#include "addressbook/ui/check_window_parts.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp::addressbook {

TConvertCaseWindow::TConvertCaseWindow(store::Table& table, bool filterSet, QWidget* parent)
    : TBulkToolWindow(QStringLiteral("Convert Case"), QStringLiteral("Convert"), kHelpTopic,
                      parent),
      table_(table) {
    setObjectName(QStringLiteral("TConvertCaseWindow"));
    auto* fields = new QGroupBox(QStringLiteral("Fields to convert"), this);
    fields->setObjectName(QStringLiteral("gbFields"));
    auto* grid = new QGridLayout(fields);
    int i = 0;
    for (const auto& f : kCaseFields) {
        auto* box =
            new QCheckBox(QString::fromUtf8(f.caption.data(), qsizetype(f.caption.size())), fields);
        box->setObjectName(QStringLiteral("chk") +
                           QString::fromLatin1(f.field.data(), qsizetype(f.field.size())));
        box->setChecked(true);
        grid->addWidget(box, i % 8, i / 8);
        boxes_.push_back(box);
        ++i;
    }
    all_ = new QCheckBox(QStringLiteral("All"), fields);
    all_->setObjectName(QStringLiteral("chkAll"));
    all_->setChecked(true);
    grid->addWidget(all_, 7, 1);
    connect(all_, &QCheckBox::clicked, this, [this](bool on) {
        for (auto* b : boxes_)
            b->setChecked(on);
    });
    body()->addWidget(fields);

    auto* choices = new QHBoxLayout;
    auto* conversion = new QGroupBox(QStringLiteral("Conversion"), this);
    conversion->setObjectName(QStringLiteral("gbConversion"));
    auto* cl = new QVBoxLayout(conversion);
    upper_ = NewRadioButton(QStringLiteral("Uppercase"), "rbUpper", conversion);
    capitalize_ =
        NewRadioButton(QStringLiteral("First letter capitalized"), "rbCapitalize", conversion);
    lower_ = NewRadioButton(QStringLiteral("Lowercase"), "rbLower", conversion);
    upper_->setChecked(true);
    for (auto* b : {upper_, capitalize_, lower_})
        cl->addWidget(b);
    choices->addWidget(conversion);
    auto* records = new QGroupBox(QStringLiteral("Records"), this);
    records->setObjectName(QStringLiteral("gbRecords"));
    auto* rl = new QVBoxLayout(records);
    current_ = NewRadioButton(QStringLiteral("Current Record Only"), "rbCurrent", records);
    allRecords_ = NewRadioButton(QStringLiteral("All Records"), "rbAllRecords", records);
    filtered_ = NewRadioButton(QStringLiteral("All Records Matching Filter"), "rbFilter", records);
    current_->setChecked(true);
    filtered_->setEnabled(filterSet);
    for (auto* b : {current_, allRecords_, filtered_})
        rl->addWidget(b);
    choices->addWidget(records);
    body()->addLayout(choices);
    progressBar()->hide();
    connect(runButton(), &QPushButton::clicked, this, &TConvertCaseWindow::Convert);
}

QRadioButton* TConvertCaseWindow::conversionButton(CaseConversion c) const {
    return c == CaseConversion::Upper ? upper_ : c == CaseConversion::Lower ? lower_ : capitalize_;
}

QRadioButton* TConvertCaseWindow::recordsButton(CaseRecords r) const {
    return r == CaseRecords::Current ? current_ : r == CaseRecords::All ? allRecords_ : filtered_;
}

CaseRun TConvertCaseWindow::choices() const {
    CaseRun run;
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i]->isChecked())
            run.fields.emplace_back(kCaseFields[i].field);
    run.conversion = upper_->isChecked()   ? CaseConversion::Upper
                     : lower_->isChecked() ? CaseConversion::Lower
                                           : CaseConversion::Capitalize;
    run.records = current_->isChecked()      ? CaseRecords::Current
                  : allRecords_->isChecked() ? CaseRecords::All
                                             : CaseRecords::Filter;
    return run;
}

void TConvertCaseWindow::cancelWhileRunning() {
    if (ui::AskYesNo(QStringLiteral("Cancel case conversion?"), QStringLiteral("Convert"), this))
        cancelRequested_ = true;
}

void TConvertCaseWindow::Convert() {
    if (running())
        return;
    const CaseRun run = choices();
    if (run.fields.empty()) {
        ui::ShowInfo(QStringLiteral("No fields checked for conversion"), this);
        return;
    }
    const CaseOutcome counted = RunCaseConversion(table_, run, true);
    if (!counted.error.empty()) {
        ui::ShowInfo(ui::qs(counted.error), this);
        return;
    }
    if (!ui::AskYesNoDefaultNo(QStringLiteral("Convert now? This process cannot be undone..\n\n") +
                                   ui::qs(WillChangeLine(counted.changed)),
                               QStringLiteral("Convert"), this))
        return;
    cancelRequested_ = false;
    beginRun();
    QApplication::restoreOverrideCursor(); // Cancel must stay usable
    if (run.records == CaseRecords::All)
        progressBar()->show();
    setStatus(QStringLiteral("Converting"));
    const CaseOutcome outcome =
        RunCaseConversion(table_, run, false, [this](std::uint32_t done, std::uint32_t total) {
            setProgress(int(std::uint64_t(done) * 100 / std::max<std::uint32_t>(total, 1)));
            QApplication::processEvents();
            return !cancelRequested_;
        });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    endRun();
    cancelled_ = outcome.cancelled;
    if (!outcome.error.empty())
        ui::ShowInfo(ui::qs(outcome.error), this);
    accept();
}

} // namespace qp::addressbook
