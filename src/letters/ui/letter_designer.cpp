#include "letters/ui/letter_designer.h"

#include "letters/merge_fields.h"
#include "letters/ui/letter_preview.h"
#include "letters/ui/spell_check_dialog.h"
#include "print/ui/window_hooks.h"
#include "richtext/page_settings.h"
#include "richtext/ui/rich_text_editor.h"
#include "spell/dictionary_location.h"
#include "store/settings_file.h"
#include "store/ui/common_dialogs.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::letters {

namespace {

constexpr int kHelpTopic = 1085;
constexpr const char* kSection = "Letter";

} // namespace

TDefaultLetterFont TDefaultLetterFont::Load() {
    const auto settings = store::SettingsFile::standard();
    TDefaultLetterFont f;
    f.Name = QString::fromStdString(settings.readString(kSection, "DefaultFontName", "Arial"));
    f.Size = settings.readInteger(kSection, "DefaultFontSize", 10);
    if (f.Size < 1 || f.Size > 1638)
        f.Size = 10;
    f.Bold = settings.readBool(kSection, "DefaultFontBold", false);
    f.Italic = settings.readBool(kSection, "DefaultFontItalic", false);
    return f;
}

void TDefaultLetterFont::Save() const {
    auto settings = store::SettingsFile::standard();
    // The settings file may be read-only; the font then lasts this session.
    (void)settings.writeString(kSection, "DefaultFontName", Name.toStdString());
    (void)settings.writeInteger(kSection, "DefaultFontSize", Size);
    (void)settings.writeBool(kSection, "DefaultFontBold", Bold);
    (void)settings.writeBool(kSection, "DefaultFontItalic", Italic);
}

QString TDefaultLetterFont::MenuCaption() const {
    QString s = QStringLiteral("&Default Font: ") + Name + QStringLiteral(", ") +
                QString::number(Size) + QStringLiteral(" pt ");
    if (Bold)
        s += QStringLiteral(", bold");
    if (Italic)
        s += QStringLiteral(", italic");
    return s;
}

