// The letter windows: enabling of the letters window, New / Clone / Delete,
// the designer's field list, menus, captions and close box, the preview's
// zoom and paging, and the spell check with a made-up dictionary.

#include "letters/letter_store.h"
#include "letters/letters_test_support.h"
#include "letters/merge_fields.h"
#include "letters/ui/letter_designer.h"
#include "letters/ui/letter_preview.h"
#include "letters/ui/letters_window.h"
#include "letters/ui/spell_check_dialog.h"
#include "richtext/page_settings.h"
#include "richtext/ui/rich_text_editor.h"
#include "spell/spell_checker.h"
#include "store/ui/common_dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace qp;
using namespace qp::letters;

class LettersWindowsTest : public QObject {
    Q_OBJECT

private:
    QStringList messages_;
    bool answer_ = true;

private slots:
    void init() {
        messages_.clear();
        answer_ = true;
        ui::SetMessageHandler([this](const ui::MessageRequest& r) {
            messages_ << r.text;
            return answer_;
        });
    }
    void cleanup() { ui::SetMessageHandler(nullptr); }

    void emptyTableEnablesOnlyNew() {
        testing::TLettersHome home;
        store::Table addresses = home.MakeAddresses({testing::JohnJones()});
        auto letters = TLetterTable::Open();
        QVERIFY(letters.ok());
        TQPLetters w(std::move(*letters), addresses, false);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (const char* name :
             {"ModifyButton", "CloneButton", "PrintButton", "PreviewButton", "DeleteButton"})
            QVERIFY2(!w.Button(name)->isEnabled(), name);
        for (const char* name : {"NewButton", "OkButton", "SetupButton", "HelpButton"})
            QVERIFY2(w.Button(name)->isEnabled(), name);
        QVERIFY(!w.Grid()->isEnabled());
        QVERIFY(w.CurrentRecord()->isChecked());
        QVERIFY(!w.FilterRecords()->isEnabled());
        QVERIFY(!w.StartFromCurrent()->isChecked());
        QCOMPARE(w.Copies()->minimum(), 1);
        QCOMPARE(w.Copies()->maximum(), 999);
        QCOMPARE(w.Copies()->value(), 1);
    }

    void newCloneDeleteThroughTheWindow() {
        testing::TLettersHome home;
        store::Table addresses = home.MakeAddresses({testing::JohnJones()});
        auto letters = TLetterTable::Open();
        QVERIFY(letters.ok());
        TQPLetters w(std::move(*letters), addresses, true);
        QString seenDescription;
        w.RunDesigner = [&](TLetterDesign& d) {
            seenDescription = d.Description();
            d.SetDescription("Welcome");
            d.Editor()->InsertText("Dear [First]");
            return int(QDialog::Accepted);
        };
        w.NewLetter();
        QCOMPARE(seenDescription, QString("{untitled}"));
        QCOMPARE(w.Grid()->rowCount(), 1);
        QCOMPARE(w.Grid()->item(0, 0)->text(), QString("Welcome"));
        QVERIFY(w.Button("ModifyButton")->isEnabled());
        QVERIFY(w.FilterRecords()->isEnabled());

        w.CloneLetter();
        QCOMPARE(messages_.last(), QString("Clone \"Welcome\"?"));
        QCOMPARE(w.Grid()->rowCount(), 2);
        QCOMPARE(w.Grid()->item(1, 0)->text(), QString("Clone of Welcome"));

        // Cancel in the designer stores nothing.
        w.RunDesigner = [](TLetterDesign& d) {
            d.SetDescription("Changed");
            return int(QDialog::Rejected);
        };
        w.ModifyLetter();
        QCOMPARE(w.Grid()->item(1, 0)->text(), QString("Clone of Welcome"));

        answer_ = false;
        w.DeleteLetter();
        QCOMPARE(w.Grid()->rowCount(), 2);
        answer_ = true;
        w.DeleteLetter();
        QCOMPARE(messages_.last(), QString("Delete \"Clone of Welcome\"?"));
        QCOMPARE(w.Grid()->rowCount(), 1);
        QTextDocument doc;
        QVERIFY(w.LoadSelected(doc));
        QCOMPARE(doc.toPlainText(), QString("Dear [First]"));
    }

