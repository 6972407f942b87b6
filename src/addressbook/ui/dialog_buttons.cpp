#include "addressbook/ui/dialog_buttons.h"

#include <QDialog>
#include <QPushButton>

namespace qp::addressbook {

DialogButtons MakeDialogButtons(QDialog& dialog, const QString& okCaption,
                                std::function<void()> onHelp) {
    DialogButtons b;
    b.ok = new QPushButton(okCaption, &dialog);
    b.ok->setObjectName(QStringLiteral("OkButton"));
    b.ok->setDefault(true);
    b.cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    b.cancel->setObjectName(QStringLiteral("CancelButton"));
    b.help = new QPushButton(QStringLiteral("Help"), &dialog);
    b.help->setObjectName(QStringLiteral("HelpButton"));
    QObject::connect(b.ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(b.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(b.help, &QPushButton::clicked, &dialog, [onHelp = std::move(onHelp)] {
        if (onHelp)
            onHelp();
    });
    return b;
}

} // namespace qp::addressbook
