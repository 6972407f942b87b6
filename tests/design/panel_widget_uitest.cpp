// The panel widget and the object dialogs under the offscreen platform:
// drag, resize and zoom through real mouse events; dialogs applied or cancelled.
#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/shapes.h"
#include "design/symbol_font.h"
#include "design/text_labels.h"
#include "design/ui/design_dialogs.h"
#include "design/ui/object_menus.h"
#include "design/ui/panel_commands_ui.h"
#include "design/ui/panel_widget.h"
#include "print/ui/window_hooks.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace qp::design;
using namespace qp::design::ui;

namespace {

void Mouse(QWidget* w, QEvent::Type t, QPoint p, Qt::MouseButton b, Qt::MouseButtons held,
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(t, QPointF(p), w->mapToGlobal(QPointF(p)), b, held, mods);
    QApplication::sendEvent(w, &e);
}

// Runs `f` on the modal dialog once it is shown.
void WhenModal(std::function<void(QDialog*)> f) {
    QTimer::singleShot(0, [f] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        f(d);
    });
}

} // namespace

class PanelWidgetTest : public QObject {
    Q_OBJECT

private:
    std::int64_t Now = 1000;
    void Drag(QWidget* w, QPoint from, QPoint to) {
        Mouse(w, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        Mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Now += 100;
        Mouse(w, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        Mouse(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Now += 200;
        Mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        Now += 1000;
    }

private slots:
    void addressLayoutDialogWritesTheChoicesBack() {
        TGDMultiLineAddressLabel block;
        TAddressLayoutDialog dialog(block);
        const auto boxes = dialog.findChildren<QCheckBox*>();
        QCOMPARE(boxes.size(), 11); // the ten lines and Shrink to fit
        auto find = [&](const QString& caption) -> QCheckBox* {
            for (QCheckBox* b : boxes)
                if (b->text() == caption)
                    return b;
            return nullptr;
        };
        QVERIFY(find(QStringLiteral("&Phone #1")) &&
                !find(QStringLiteral("&Phone #1"))->isChecked());
        find(QStringLiteral("&Phone #1"))->setChecked(true);
        find(QStringLiteral("&Uppercase"))->setChecked(true);
        // Without a ZIP line there is nowhere to place it.
        QCheckBox* zip = find(QStringLiteral("&Zip/Postal code"));
        zip->click();
        for (QRadioButton* r : dialog.findChildren<QRadioButton*>())
            QVERIFY(!r->isEnabled());
        zip->click();
        dialog.findChildren<QRadioButton*>().at(1)->setChecked(true);
        QVERIFY(!find(QStringLiteral("Shrin&k to fit"))->isChecked());
        find(QStringLiteral("Shrin&k to fit"))->setChecked(true);
        dialog.Apply();
        QVERIFY(block.ShrinkToFit);
        QVERIFY(block.Layout.UsePhone);
        QVERIFY(block.Layout.UpperCase);
        QVERIFY(block.Layout.UseZip);
        QCOMPARE(block.Layout.ZipOptions, zoBeforeCity);
    }

    void designDialogHelpButtonsOpenTheirTopics() {
        QList<int> topics;
        qp::print::SetHelpHandler([&topics](QWidget*, int topic) { topics << topic; });
        TGDMultiLineAddressLabel block;
        TAddressLayoutDialog layout(block);
        layout.findChild<QPushButton*>(QStringLiteral("HelpButton"))->click();
        TTextDialog text(QStringLiteral("x"));
        text.findChild<QPushButton*>(QStringLiteral("HelpButton"))->click();
        qp::print::SetHelpHandler({});
        QCOMPARE(topics, (QList<int>{40009, 40004}));
    }

    void addressBlockAndFimMenusOfferTheirOwnCommands() {
        TGLabelPanel panel;
        panel.SetSize(300, 200);
        auto* block = panel.AddObject(std::make_unique<TGDMultiLineAddressLabel>(),
                                      QRect(QPoint(10, 10), QPoint(150, 80)));
        QMenu blockMenu;
        FillObjectMenu(blockMenu, *block, panel, nullptr);
        QStringList captions;
        for (QAction* a : blockMenu.actions())
            captions << a->text();
        QVERIFY(captions.contains(QStringLiteral("Address Layout")));
        QVERIFY(!captions.contains(QStringLiteral("Word Wrap")));

        auto* fim = static_cast<TGFIMBarCode*>(panel.AddObject(
            std::make_unique<TGFIMBarCode>(), QRect(QPoint(200, 10), QPoint(240, 60))));
        QMenu fimMenu;
        FillObjectMenu(fimMenu, *fim, panel, nullptr);
        QAction* typeC = nullptr;
        for (QAction* a : fimMenu.actions()) {
            if (a->text() == QStringLiteral("Set FIM to Type A"))
                QVERIFY(a->isChecked());
            if (a->text() == QStringLiteral("Set FIM to Type C"))
                typeC = a;
        }
        QVERIFY(typeC);
        typeC->trigger();
        QCOMPARE(fim->FIMType(), fimTypeC);
    }

    void dragMovesAndEdgeResizes() {
        TGLabelPanel panel;
        panel.SetSize(400, 300);
        panel.Clock = [this] { return Now; };
        TPanelWidget w(panel);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), QSize(400, 300));
        int changes = 0;
        connect(&w, &TPanelWidget::LayoutChanged, [&] { ++changes; });

        auto* s = panel.AddObject(std::make_unique<TGLabelShapes>(),
                                  QRect(QPoint(50, 50), QPoint(150, 100)));
        Mouse(&w, QEvent::MouseButtonPress, {60, 60}, Qt::LeftButton, Qt::LeftButton);
        Mouse(&w, QEvent::MouseButtonRelease, {60, 60}, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(panel.SelectionCount(), 1);
        Now += 1000;
        Drag(&w, {80, 70}, {110, 90});
        QCOMPARE(s->BoundsRect(), QRect(80, 70, 100, 50));
        QVERIFY(changes > 0);

        // Right edge of the overlay (78,68 105x55): zone 8 at x = W - 1, y = H / 2.
        const QPoint edge(78 + 104, 68 + 27);
        Drag(&w, edge, edge + QPoint(10, 0));
        QCOMPARE(s->Width(), 109);

        // A rubber band from the empty corner selects nothing and clears.
        Mouse(&w, QEvent::MouseMove, {390, 290}, Qt::NoButton, Qt::NoButton);
        Mouse(&w, QEvent::MouseButtonPress, {390, 290}, Qt::LeftButton, Qt::LeftButton);
        Mouse(&w, QEvent::MouseButtonRelease, {390, 290}, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(panel.SelectionCount(), 0);
    }

    void arrowKeysMoveTheSelection() {
        TGLabelPanel panel;
        panel.SetSize(200, 200);
        TPanelWidget w(panel);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* s = panel.AddObject(std::make_unique<TGLabelShapes>(),
                                  QRect(QPoint(20, 20), QPoint(50, 50)));
        panel.AddToSelection(s);
        w.setFocus();
        QTest::keyPress(&w, Qt::Key_Right);
        QTest::keyPress(&w, Qt::Key_Right);
        QTest::keyRelease(&w, Qt::Key_Right);
        QTest::keyPress(&w, Qt::Key_Down);
        QTest::keyRelease(&w, Qt::Key_Down);
        QCOMPARE(s->BoundsRect().topLeft(), QPoint(22, 21));
    }

    void zoomResizesTheWidgetAndScalesObjects() {
        TGLabelPanel panel;
        panel.SetSize(400, 300);
        TPanelWidget w(panel);
        w.show();
        auto* s =
            panel.AddObject(std::make_unique<TGLabelShapes>(), QRect(QPoint(3, 5), QPoint(10, 14)));
        QCOMPARE(s->BoundsRect(), QRect(3, 5, 10, 15));
        w.SetZoom(0.5f);
        QCOMPARE(w.size(), QSize(200, 150));
        QCOMPARE(s->BoundsRect(), QRect(2, 2, 5, 8));
        w.SetZoom(2.0f);
        QCOMPARE(w.size(), QSize(800, 600));
        // A zoomed object still takes real clicks at its zoomed place.
        Mouse(&w, QEvent::MouseButtonPress, {s->Left() + 2, s->Top() + 2}, Qt::LeftButton,
              Qt::LeftButton);
        Mouse(&w, QEvent::MouseButtonRelease, {s->Left() + 2, s->Top() + 2}, Qt::LeftButton,
              Qt::NoButton);
        QCOMPARE(panel.SelectionCount(), 1);
        // The painted image shows the selection squares at the object's corner.
        const QImage img = w.grab().toImage();
        QCOMPARE(img.pixelColor(s->Left() - 1, s->Top() - 1), QColor(Qt::black));
    }

    void textToolOpensTheTextDialog() {
        TGLabelPanel panel;
        panel.SetSize(400, 300);
        TPanelWidget w(panel);
        w.show();
        panel.SetPanelState(psLabel);
        WhenModal([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Text"));
            auto* edit = d->findChild<QLineEdit*>();
            QCOMPARE(edit->text(), QString("<text>"));
            edit->setText("Hello");
            d->accept();
        });
        Mouse(&w, QEvent::MouseButtonPress, {30, 40}, Qt::LeftButton, Qt::LeftButton);
        Mouse(&w, QEvent::MouseButtonRelease, {30, 40}, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(panel.ObjectCount(), 1);
        auto* l = dynamic_cast<TGPLabel*>(panel.Object(0));
        QVERIFY(l);
        QCOMPARE(l->Caption(), QString("Hello"));
        QCOMPARE(l->BoundsRect().topLeft(), QPoint(30, 40));
    }

    void cancelledDialogsLeaveObjectsUnchanged() {
        TGPLabel l;
        l.SetCaption("Keep");
        WhenModal([](QDialog* d) {
            d->findChild<QLineEdit*>()->setText("Lost");
            d->reject();
        });
        QVERIFY(!RunTextDialog(l));
        QCOMPARE(l.Caption(), QString("Keep"));

        TGCounterLabel c;
        WhenModal([](QDialog* d) {
            auto* dlg = static_cast<TCounterDialog*>(d);
            dlg->Start->setValue(500);
            dlg->Zeros->setValue(4);
            dlg->Before->setText("#");
            d->accept();
        });
        QVERIFY(RunCounterDialog(c));
        QCOMPARE(c.Startingnumber(), 500);
        QCOMPARE(c.CounterText(), QString("#0500"));
    }

    void symbolSelectorStartsOnTheFirstSymbolForAnEmptyCaption() {
        QCOMPARE(TSymbolSelector::ColumnsForSize(24), 8);
        QCOMPARE(TSymbolSelector::ColumnsForSize(80), 1);
        TDesignFont f;
        f.Name = "WingDings";
        f.Size = 24;
        f.Bold = f.Italic = true;
        QCOMPARE(TSymbolSelector::FontCaption(f), QString("WingDings, 24pt Italic "));
        TGLabelPanel panel;
        panel.SetSize(300, 300);
        auto* s = static_cast<TGSymbolLabel*>(panel.AddObject(std::make_unique<TGSymbolLabel>(),
                                                              QRect(QPoint(0, 0), QPoint(20, 20))));
        s->SetCaption("");
        WhenModal([](QDialog* d) {
            auto* grid = static_cast<TSymbolSelector*>(d)->Grid();
            QCOMPARE(grid->currentRow(), 0);
            QCOMPARE(grid->count(), 224);
            grid->setCurrentRow(33); // 'A'
            d->accept();
        });
        QVERIFY(RunSymbolSelector(*s));
        QCOMPARE(s->Caption(), QString("A"));
    }

    // The grid shows each code as the label draws it; choosing keeps the code.
    void symbolSelectorShowsTheMappedSymbols() {
        TDesignFont f;
        f.Name = "WingDings";
        f.Size = 24;
        TSymbolSelector d(f, 'J' - 32);
        const QListWidgetItem* smile = d.Grid()->item('J' - 32);
        if (SymbolText(f, "J").Mapped) // unless a real Wingdings is installed
            QCOMPARE(smile->data(Qt::UserRole).toString(), QString(QChar(0x263A)));
        QVERIFY(!smile->icon().isNull());
        // No equivalent: drawn as stored.
        QCOMPARE(d.Grid()->item(0xFF - 32)->data(Qt::UserRole).toString(), QString(QChar(0xFF)));
        QCOMPARE(d.SelectedIndex(), 'J' - 32);
        TDesignFont arial;
        arial.Size = 24;
        TSymbolSelector text(arial, 0);
        QCOMPARE(text.Grid()->item('J' - 32)->data(Qt::UserRole).toString(), QString("J"));
    }

    void text3DEffectsApplyOnOk() {
        TGPLabel l;
        WhenModal([](QDialog* d) {
            auto* dlg = static_cast<TText3DEffectsDialog*>(d);
            dlg->ShadowDepth->setCurrentIndex(4);
            dlg->HighlightDirection->setCurrentIndex(hdUp);
            QCOMPARE(dlg->Preview().Caption(), QString("Sample"));
            QCOMPARE(dlg->Preview().DepthShadow(), 4);
            d->accept();
        });
        QVERIFY(RunText3DEffects(l));
        QCOMPARE(l.DepthShadow(), 4);
        QCOMPARE(l.DirectionHighlight(), hdUp);
    }

    void imageBrowserSaysWhenAFileCannotBeLoaded() {
        QTemporaryDir dir;
        const QString junk = dir.filePath("junk.bmp");
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("junk");
        f.close();
        QStringList messages;
        qp::ui::SetMessageHandler([&](const qp::ui::MessageRequest& r) {
            messages << r.text;
            return true;
        });
        TImageBrowser b(true, false);
        b.SelectFile(junk);
        QCOMPARE(messages, QStringList({"Error loading file!"}));
        QVERIFY(b.SelectedFile().isEmpty());
        b.AutoSize->setChecked(true);
        QVERIFY(!b.Stretch->isChecked());
        qp::ui::SetMessageHandler(nullptr);
    }
};

QTEST_MAIN(PanelWidgetTest)
#include "panel_widget_uitest.moc"
