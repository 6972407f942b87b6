#pragma once
// The rich-text editor: a text area laid out like the page, a formatting
// tool bar, an inch ruler, find and replace, page breaks, paragraph and page
// settings, word wrap, undo and redo, and RTF files. Windows that write
// letters put its actions in their menus.

#include "richtext/page_settings.h"
#include "richtext/rtf_file.h"

#include <QTextEdit>
#include <QWidget>

class QAction;
class QComboBox;
class QFontComboBox;
class QToolBar;

namespace qp::richtext {

class TInchRuler;

// The text area: paints a dashed line above each paragraph that starts a
// new page, so a page break shows where it is.
class TPageTextEdit : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

protected:
    void paintEvent(QPaintEvent* e) override;
};

class TRichTextEditor : public QWidget {
    Q_OBJECT
public:
    explicit TRichTextEditor(QWidget* parent = nullptr);

    QTextEdit* TextEdit() const { return Edit_; }
    QTextDocument* Document() const { return Edit_->document(); }
    QToolBar* ToolBar() const { return ToolBar_; }
    TInchRuler* Ruler() const { return Ruler_; }
    QFontComboBox* FontBox() const { return FontBox_; }
    QComboBox* SizeBox() const { return SizeBox_; }

    TPageSettings PageSettings() const;
    void SetPageSettings(const TPageSettings& page);

    void Clear();
    void InsertText(const QString& text); // at the caret, in the format there
    void SetCaret(int position, int selectionLength = 0);
    QTextCharFormat CaretCharFormat() const;
    void SetCaretCharFormat(const QTextCharFormat& format); // merged over what is there
    QTextBlockFormat ParagraphFormat() const;
    void SetParagraphFormat(const QTextBlockFormat& format);
    void InsertPageBreak(); // the paragraph at the caret starts a new page

    bool WordWrap() const { return WordWrap_; }
    // On: lines wrap at the window's width. Off: lines are laid out at the
    // page's text width, as printed, with a horizontal scroll bar.
    void SetWordWrap(bool on);

    TFileResult LoadRtf(const QString& path);
    TFileResult SaveRtf(const QString& path);
    TFileResult InsertRtf(const QString& path); // at the caret

    // The editor's own dialogs. Each returns whether something changed.
    bool EditPageSettings();
    bool EditParagraph();
    void ShowFind();
    void ShowReplace();
    bool SaveRtfAs();
    bool LoadRtfChosen();
    bool InsertRtfChosen();

    QAction* FindAction;
    QAction* ReplaceAction;
    QAction* PageBreakAction;
    QAction* ParagraphAction;
    QAction* PageSettingsAction;
    QAction* WordWrapAction;
    QAction* UndoAction;
    QAction* RedoAction;
    QAction* NormalAction;
    QAction* BoldAction;
    QAction* ItalicAction;
    QAction* UnderlineAction;
    QAction* AlignLeftAction;
    QAction* AlignCenterAction;
    QAction* AlignRightAction;
    QAction* AlignJustifyAction;
    QAction* TextColorAction;
    QAction* BackgroundColorAction;

signals:
    void PageSettingsChanged();

private:
    void BuildToolBar();
    void ShowCharFormat(const QTextCharFormat& f);
    void ShowAlignment();
    void ApplyWrap();
    void SetAlignment(Qt::Alignment a);
    void FileProblem(const TFileResult& r);

    TPageTextEdit* Edit_;
    QToolBar* ToolBar_;
    TInchRuler* Ruler_;
    QFontComboBox* FontBox_;
    QComboBox* SizeBox_;
    bool WordWrap_ = false;
};

} // namespace qp::richtext
