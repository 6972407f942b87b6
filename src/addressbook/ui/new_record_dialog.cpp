#include "addressbook/ui/new_record_dialog.h"

#include "addressbook/ui/dialog_buttons.h"

#include "store/ui/common_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::addressbook {

TNewRecordDialog::TNewRecordDialog(const NewRecordOptions& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName(QStringLiteral("NewRecordDialog"));
    setWindowTitle(QStringLiteral("New Record"));

    auto* form = new QFormLayout;
    auto makeBox = [&](const QString& name, const QString& caption, int width) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        box->setMaxLength(width);
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('M')) *
                             qBound(8, width, 24));
        RestrictToWindows1252(*box);
        box->installEventFilter(this);
        auto* label = new QLabel(caption, this);
        label->setObjectName(name + QStringLiteral("Label"));
        label->setBuddy(box);
        form->addRow(label, box);
        return box;
    };
    // Rows only for the boxes asked, so the ZIP moves up when names are not.
    if (options_.askNames) {
        last_ = makeBox(QStringLiteral("LastNameEdit"), QStringLiteral("Last Name"),
                        options_.lastNameWidth);
        first_ = makeBox(QStringLiteral("FirstNameEdit"), QStringLiteral("First Name"),
                         options_.firstNameWidth);
    }
    if (options_.askZip)
        zip_ = makeBox(QStringLiteral("ZipEdit"), QStringLiteral("Zip Code or Postal Code"),
                       options_.zipWidth);

    auto [ok, cancel, help] = MakeDialogButtons(*this, QStringLiteral("Ok [PgDn]"), [this] {
        if (help_)
            help_(kHelpTopic);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TNewRecordDialog::lastName() const {
    return last_ ? last_->text() : QString();
}

QString TNewRecordDialog::firstName() const {
    return first_ ? first_->text() : QString();
}

QString TNewRecordDialog::zip() const {
    return zip_ ? zip_->text() : QString();
}

bool TNewRecordDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
        if (key->key() == Qt::Key_PageDown && plain) {
            accept();
            return true;
        }
        // Leaving the first name forward finishes the dialog when no ZIP is
        // asked; clicking Cancel or Help from there does not.
        if (watched == first_ && key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier &&
            TabOutOfFirstNameIsOk(options_)) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TNewRecordDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageDown && event->modifiers() == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TNewRecordDialog::showEvent(QShowEvent* event) {
    qp::ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

} // namespace qp::addressbook
