#pragma once
// Find and replace in an editor: matches may span formatting runs, letter
// case is ignored unless "Match case" is checked, a replacement keeps the
// format of the text it replaces. The search wraps round the document once.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace qp::richtext {

class TFindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    TFindReplaceDialog(QTextEdit* editor, bool replace, QWidget* parent = nullptr);

    bool FindNext();
    bool ReplaceOne(); // replaces the selected match, then finds the next
    int ReplaceAll();

    QLineEdit* FindText;
    QLineEdit* ReplaceText;
    QCheckBox* MatchCase;
    QPushButton* FindButton;
    QPushButton* ReplaceButton;
    QPushButton* ReplaceAllButton;
    QLabel* Status;

private:
    bool SelectionMatches() const;
    QTextEdit* Editor_;
};

} // namespace qp::richtext
