#include "letters/ui/spell_check_dialog.h"

#include "print/ui/window_hooks.h"
#include "richtext/ui/rich_text_editor.h"
#include "spell/spell_checker.h"
#include "store/ui/common_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::letters {

namespace {
constexpr int kHelpTopic = 1084;
}

TSpellCheckDialog::TSpellCheckDialog(richtext::TRichTextEditor* editor, QWidget* parent,
                                     std::shared_ptr<spell::TSpellChecker> checker)
    : QDialog(parent), Editor_(editor), Checker_(std::move(checker)) {
    setWindowTitle(QStringLiteral("Spell Check"));
    if (!Checker_)
        Checker_ = std::make_shared<spell::TSpellChecker>();
    Words_ = std::make_unique<spell::TWordIterator>(*Editor_->Document());

    auto* layout = new QHBoxLayout(this);
    auto* form = new QFormLayout;
    Error_ = new QLineEdit(this);
    Error_->setObjectName(QStringLiteral("ErrorField"));
    Error_->setReadOnly(true);
    Replacement_ = new QLineEdit(this);
    Replacement_->setObjectName(QStringLiteral("ReplaceField"));
    List_ = new QListWidget(this);
    List_->setObjectName(QStringLiteral("SuggestionList"));
    form->addRow(QStringLiteral("Possible spelling error"), Error_);
    form->addRow(QStringLiteral("Replace with"), Replacement_);
    form->addRow(new QLabel(QStringLiteral("Possible replacements"), this));
    form->addRow(List_);
    layout->addLayout(form, 1);
    connect(List_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Replacement_->setText(item->text()); });
    connect(List_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { Replacement_->setText(item->text()); });

    auto* buttons = new QVBoxLayout;
    auto button = [&](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    auto* replace = button(QStringLiteral("Replace "), QStringLiteral("ReplaceButton"));
    replace->setDefault(true);
    connect(replace, &QPushButton::clicked, this, &TSpellCheckDialog::ReplaceWord);
    connect(button(QStringLiteral("&Skip Word"), QStringLiteral("SkipButton")),
            &QPushButton::clicked, this, &TSpellCheckDialog::SkipWord);
    Add_ = button(QStringLiteral("&Add Word"), QStringLiteral("AddButton"));
    Add_->setEnabled(Checker_->CanAddWords());
    connect(Add_, &QPushButton::clicked, this, &TSpellCheckDialog::AddWord);
    connect(button(QStringLiteral("Cancel"), QStringLiteral("CancelButton")), &QPushButton::clicked,
            this, &QDialog::reject);
    connect(button(QStringLiteral("Help"), QStringLiteral("HelpButton")), &QPushButton::clicked,
            this, [this] { print::ShowHelpTopic(this, kHelpTopic); });
    auto* whatsThis = print::NewMouseHelpButton(this);
    buttons->addWidget(whatsThis);
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

TSpellCheckDialog::~TSpellCheckDialog() = default;

void TSpellCheckDialog::Run() {
    if (!Checker_->IsAvailable()) {
        ui::ShowInfo(QStringLiteral("Spell checking is off. ") + Checker_->DisabledReason(),
                     parentWidget());
        return;
    }
    Words_->MoveToStart();
    if (!FindNext()) {
        Finish();
        return;
    }
    exec();
}

bool TSpellCheckDialog::FindNext() {
    Word_ = spell::NextUnknownWord(*Words_, *Checker_);
    if (Word_.Text.isEmpty())
        return false;
    List_->clear();
    const QStringList suggestions = Checker_->Suggestions(Word_.Text);
    List_->addItems(suggestions);
    Error_->setText(Word_.Text);
    Replacement_->setText(suggestions.isEmpty() ? Word_.Text : suggestions.first());
    Editor_->SetCaret(Word_.Position, Word_.Length());
    Editor_->TextEdit()->ensureCursorVisible();
    return true;
}

void TSpellCheckDialog::Finish() {
    if (Finished_)
        return;
    Finished_ = true;
    hide();
    ui::ShowInfo(QStringLiteral("Spell check complete"), parentWidget());
    done(QDialog::Accepted);
}

void TSpellCheckDialog::ReplaceWord() {
    if (Word_.Text.isEmpty())
        return;
    const QString with = Replacement_->text();
    QTextCursor c(Editor_->Document());
    c.setPosition(Word_.Position);
    c.setPosition(Word_.Position + Word_.Length(), QTextCursor::KeepAnchor);
    if (c.selectedText() == Word_.Text)
        c.insertText(with); // in the word's own format
    Words_->MoveTo(Word_.Position + int(with.size()));
    if (!FindNext())
        Finish();
}

void TSpellCheckDialog::SkipWord() {
    if (!FindNext())
        Finish();
}

void TSpellCheckDialog::AddWord() {
    if (!Word_.Text.isEmpty()) {
        const QString why = Checker_->AddWord(Word_.Text);
        if (!why.isEmpty())
            ui::ShowInfo(why, this);
    }
    if (!FindNext())
        Finish();
}

void TSpellCheckDialog::done(int r) {
    Editor_->SetCaret(0);
    QDialog::done(r);
}

} // namespace qp::letters
