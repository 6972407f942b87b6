// The preview window: buttons, zoom rules, title, mouse, keys, placement, drawing.
#include "print/printer_setup.h"
#include "print/report_filer.h"
#include "print/ui/file_preview.h"
#include "print/ui/preview_form.h"
#include "print/ui/window_hooks.h"

#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

using namespace qp::print;

namespace {

TStoredJob MakeJob(int pages) {
    static TPrinterSetup setup;
    setup.SelectPrinterByName(TPrinterSetup::kPdfPrinterName);
    setup.SetPaperCode(kPaperLetter);
    TStoredJob job;
    TReportFiler filer(&setup);
    filer.SetStream(&job);
    filer.OnPrint = [pages](TBaseReport& r) {
        for (int p = 1; p <= pages; ++p) {
            if (p > 1)
                r.NewPage();
            r.SetBrush(Qt::black, bsSolid);
            r.SetPen(Qt::black, psClear, 1);
            r.Rectangle(1.0, 1.0, 2.0, 2.0);
        }
    };
    filer.Execute();
    return job;
}

struct TFakePlacement : TWindowPlacementStore {
    int Restored = 0;
    int Saved = 0;
    void Restore(QWidget& w) override {
        ++Restored;
        w.resize(700, 640);
    }
    void Save(QWidget&) override { ++Saved; }
};

} // namespace

