#include "exchange/field_names.h"
#include "exchange/ui/ascii_import_form.h"
#include "exchange/ui/copy_out_form.h"
#include "exchange/ui/vcard_import_form.h"
#include "exchange_test_support.h"
#include "store/ui/common_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace qp;
using namespace qp::exchange;

class NamedExchangeWindowsTest : public QObject {
    Q_OBJECT

    QStringList messages_;

private slots:
    void init() {
        messages_.clear();
        ui::SetMessageHandler([this](const ui::MessageRequest& r) {
            messages_ << r.title + "|" + r.text;
            return true;
        });
    }
    void cleanup() { ui::SetMessageHandler(nullptr); }

    void importWindowReadsNamesAndSeparatorAndProposes() {
        testing::TempDir dir;
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        TAsciiImportForm form(table);
        QVERIFY(!form.headerBox()->isEnabled());
        testing::writeFile(dir.file("in.csv"), "Family Name\tGiven Name\tNotes\tOther\r\n"
                                               "Smith\tAnn\t\"two\r\nlines\"\tx\r\n");
        form.chooseFile(QString::fromStdString(dir.file("in.csv")));
        QVERIFY(messages_.isEmpty());
        QVERIFY(form.headerBox()->isChecked());
        QCOMPARE(form.separatorBox()->currentText(), QString("Tab"));
        // Proposals make the file ready to import at once.
        QVERIFY(form.importButton()->isEnabled());

        TAsciiMatchForm match(form.scan(), form.fields(), form.offered(), "in.csv");
        QCOMPARE(match.sampleGrid()->horizontalHeaderItem(0)->text(), QString("Family Name"));
        QCOMPARE(match.sampleGrid()->item(0, 2)->text(), QString("two\r\nlines"));
        QCOMPARE(match.matchGrid()->item(0, 1)->text(), QString("Family Name"));
        QCOMPARE(match.matchGrid()->rowCount(), int(namedImportFields().size()));

        // Without names the first line is data and nothing is proposed.
        form.headerBox()->setChecked(false);
        QCOMPARE(QString::fromStdString(form.fields()[0].name), QString("Field 1"));
        QVERIFY(!form.importButton()->isEnabled());
        form.headerBox()->setChecked(true);
        QVERIFY(form.importButton()->isEnabled());

        form.runImport();
        QCOMPARE(messages_.last(), QString("Information|Import complete. Imported 1 records."));
        QVERIFY(store::addressIndexValid(table));
        QCOMPARE(testing::column(table, "FNAME"), (std::vector<std::string>{"Ann"}));
        table.first();
        QCOMPARE(QString::fromStdString(*table.getMemo("MEMO")), QString("two\r\nlines"));
    }

    void vcardWindowCountsAndImports() {
        testing::TempDir dir;
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        TVCardImportForm form(table);
        QCOMPARE(form.windowTitle(), QString("vCard File Import"));
        QVERIFY(!form.importButton()->isEnabled());
        testing::writeFile(dir.file("junk.vcf"), "not a card\n");
        form.chooseFile(QString::fromStdString(dir.file("junk.vcf")));
        QCOMPARE(messages_.value(0), QString("Information|There are no vCards in junk.vcf"));
        QVERIFY(!form.importButton()->isEnabled());
        form.chooseFile(QString::fromStdString(dir.file("ADDR.DBF")));
        QCOMPARE(messages_.value(1), QString("Information|Cannot copy a file to itself!"));

        testing::writeFile(dir.file("c.vcf"),
                           "BEGIN:VCARD\nVERSION:3.0\nN:Doe;Jo;;;\nADR;TYPE=home:;;1 Elm;Salem;;;\n"
                           "ADR;TYPE=work:;;2 Oak;Bonn;;;\nBDAY:1980-02-29\nEND:VCARD\n"
                           "BEGIN:VCARD\nVERSION:3.0\nFN:Ann Roe\nEND:VCARD\n");
        form.chooseFile(QString::fromStdString(dir.file("c.vcf")));
        QCOMPARE(form.cardCount()->text(), QString("2 cards"));
        QVERIFY(form.importButton()->isEnabled());
        form.addressBox()->setCurrentIndex(2); // home
        form.dateBox()->setCurrentIndex(1);    // birthday
        form.runImport();
        QCOMPARE(messages_.last(), QString("Information|Import complete. Imported 2 records."));
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(store::addressIndexValid(table));
        QCOMPARE(testing::column(table, "CITY"), (std::vector<std::string>{"Salem", ""}));
        QCOMPARE(testing::column(table, "DATE"), (std::vector<std::string>{"19800229", ""}));
        QCOMPARE(testing::column(table, "LNAME"), (std::vector<std::string>{"Doe", "Roe"}));
    }

    void copyOutWindowWritesCsvWithNamesAndVCards() {
        testing::TempDir dir;
        auto table = testing::newAddressFile(dir.file("ADDR.DBF"));
        QVERIFY(table.append());
        QVERIFY(table.replace("LNAME", "Zoë"));
        QVERIFY(table.post());
        (void)table.setQuery("!ISDEL");
        {
            TCopyRecordsOutForm form(table);
            QVERIFY(!form.byteOrderMark()->isEnabled());
            form.setNamedFormat(NamedFormat::CsvWithNames);
            QVERIFY(form.byteOrderMark()->isEnabled());
            form.acceptName(QString::fromStdString(dir.file("addr.fpt")));
            QCOMPARE(messages_.value(0), QString("Information|Cannot copy a file to itself!"));
            form.acceptName(QString::fromStdString(dir.file("out.csv")));
            QCOMPARE(form.outcome().copied, 1u);
        }
        const std::string csv = testing::slurp(dir.file("out.csv"));
        QVERIFY(csv.rfind("\xEF\xBB\xBFPrefix,", 0) == 0);
        QVERIFY(csv.find(",Zoë,") != std::string::npos);
        TCopyRecordsOutForm form(table);
        form.setNamedFormat(NamedFormat::VCard);
        form.acceptName(QString::fromStdString(dir.file("out.vcf")));
        QVERIFY(testing::slurp(dir.file("out.vcf")).find("N:Zoë;;;;\r\n") != std::string::npos);
    }
};

QTEST_MAIN(NamedExchangeWindowsTest)
#include "named_exchange_windows_uitest.moc"
