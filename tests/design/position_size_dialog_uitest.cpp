// "Position and Size" under the offscreen platform: exact pixels from inches
// and millimetres, the remembered unit, the object menu, undo, and the arrow
// keys through the panel widget.
#include "design/shapes.h"
#include "design/ui/object_menus.h"
#include "design/ui/panel_commands_ui.h"
#include "design/ui/panel_widget.h"
#include "design/ui/position_size_dialog.h"
#include "print/ui/window_hooks.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace qp::design;
using namespace qp::design::ui;

namespace {

void WhenModal(std::function<void(TPositionSizeDialog*)> f) {
    QTimer::singleShot(0, [f] {
        auto* d = qobject_cast<TPositionSizeDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        f(d);
    });
}

QAction* FindAction(QMenu& m, const QString& caption) {
    for (QAction* a : m.actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

void Click(QDialog* d, const char* name) {
    d->findChild<QPushButton*>(QLatin1String(name))->click();
}

} // namespace

class PositionSizeDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir Home;

private slots:
    void initTestCase() {
        QVERIFY(Home.isValid());
        qputenv("QUILLPOST_HOME", Home.path().toLocal8Bit());
    }

    void inchesAndMillimetresGiveExactPixels() {
        TPositionSizeDialog d(QRect(10, 20, 30, 40), false, 1, QSize(600, 400));
        QCOMPARE(d.Unit(), TLengthUnit::Inches);
        QCOMPARE(d.Bounds(), QRect(10, 20, 30, 40));
        d.Left->setValue(1.0);
        d.Top->setValue(0.5);
        d.Width->setValue(2.0);
        d.Height->setValue(0.25);
        QCOMPARE(d.Bounds(), QRect(96, 48, 192, 24));
        d.Units->setCurrentIndex(1);
        QCOMPARE(d.Unit(), TLengthUnit::Millimetres);
        QCOMPARE(d.Left->value(), 25.4);
        QCOMPARE(d.Width->value(), 50.8);
        QCOMPARE(d.Width->suffix(), QStringLiteral(" mm"));
        QCOMPARE(d.Bounds(), QRect(96, 48, 192, 24));
        d.Left->setValue(10.0);  // 37.8 pixels
        d.Top->setValue(12.7);   // half an inch
        d.Height->setValue(5.0); // 18.9 pixels
        QCOMPARE(d.Bounds(), QRect(38, 48, 192, 19));
        d.Units->setCurrentIndex(0);
        QCOMPARE(d.Bounds(), QRect(38, 48, 192, 19));
        QCOMPARE(d.Left->value(), 0.396);
    }

    void thePositionStaysOnThePanel() {
        TPositionSizeDialog d(QRect(10, 20, 30, 40), false, 1, QSize(96, 192));
        d.Left->setValue(5.0);
        d.Top->setValue(-1.0);
        QCOMPARE(d.Bounds().topLeft(), QPoint(95, 0));
        d.Width->setValue(0.0);
        QCOMPARE(d.Bounds().width(), 1);
    }

    void aSelectionOnlyMoves() {
        TPositionSizeDialog d(QRect(10, 20, 300, 40), true, 3, QSize(600, 400));
        QVERIFY(!d.Width->isEnabled());
        QVERIFY(!d.Height->isEnabled());
        QVERIFY(d.Left->isEnabled());
        QVERIFY(d.findChild<QLabel*>(QStringLiteral("GroupNote"))->text().contains("3"));
    }

    void okFromTheObjectMenuSetsTheBoundsAndUndoGivesThemBack() {
        TGLabelPanel panel;
        panel.SetSize(600, 400);
        auto* o = panel.AddObject(std::make_unique<TGLabelShapes>(),
                                  QRect(QPoint(10, 20), QPoint(40, 60)));
        panel.ResetUndo();
        int changes = 0;
        panel.LabelChangedEvent = [&changes] { ++changes; };
        QMenu menu;
        FillObjectMenu(menu, *o, panel, nullptr);
        QAction* item = FindAction(menu, QStringLiteral("Position and Size"));
        QVERIFY(item);
        WhenModal([](TPositionSizeDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Position and Size"));
            QCOMPARE(d->Bounds(), QRect(10, 20, 30, 40));
            d->Units->setCurrentIndex(1);
            d->Left->setValue(25.4);
            d->Top->setValue(12.7);
            d->Width->setValue(50.8);
            d->Height->setValue(6.35);
            Click(d, "OkButton");
        });
        item->trigger();
        QCOMPARE(o->BoundsRect(), QRect(96, 48, 192, 24));
        QVERIFY(changes > 0);
        QCOMPARE(RememberedLengthUnit(), TLengthUnit::Millimetres);
        panel.CommitUndoStep();
        QVERIFY(panel.Undo());
        QCOMPARE(panel.Object(0)->BoundsRect(), QRect(10, 20, 30, 40));

        // The unit comes back; Cancel changes nothing.
        o = panel.Object(0);
        changes = 0;
        WhenModal([](TPositionSizeDialog* d) {
            QCOMPARE(d->Unit(), TLengthUnit::Millimetres);
            d->Left->setValue(100);
            Click(d, "CancelButton");
        });
        QVERIFY(!RunPositionSizeDialog(*o, panel));
        QCOMPARE(o->BoundsRect(), QRect(10, 20, 30, 40));
        QCOMPARE(changes, 0);
        RememberLengthUnit(TLengthUnit::Inches);
    }

    void thePanelMenuMovesASelectionTogether() {
        TGLabelPanel panel;
        panel.SetSize(600, 400);
        auto* a = panel.AddObject(std::make_unique<TGLabelShapes>(),
                                  QRect(QPoint(10, 20), QPoint(40, 60)));
        auto* b = panel.AddObject(std::make_unique<TGLabelShapes>(),
                                  QRect(QPoint(100, 30), QPoint(120, 50)));
        panel.AddToSelection(a);
        panel.AddToSelection(b);
        QMenu menu;
        FillCompletePanelMenu(menu, panel, nullptr);
        QAction* item = FindAction(menu, QStringLiteral("Position and Size"));
        QVERIFY(item && item->isEnabled());
        WhenModal([](TPositionSizeDialog* d) {
            QCOMPARE(d->Bounds(), QRect(QPoint(10, 20), QPoint(119, 59)));
            d->Left->setValue(1.0);
            d->Top->setValue(1.0);
            Click(d, "OkButton");
        });
        item->trigger();
        QCOMPARE(a->BoundsRect(), QRect(96, 96, 30, 40));
        QCOMPARE(b->BoundsRect(), QRect(186, 106, 20, 20));
        QCOMPARE(panel.SelectionCount(), 2);
    }

    void helpOpensItsTopic() {
        QList<int> topics;
        qp::print::SetHelpHandler([&topics](QWidget*, int topic) { topics << topic; });
        TPositionSizeDialog d(QRect(0, 0, 10, 10), false, 1, QSize(100, 100));
        Click(&d, "HelpButton");
        qp::print::SetHelpHandler({});
        QCOMPARE(topics, QList<int>{40010});
    }

    void arrowKeysMoveThroughTheWidgetAndUndoStepByStep() {
        TGLabelPanel panel;
        panel.SetSize(400, 300);
        auto* o = panel.AddObject(std::make_unique<TGLabelShapes>(),
                                  QRect(QPoint(40, 40), QPoint(70, 70)));
        panel.ResetUndo();
        TPanelWidget w(panel);
        w.show();
        panel.AddToSelection(o);
        QTest::keyClick(&w, Qt::Key_Right);
        QCoreApplication::processEvents();
        QCOMPARE(o->Left(), 41);
        QTest::keyClick(&w, Qt::Key_Down, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(o->Top(), 44);
        QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
        QCoreApplication::processEvents();
        QCOMPARE(o->Width(), 31);
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(panel.Object(0)->BoundsRect(), QRect(41, 44, 30, 30));
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(panel.Object(0)->BoundsRect(), QRect(41, 40, 30, 30));
    }
};

QTEST_MAIN(PositionSizeDialogTest)
#include "position_size_dialog_uitest.moc"
