// The browse grid, the search and tagging windows, and the dial window on a
// pseudo-terminal through the serial port class.
#include "addressbook/browse_columns.h"
#include "addressbook/ui/browse_model.h"
#include "addressbook/ui/browse_window.h"
#include "addressbook/ui/dial_window.h"
#include "addressbook/ui/tagging_window.h"
#include "dialog_test_support.h"
#include "store/address_file.h"
#include "store/filter_criteria.h"
#include "store/settings_file.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace qp;
using namespace qp::addressbook;

class BrowseWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ProgramHome> home;
    std::unique_ptr<test::MessageRecorder> messages;

    store::Table makeFile() {
        const std::string path = home->path(QStringLiteral("DATA/ADD0001.DBF")).toStdString();
        [&] { QVERIFY(store::createAddressFile(path, {}).ok()); }();
        auto t = store::openAddressFile(path);
        for (const char* last : {"Carter", "Adams", "Baker"}) {
            (void)t->append();
            (void)t->replace("LNAME", last);
            (void)t->replace("ZIP", std::string("606") + last[0]);
            (void)t->post();
        }
        (void)t->setQuery(store::kNoFilterQuery);
        (void)t->setOrder(t->tagArea("LNAME"));
        t->first();
        return std::move(*t);
    }

private slots:
    void init() {
        home = std::make_unique<test::ProgramHome>();
        messages = std::make_unique<test::MessageRecorder>();
    }
    void cleanup() {
        messages.reset();
        home.reset();
    }

    void gridFollowsTheCursorBothWays() {
        auto t = makeFile();
        int toggles = 0;
        TBrowseWindow w(t, "T1", [&] { ++toggles; });
        w.show();
        QCOMPARE(w.model()->rowCount(), 3);
        QCOMPARE(w.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Tagged"));
        QCOMPARE(w.model()->data(w.model()->index(0, 0), Qt::DisplayRole).toString(),
                 QStringLiteral("No"));
        QCOMPARE(w.grid()->currentIndex().row(), 0);
        w.Last();
        QCOMPARE(w.grid()->currentIndex().row(), 2);
        QCOMPARE(QString::fromStdString(t.getString("LNAME")), QStringLiteral("Carter"));
        w.Next(); // at the end: stays
        QCOMPARE(QString::fromStdString(t.getString("LNAME")), QStringLiteral("Carter"));
        w.grid()->setCurrentIndex(w.model()->index(1, 1));
        QCOMPARE(QString::fromStdString(t.getString("LNAME")), QStringLiteral("Baker"));
        w.Tag();
        QCOMPARE(toggles, 1);
        QVERIFY(w.grid()->horizontalHeader()->sectionsMovable());
    }

    void movedColumnIsFirstInTheNextBrowse() {
        auto t = makeFile();
        {
            TBrowseWindow w(t, "", [] {});
            auto fields = w.model()->fields();
            const int zip = int(std::find(fields.begin(), fields.end(), "ZIP") - fields.begin());
            auto* header = w.grid()->horizontalHeader();
            header->moveSection(header->visualIndex(zip), 0);
            w.accept();
        }
        QVERIFY(QFile::exists(home->path(QStringLiteral("sysdata/FIELDS.LST"))));
        TBrowseWindow again(t, "", [] {});
        QCOMPARE(again.model()->fields().front(), std::string("ZIP"));
        QCOMPARE(again.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Zip/Postal Code"));
    }

    void taggingWindowTagsAndEnds() {
        auto t = makeFile();
        TTaggingWindow w(t, "T9");
        w.run();
        QCOMPARE(w.statusText(), QStringLiteral("Complete"));
        QCOMPARE(w.countText(), QStringLiteral("3 tagged"));
        QCOMPARE(QString::fromStdString(t.getString("TAG")), QStringLiteral("T9"));
    }

    void dialWindowSendsTheSequenceThroughTheSerialPort() {
        int master = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
        const QString slave = QString::fromLocal8Bit(ptsname(master));
        int keep = ::open(ptsname(master), O_RDWR | O_NOCTTY);
        termios tio{};
        tcgetattr(keep, &tio);
        cfmakeraw(&tio);
        tcsetattr(keep, TCSANOW, &tio);

        TDialWindow w(QStringLiteral("555-1212"));
        w.prefixBox()->setText(QStringLiteral("9"));
        w.initBox()->setText(QStringLiteral("&F"));
        w.methodBox()->setCurrentIndex(1);
        w.portBox()->addItem(slave, slave);
        w.portBox()->setCurrentIndex(w.portBox()->count() - 1);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(w.Dial(), DialResult::Dialled);
        QVERIFY(clock.elapsed() >= 1500);
        QVERIFY(w.helpButton()->isHidden());
        QCOMPARE(messages->texts(), QStringList{QStringLiteral("Pick up phone")});
        QByteArray got;
        char buf[256];
        pollfd p{master, POLLIN, 0};
        while (poll(&p, 1, 200) > 0) {
            ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        QCOMPARE(got, QByteArray("AT&F\r\nATDP9555-1212\r\nATH\r\n"));
        auto settings = store::ReadDialingSettings(store::SettingsFile::standard());
        QCOMPARE(settings.prefix, std::string("9"));
        QCOMPARE(settings.method, 1);
        ::close(keep);
        ::close(master);
    }

    void dialWindowMissingPort() {
        TDialWindow w(QStringLiteral("1"));
        w.portBox()->addItem(QStringLiteral("/dev/no-such-modem"),
                             QStringLiteral("/dev/no-such-modem"));
        w.portBox()->setCurrentIndex(w.portBox()->count() - 1);
        // The pointer-help button the help service adds goes with Help.
        auto* pointer = new QToolButton(&w);
        pointer->setText(QStringLiteral("?"));
        QCOMPARE(w.Dial(), DialResult::OpenFailed);
        QVERIFY(pointer->isHidden());
        // A modem beyond COM 4 is remembered by its path.
        QCOMPARE(store::SettingsFile::standard().readString("Dialing", "Device", ""),
                 std::string("/dev/no-such-modem"));
        QCOMPARE(messages->texts(),
                 QStringList{QStringLiteral("Unable to open /dev/no-such-modem")});
        QCOMPARE(w.portBox()->itemText(0), QStringLiteral("COM 1"));
        QCOMPARE(w.deviceAt(3), QStringLiteral("/dev/ttyS3"));
    }
};

QTEST_MAIN(BrowseWindowTest)
#include "browse_window_test.moc"
