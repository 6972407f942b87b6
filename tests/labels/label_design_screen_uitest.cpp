#include "design/barcodes.h"
#include "design/graphic_control.h"
#include "design/shapes.h"
#include "design/ui/panel_widget.h"
#include "labels/printing/label_design_rules.h"
#include "labels/ui/label_design_screen.h"
#include "store/settings_file.h"
#include "store/ui/common_dialogs.h"
#include "support/program_home.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <cstdlib>
#include <memory>

using namespace qp::labels;
namespace design = qp::design;

namespace {

QString qstr(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

LabelTemplate narrowStock() {
    LabelTemplate t;
    t.description = "Narrow 2.5 in";
    t.labelWidth = 2.5;
    t.labelHeight = 1.0;
    t.across = 3;
    t.down = 10;
    t.horizontalPitch = 2.6;
    t.verticalPitch = 1.0;
    t.sheetWidth = 8.5;
    t.sheetDepth = 11;
    t.printer = "LJ";
    t.paperSize = "LTR";
    t.shape = "SR";
    t.maker = "AVERY";
    t.productType = "ADDRESS/SHIPPING LABELS";
    t.art = "AV9999.BMP";
    return t;
}

design::TGGraphicControl* addBox(design::TGBasePanel& panel, QPoint from, QPoint to) {
    return panel.AddObject(std::make_unique<design::TGLabelShapes>(), QRect(from, to));
}

} // namespace

class LabelDesignScreenTest : public QObject {
    Q_OBJECT
    QStringList messages_;
    std::unique_ptr<design::TGLabelPanel> panel_;
    QTemporaryDir home_; // the settings file: font and window placement
    std::optional<qp::test::ScopedProgramHome> programHome_;

    std::unique_ptr<TLabelDesignScreen> open(const LabelDefinition& def, bool isNew) {
        auto screen =
            std::make_unique<TLabelDesignScreen>(*panel_, def, isNew, "/nonexistent", nullptr);
        screen->show();
        QCoreApplication::processEvents();
        return screen;
    }

private slots:
    void initTestCase() {
        QVERIFY(home_.isValid());
        programHome_.emplace(home_.path());
    }

    void init() {
        messages_.clear();
        qp::ui::SetMessageHandler([this](const qp::ui::MessageRequest& r) {
            messages_ << r.text;
            return true;
        });
        panel_ = std::make_unique<design::TGLabelPanel>();
        TLabelDesignScreen::askSaveChanges() = [](QWidget*) { return int(QMessageBox::No); };
    }
    void cleanup() { panel_.reset(); }
    void cleanupTestCase() {
        qp::ui::SetMessageHandler(nullptr);
        programHome_.reset();
    }

    void newLabelStartsWithASelectedAddressBlock() {
        auto screen = open(LabelDefinition{}, true);
        QCOMPARE(screen->windowTitle(), QString("Label Design Screen"));
        QCOMPARE(panel_->Width(), 252);
        QCOMPARE(panel_->Height(), 96);
        QCOMPARE(panel_->ObjectCount(), 1);
        QCOMPARE(panel_->Object(0)->ClassName(), QString("TGDMultiLineAddressLabel"));
        QCOMPARE(panel_->SelectionCount(), 1);
        QCOMPARE(panel_->PanelState(), design::psPointing);
        QVERIFY(screen->saveButton()->isHidden());
        QVERIFY(!screen->changed());
        QCOMPARE(messages_, QStringList{qstr(kNewLabelInformation)});
        QCOMPARE(screen->descriptionEdit()->text(), QString("<New Label>"));
        QCOMPARE(screen->sheetCaption()->text(), QString("Avery 5160  Address"));
        QCOMPARE(screen->zoomCaption()->text(), QString("100%"));
        QVERIFY(screen->fontButton()->text().startsWith("Default Font: "));
        // The stock's art is drawn from its geometry.
        QVERIFY(screen->showArtButton()->isEnabled());
        QVERIFY(screen->showArtButton()->isChecked());
        QVERIFY(!panel_->Picture.isNull());
    }

    void defaultFontFromTheSettingsFile() {
        qp::store::SettingsFile settings = qp::store::SettingsFile::standard();
        QVERIFY(bool(qp::store::WriteDesignFont(settings, "Label", {"Arial", 12, true, true})));
        auto screen = open(LabelDefinition{}, false);
        QCOMPARE(screen->fontButton()->text(),
                 QString("Default Font: Arial, 12 pt , bold, italic"));
        QCOMPARE(panel_->Font.Size, 12);
        QVERIFY(panel_->Font.Bold);
        QVERIFY(panel_->Font.Italic);
        QVERIFY(bool(qp::store::WriteDesignFont(settings, "Label", {})));
    }

