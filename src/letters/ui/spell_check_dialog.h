#pragma once
// "Spell Check": goes through the letter word by word and stops at each word
// the main and user dictionaries do not know, with up to 10 suggestions:
// replace it, skip it, or add it to the user dictionary.

#include "spell/word_iterator.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace qp::spell {
class TSpellChecker;
}

namespace qp::richtext {
class TRichTextEditor;
}

namespace qp::letters {

class TSpellCheckDialog : public QDialog {
    Q_OBJECT
public:
    // With the dictionaries the program finds, or with `checker` (tests).
    explicit TSpellCheckDialog(richtext::TRichTextEditor* editor, QWidget* parent = nullptr,
                               std::shared_ptr<spell::TSpellChecker> checker = {});
    ~TSpellCheckDialog() override;

    // Looks for the first unknown word and shows the dialog modally; when
    // every word is known says "Spell check complete" at once.
    void Run();

    QString Word() const { return Word_.Text; }
    QLineEdit* ErrorField() const { return Error_; }
    QLineEdit* ReplaceField() const { return Replacement_; }
    QListWidget* Suggestions() const { return List_; }
    QPushButton* AddButton() const { return Add_; }

    void ReplaceWord();
    void SkipWord();
    void AddWord();

protected:
    void done(int r) override;

private:
    // Shows the next unknown word; false when the text is finished.
    bool FindNext();
    void Finish();

    richtext::TRichTextEditor* Editor_;
    std::shared_ptr<spell::TSpellChecker> Checker_;
    std::unique_ptr<spell::TWordIterator> Words_;
    spell::TWord Word_;
    QLineEdit* Error_;
    QLineEdit* Replacement_;
    QListWidget* List_;
    QPushButton* Add_;
    bool Finished_ = false;
};

} // namespace qp::letters
