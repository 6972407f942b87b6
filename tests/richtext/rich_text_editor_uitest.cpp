// The editor widget: tool bar, dialogs, word wrap, page breaks, undo, find
// and replace, the ruler and RTF files.

#include "richtext/page_settings.h"
#include "richtext/text_finder.h"
#include "richtext/ui/find_replace_dialog.h"
#include "richtext/ui/inch_ruler.h"
#include "richtext/ui/page_settings_dialog.h"
#include "richtext/ui/paragraph_dialog.h"
#include "richtext/ui/rich_text_editor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace qp::richtext;

class TRichTextEditorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(Home_.isValid());
        qputenv("QUILLPOST_HOME", Home_.path().toUtf8());
    }

    void toolBarFormatsTheSelection() {
        TRichTextEditor editor;
        QCOMPARE(editor.FontBox()->toolTip(), QString("Font"));
        QCOMPARE(editor.SizeBox()->toolTip(), QString("Font Size"));
        QCOMPARE(editor.SizeBox()->itemText(0), QString("6"));
        editor.InsertText("Dear friend");
        editor.SetCaret(0, 4);
        editor.BoldAction->trigger();
        editor.ItalicAction->trigger();
        QTextCursor c(editor.Document());
        c.setPosition(2);
        QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
        QVERIFY(c.charFormat().fontItalic());
        c.setPosition(7);
        QVERIFY(c.charFormat().fontWeight() != QFont::Bold);
        QVERIFY(editor.BoldAction->isChecked());
        editor.NormalAction->trigger();
        c.setPosition(2);
        QVERIFY(c.charFormat().fontWeight() != QFont::Bold);
        QVERIFY(!c.charFormat().fontItalic());

        editor.SetCaret(0, 4);
        editor.SizeBox()->setEditText("5"); // below the smallest size: ignored
        emit editor.SizeBox()->textActivated("5");
        emit editor.SizeBox()->textActivated("18");
        c.setPosition(2);
        QCOMPARE(c.charFormat().fontPointSize(), 18.0);

        editor.AlignCenterAction->trigger();
        QCOMPARE(editor.Document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QVERIFY(editor.AlignCenterAction->isChecked());
        QVERIFY(!editor.AlignLeftAction->isChecked());
    }

    void pageBreakUndoAndRedo() {
        TRichTextEditor editor;
        editor.InsertText("one");
        editor.TextEdit()->textCursor().insertBlock();
        editor.InsertText("two");
        editor.InsertPageBreak();
        const auto breaks = [&] {
            return bool(editor.Document()->lastBlock().blockFormat().pageBreakPolicy() &
                        QTextFormat::PageBreak_AlwaysBefore);
        };
        QVERIFY(breaks());
        QVERIFY(editor.UndoAction->isEnabled());
        editor.UndoAction->trigger();
        QVERIFY(!breaks());
        QVERIFY(editor.RedoAction->isEnabled());
        editor.RedoAction->trigger();
        QVERIFY(breaks());
    }

    void wordWrapOffLaysOutAtThePageWidth() {
        TRichTextEditor editor;
        editor.resize(300, 300);
        QVERIFY(!editor.WordWrap());
        QCOMPARE(editor.TextEdit()->lineWrapMode(), QTextEdit::FixedPixelWidth);
        const double width = TextAreaInLayoutUnits(editor.PageSettings()).width();
        QCOMPARE(editor.TextEdit()->lineWrapColumnOrWidth(),
                 qRound(width + 2 * editor.Document()->documentMargin()));
        QCOMPARE(editor.WordWrapAction->text(), QString("&Word Wrap is OFF"));
        editor.WordWrapAction->trigger();
        QVERIFY(editor.WordWrap());
        QCOMPARE(editor.TextEdit()->lineWrapMode(), QTextEdit::WidgetWidth);
        QCOMPARE(editor.WordWrapAction->text(), QString("&Word Wrap is ON"));
        // A narrower page narrows the laid-out lines when wrap is off.
        editor.SetWordWrap(false);
        editor.SetPageSettings({8391, 11906, 720, 720, 720, 720});
        QCOMPARE(editor.TextEdit()->lineWrapColumnOrWidth(),
                 qRound(TwipsToLayout(8391 - 1440) + 2 * editor.Document()->documentMargin()));
    }

    void pageSettingsDialogUnits() {
        TPageSettingsDialog dialog(TPageSettings{});
        QCOMPARE(dialog.Field("Width")->value(), 8.5);
        dialog.SetUnit(luCm);
        QCOMPARE(dialog.Field("Width")->value(), 21.59);
        QCOMPARE(dialog.Field("Left")->value(), 2.54);
        dialog.SetUnit(luTwips);
        QCOMPARE(dialog.Field("Height")->value(), 15840.0);
        dialog.Field("Top")->setValue(720);
        QCOMPARE(dialog.Page().TopMargin, 720);
        QCOMPARE(dialog.Page().PageWidth, 12240);
        dialog.SetUnit(luInch);
        QCOMPARE(dialog.Field("Top")->value(), 0.5);
        // Margins that leave no text are refused and the dialog stays open.
        dialog.Field("Left")->setValue(5);
        dialog.Field("Right")->setValue(5);
        dialog.show();
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.result() != QDialog::Accepted);
        dialog.Field("Right")->setValue(1);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void paragraphDialogIndentsAndSpacing() {
        QTextBlockFormat f;
        f.setLeftMargin(TwipsToLayout(720));
        f.setTopMargin(TwipsToLayout(240));
        f.setAlignment(Qt::AlignRight);
        TParagraphDialog dialog(f);
        QVERIFY(dialog.SameAsLeft->isChecked());
        QVERIFY(!dialog.FirstIndent->isEnabled());
        QCOMPARE(dialog.LeftIndent->value(), 0.5);
        QCOMPARE(dialog.SpaceBefore->value(), 12.0);
        dialog.IndentedBy->setChecked(true);
        dialog.FirstIndent->setValue(0.25);
        dialog.SetUnit(luCm);
        QCOMPARE(dialog.LeftIndent->value(), 1.27);
        dialog.RightIndent->setValue(2.54);
        dialog.LineHeight->setValue(14);
        dialog.SpaceAfter->setValue(6);
        const QTextBlockFormat out = dialog.Format();
        QCOMPARE(qRound(LayoutToTwips(out.textIndent())), 360);
        QCOMPARE(qRound(LayoutToTwips(out.leftMargin())), 720);
        QCOMPARE(qRound(LayoutToTwips(out.rightMargin())), 1440);
        QCOMPARE(qRound(LayoutToTwips(out.bottomMargin())), 120);
        QCOMPARE(out.lineHeightType(), int(QTextBlockFormat::MinimumHeight));
        QCOMPARE(qRound(LayoutToTwips(out.lineHeight())), 280);
        QCOMPARE(out.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }

    void findAndReplaceAcrossRuns() {
        TRichTextEditor editor;
        QTextCursor c = editor.TextEdit()->textCursor();
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.insertText("Hello [Fi", bold);
        c.insertText("rst] and [FIRST].", QTextCharFormat());
        editor.SetCaret(0);
        TFindReplaceDialog dialog(editor.TextEdit(), true);
        dialog.FindText->setText("[first]");
        QVERIFY(dialog.FindNext());
        QCOMPARE(editor.TextEdit()->textCursor().selectionStart(), 6);
        dialog.ReplaceText->setText("Ann");
        QVERIFY(dialog.ReplaceOne());
        QCOMPARE(PlainText(*editor.Document()), QString("Hello Ann and [FIRST].\n"));
        QTextCursor at(editor.Document());
        at.setPosition(7);
        QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
        // The next match is selected after a replacement.
        QCOMPARE(editor.TextEdit()->textCursor().selectedText(), QString("[FIRST]"));
        dialog.MatchCase->setChecked(true);
        dialog.FindText->setText("[first]");
        QVERIFY(!dialog.FindNext());
        QVERIFY(dialog.Status->text().contains("not found"));
        dialog.MatchCase->setChecked(false);
        QCOMPARE(dialog.ReplaceAll(), 1);
        QCOMPARE(PlainText(*editor.Document()), QString("Hello Ann and Ann.\n"));
        editor.UndoAction->trigger();
        QCOMPARE(PlainText(*editor.Document()), QString("Hello Ann and [FIRST].\n"));
    }

    void rulerSetsTabStopsAndIndents() {
        TRichTextEditor editor;
        editor.resize(900, 400);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.InsertText("a\tb");
        TInchRuler* ruler = editor.Ruler();
        const int x = qRound(ruler->Origin() + LayoutDpi()); // one inch in
        QTest::mouseClick(ruler, Qt::LeftButton, {}, QPoint(x, ruler->height() - 3));
        const auto tabs = editor.ParagraphFormat().tabPositions();
        QCOMPARE(tabs.size(), 1);
        QCOMPARE(qRound(LayoutToTwips(tabs[0].position)), 1440);
        // Drag the left indent marker half an inch to the right.
        const int left = qRound(ruler->Origin());
        QTest::mousePress(ruler, Qt::LeftButton, {}, QPoint(left, ruler->height() - 2));
        QMouseEvent move(QEvent::MouseMove, QPointF(left + LayoutDpi() / 2, ruler->height() - 2),
                         ruler->mapToGlobal(QPointF(left + LayoutDpi() / 2, ruler->height() - 2)),
                         Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(ruler, &move);
        QTest::mouseRelease(ruler, Qt::LeftButton, {},
                            QPoint(qRound(left + LayoutDpi() / 2), ruler->height() - 2));
        QCOMPARE(qRound(LayoutToTwips(editor.ParagraphFormat().leftMargin())), 720);
        // The first line stayed where it was.
        QCOMPARE(qRound(LayoutToTwips(editor.ParagraphFormat().leftMargin() +
                                      editor.ParagraphFormat().textIndent())),
                 0);
    }

    void rtfFilesThroughTheEditor() {
        TRichTextEditor editor;
        editor.SetPageSettings({15840, 12240, 1000, 1000, 1000, 1000});
        QTextCharFormat italic;
        italic.setFontItalic(true);
        editor.TextEdit()->textCursor().insertText("Saved text", italic);
        const QString path = Home_.filePath("saved.rtf");
        QVERIFY(editor.SaveRtf(path).Ok);
        QVERIFY(!editor.Document()->isModified());

        TRichTextEditor other;
        const TFileResult r = other.LoadRtf(path);
        QVERIFY(r.Ok);
        QCOMPARE(PlainText(*other.Document()), QString("Saved text\n"));
        QCOMPARE(other.PageSettings(), editor.PageSettings());
        QTextCursor c(other.Document());
        c.setPosition(3);
        QVERIFY(c.charFormat().fontItalic());

        // A file that cannot be read leaves the document as it was.
        const TFileResult missing = other.LoadRtf(Home_.filePath("missing.rtf"));
        QVERIFY(!missing.Ok);
        QVERIFY(missing.Error.contains("missing.rtf"));
        QCOMPARE(PlainText(*other.Document()), QString("Saved text\n"));

        // Insert at the caret.
        other.SetCaret(5);
        QVERIFY(other.InsertRtf(path).Ok);
        QCOMPARE(PlainText(*other.Document()), QString("SavedSaved text text\n"));
        // Saving into a folder that does not exist fails and says where.
        const TFileResult bad = editor.SaveRtf(Home_.filePath("no/such/folder.rtf"));
        QVERIFY(!bad.Ok);
        QVERIFY(!bad.Error.isEmpty());
    }

private:
    QTemporaryDir Home_;
};

QTEST_MAIN(TRichTextEditorTest)
#include "rich_text_editor_uitest.moc"