    void toolHints() {
        auto screen = open(LabelDefinition{}, false);
        QCOMPARE(screen->toolButton(design::psPointing)->toolTip(), QString("Selection tool"));
        QCOMPARE(screen->toolButton(design::psLine)->toolTip(), QString("Line Tool"));
        QCOMPARE(screen->toolButton(design::psAddressLabel)->toolTip(),
                 QString("Database Mailing Address tool"));
        QCOMPARE(screen->recordButton(0)->toolTip(), QString("Move to the First database records"));
        QCOMPARE(screen->recordButton(3)->toolTip(), QString("Move to the Last database records"));
        QVERIFY(screen->toolButton(design::psPointing)->isChecked());
        QVERIFY(messages_.isEmpty());
    }

    void typingTheDescriptionShowsSave() {
        auto screen = open(LabelDefinition{}, false);
        QVERIFY(screen->saveButton()->isHidden());
        screen->descriptionEdit()->setFocus();
        QTest::keyClicks(screen->descriptionEdit(), "x");
        QVERIFY(screen->changed());
        QVERIFY(!screen->saveButton()->isHidden());
    }

    void aNewObjectShowsSave() {
        auto screen = open(LabelDefinition{}, false);
        addBox(*panel_, QPoint(10, 10), QPoint(40, 40));
        QVERIFY(!screen->saveButton()->isHidden());
    }

    void zoomStepsAreNoChange() {
        addBox(*panel_, QPoint(10, 10), QPoint(40, 40));
        auto screen = open(LabelDefinition{}, false);
        panel_->AddToSelection(panel_->Object(0));
        for (int i = 0; i < 7; ++i)
            screen->zoomOutButton()->click();
        QCOMPARE(screen->zoomCaption()->text(), QString("50%"));
        // The panel rescales from step to step, so rounding may add a pixel.
        QVERIFY(std::abs(panel_->Width() - 126) <= 1);
        QCOMPARE(screen->panelWidget()->width(), panel_->Width());
        QCOMPARE(panel_->SelectionCount(), 0); // cleared before zooming
        for (int i = 0; i < 12; ++i)
            screen->zoomInButton()->click();
        QCOMPARE(screen->zoomCaption()->text(), QString("150%"));
        QVERIFY(std::abs(panel_->Width() - 378) <= 2);
        QCOMPARE(screen->panelWidget()->width(), panel_->Width());
        QVERIFY(screen->saveButton()->isHidden());
        // Numeric-keypad minus, acted on when let go.
        QTest::keyRelease(screen->panelWidget(), Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(screen->zoomCaption()->text(), QString("140%"));
        screen->cancelButton()->click();
        QCOMPARE(panel_->Zoom(), 1.0f); // back to the true size for the caller
        QCOMPARE(panel_->Object(0)->Left(), 10);
    }

    void coordinatesInInchesAtAnyZoom() {
        auto screen = open(LabelDefinition{}, false);
        QTest::mouseMove(screen->panelWidget(), QPoint(96, 48));
        QCOMPARE(screen->leftCaption()->text(), QString("Left: 1.00"));
        QCOMPARE(screen->topCaption()->text(), QString("Top: 0.50"));
        for (int i = 0; i < 5; ++i)
            screen->zoomOut();
        QTest::mouseMove(screen->panelWidget(), QPoint(48, 24));
        QCOMPARE(screen->leftCaption()->text(), QString("Left: 1.00"));
        QCOMPARE(screen->topCaption()->text(), QString("Top: 0.50"));
    }

    void droppingAnObjectPressesTheSelectionTool() {
        auto screen = open(LabelDefinition{}, false);
        screen->toolButton(design::psRectangle)->click();
        QCOMPARE(panel_->PanelState(), design::psRectangle);
        QWidget* view = screen->panelWidget();
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(view, QPoint(60, 40));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(60, 40));
        QCOMPARE(panel_->ObjectCount(), 1);
        QVERIFY(screen->toolButton(design::psPointing)->isChecked());
        QCOMPARE(panel_->PanelState(), design::psPointing);
        QVERIFY(!screen->saveButton()->isHidden());
    }

    void postNetToolRefusesANarrowLabel() {
        LabelDefinition def;
        def.labelWidth = 2.5f;
        auto screen = open(def, false);
        screen->toolButton(design::psPostNetBarCode)->click();
        QCOMPARE(messages_, QStringList{qstr(kPostNetTooNarrowMessage)});
        QVERIFY(!screen->toolButton(design::psPostNetBarCode)->isChecked());
        QVERIFY(screen->toolButton(design::psPointing)->isChecked());
        QCOMPARE(panel_->PanelState(), design::psPointing);
    }

