// Every window shows the application icon: the drawn PNG sizes and the SVG.
#include "app/app_icon.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QTest>

class AppIconTest : public QObject {
    Q_OBJECT
private slots:
    void everyWindowCarriesTheIcon() {
        qp::app::installApplicationIcon();
        QCOMPARE(QGuiApplication::desktopFileName(), QString("org.quillpost.Quillpost"));
        const QIcon icon = qp::app::applicationIcon();
        const auto sizes = icon.availableSizes();
        QVERIFY(sizes.contains(QSize(48, 48)));
        QVERIFY(sizes.contains(QSize(256, 256)));
        QMainWindow main;
        QDialog tool(&main);
        QDialog alone;
        for (QWidget* w : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&tool),
                           static_cast<QWidget*>(&alone)}) {
            const QImage image = w->windowIcon().pixmap(48, 48).toImage();
            QVERIFY(!image.isNull());
            QCOMPARE(image.size(), QSize(48, 48));
            // Drawn, not blank: the corner is clear and the middle is not.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QVERIFY(qAlpha(image.pixel(24, 24)) > 0);
        }
    }
};

QTEST_MAIN(AppIconTest)
#include "app_icon_uitest.moc"
