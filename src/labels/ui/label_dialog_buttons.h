#pragma once
// The Ok, Cancel and Help row the label windows end with: named for context
// help, Ok the default and accepting, Cancel rejecting, Help opening the
// window's topic.

class QDialog;
class QDialogButtonBox;
class QPushButton;

namespace qp::labels {

struct LabelDialogButtons {
    QDialogButtonBox* box = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* help = nullptr;
};

LabelDialogButtons okCancelHelp(QDialog& dialog, int helpTopic);

} // namespace qp::labels