    void postNetToolOnAWideLabel() {
        LabelDefinition def;
        def.labelWidth = 4.0f;
        auto screen = open(def, false);
        screen->toolButton(design::psPostNetBarCode)->click();
        QVERIFY(messages_.isEmpty());
        QCOMPARE(panel_->PanelState(), design::psPostNetBarCode);
    }

    void narrowTemplateRemovesTheFirstBarcodeOnly() {
        LabelDefinition def;
        def.labelWidth = 4.0f;
        auto screen = open(def, false);
        auto* first = panel_->AddObject(std::make_unique<design::TGPostNetBarCode>(),
                                        QRect(QPoint(10, 10), QPoint(200, 30)));
        auto* second = panel_->AddObject(std::make_unique<design::TGPostNetBarCode>(),
                                         QRect(QPoint(10, 50), QPoint(200, 70)));
        auto* far = addBox(*panel_, QPoint(350, 80), QPoint(370, 90));
        screen->applyTemplate(narrowStock());
        QCOMPARE(messages_, QStringList{qstr(kPostNetTooNarrowWarning)});
        QCOMPARE(panel_->ObjectCount(), 2);
        QCOMPARE(panel_->ChildIndex(first), -1);
        QVERIFY(panel_->ChildIndex(second) >= 0);
        // Pulled back inside the 240 x 96 panel.
        QCOMPARE(far->Left(), 240 - 20);
        QCOMPARE(far->Top(), 80);
        QCOMPARE(panel_->Width(), 240);
        QCOMPARE(panel_->Shape, design::lsRectangle);
        QCOMPARE(screen->sheetCaption()->text(), QString("Narrow 2.5 in"));
        QVERIFY(screen->showArtButton()->isEnabled());
        QVERIFY(screen->showArtButton()->isChecked());
        QCOMPARE(panel_->Picture.size(), QSize(240, 96));
        QVERIFY(!screen->saveButton()->isHidden());
        QCOMPARE(screen->definition().templateName, std::string("Narrow 2.5 in"));
        screen->showArtButton()->click();
        QVERIFY(panel_->Picture.isNull());
    }

    void manualLayoutIsUserDefined() {
        auto screen = open(LabelDefinition{}, false);
        screen->applyTemplate(narrowStock());
        ManualLayout m;
        m.labelWidth = 3.0;
        m.labelHeight = 1.5;
        m.shape = "EL";
        screen->applyManualLayout(m);
        QCOMPARE(screen->sheetCaption()->text(), QString("User Defined Label Layout"));
        QVERIFY(!screen->showArtButton()->isEnabled());
        QVERIFY(!screen->showArtButton()->isChecked());
        QVERIFY(panel_->Picture.isNull());
        QCOMPARE(panel_->Width(), 288);
        QCOMPARE(panel_->Height(), 144);
        QCOMPARE(panel_->Shape, design::lsEllipse);
        QVERIFY(isUserDefined(screen->definition()));
    }

