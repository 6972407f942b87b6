#include "exchange/ui/copy_out_form.h"

#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
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
    // For spreadsheets and address books.
    csv_ = new QRadioButton("Copy to a &CSV file with field names", choices_);
    vcard_ = new QRadioButton("Copy to &vCard (3.0)", choices_);
    bom_ = new QCheckBox("&Byte-order mark for spreadsheets", choices_);
    bom_->setObjectName("byteOrderMark");
    bom_->setChecked(true);
    dbf_->setChecked(true);
    choiceLayout->addWidget(dbf_);
    choiceLayout->addWidget(text_);
    choiceLayout->addWidget(csv_);
    auto* bomRow = new QHBoxLayout;
    bomRow->addSpacing(24);
    bomRow->addWidget(bom_);
    choiceLayout->addLayout(bomRow);
    choiceLayout->addWidget(vcard_);
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

    for (auto* choice : {dbf_, text_, csv_, vcard_})
        connect(choice, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                forgetName();
            bom_->setEnabled(csv_->isChecked());
        });
    bom_->setEnabled(false);
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

std::optional<NamedFormat> TCopyRecordsOutForm::namedFormat() const {
    if (csv_->isChecked())
        return NamedFormat::CsvWithNames;
    if (vcard_->isChecked())
        return NamedFormat::VCard;
    return std::nullopt;
}

void TCopyRecordsOutForm::setNamedFormat(NamedFormat format) {
    (format == NamedFormat::CsvWithNames ? csv_ : vcard_)->setChecked(true);
}

void TCopyRecordsOutForm::forgetName() {
    fileName_->setText("(none)");
}

void TCopyRecordsOutForm::saveAs() {
    const bool dbf = format() == CopyFormat::Dbf;
    const auto named = namedFormat();
    const QString ext = named ? (*named == NamedFormat::VCard ? "vcf" : "csv")
                        : dbf ? "DBF"
                              : "TXT";
    QFileDialog dialog(this, "Save As");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Overwriting is asked by the window itself, with its own caption.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(named ? (*named == NamedFormat::VCard ? "vCard files (*.vcf *.VCF)"
                                                               : "CSV files (*.csv *.CSV)")
                         : dbf ? "DBF files (*.DBF *.dbf)"
                               : "Text files (*.TXT *.txt)");
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
    const auto named = namedFormat();
    // The other kinds of text are checked and replaced as the text copy is.
    const CopyFormat kind = named ? CopyFormat::Text : format();
    if (auto refused = checkCopyName(kind, target, table_.path())) {
        ui::ShowInfo(qs(*refused), this);
        return;
    }
    fileName_->setText(path);
    if (existingCopyTarget(kind, target) &&
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
    auto info = [this](std::string_view m) { ui::ShowInfo(qs(std::string(m)), this); };
    if (named) {
        NamedExportOptions options;
        options.byteOrderMark = bom_->isChecked();
        outcome_ = copyRecordsNamed(table_, *named, target, options, selection, hooks, info);
    } else {
        outcome_ = copyRecordsOut(table_, format(), target, selection, hooks, info);
    }
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
