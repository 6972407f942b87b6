#include "addressbook/ui/new_database_dialog.h"

#include "addressbook/ui/dialog_buttons.h"

#include "addressbook/new_database_rules.h"
#include "addressbook/ui/field_lengths_dialog.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::addressbook {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

TNewDatabaseDialog::TNewDatabaseDialog(QWidget* parent, std::filesystem::path dataFolder)
    : QDialog(parent),
      dataFolder_(dataFolder.empty() ? store::DataFolder() : std::move(dataFolder)),
      lengths_(store::ReadNewFileFieldLengths(store::SettingsFile::standard())) {
    setObjectName(QStringLiteral("NewDatabaseDialog"));
    setWindowTitle(QStringLiteral("Create new database"));

    auto* prompt = new QLabel(QStringLiteral("Enter the database name (no extension)"), this);
    prompt->setObjectName(QStringLiteral("NameLabel"));
    nameBox_ = new QLineEdit(this);
    nameBox_->setObjectName(QStringLiteral("NameEdit"));
    nameBox_->setMaxLength(kMaxDatabaseNameLength);
    prompt->setBuddy(nameBox_);

    invalidLabel_ = new QLabel(fromView(kInvalidDatabaseNameMessage), this);
    invalidLabel_->setObjectName(QStringLiteral("InvalidNameLabel"));
    invalidLabel_->setWordWrap(true);
    QPalette warn = invalidLabel_->palette();
    warn.setColor(QPalette::WindowText, Qt::red);
    invalidLabel_->setPalette(warn);

    auto [ok, cancel, help] = MakeDialogButtons(*this, QStringLiteral("Ok [PgDn]"), [this] {
        if (help_)
            help_(kHelpTopic);
    });
    ok_ = ok;
    auto* lengths = new QPushButton(QStringLiteral("Specify Field Lengths"), this);
    lengths->setObjectName(QStringLiteral("FieldLengthsButton"));
    connect(lengths, &QPushButton::clicked, this, &TNewDatabaseDialog::specifyFieldLengths);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(lengths);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(nameBox_);
    layout->addWidget(invalidLabel_);
    layout->addLayout(buttons);
    invalidLabel_->setMinimumWidth(
        invalidLabel_->fontMetrics().horizontalAdvance(invalidLabel_->text()) / 2);

    connect(nameBox_, &QLineEdit::textChanged, this, &TNewDatabaseDialog::nameChanged);
    nameBox_->setText(QString::fromStdString(FirstFreeDatabaseName(dataFolder_)));
    nameBox_->selectAll();
    nameChanged();
}

QString TNewDatabaseDialog::name() const {
    return nameBox_->text();
}

store::FieldLengths TNewDatabaseDialog::fieldLengths() const {
    return ToFieldLengths(lengths_);
}

void TNewDatabaseDialog::nameChanged() {
    bool valid = IsValidDatabaseName(nameBox_->text().toStdString());
    ok_->setEnabled(valid);
    // Keep the line's room so the dialog does not jump while typing.
    QSizePolicy policy = invalidLabel_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    invalidLabel_->setSizePolicy(policy);
    invalidLabel_->setVisible(!valid);
}

void TNewDatabaseDialog::specifyFieldLengths() {
    TFieldLengthsDialog dialog(lengths_, this);
    dialog.setHelpHandler(help_);
    if (dialog.exec() == QDialog::Accepted)
        lengths_ = dialog.lengths();
}

void TNewDatabaseDialog::accept() {
    std::string name = nameBox_->text().toStdString();
    if (!IsValidDatabaseName(name))
        return;
    if (DatabaseFileExists(dataFolder_, name)) {
        qp::ui::ShowInfo(fromView(kDatabaseExistsMessage), this);
        nameBox_->setFocus();
        nameBox_->selectAll();
        return;
    }
    path_ = DatabasePath(dataFolder_, name);
    QDialog::accept();
}

void TNewDatabaseDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageDown && event->modifiers() == Qt::NoModifier) {
        if (ok_->isEnabled())
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TNewDatabaseDialog::showEvent(QShowEvent* event) {
    qp::ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

} // namespace qp::addressbook