    void zoomToFitAndCtrlWheelGoPastTheStepsWithoutSave() {
        auto screen = open(LabelDefinition{}, false);
        screen->resize(1200, 900);
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
        screen->zoomToFitButton()->click();
        QVERIFY(screen->zoom() > 1.5f);
        QVERIFY(screen->saveButton()->isHidden());
        const float fitted = screen->zoom();
        QWheelEvent wheel(QPointF(5, 5), screen->panelWidget()->mapToGlobal(QPointF(5, 5)),
                          QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(screen->panelWidget(), &wheel);
        QVERIFY(screen->zoom() > fitted);
        QVERIFY(screen->saveButton()->isHidden());
    }

    void undoAndRedoKeys() {
        auto screen = open(LabelDefinition{}, false);
        auto* o = panel_->InsertLoaded(std::make_unique<design::TGLabelShapes>());
        o->SetBounds(10, 10, 30, 30);
        panel_->ResetUndo();
        o->SetLocked(true);
        QTRY_VERIFY(!panel_->CanRedo() && panel_->CanUndo());
        QTest::keyClick(screen->panelWidget(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!panel_->Object(0)->Locked());
        QTest::keyClick(screen->panelWidget(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(panel_->Object(0)->Locked());
        QTest::keyClick(screen->panelWidget(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(screen->panelWidget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(panel_->Object(0)->Locked());
        QVERIFY(!screen->saveButton()->isHidden());
    }

    void cancelWithoutChangesAsksNothing() {
        auto screen = open(LabelDefinition{}, false);
        int asked = 0;
        TLabelDesignScreen::askSaveChanges() = [&](QWidget*) {
            return ++asked, int(QMessageBox::No);
        };
        screen->cancelButton()->click();
        QCOMPARE(screen->result(), int(QDialog::Rejected));
        QCOMPARE(asked, 0);
        QVERIFY(messages_.isEmpty());
    }

    void cancelAndEscapeWithChangesAskToSave() {
        int asked = 0;
        int answer = QMessageBox::Cancel;
        TLabelDesignScreen::askSaveChanges() = [&](QWidget*) { return ++asked, answer; };
        auto screen = open(LabelDefinition{}, false);
        QTest::keyClicks(screen->descriptionEdit(), "changed");
        QVERIFY(!screen->saveButton()->isHidden());
        screen->setResult(-1);
        screen->cancelButton()->click(); // Cancel: the screen stays
        QCOMPARE(asked, 1);
        QCOMPARE(screen->result(), -1);
        answer = QMessageBox::No;
        screen->panelWidget()->setFocus();
        QTest::keyClick(screen.get(), Qt::Key_Escape);
        QCOMPARE(asked, 2);
        QCOMPARE(screen->result(), int(QDialog::Rejected));

        auto again = open(LabelDefinition{}, false);
        QTest::keyClicks(again->descriptionEdit(), "kept");
        answer = QMessageBox::Yes;
        again->cancelButton()->click();
        QCOMPARE(asked, 3);
        QCOMPARE(again->result(), int(QDialog::Accepted));
        QVERIFY(QString::fromStdString(again->definition().description).endsWith("kept"));
        TLabelDesignScreen::askSaveChanges() = [](QWidget*) { return int(QMessageBox::No); };
    }

    void saveKeepsFiftyCharactersAndDropsObjectsOutside() {
        addBox(*panel_, QPoint(10, 10), QPoint(40, 40));
        addBox(*panel_, QPoint(10, 90), QPoint(40, 100)); // top below height - 10
        auto screen = open(LabelDefinition{}, false);
        QLineEdit* edit = screen->descriptionEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QString(70, QChar('d')));
        QCOMPARE(edit->text().size(), 60);
        QVERIFY(!screen->saveButton()->isHidden());
        screen->saveButton()->click();
        QCOMPARE(screen->result(), int(QDialog::Accepted));
        QCOMPARE(screen->definition().description, std::string(50, 'd'));
        QCOMPARE(panel_->ObjectCount(), 1);
    }

    void recordButtonsAreNoChange() {
        addBox(*panel_, QPoint(10, 10), QPoint(40, 40));
        auto screen = open(LabelDefinition{}, false);
        for (int i = 0; i < 4; ++i)
            screen->recordButton(i)->click();
        screen->fieldNamesButton()->click();
        QVERIFY(!panel_->DisplayDataValues());
        QVERIFY(screen->saveButton()->isHidden());
    }

    void gridToggles() {
        auto screen = open(LabelDefinition{}, false);
        screen->showGridButton()->click();
        QVERIFY(panel_->ShowGrid());
        screen->snapToGridButton()->click();
        QVERIFY(panel_->SnapToGrid());
        QCOMPARE(panel_->Handle().GridX(), 4);
    }

    void helpTableCoversTheControls() {
        QFile file(QStringLiteral(QP_SOURCE_DIR "/src/labels/ui/help/TLabelDesignScreen.help"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList names;
        const QRegularExpression entry(QStringLiteral("^([A-Za-z]+)( \\[\\d+\\])?:"));
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n'))
            if (const auto m = entry.match(line); m.hasMatch())
                names << m.captured(1);
        auto screen = open(LabelDefinition{}, false);
        for (const QString& name : names)
            QVERIFY2(screen->findChild<QWidget*>(name), qPrintable("stale entry " + name));
        for (QWidget* c : screen->findChildren<QWidget*>()) {
            const bool input = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c);
            if (input && !c->objectName().startsWith("qt_"))
                QVERIFY2(names.contains(c->objectName()),
                         qPrintable("no entry for " + c->objectName()));
        }
    }

    void pageKeysScrollTheDrawingArea() {
        LabelDefinition def;
        def.labelHeight = 8.0f;
        auto screen = open(def, false);
        screen->resize(500, 400);
        QCoreApplication::processEvents();
        QScrollBar* bar = screen->drawingArea()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QTest::keyClick(screen->panelWidget(), Qt::Key_End);
        QCOMPARE(bar->value(), bar->maximum());
        QTest::keyClick(screen->panelWidget(), Qt::Key_PageUp);
        QCOMPARE(bar->value(), bar->maximum() - bar->singleStep());
        QTest::keyClick(screen->cancelButton(), Qt::Key_Home);
        QCOMPARE(bar->value(), 0);
    }
};

QTEST_MAIN(LabelDesignScreenTest)
#include "label_design_screen_uitest.moc"
