#include "richtext/ui/find_replace_dialog.h"

#include "richtext/text_finder.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace qp::richtext {

TFindReplaceDialog::TFindReplaceDialog(QTextEdit* editor, bool replace, QWidget* parent)
    : QDialog(parent), Editor_(editor) {
    setWindowTitle(replace ? tr("Replace") : tr("Find"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    FindText = new QLineEdit;
    ReplaceText = new QLineEdit;
    form->addRow(tr("Fi&nd what"), FindText);
    form->addRow(tr("Re&place with"), ReplaceText);
    layout->addLayout(form);
    MatchCase = new QCheckBox(tr("Match &case"));
    layout->addWidget(MatchCase);
    Status = new QLabel;
    layout->addWidget(Status);
    auto* buttons = new QDialogButtonBox;
    FindButton = buttons->addButton(tr("&Find Next"), QDialogButtonBox::ActionRole);
    ReplaceButton = buttons->addButton(tr("&Replace"), QDialogButtonBox::ActionRole);
    ReplaceAllButton = buttons->addButton(tr("Replace &All"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    FindButton->setDefault(true);
    if (!replace) {
        form->labelForField(ReplaceText)->hide();
        ReplaceText->hide();
        ReplaceButton->hide();
        ReplaceAllButton->hide();
    }
    const QString selected = editor->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        FindText->setText(selected);
    connect(FindButton, &QPushButton::clicked, this, &TFindReplaceDialog::FindNext);
    connect(ReplaceButton, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceOne);
    connect(ReplaceAllButton, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool TFindReplaceDialog::FindNext() {
    const QString text = FindText->text();
    Status->clear();
    if (text.isEmpty())
        return false;
    QTextDocument* doc = Editor_->document();
    const QTextDocument::FindFlags flags =
        MatchCase->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    QTextCursor found = doc->find(text, Editor_->textCursor().selectionEnd(), flags);
    if (found.isNull()) // once round from the top
        found = doc->find(text, 0, flags);
    if (found.isNull()) {
        Status->setText(tr("\"%1\" was not found.").arg(text));
        return false;
    }
    Editor_->setTextCursor(found);
    return true;
}

bool TFindReplaceDialog::SelectionMatches() const {
    const QTextCursor c = Editor_->textCursor();
    return c.hasSelection() &&
           c.selectedText().compare(FindText->text(), MatchCase->isChecked()
                                                          ? Qt::CaseSensitive
                                                          : Qt::CaseInsensitive) == 0;
}

bool TFindReplaceDialog::ReplaceOne() {
    if (!SelectionMatches())
        return FindNext();
    TTextFinder finder(*Editor_->document());
    const int start = Editor_->textCursor().selectionStart();
    finder.MoveTo(start);
    finder.FindNext(FindText->text(),
                    MatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive);
    finder.Replace(ReplaceText->text());
    QTextCursor after(Editor_->document());
    after.setPosition(start + int(ReplaceText->text().size()));
    Editor_->setTextCursor(after); // the search goes on after the replacement
    FindNext();
    return true;
}

int TFindReplaceDialog::ReplaceAll() {
    const int n =
        qp::richtext::ReplaceAll(*Editor_->document(), FindText->text(), ReplaceText->text(),
                                 MatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive);
    Status->setText(n == 1 ? tr("1 replacement made.") : tr("%1 replacements made.").arg(n));
    return n;
}

} // namespace qp::richtext
