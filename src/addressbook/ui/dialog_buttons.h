#pragma once
// The Ok, Cancel and Help buttons most dialogs end with: named for context
// help, Ok the default and accepting, Cancel rejecting, Help calling back.

#include <QString>

#include <functional>

class QDialog;
class QPushButton;

namespace qp::addressbook {

struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* help = nullptr;
};

DialogButtons MakeDialogButtons(QDialog& dialog, const QString& okCaption,
                                std::function<void()> onHelp);

} // namespace qp::addressbook
