#include "labels/ui/label_dialog_buttons.h"

#include "print/ui/window_hooks.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace qp::labels {

LabelDialogButtons okCancelHelp(QDialog& dialog, int helpTopic) {
    LabelDialogButtons b;
    b.box = new QDialogButtonBox(&dialog);
    b.ok = b.box->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    b.ok->setObjectName(QStringLiteral("OkButton"));
    b.ok->setDefault(true);
    b.cancel = b.box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    b.cancel->setObjectName(QStringLiteral("CancelButton"));
    b.help = b.box->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    b.help->setObjectName(QStringLiteral("HelpButton"));
    QObject::connect(b.box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(b.box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(b.help, &QPushButton::clicked, &dialog,
                     [&dialog, helpTopic] { print::ShowHelpTopic(&dialog, helpTopic); });
    return b;
}

} // namespace qp::labels