TLetterDesign::TLetterDesign(store::Table* addressFile, QWidget* parent)
    : QDialog(parent), AddressFile_(addressFile) {
    setWindowTitle(QStringLiteral("Letter Designer"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);

    auto* top = new QHBoxLayout;
    auto* descLabel = new QLabel(QStringLiteral("Descri&ption"), this);
    Description_ = new QLineEdit(this);
    Description_->setObjectName(QStringLiteral("DescriptionEdit"));
    Description_->setMaxLength(50);
    descLabel->setBuddy(Description_);
    auto* fieldLabel = new QLabel(QStringLiteral("Insert &field"), this);
    Fields_ = new QComboBox(this);
    Fields_->setObjectName(QStringLiteral("InsertFieldBox"));
    for (const char* name : kInsertFieldNames)
        Fields_->addItem(QString::fromLatin1(name));
    Fields_->setCurrentIndex(0);
    Fields_->setMaxVisibleItems(kMergeTokenCount);
    fieldLabel->setBuddy(Fields_);
    connect(Fields_, &QComboBox::activated, this,
            [this](int i) { InsertFieldNamed(Fields_->itemText(i)); });
    top->addWidget(descLabel);
    top->addWidget(Description_, 2);
    top->addSpacing(12);
    top->addWidget(fieldLabel);
    top->addWidget(Fields_, 1);
    layout->addLayout(top);

    Editor_ = new richtext::TRichTextEditor(this);
    Editor_->setObjectName(QStringLiteral("LetterEditor"));
    layout->addWidget(Editor_, 1);

    auto* row = new QHBoxLayout;
    auto button = [&](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    auto* ok = button(QStringLiteral("Ok"), QStringLiteral("OkButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(button(QStringLiteral("Cancel"), QStringLiteral("CancelButton")), &QPushButton::clicked,
            this, &QDialog::reject);
    PreviewButton_ = button(QStringLiteral("Pre&view"), QStringLiteral("PreviewButton"));
    PreviewButton_->setEnabled(AddressFile_ != nullptr);
    connect(PreviewButton_, &QPushButton::clicked, this, &TLetterDesign::Preview);
    connect(button(QStringLiteral("Help"), QStringLiteral("HelpButton")), &QPushButton::clicked,
            this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    auto* whatsThis = print::NewMouseHelpButton(this);
    row->addWidget(whatsThis);
    row->addStretch(1);
    layout->addLayout(row);

    Font_ = TDefaultLetterFont::Load();
    BuildMenus(bar);
    richtext::SetPageSettings(*Editor_->Document(), richtext::TPageSettings{});
    Editor_->SetWordWrap(false);
    resize(820, 640);
}

void TLetterDesign::BuildMenus(QMenuBar* bar) {
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Save as RTF"), this, [this] { Editor_->SaveRtfAs(); });
    file->addAction(QStringLiteral("&Load RTF"), this, [this] { Editor_->LoadRtfChosen(); });
    file->addAction(QStringLiteral("&Insert RTF"), this, [this] { Editor_->InsertRtfChosen(); });

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->addAction(Editor_->UndoAction);
    edit->addAction(Editor_->RedoAction);
    edit->addSeparator();
    QAction* find = edit->addAction(QStringLiteral("&Find"), this, [this] { Editor_->ShowFind(); });
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    QAction* replace =
        edit->addAction(QStringLiteral("&Replace"), this, [this] { Editor_->ShowReplace(); });
    replace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    // The editor's own actions carry the same keys inside it; ours win.
    Editor_->FindAction->setShortcut({});
    Editor_->ReplaceAction->setShortcut({});
    Spell_ = edit->addAction(QStringLiteral("&Spell Check"), this, &TLetterDesign::SpellCheck);
    Spell_->setObjectName(QStringLiteral("actSpellCheck"));
    Spell_->setShortcut(QKeySequence(Qt::Key_F7));
    Spell_->setEnabled(spell::FindMainDictionary().Found());
    PageBreak_ = edit->addAction(QStringLiteral("&Insert Page Break"), this,
                                 &TLetterDesign::InsertPageBreak);

    QMenu* settings = bar->addMenu(QStringLiteral("&Settings"));
    settings->addAction(QStringLiteral("&Paragraph Settings"), this,
                        [this] { Editor_->EditParagraph(); });
    settings->addAction(QStringLiteral("Pa&ge Settings"), this, &TLetterDesign::EditPageSettings);
    WordWrap_ = settings->addAction(QStringLiteral("&Word Wrap is OFF"), this,
                                    &TLetterDesign::ToggleWordWrap);
    WordWrap_->setObjectName(QStringLiteral("actWordWrap"));
    DefaultFont_ =
        settings->addAction(Font_.MenuCaption(), this, &TLetterDesign::ChooseDefaultFont);
    DefaultFont_->setObjectName(QStringLiteral("actDefaultFont"));
}

void TLetterDesign::SetDescription(const QString& description) {
    Description_->setText(description);
}

QString TLetterDesign::Description() const {
    return Description_->text();
}

void TLetterDesign::SetDocument(const QTextDocument& doc) {
    NewLetter_ = false;
    richtext::CopyDocument(doc, *Editor_->Document());
    Editor_->SetPageSettings(richtext::PageSettings(doc));
    Editor_->Document()->setModified(false);
    Editor_->SetCaret(0);
}

void TLetterDesign::SetNewLetter() {
    NewLetter_ = true;
    Editor_->Clear();
    Editor_->SetPageSettings(richtext::TPageSettings{});
    ApplyFontAtCaret(Font_);
    Editor_->Document()->setModified(false);
}

const QTextDocument& TLetterDesign::Document() const {
    return *Editor_->Document();
}

void TLetterDesign::ApplyFontAtCaret(const TDefaultLetterFont& font) {
    QTextCharFormat f;
    f.setFontFamilies({font.Name});
    f.setFontPointSize(font.Size);
    f.setFontWeight(font.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(font.Italic);
    Editor_->SetCaretCharFormat(f);
    if (Editor_->Document()->isEmpty()) {
        // The empty letter's paragraph mark carries the font as well, so
        // that what is typed uses it whatever the caret does first.
        QTextCursor all(Editor_->Document());
        all.mergeBlockCharFormat(f);
    }
}

void TLetterDesign::InsertFieldNamed(const QString& name) {
    Editor_->InsertText(QLatin1Char('[') + name + QLatin1Char(']'));
    const int i = Fields_->findText(name);
    if (i >= 0)
        Fields_->setCurrentIndex(i);
    Editor_->TextEdit()->setFocus();
}

void TLetterDesign::InsertPageBreak() {
    if (!ui::AskYesNo(QStringLiteral("Insert a page break?"), QStringLiteral("PAGE BREAK"), this))
        return;
    Editor_->InsertPageBreak();
}

void TLetterDesign::ToggleWordWrap() {
    Editor_->SetWordWrap(!Editor_->WordWrap());
    WordWrap_->setText(Editor_->WordWrap() ? QStringLiteral("&Word Wrap is ON")
                                           : QStringLiteral("&Word Wrap is OFF"));
}

void TLetterDesign::ChooseDefaultFont() {
    QFont initial(Font_.Name, Font_.Size);
    initial.setBold(Font_.Bold);
    initial.setItalic(Font_.Italic);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, this, QStringLiteral("Default Font"));
    TDefaultLetterFont f = Font_;
    if (ok) {
        f.Name = chosen.family();
        f.Size = chosen.pointSize() > 0 ? chosen.pointSize() : Font_.Size;
        f.Bold = chosen.bold();
        f.Italic = chosen.italic();
        ApplyFontAtCaret(f);
    }
    SetDefaultFont(f);
}

void TLetterDesign::SetDefaultFont(const TDefaultLetterFont& font) {
    Font_ = font;
    DefaultFont_->setText(Font_.MenuCaption());
    Font_.Save();
}

void TLetterDesign::EditPageSettings() {
    // The editor's dialog refuses margins that leave no text; the document is
    // laid out again on the new page.
    if (Editor_->EditPageSettings())
        Editor_->TextEdit()->document()->markContentsDirty(0,
                                                           Editor_->Document()->characterCount());
}

void TLetterDesign::SpellCheck() {
    if (!Spell_->isEnabled())
        return;
    TSpellCheckDialog dialog(Editor_, this);
    ui::CenterDialog(dialog);
    dialog.Run();
}

void TLetterDesign::Preview() {
    if (!AddressFile_)
        return;
    TRTFPreviewForm preview(*AddressFile_, this);
    preview.SetTemplate(*Editor_->Document());
    preview.exec();
}

void TLetterDesign::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (Shown_)
        return;
    Shown_ = true;
    ui::RestoreWindowPlacement(*this);
    Editor_->TextEdit()->setFocus();
}

void TLetterDesign::done(int r) {
    Closing_ = true;
    ui::SaveWindowPlacement(*this);
    QDialog::done(r);
}

void TLetterDesign::closeEvent(QCloseEvent* e) {
    // The close box keeps the letter, as Ok does; Esc and Cancel reject.
    if (!Closing_) {
        e->ignore();
        accept();
        return;
    }
    QDialog::closeEvent(e);
}

} // namespace qp::letters
