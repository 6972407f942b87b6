#include "addressbook/ui/delete_records_window.h"

#include "addressbook/maintenance/field_text.h"
#include "store/ui/common_dialogs.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp::addressbook {

TDeleteRecordsWindow::TDeleteRecordsWindow(store::Table& table, std::string filterExpression,
                                           QWidget* parent)
    : TBulkToolWindow(QStringLiteral("Delete Records"), QStringLiteral("Delete Now"), kHelpTopic,
                      parent),
      table_(table), filter_(std::move(filterExpression)) {
    setObjectName(QStringLiteral("TDeleteRecordsWindow"));
    auto* box = new QGroupBox(QStringLiteral("Delete"), this);
    box->setObjectName(QStringLiteral("gbDelete"));
    auto* layout = new QVBoxLayout(box);
    all_ = new QRadioButton(QStringLiteral("Delete &All Records"), box);
    all_->setObjectName(QStringLiteral("rbAll"));
    matching_ = new QRadioButton(QStringLiteral("Delete Records matching current &Filter"), box);
    matching_->setObjectName(QStringLiteral("rbMatching"));
    notMatching_ =
        new QRadioButton(QStringLiteral("Delete Records which do &NOT match current Filter"), box);
    notMatching_->setObjectName(QStringLiteral("rbNotMatching"));
    all_->setChecked(true);
    matching_->setEnabled(!filter_.empty());
    notMatching_->setEnabled(!filter_.empty());
    for (auto* b : {all_, matching_, notMatching_})
        layout->addWidget(b);
    body()->addWidget(box);
    connect(runButton(), &QPushButton::clicked, this, &TDeleteRecordsWindow::DeleteNow);
}

DeleteChoice TDeleteRecordsWindow::choice() const {
    return matching_->isChecked()      ? DeleteChoice::Matching
           : notMatching_->isChecked() ? DeleteChoice::NotMatching
                                       : DeleteChoice::All;
}

QRadioButton* TDeleteRecordsWindow::choiceButton(DeleteChoice c) const {
    return c == DeleteChoice::All ? all_ : c == DeleteChoice::Matching ? matching_ : notMatching_;
}

void TDeleteRecordsWindow::DeleteNow() {
    if (running())
        return;
    const DeleteChoice c = filter_.empty() ? DeleteChoice::All : choice();
    auto count = RunDeleteRecords(table_, c, filter_, true);
    if (!count) {
        ui::ShowInfo(ui::qs(count.error()), this);
        return;
    }
    if (!ui::AskYesNo(QStringLiteral("Are you sure?\n\n") + ui::qs(WillChangeLine(*count)),
                      QStringLiteral("DELETE"), this))
        return;
    beginRun();
    setStatus(QStringLiteral("Deleting Records "));
    auto deleted =
        RunDeleteRecords(table_, c, filter_, false, [this](int percent) { setProgress(percent); });
    endRun();
    if (!deleted) {
        ui::ShowInfo(ui::qs(deleted.error()), this);
        reject();
        return;
    }
    ui::ShowInfo(
        QStringLiteral("Deleted ") + QString::number(*deleted) + QStringLiteral(" records"), this);
    ui::ShowInfo(
        ui::qs(std::string(kDeleteSpaceNote)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
        this);
    accept();
}

} // namespace qp::addressbook
