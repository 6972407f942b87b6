#include "exchange/ui/copy_out_form.h"

#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp::exchange {

using ui::qs;

TCopyRecordsOutForm::TCopyRecordsOutForm(store::Table& table, QWidget* parent)
    : QDialog(parent), table_(table) {
    setWindowTitle("Copy Records Out");
    setObjectName("TCopyRecordsOutForm");
    auto* layout = new QVBoxLayout(this);

    choices_ = new QWidget(this);
    auto* choiceLayout = new QVBoxLayout(choices_);
    choiceLayout->setContentsMargins(0, 0, 0, 0);
    dbf_ = new QRadioButton("Copy to a &DBF file", choices_);
    text_ = new QRadioButton("Copy to an &ASCII file (comma delimited)", choices_);
    dbf_->setChecked(true);
    choiceLayout->addWidget(dbf_);
    choiceLayout->addWidget(text_);
    layout->addWidget(choices_);

    progressPanel_ = new QWidget(this);
    auto* progressLayout = new QVBoxLayout(progressPanel_);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    copyingLine_ = new QLabel(progressPanel_);
    gauge_ = new QProgressBar(progressPanel_);
    gauge_->setRange(0, 100);
    progressLayout->addWidget(copyingLine_);
    progressLayout->addWidget(gauge_);
    progressPanel_->hide();
    layout->addWidget(progressPanel_);

    fileName_ = new QLabel("(none)", this);
    fileName_->setObjectName("fileName");
    fileName_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(fileName_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    saveButton_ = new QPushButton("Save As", this);
    cancelButton_ = new QPushButton("Cancel", this);
    helpButton_ = new QPushButton("&Help", this);
    saveButton_->setDefault(true);
    for (auto* b : {saveButton_, cancelButton_, helpButton_})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(dbf_, &QRadioButton::toggled, this, [this] { forgetName(); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { saveAs(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { reject(); });
    resize(420, 170);
}

CopyFormat TCopyRecordsOutForm::format() const {
    return dbf_->isChecked() ? CopyFormat::Dbf : CopyFormat::Text;
}

void TCopyRecordsOutForm::setFormat(CopyFormat format) {
    (format == CopyFormat::Dbf ? dbf_ : text_)->setChecked(true);
}

void TCopyRecordsOutForm::forgetName() {
    fileName_->setText("(none)");
}

void TCopyRecordsOutForm::saveAs() {
    const bool dbf = format() == CopyFormat::Dbf;
    const QString ext = dbf ? "DBF" : "TXT";
    QFileDialog dialog(this, "Save As");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Overwriting is asked by the window itself, with its own caption.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(dbf ? "DBF files (*.DBF *.dbf)" : "Text files (*.TXT *.txt)");
    dialog.setDefaultSuffix(ext);
    dialog.setDirectory(folder_.isEmpty() ? qs(store::ProgramFolder()) : folder_);
    dialog.selectFile("*." + ext);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    folder_ = QFileInfo(path).absolutePath();
    acceptName(path);
}

void TCopyRecordsOutForm::acceptName(const QString& path) {
    const std::string target = path.toStdString();
    if (auto refused = checkCopyName(format(), target, table_.path())) {
        ui::ShowInfo(qs(*refused), this);
        return;
    }
    fileName_->setText(path);
    if (existingCopyTarget(format(), target) &&
        !ui::AskYesNoDefaultNo(qs(overwriteQuestion(target)), qs(std::string(kOverwriteCaption)),
                               this))
        return;

    copying_ = true;
    cancelConfirmed_ = false;
    choices_->hide();
    saveButton_->setEnabled(false);
    helpButton_->setEnabled(false);
    copyingLine_->setText("Copying to " + path);
    gauge_->setValue(0);
    progressPanel_->show();
    QApplication::processEvents();

    CopyHooks hooks;
    hooks.progress = [this](int percent) { gauge_->setValue(percent); };
    hooks.cancelled = [this] {
        QApplication::processEvents();
        return cancelConfirmed_;
    };
    store::RecordSelection selection; // the filter in force, from its first record
    outcome_ =
        copyRecordsOut(table_, format(), target, selection, hooks,
                       [this](std::string_view m) { ui::ShowInfo(qs(std::string(m)), this); });
    copying_ = false;
    if (!outcome_.ok)
        ui::ShowInfo(qs(outcome_.message), this);
    accept();
}

void TCopyRecordsOutForm::reject() {
    if (copying_) {
        if (!cancelConfirmed_ && ui::AskYesNoDefaultNo(qs(std::string(kCancelCopyQuestion)),
                                                       qs(std::string(kCancelCopyCaption)), this))
            cancelConfirmed_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace qp::exchange