    void designerFieldsMenusAndCaptions() {
        testing::TLettersHome home;
        store::Table addresses = home.MakeAddresses({testing::JohnJones()});
        TLetterDesign d(&addresses);
        d.SetDescription("{untitled}");
        d.SetNewLetter();
        QCOMPARE(d.windowTitle(), QString("Letter Designer"));
        QCOMPARE(d.InsertField()->count(), 25);
        QCOMPARE(d.InsertField()->itemText(0), QString("Full Name"));
        QCOMPARE(d.InsertField()->itemText(1), QString("Name and Address"));
        QCOMPARE(d.InsertField()->currentIndex(), 0);
        for (int i = 0; i < 25; ++i)
            QCOMPARE(d.InsertField()->itemText(i), QString(kInsertFieldNames[std::size_t(i)]));
        d.InsertFieldNamed("Name and Address");
        QCOMPARE(d.Document().toPlainText(), QString("[Name and Address]"));
        QCOMPARE(d.InsertField()->currentText(), QString("Name and Address"));

        // A new letter: 8.5 x 11 inches, one-inch margins, the default font.
        QCOMPARE(richtext::PageSettings(d.Document()), richtext::TPageSettings{});
        const QTextCharFormat f = d.Editor()->CaretCharFormat();
        QCOMPARE(f.fontFamilies().toStringList().value(0), QString("Arial"));
        QCOMPARE(f.fontPointSize(), 10.0);

        QCOMPARE(d.DefaultFontAction()->text(), QString("&Default Font: Arial, 10 pt "));
        TDefaultLetterFont bold;
        bold.Bold = true;
        d.SetDefaultFont(bold);
        QCOMPARE(d.DefaultFontAction()->text(), QString("&Default Font: Arial, 10 pt , bold"));
        QVERIFY(TDefaultLetterFont::Load().Bold);

        QCOMPARE(d.WordWrapAction()->text(), QString("&Word Wrap is OFF"));
        d.ToggleWordWrap();
        QCOMPARE(d.WordWrapAction()->text(), QString("&Word Wrap is ON"));
        QVERIFY(d.Editor()->WordWrap());

        answer_ = false;
        d.InsertPageBreak();
        QCOMPARE(messages_.last(), QString("Insert a page break?"));
        QVERIFY(!(d.Editor()->ParagraphFormat().pageBreakPolicy() &
                  QTextFormat::PageBreak_AlwaysBefore));
        answer_ = true;
        d.InsertPageBreak();
        QVERIFY(d.Editor()->ParagraphFormat().pageBreakPolicy() &
                QTextFormat::PageBreak_AlwaysBefore);
    }

    void designerCloseBoxKeepsEscapeDrops() {
        testing::TLettersHome home;
        {
            TLetterDesign d(nullptr);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            d.close();
            QCOMPARE(d.result(), int(QDialog::Accepted));
        }
        {
            TLetterDesign d(nullptr);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QTest::keyClick(&d, Qt::Key_Escape);
            QCOMPARE(d.result(), int(QDialog::Rejected));
        }
    }

