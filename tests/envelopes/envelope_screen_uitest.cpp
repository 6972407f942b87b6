// The envelope windows under the offscreen platform: the design screen's
// tools, zoom, Save and Change Size; the envelope screen's New, Clone and
// Delete with their files and its small preview; the feed dialogs.

#include "design/graphic_control.h"
#include "envelopes/envelope_definition.h"
#include "envelopes/envelope_panel.h"
#include "envelopes/ui/envelope_design_screen.h"
#include "envelopes/ui/envelope_feed_dialogs.h"
#include "envelopes/ui/envelope_screen.h"
#include "envelopes/ui/envelope_size_dialog.h"
#include "print/printer_setup.h"
#include "store/address_file.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"
#include "support/program_home.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <fstream>

using namespace qp::envelopes;
namespace fs = std::filesystem;

class EnvelopeScreenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(home_.isValid());
        programHome_.emplace(home_.path());
        fs::create_directories(qp::store::SysdataFolder());
        qp::ui::SetMessageHandler([this](const qp::ui::MessageRequest& r) {
            messages_ << r.title + ": " + r.text;
            return answer_;
        });
        const std::string file = (fs::path(home_.path().toStdString()) / "ADD0001.DBF").string();
        QVERIFY(qp::store::createAddressFile(file, {}));
        auto t = qp::store::openAddressFile(file);
        QVERIFY(t.ok());
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(t->append().ok());
            QVERIFY(t->replace("FNAME", "Ann" + std::to_string(i)).ok());
            QVERIFY(t->replace("LNAME", "Lee" + std::to_string(i)).ok());
            QVERIFY(t->replace("CITY", "Town" + std::to_string(i)).ok());
            QVERIFY(t->replace("ZIP", "12345").ok());
            QVERIFY(t->post().ok());
        }
        t->first();
        address_.emplace(std::move(*t));
    }
    void cleanupTestCase() {
        address_.reset();
        qp::ui::SetMessageHandler(nullptr);
    }

    void designScreenToolsAndZoom() {
        TEnvelopePanel panel;
        EnvelopeDefinition def;
        TEnvelopeDesignScreen screen(panel, def, true, &*address_, {});
        for (const char* state : {"psPointing", "psLabel", "psDataLabel", "psMultiLineLabel",
                                  "psAddressLabel", "psRectangle", "psEllipse", "psRoundRectangle",
                                  "psLine", "psImage", "psPostNetBarCode", "psFIMBarCode"})
            QVERIFY2(screen.toolButton(QString::fromLatin1(state)), state);
        QCOMPARE(screen.toolButton(QStringLiteral("psFIMBarCode"))->text(), QStringLiteral("FIM"));
        for (const char* absent : {"psCounterLabel", "psSymbolLabel", "psMultiLineDataLabel"})
            QVERIFY(!screen.toolButton(QString::fromLatin1(absent)));
        QCOMPARE(panel.Width(), 912);
        QCOMPARE(panel.Height(), 396);
        QVERIFY(screen.saveButton()->isHidden());
        for (int i = 0; i < 6; ++i)
            screen.zoomOut();
        QCOMPARE(screen.zoomCaption()->text(), QStringLiteral("60%"));
        for (int i = 0; i < 12; ++i)
            screen.zoomIn();
        QCOMPARE(screen.zoomCaption()->text(), QStringLiteral("140%"));
        QVERIFY(screen.saveButton()->isHidden()); // zooming is no change
        // The default font caption names bold and italic only when set.
        QVERIFY(!screen.fontButton()->text().contains(QStringLiteral("bold")));
        QVERIFY(screen.fontButton()->text().startsWith(QStringLiteral("Default Font: ")));
    }

    void saveAppearsOnlyAfterAChange() {
        TEnvelopePanel panel;
        panel.SizeForEnvelope(9.5, 4.125);
        AddStarterObjects(panel);
        EnvelopeDefinition def;
        TEnvelopeDesignScreen screen(panel, def, false, &*address_, {});
        screen.show();
        QTest::qWait(50);
        screen.moveRecord(2);
        QTest::qWait(20);
        QVERIFY(screen.saveButton()->isHidden());
        QTest::keyClicks(screen.descriptionEdit(), QStringLiteral("x"));
        QVERIFY(!screen.saveButton()->isHidden());
        screen.reject();
    }

    void unknownStoredSizeAsksForOne() {
        TEnvelopePanel panel;
        EnvelopeDefinition def;
        def.code = 99;
        TEnvelopeDesignScreen screen(panel, def, false, &*address_, {});
        screen.runModal = [](QDialog& d) {
            static_cast<TEnvelopeSizeDialog&>(d).list()->setCurrentRow(0); // #9
            return int(QDialog::Accepted);
        };
        messages_.clear();
        screen.show();
        QTRY_COMPARE(screen.definition().code, 19);
        QVERIFY(messages_.value(0).contains(QStringLiteral("unknown size (code 99)")));
        QCOMPARE(panel.Width(), 852); // 8.875 inches
        // The new code is the user's change, stored only if the design is saved.
        QVERIFY(!screen.saveButton()->isHidden());
        screen.reject();
    }

    void changeSizePullsObjectsInside() {
        TEnvelopePanel panel;
        panel.SizeForEnvelope(12.96, 9.16);
        panel.SetPanelState(QStringLiteral("psRectangle"));
        panel.CreateObjectInRect(QRect(QPoint(1000, 700), QPoint(1100, 800)));
        QCOMPARE(panel.ObjectCount(), 1);
        EnvelopeDefinition def;
        def.code = 30;
        TEnvelopeDesignScreen screen(panel, def, false, &*address_, {});
        QVERIFY(screen.saveButton()->isHidden());
        screen.applySize(31); // C6: 6.48 x 4.56
        QCOMPARE(screen.definition().code, 31);
        QCOMPARE(panel.Width(), 622);
        // Pulled back as on labels: its corner inside the new edges.
        const QRect r = panel.Object(0)->BoundsRect();
        QVERIFY(r.left() <= panel.Width() - 20);
        QVERIFY(r.top() <= panel.Height() - 10);
        QVERIFY(!screen.saveButton()->isHidden());
    }

    void sizeChooserReturnsTheCodeOrNothing() {
        TEnvelopeSizeDialog dialog(99, nullptr);
        QCOMPARE(dialog.list()->count(), 16);
        QCOMPARE(dialog.list()->currentRow(), 0);
        QCOMPARE(dialog.list()->item(7)->text(), QStringLiteral("Envelope C4  229 x 324 mm"));
        dialog.list()->setCurrentRow(5);
        QCOMPARE(dialog.chosenCode(), 27);
        auto cancelled =
            chooseEnvelopeSize(20, nullptr, [](QDialog&) { return int(QDialog::Rejected); });
        QVERIFY(!cancelled);
    }

    void newCloneDeleteWithTheirFiles() {
        TQPEnvelopes screen(*address_, false, "T");
        QVERIFY(screen.opened());
        QVERIFY(!screen.button("ModifyButton")->isEnabled());
        // New: DL in the chooser, then save the design as "Office".
        screen.runModal = [](QDialog& d) {
            if (auto* sizes = qobject_cast<TEnvelopeSizeDialog*>(&d)) {
                sizes->list()->setCurrentRow(5);
                return int(QDialog::Accepted);
            }
            if (auto* design = qobject_cast<TEnvelopeDesignScreen*>(&d)) {
                if (design->descriptionEdit()->text() != QLatin1String("<New envelope>"))
                    return int(QDialog::Rejected);
                design->descriptionEdit()->setText(QStringLiteral("Office"));
                design->save();
                return int(QDialog::Accepted);
            }
            return int(QDialog::Rejected);
        };
        screen.newEnvelope();
        QCOMPARE(screen.list()->rowCount(), 1);
        auto def = screen.currentDefinition();
        QVERIFY(def);
        QCOMPARE(QString::fromStdString(def->description), QStringLiteral("Office"));
        QCOMPARE(def->code, 27);
        const fs::path sysdata = qp::store::SysdataFolder();
        QVERIFY(fs::exists(sysdata / def->layoutFile));
        // The small preview lies as designed: width across.
        QCOMPARE(screen.previewPanel().Width(), 253);  // 96 x 8.8 x 0.3
        QCOMPARE(screen.previewPanel().Height(), 127); // 96 x 4.4 x 0.3
        QVERIFY(screen.button("ModifyButton")->isEnabled());

        answer_ = true;
        screen.cloneEnvelope();
        QCOMPARE(screen.list()->rowCount(), 2);
        QCOMPARE(messages_.last(), QStringLiteral("CLONE: Clone \"Office\"?"));
        auto clone = screen.currentDefinition();
        QCOMPARE(QString::fromStdString(clone->description), QStringLiteral("Clone of Office"));
        QVERIFY(fs::exists(sysdata / clone->layoutFile));

        // Clone of a definition whose layout is gone says so and adds nothing.
        fs::remove(sysdata / clone->layoutFile);
        messages_.clear();
        screen.cloneEnvelope();
        QCOMPARE(screen.list()->rowCount(), 2);
        QVERIFY(messages_.last().contains(QStringLiteral(
            "Envelope definition file has been removed from the sysdata directory")));

        const std::string office = def->layoutFile;
        screen.list()->selectRow(1); // "Office" after "Clone of Office"
        QCOMPARE(QString::fromStdString(screen.currentDefinition()->description),
                 QStringLiteral("Office"));
        screen.deleteEnvelope();
        QCOMPARE(messages_.last(), QStringLiteral("DELETE: Delete \"Office\"?"));
        QCOMPARE(screen.list()->rowCount(), 1);
        QVERIFY(!fs::exists(sysdata / office));
    }

    void recordButtonsShowTheRecord() {
        TQPEnvelopes screen(*address_, false, "T");
        screen.moveRecord(3);
        QVERIFY(screen.recordCaption()->text().contains(QStringLiteral("Ann3 Lee3")));
        QVERIFY(screen.recordCaption()->text().contains(QStringLiteral("Town3")));
        screen.moveRecord(0);
        QVERIFY(screen.recordCaption()->text().contains(QStringLiteral("Ann1")));
        QVERIFY(screen.currentRecord()->isChecked()); // the default selection
    }

    void feedDialogShowsClockwiseForLandscapeOnly() {
        TEnvelopeFeed dialog(FeedMethod{0, 0, 0, false});
        dialog.show();
        QVERIFY(dialog.clockwiseBox()->isHidden());
        const QRect left = dialog.picture()->envelopeRect();
        dialog.landscapeButton()->setChecked(true);
        QVERIFY(!dialog.clockwiseBox()->isHidden());
        dialog.clockwiseBox()->setChecked(true);
        dialog.positionButton(fpRight)->setChecked(true);
        QCOMPARE(dialog.feed(), (FeedMethod{1, 0, 1, true}));
        QVERIFY(dialog.picture()->envelopeRect().width() >
                dialog.picture()->envelopeRect().height());
        QVERIFY(dialog.picture()->envelopeRect().right() > left.right());
        QCOMPARE(dialog.picture()->envelopeRect().top(), 2);
    }

    void printDialogWarnsWhenThePaperDiffers() {
        qp::print::TPrinterSetup setup;
        QVERIFY(setup.SelectPrinterByName(qp::print::TPrinterSetup::kPdfPrinterName));
        setup.SetPaperCode(20);
        setup.SetOrientation(qp::print::poLandScape);
        TEnvelopePrePrint dialog(setup, 9.5, 4.125, FeedMethod{});
        QVERIFY(dialog.warningLabel()->isHidden());
        QCOMPARE(dialog.orientationLabel()->text(), QStringLiteral("Landscape"));
        QVERIFY(dialog.feedDescriptionLabel()->text().contains(
            QStringLiteral("Orientation : Landscape")));
        // Portrait feed turns the page: the warning shows, Ok stays possible.
        dialog.runModal = [](QDialog& d) {
            static_cast<TEnvelopeFeed&>(d).portraitButton()->setChecked(true);
            return int(QDialog::Accepted);
        };
        dialog.openFeedMethod();
        QCOMPARE(dialog.feed().orientation, int(foPortrait));
        QVERIFY(!dialog.warningLabel()->isHidden());
        QVERIFY(dialog.warningLabel()->text().startsWith(
            QStringLiteral("WARNING: Printer PAPER SIZE")));
    }

private:
    QTemporaryDir home_;
    std::optional<qp::test::ScopedProgramHome> programHome_;
    std::optional<qp::store::Table> address_;
    QStringList messages_;
    bool answer_ = true;
};

QTEST_MAIN(EnvelopeScreenTest)
#include "envelope_screen_uitest.moc"
