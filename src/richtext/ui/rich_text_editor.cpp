#include "richtext/ui/rich_text_editor.h"

#include "richtext/ui/find_replace_dialog.h"
#include "richtext/ui/inch_ruler.h"
#include "richtext/ui/page_settings_dialog.h"
#include "richtext/ui/paragraph_dialog.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontComboBox>
#include <QIntValidator>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>

namespace qp::richtext {

void TPageTextEdit::paintEvent(QPaintEvent* e) {
    QTextEdit::paintEvent(e);
    QPainter p(viewport());
    p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    const QPointF offset(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (!(b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
            continue;
        const QRectF r = document()->documentLayout()->blockBoundingRect(b).translated(offset);
        if (r.bottom() < 0 || r.top() > viewport()->height())
            continue;
        const double y = r.top() - 1;
        p.drawLine(QPointF(0, y), QPointF(viewport()->width(), y));
    }
}

namespace {

QAction* MakeAction(QObject* parent, const QString& text, const QKeySequence& key = {},
                    bool checkable = false) {
    auto* a = new QAction(text, parent);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    a->setCheckable(checkable);
    return a;
}

} // namespace

TRichTextEditor::TRichTextEditor(QWidget* parent) : QWidget(parent) {
    Edit_ = new TPageTextEdit(this);
    Edit_->setAcceptRichText(true);
    Edit_->setTabChangesFocus(false);
    QTextDocument* doc = Edit_->document();
    doc->setUseDesignMetrics(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    doc->setDefaultFont(font);
    qp::richtext::SetPageSettings(*doc, TPageSettings{});
    Ruler_ = new TInchRuler(Edit_, this);
    ToolBar_ = new QToolBar(this);

    FindAction = MakeAction(this, tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    ReplaceAction = MakeAction(this, tr("&Replace..."), QKeySequence(Qt::CTRL | Qt::Key_R));
    PageBreakAction = MakeAction(this, tr("&Insert Page Break"));
    ParagraphAction = MakeAction(this, tr("&Paragraph Settings..."));
    PageSettingsAction = MakeAction(this, tr("Pa&ge Settings..."));
    WordWrapAction = MakeAction(this, tr("&Word Wrap is OFF"), {}, true);
    UndoAction = MakeAction(this, tr("&Undo"), QKeySequence::Undo);
    RedoAction = MakeAction(this, tr("Re&do"), QKeySequence::Redo);
    for (QAction* a : {FindAction, ReplaceAction, PageBreakAction, ParagraphAction,
                       PageSettingsAction, WordWrapAction})
        addAction(a);
    UndoAction->setEnabled(false);
    RedoAction->setEnabled(false);
    connect(FindAction, &QAction::triggered, this, &TRichTextEditor::ShowFind);
    connect(ReplaceAction, &QAction::triggered, this, &TRichTextEditor::ShowReplace);
    connect(PageBreakAction, &QAction::triggered, this, &TRichTextEditor::InsertPageBreak);
    connect(ParagraphAction, &QAction::triggered, this, &TRichTextEditor::EditParagraph);
    connect(PageSettingsAction, &QAction::triggered, this, &TRichTextEditor::EditPageSettings);
    connect(WordWrapAction, &QAction::toggled, this, &TRichTextEditor::SetWordWrap);
    connect(UndoAction, &QAction::triggered, Edit_, &QTextEdit::undo);
    connect(RedoAction, &QAction::triggered, Edit_, &QTextEdit::redo);
    connect(Edit_, &QTextEdit::undoAvailable, UndoAction, &QAction::setEnabled);
    connect(Edit_, &QTextEdit::redoAvailable, RedoAction, &QAction::setEnabled);

    BuildToolBar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar_);
    layout->addWidget(Ruler_);
    layout->addWidget(Edit_, 1);
    setFocusProxy(Edit_);

    connect(Edit_, &QTextEdit::currentCharFormatChanged, this, &TRichTextEditor::ShowCharFormat);
    connect(Edit_, &QTextEdit::cursorPositionChanged, this, &TRichTextEditor::ShowAlignment);
    ApplyWrap();
    ShowCharFormat(Edit_->currentCharFormat());
    ShowAlignment();
}

void TRichTextEditor::BuildToolBar() {
    FontBox_ = new QFontComboBox(ToolBar_);
    FontBox_->setToolTip(tr("Font"));
    FontBox_->setWritingSystem(QFontDatabase::Latin);
    SizeBox_ = new QComboBox(ToolBar_);
    SizeBox_->setToolTip(tr("Font Size"));
    SizeBox_->setEditable(true);
    SizeBox_->setValidator(new QIntValidator(6, 1638, SizeBox_));
    for (int s : {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        SizeBox_->addItem(QString::number(s));
    ToolBar_->addWidget(FontBox_);
    ToolBar_->addWidget(SizeBox_);
    connect(FontBox_, &QFontComboBox::textActivated, this, [this](const QString& family) {
        QTextCharFormat f;
        f.setFontFamilies({family});
        SetCaretCharFormat(f);
        Edit_->setFocus();
    });
    connect(SizeBox_, &QComboBox::textActivated, this, [this](const QString& text) {
        const double size = text.toDouble();
        if (size < 6)
            return;
        QTextCharFormat f;
        f.setFontPointSize(size);
        SetCaretCharFormat(f);
        Edit_->setFocus();
    });

    NormalAction = MakeAction(this, tr("Normal"));
    NormalAction->setToolTip(tr("Normal: no bold, italic or underline"));
    BoldAction = MakeAction(this, tr("Bold"), QKeySequence::Bold, true);
    ItalicAction = MakeAction(this, tr("Italic"), QKeySequence::Italic, true);
    UnderlineAction = MakeAction(this, tr("Underline"), QKeySequence::Underline, true);
    AlignLeftAction = MakeAction(this, tr("Left"), QKeySequence(Qt::CTRL | Qt::Key_L), true);
    AlignCenterAction = MakeAction(this, tr("Centre"), QKeySequence(Qt::CTRL | Qt::Key_E), true);
    AlignRightAction =
        MakeAction(this, tr("Right"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), true);
    AlignJustifyAction = MakeAction(this, tr("Justify"), QKeySequence(Qt::CTRL | Qt::Key_J), true);
    TextColorAction = MakeAction(this, tr("Text Colour"));
    BackgroundColorAction = MakeAction(this, tr("Background Colour"));
    QAction* cut = MakeAction(this, tr("Cut"));
    QAction* copy = MakeAction(this, tr("Copy"));
    QAction* paste = MakeAction(this, tr("Paste"));

    ToolBar_->addAction(NormalAction);
    ToolBar_->addAction(BoldAction);
    ToolBar_->addAction(ItalicAction);
    ToolBar_->addAction(UnderlineAction);
    ToolBar_->addSeparator();
    for (QAction* a : {AlignLeftAction, AlignCenterAction, AlignRightAction, AlignJustifyAction})
        ToolBar_->addAction(a);
    ToolBar_->addSeparator();
    ToolBar_->addAction(TextColorAction);
    ToolBar_->addAction(BackgroundColorAction);
    ToolBar_->addSeparator();
    for (QAction* a : {cut, copy, paste})
        ToolBar_->addAction(a);
    ToolBar_->addAction(UndoAction);
    ToolBar_->addAction(RedoAction);
    for (QAction* a : {BoldAction, ItalicAction, UnderlineAction, AlignLeftAction,
                       AlignCenterAction, AlignRightAction, AlignJustifyAction})
        addAction(a);

    connect(NormalAction, &QAction::triggered, this, [this] {
        QTextCharFormat f;
        f.setFontWeight(QFont::Normal);
        f.setFontItalic(false);
        f.setFontUnderline(false);
        f.setFontStrikeOut(false);
        SetCaretCharFormat(f);
    });
    connect(BoldAction, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        SetCaretCharFormat(f);
    });
    connect(ItalicAction, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontItalic(on);
        SetCaretCharFormat(f);
    });
    connect(UnderlineAction, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontUnderline(on);
        SetCaretCharFormat(f);
    });
    connect(AlignLeftAction, &QAction::triggered, this, [this] { SetAlignment(Qt::AlignLeft); });
    connect(AlignCenterAction, &QAction::triggered, this,
            [this] { SetAlignment(Qt::AlignHCenter); });
    connect(AlignRightAction, &QAction::triggered, this, [this] { SetAlignment(Qt::AlignRight); });
    connect(AlignJustifyAction, &QAction::triggered, this,
            [this] { SetAlignment(Qt::AlignJustify); });
    connect(TextColorAction, &QAction::triggered, this, [this] {
        const QColor c = QColorDialog::getColor(Qt::black, this, tr("Text Colour"));
        if (!c.isValid())
            return;
        QTextCharFormat f;
        f.setForeground(c);
        SetCaretCharFormat(f);
    });
    connect(BackgroundColorAction, &QAction::triggered, this, [this] {
        const QColor c = QColorDialog::getColor(Qt::yellow, this, tr("Background Colour"));
        if (!c.isValid())
            return;
        QTextCharFormat f;
        f.setBackground(c);
        SetCaretCharFormat(f);
    });
    connect(cut, &QAction::triggered, Edit_, &QTextEdit::cut);
    connect(copy, &QAction::triggered, Edit_, &QTextEdit::copy);
    connect(paste, &QAction::triggered, Edit_, &QTextEdit::paste);
}

void TRichTextEditor::ShowCharFormat(const QTextCharFormat& f) {
    const QFont font = f.font();
    const QSignalBlocker b1(FontBox_), b2(SizeBox_);
    FontBox_->setCurrentFont(font);
    SizeBox_->setEditText(QString::number(font.pointSizeF()));
    BoldAction->setChecked(font.bold());
    ItalicAction->setChecked(font.italic());
    UnderlineAction->setChecked(font.underline());
}

void TRichTextEditor::ShowAlignment() {
    const Qt::Alignment a = Edit_->alignment() & Qt::AlignHorizontal_Mask;
    AlignLeftAction->setChecked(a == Qt::AlignLeft || a == Qt::AlignLeading);
    AlignCenterAction->setChecked(a == Qt::AlignHCenter);
    AlignRightAction->setChecked(a == Qt::AlignRight || a == Qt::AlignTrailing);
    AlignJustifyAction->setChecked(a == Qt::AlignJustify);
}

void TRichTextEditor::SetAlignment(Qt::Alignment a) {
    Edit_->setAlignment(a);
    ShowAlignment();
}

TPageSettings TRichTextEditor::PageSettings() const {
    return qp::richtext::PageSettings(*Edit_->document());
}

void TRichTextEditor::SetPageSettings(const TPageSettings& page) {
    qp::richtext::SetPageSettings(*Edit_->document(), page);
    ApplyWrap();
    emit PageSettingsChanged();
}

void TRichTextEditor::ApplyWrap() {
    const double width = TextAreaInLayoutUnits(PageSettings()).width();
    Ruler_->SetTextWidth(width);
    if (WordWrap_) {
        Edit_->setLineWrapMode(QTextEdit::WidgetWidth);
    } else {
        Edit_->setLineWrapMode(QTextEdit::FixedPixelWidth);
        Edit_->setLineWrapColumnOrWidth(qRound(width + 2 * Edit_->document()->documentMargin()));
    }
    Edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    WordWrapAction->setText(WordWrap_ ? tr("&Word Wrap is ON") : tr("&Word Wrap is OFF"));
    const QSignalBlocker block(WordWrapAction);
    WordWrapAction->setChecked(WordWrap_);
}

void TRichTextEditor::SetWordWrap(bool on) {
    WordWrap_ = on;
    ApplyWrap();
}

void TRichTextEditor::Clear() {
    const TPageSettings page = PageSettings();
    Edit_->clear();
    qp::richtext::SetPageSettings(*Edit_->document(), page);
}

void TRichTextEditor::InsertText(const QString& text) {
    Edit_->textCursor().insertText(text);
}

void TRichTextEditor::SetCaret(int position, int selectionLength) {
    QTextCursor c(Edit_->document());
    const int last = Edit_->document()->characterCount() - 1;
    c.setPosition(std::clamp(position, 0, last));
    c.setPosition(std::clamp(position + selectionLength, 0, last), QTextCursor::KeepAnchor);
    Edit_->setTextCursor(c);
}

QTextCharFormat TRichTextEditor::CaretCharFormat() const {
    return Edit_->currentCharFormat();
}

void TRichTextEditor::SetCaretCharFormat(const QTextCharFormat& format) {
    Edit_->mergeCurrentCharFormat(format);
    ShowCharFormat(Edit_->currentCharFormat());
}

QTextBlockFormat TRichTextEditor::ParagraphFormat() const {
    return Edit_->textCursor().blockFormat();
}

void TRichTextEditor::SetParagraphFormat(const QTextBlockFormat& format) {
    Edit_->textCursor().setBlockFormat(format);
    ShowAlignment();
    Ruler_->update();
}

void TRichTextEditor::InsertPageBreak() {
    QTextBlockFormat f;
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    Edit_->textCursor().mergeBlockFormat(f);
    Edit_->viewport()->update();
}

TFileResult TRichTextEditor::LoadRtf(const QString& path) {
    QTextDocument loaded;
    TFileResult r = LoadRtfFile(path, loaded);
    if (!r.Ok)
        return r; // the document stays as it was
    CopyDocument(loaded, *Edit_->document());
    Edit_->document()->setModified(false);
    SetCaret(0);
    ApplyWrap();
    emit PageSettingsChanged();
    return r;
}

TFileResult TRichTextEditor::SaveRtf(const QString& path) {
    TFileResult r = SaveRtfFile(*Edit_->document(), path);
    if (r.Ok)
        Edit_->document()->setModified(false);
    return r;
}

TFileResult TRichTextEditor::InsertRtf(const QString& path) {
    return InsertRtfFile(path, *Edit_->document(), Edit_->textCursor().position());
}

bool TRichTextEditor::EditPageSettings() {
    TPageSettingsDialog dialog(PageSettings(), this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    SetPageSettings(dialog.Page());
    return true;
}

bool TRichTextEditor::EditParagraph() {
    TParagraphDialog dialog(ParagraphFormat(), this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    SetParagraphFormat(dialog.Format());
    return true;
}

void TRichTextEditor::ShowFind() {
    auto* d = new TFindReplaceDialog(Edit_, false, this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->show();
}

void TRichTextEditor::ShowReplace() {
    auto* d = new TFindReplaceDialog(Edit_, true, this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->show();
}

void TRichTextEditor::FileProblem(const TFileResult& r) {
    if (!r.Ok)
        QMessageBox::warning(this, tr("Rich Text"), r.Error);
    else if (!r.Warning.isEmpty())
        QMessageBox::warning(this, tr("Rich Text"), r.Warning);
}

bool TRichTextEditor::SaveRtfAs() {
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Save as RTF"), QString(), tr("Rich text (*.rtf)"));
    if (path.isEmpty())
        return false;
    const TFileResult r = SaveRtf(path);
    FileProblem(r);
    return r.Ok;
}

bool TRichTextEditor::LoadRtfChosen() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Load RTF"), QString(),
                                                      tr("Rich text (*.rtf);;All files (*)"));
    if (path.isEmpty())
        return false;
    const TFileResult r = LoadRtf(path);
    FileProblem(r);
    return r.Ok;
}

bool TRichTextEditor::InsertRtfChosen() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Insert RTF"), QString(),
                                                      tr("Rich text (*.rtf);;All files (*)"));
    if (path.isEmpty())
        return false;
    const TFileResult r = InsertRtf(path);
    FileProblem(r);
    return r.Ok;
}

} // namespace qp::richtext