    void previewZoomPagingAndRecords() {
        QCOMPARE(ZoomedIn(100), 125);
        QCOMPARE(ZoomedIn(125), 156);
        QCOMPARE(ZoomedIn(156), 156);
        QCOMPARE(ZoomedOut(100), 75);
        QCOMPARE(ZoomedOut(75), 56);
        QCOMPARE(ZoomedOut(56), 42);
        QCOMPARE(ZoomedOut(42), 42);
        QCOMPARE(FittingZoom(816, 12240, 96), 100);
        QVERIFY(FittingZoom(10, 0, 96) >= 1);
        QVERIFY(FittingZoom(0, 12240, 96) >= 1);

        testing::TLettersHome home;
        auto mary = testing::TRecordValues{{"FNAME", "Mary"}, {"LNAME", "Smith"}};
        store::Table addresses = home.MakeAddresses({testing::JohnJones(), mary});
        QTextDocument letter;
        testing::MakeLetter(letter, "Hi [First]\n\fSecond page\n\fThird page");
        TRTFPreviewForm p(addresses);
        p.SetTemplate(letter);
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        QCOMPARE(p.windowTitle(), QString("Preview Letters"));
        QVERIFY(p.Working().toPlainText().startsWith("Hi John"));
        QCOMPARE(p.PageNumber(), 1);
        p.PreviousPage();
        QCOMPARE(p.PageNumber(), 1);
        p.NextPage();
        p.NextPage();
        QCOMPARE(p.PageNumber(), 3);
        QCOMPARE(p.windowTitle(), QString("Preview Letters Page 3"));
        p.NextPage();
        QCOMPARE(p.PageNumber(), 3);
        p.PreviousPage();
        QCOMPARE(p.PageNumber(), 2);
        p.NextRecord();
        QCOMPARE(p.PageNumber(), 1);
        QCOMPARE(p.PageStart(), 0);
        QVERIFY(p.Working().toPlainText().startsWith("Hi Mary"));
        p.SetZoom(100);
        p.ZoomIn();
        QCOMPARE(p.Zoom(), 125);
        QTest::qWait(10);
    }

    void spellCheckWithAMadeUpDictionary() {
        testing::TLettersHome home;
        const QString aff = home.Path("test.aff");
        const QString dic = home.Path("test.dic");
        {
            QFile a(aff);
            QVERIFY(a.open(QIODevice::WriteOnly));
            a.write("SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n");
            QFile d(dic);
            QVERIFY(d.open(QIODevice::WriteOnly));
            d.write("3\ndear\nfriend\nhello\n");
        }
        auto checker = std::make_shared<spell::TSpellChecker>(aff, dic, home.Path("quillpu.dct"));
        QVERIFY(checker->IsAvailable());
        richtext::TRichTextEditor editor;
        editor.InsertText("Dear freind, hello wurld");
        {
            TSpellCheckDialog dialog(&editor, nullptr, checker);
            QTimer::singleShot(0, [&] {
                QCOMPARE(dialog.windowTitle(), QString("Spell Check"));
                QCOMPARE(dialog.Word(), QString("freind"));
                QCOMPARE(dialog.ReplaceField()->text(), QString("friend"));
                dialog.ReplaceWord();
                QCOMPARE(dialog.Word(), QString("wurld"));
                QVERIFY(dialog.AddButton()->isEnabled());
                dialog.AddWord();
            });
            dialog.Run();
        }
        QCOMPARE(editor.Document()->toPlainText(), QString("Dear friend, hello wurld"));
        QCOMPARE(messages_.last(), QString("Spell check complete"));
        QVERIFY(checker->IsKnown("wurld"));
        QCOMPARE(editor.TextEdit()->textCursor().position(), 0);

        // All words known: complete at once, no dialog.
        messages_.clear();
        TSpellCheckDialog again(&editor, nullptr, checker);
        again.Run();
        QCOMPARE(messages_, QStringList{"Spell check complete"});
    }

    void spellCheckWithTheRealDictionary() {
        testing::TLettersHome home;
        auto checker = std::make_shared<spell::TSpellChecker>();
        if (!checker->IsAvailable())
            QSKIP("no English dictionary installed");
        richtext::TRichTextEditor editor;
        editor.InsertText("Thank you for your recieved letter.");
        TSpellCheckDialog dialog(&editor, nullptr, checker);
        QTimer::singleShot(0, [&] {
            QCOMPARE(dialog.Word(), QString("recieved"));
            QVERIFY(dialog.Suggestions()->count() > 0);
            QVERIFY(dialog.Suggestions()->count() <= 10);
            dialog.ReplaceField()->setText("received");
            dialog.ReplaceWord();
        });
        dialog.Run();
        QCOMPARE(editor.Document()->toPlainText(), QString("Thank you for your received letter."));
    }
};

QTEST_MAIN(LettersWindowsTest)
#include "letters_windows_uitest.moc"
