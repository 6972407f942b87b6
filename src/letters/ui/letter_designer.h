#pragma once
// "Letter Designer": the description, the "Insert field" list of merge
// fields, the rich-text editor with its tool bar and ruler, and the File,
// Edit and Settings menus. Ok (and the close box) keeps the letter, Cancel
// and Esc drop it; Preview shows the unsaved letter merged.

#include <QDialog>
#include <QFont>

class QAction;
class QComboBox;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTextDocument;

namespace qp::store {
class Table;
}

namespace qp::richtext {
class TRichTextEditor;
}

namespace qp::letters {

// The default font of new letters, in the settings file.
struct TDefaultLetterFont {
    QString Name = QStringLiteral("Arial");
    int Size = 10;
    bool Bold = false;
    bool Italic = false;
    static TDefaultLetterFont Load();
    void Save() const;
    // "&Default Font: Arial, 10 pt , bold"
    QString MenuCaption() const;
};

class TLetterDesign : public QDialog {
    Q_OBJECT
public:
    // `addressFile` is what the preview merges; nullptr disables Preview.
    TLetterDesign(store::Table* addressFile, QWidget* parent = nullptr);

    void SetDescription(const QString& description);
    QString Description() const;
    // Loads the letter; a new letter starts empty on the default page in the
    // default font.
    void SetDocument(const QTextDocument& doc);
    void SetNewLetter();
    const QTextDocument& Document() const;

    richtext::TRichTextEditor* Editor() const { return Editor_; }
    QComboBox* InsertField() const { return Fields_; }
    QLineEdit* DescriptionEdit() const { return Description_; }
    QAction* SpellAction() const { return Spell_; }
    QAction* WordWrapAction() const { return WordWrap_; }
    QAction* DefaultFontAction() const { return DefaultFont_; }
    QAction* PageBreakAction() const { return PageBreak_; }

    void InsertFieldNamed(const QString& name);
    void InsertPageBreak(); // asks first
    void ToggleWordWrap();
    void ChooseDefaultFont(); // the font dialog, then the caption and settings
    void SetDefaultFont(const TDefaultLetterFont& font); // without the dialog
    void EditPageSettings();
    void SpellCheck();
    void Preview();

public slots:
    void done(int r) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void BuildMenus(QMenuBar* bar);
    void ApplyFontAtCaret(const TDefaultLetterFont& font);

    store::Table* AddressFile_;
    richtext::TRichTextEditor* Editor_;
    QLineEdit* Description_;
    QComboBox* Fields_;
    QAction* Spell_ = nullptr;
    QAction* WordWrap_ = nullptr;
    QAction* DefaultFont_ = nullptr;
    QAction* PageBreak_ = nullptr;
    QPushButton* PreviewButton_ = nullptr;
    TDefaultLetterFont Font_;
    bool NewLetter_ = false;
    bool Shown_ = false;
    bool Closing_ = false;
};

} // namespace qp::letters