class PreviewFormTest : public QObject {
    Q_OBJECT

private slots:
    void titleFollowsPageAndZoom() {
        const TStoredJob job = MakeJob(3);
        TPreviewForm form(job, "Preview Report", 75);
        QCOMPARE(form.windowTitle(), QString("Preview Report"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QString("Preview Page 1 of 3 ( 75% )"));
        form.ButtonNamed("ZoomInButton")->click();
        QCOMPARE(form.windowTitle(), QString("Preview Page 1 of 3 ( 85% )"));
        form.ButtonNamed("ZoomOutButton")->click();
        form.ButtonNamed("ZoomOutButton")->click();
        QCOMPARE(form.windowTitle(), QString("Preview Page 1 of 3 ( 65% )"));
        form.ButtonNamed("ActualSizeButton")->click();
        QCOMPARE(form.windowTitle(), QString("Preview Page 1 of 3 ( 100% )"));
        form.ButtonNamed("NextButton")->click();
        QCOMPARE(form.windowTitle(), QString("Preview Page 2 of 3 ( 100% )"));
        form.ButtonNamed("LastButton")->click();
        form.ButtonNamed("NextButton")->click();
        QCOMPARE(form.windowTitle(), QString("Preview Page 3 of 3 ( 100% )"));
        form.ButtonNamed("PrevButton")->click();
        form.ButtonNamed("FirstButton")->click();
        QCOMPARE(form.windowTitle(), QString("Preview Page 1 of 3 ( 100% )"));
        form.ButtonNamed("OkButton")->click();
        QVERIFY(!form.isVisible());
    }

    void pageButtonsOnlyForSeveralPages() {
        const TStoredJob one = MakeJob(1);
        TPreviewForm single(one, "Preview Labels");
        single.show();
        for (const char* name : {"FirstButton", "PrevButton", "NextButton", "LastButton"})
            QVERIFY(single.ButtonNamed(name)->isHidden());
        for (const char* name :
             {"OkButton", "ZoomInButton", "ZoomOutButton", "PageWidthButton", "WholePageButton",
              "ActualSizeButton", "HelpButton", "WhatsThisButton"})
            QVERIFY(!single.ButtonNamed(name)->isHidden());
        const TStoredJob two = MakeJob(2);
        TPreviewForm several(two, "Preview Labels");
        several.show();
        QVERIFY(!several.ButtonNamed("NextButton")->isHidden());
    }

    void openingModesFitThePage() {
        const TStoredJob job = MakeJob(1);
        TPreviewForm whole(job, "Preview Envelope", 1);
        whole.show();
        QVERIFY(QTest::qWaitForWindowExposed(&whole));
        TFilePreview* p = whole.Preview();
        const QSizeF canvas = p->Model().CanvasPixels(p->ScreenDpi());
        const QSize vp = p->maximumViewportSize();
        QVERIFY(canvas.width() <= vp.width() + 1 && canvas.height() <= vp.height() + 1);
        QVERIFY(std::abs(canvas.height() - vp.height()) < 1.5 ||
                std::abs(canvas.width() - vp.width()) < 1.5);

        TPreviewForm width(job, "Preview Report", 2);
        width.show();
        QVERIFY(QTest::qWaitForWindowExposed(&width));
        TFilePreview* w = width.Preview();
        const double cw = w->Model().CanvasPixels(w->ScreenDpi()).width();
        QVERIFY2(std::abs(cw - w->viewport()->width()) < 2, qPrintable(QString::number(cw)));
        QVERIFY(w->verticalScrollBar()->maximum() > 0);
        width.ButtonNamed("WholePageButton")->click();
        QVERIFY(w->Model().ZoomFactor() < 100 * cw / (w->ScreenDpi() * 8.5 * 1.05));
        width.ButtonNamed("PageWidthButton")->click();
        QVERIFY(std::abs(w->Model().CanvasPixels(w->ScreenDpi()).width() - w->viewport()->width()) <
                2);
    }

    void clicksZoomAndArrowsScroll() {
        const TStoredJob job = MakeJob(1);
        TPreviewForm form(job, "Preview Report", 100);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TFilePreview* p = form.Preview();
        QCOMPARE(p->viewport()->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseClick(p->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(p->Model().ZoomFactor(), 110.0);
        QTest::mouseClick(p->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QTest::mouseClick(p->viewport(), Qt::MiddleButton, {}, QPoint(50, 50));
        QCOMPARE(p->Model().ZoomFactor(), 90.0);

        QScrollBar* bar = p->verticalScrollBar();
        bar->setValue(0);
        QTest::keyClick(p, Qt::Key_Up);
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(p, Qt::Key_Down);
        QCOMPARE(bar->value(), bar->singleStep());
        bar->setValue(bar->maximum());
        QTest::keyClick(p, Qt::Key_Down);
        QCOMPARE(bar->value(), bar->maximum());
    }

    void drawsThePageWhereThePaperHasIt() {
        const TStoredJob job = MakeJob(1);
        TPreviewForm form(job, "Preview Report", 50);
        form.resize(900, 900);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TFilePreview* p = form.Preview();
        const QImage shot = p->viewport()->grab().toImage();
        const double k = p->ScreenDpi() * 0.5 * shot.devicePixelRatio(); // image pixels per inch
        const QPointF o = p->PageOrigin() * shot.devicePixelRatio();
        QCOMPARE(shot.pixelColor((o + QPointF(1.5, 1.5) * k).toPoint()), QColor(Qt::black));
        QCOMPARE(shot.pixelColor((o + QPointF(2.5, 1.5) * k).toPoint()), QColor(Qt::white));
        QCOMPARE(shot.pixelColor((o + QPointF(0.8, 1.5) * k).toPoint()), QColor(Qt::white));
    }

    void placementAndHelpGoThroughTheHooks() {
        TFakePlacement store;
        SetWindowPlacementStore(&store);
        int topic = 0;
        SetHelpHandler([&](QWidget*, int t) { topic = t; });
        const TStoredJob job = MakeJob(1);
        {
            TPreviewForm form(job, "Preview Zipcode Count", 100);
            form.show();
            QCOMPARE(store.Restored, 1);
            QCOMPARE(form.size(), QSize(700, 640));
            form.ButtonNamed("HelpButton")->click();
            QCOMPARE(topic, 1074);
            form.ButtonNamed("OkButton")->click();
            QCOMPARE(store.Saved, 1);
        }
        SetWindowPlacementStore(nullptr);
        SetHelpHandler({});
    }
};

QTEST_MAIN(PreviewFormTest)
#include "preview_form_uitest.moc"
