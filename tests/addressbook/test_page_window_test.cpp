// Print > Preview Test Page: the status window runs the job and the preview
// opens on the stored page.
#include "addressbook/ui/test_page_commands.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"

#include <QApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestPageTest : public QObject {
    Q_OBJECT

private slots:
    void previewShowsTheTestPage() {
        QTemporaryDir home;
        const QByteArray savedHome = qgetenv("QUILLPOST_HOME");
        qputenv("QUILLPOST_HOME", home.path().toUtf8());
        auto restoreHome = qScopeGuard([&] { qputenv("QUILLPOST_HOME", savedHome); });
        QString previewTitle;
        int ticks = 0;
        QTimer poll;
        // Press "Ok" on the finished status window, note and close the preview.
        connect(&poll, &QTimer::timeout, [&] {
            ++ticks;
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* preview = qobject_cast<qp::print::TPreviewForm*>(modal)) {
                previewTitle = preview->windowTitle();
                preview->reject();
            } else if (qobject_cast<qp::print::TPrintStatusForm*>(modal)) {
                for (auto* b : modal->findChildren<QPushButton*>())
                    if (b->text() == QStringLiteral("Ok") && b->isVisible())
                        b->click();
            }
            if (ticks > 500 && modal)
                static_cast<QDialog*>(modal)->reject();
        });
        poll.start(20);
        qp::addressbook::PrintTestPage(nullptr, true);
        poll.stop();
        QVERIFY2(previewTitle.startsWith(QStringLiteral("Preview Page 1 of 1")),
                 qPrintable(previewTitle));
    }
};

QTEST_MAIN(TestPageTest)
#include "test_page_window_test.moc"
