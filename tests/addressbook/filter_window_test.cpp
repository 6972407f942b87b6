// The "Address Filter" window and the Save Filter / Restore Filter commands
// on a real address file.

#include "addressbook/filter_window_rules.h"
#include "addressbook/ui/filter_commands.h"
#include "addressbook/ui/filter_window.h"
#include "dialog_test_support.h"
#include "store/address_file.h"
#include "store/filter_file.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <optional>

using namespace qp::addressbook;
using qp::store::FilterField;

namespace {

template <class T> T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class FilterWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensWithTheCurrentCriteria();
    void testAppliesTheBoxesAndCountsMatches();
    void testWithNothingMatchingSaysNoFilterSet();
    void clearEmptiesEverythingAndTests();
    void cancelRestoresTheCriteriaAndTheirQuery();
    void okKeepsTheTestedFilter();
    void tooComplexFilterIsReportedAndDropped();
    void dateNoteShowsOnlyWhileTheDateBoxHasFocus();
    void boxesGoWhereTheCallerPlacesThem();
    void labelsReadWholeAtLargerFonts();
    void helpButtonOpensItsTopic();

    void saveAppendsFltAndWritesTheFile();
    void saveRefusesAnotherExtension();
    void saveIntoFolderWithDotInItsName();
    void saveAsksBeforeOverwritingWithNoAsDefault();
    void saveStartsInTheLastUsedFolder();
    void restoreRefusesOtherFilesAndAppliesFltFiles();

private:
    void addRecord(const char* last, const char* first, const char* date = "");

    std::optional<qp::test::ProgramHome> home_;
    std::optional<qp::store::Table> table_;
};

void FilterWindowTest::init() {
    home_.emplace();
    std::string path = home_->path(QStringLiteral("DATA/add0001.DBF")).toStdString();
    QVERIFY(qp::store::createAddressFile(path, {}).ok());
    auto opened = qp::store::openAddressFile(path);
    QVERIFY(opened.ok());
    table_.emplace(std::move(opened).value());
    addRecord("JONES", "Ann", "19970428");
    addRecord("JOHNSON", "Bob", "19961231");
    addRecord("BAKER", "Cy", "19970101");
    addRecord("BAKERSFIELD", "Di");
    QVERIFY(qp::store::ClearEngineFilter(*table_).ok());
}

void FilterWindowTest::cleanup() {
    table_.reset();
    home_.reset();
}

void FilterWindowTest::addRecord(const char* last, const char* first, const char* date) {
    QVERIFY(table_->append().ok());
    QVERIFY(table_->replace("LNAME", last).ok());
    QVERIFY(table_->replace("FNAME", first).ok());
    QVERIFY(table_->replace("DATE", date).ok());
    QVERIFY(table_->replaceLogical("ISDEL", false).ok());
    QVERIFY(table_->post().ok());
}

void FilterWindowTest::opensWithTheCurrentCriteria() {
    qp::store::FilterCriteria criteria;
    criteria[FilterField::Phone2] = "555";
    criteria[FilterField::City] = "Spring ";
    criteria.reverse = true;
    TFilterWindow window(*table_, criteria, "TAG1");
    QCOMPARE(window.windowTitle(), QStringLiteral("Address Filter"));
    QCOMPARE(window.box(FilterField::Phone2)->text(), QStringLiteral("555"));
    QCOMPARE(window.box(FilterField::Phone1)->text(), QString());
    QCOMPARE(window.box(FilterField::City)->text(), QStringLiteral("Spring "));
    QVERIFY(child<QCheckBox>(window, "qReverse")->isChecked());
    QVERIFY(!child<QCheckBox>(window, "qTagged")->isChecked());
    QVERIFY(child<QLabel>(window, "HintLabel")->text().startsWith("Hint: to look for only part"));
    QCOMPARE(window.box(FilterField::Date)->toolTip(),
             QStringLiteral("Note: enter dates in the form: YYYYMMDD\n(i.e. 19970428 for April "
                            "28, 1997)"));
    // The fallback grid labels every box.
    QCOMPARE(child<QLabel>(window, "qCityLabel")->text(), QStringLiteral("City"));
    QCOMPARE(child<QLabel>(window, "qZipLabel")->text(), QStringLiteral("Zip or Postal Code"));
}

void FilterWindowTest::testAppliesTheBoxesAndCountsMatches() {
    qp::store::FilterCriteria criteria;
    TFilterWindow window(*table_, criteria, "TAG1");
    QSignalSpy applied(&window, &TFilterWindow::filterApplied);
    window.box(FilterField::LastName)->setText(QStringLiteral("jo"));
    QTest::mouseClick(child<QPushButton>(window, "TestButton"), Qt::LeftButton);
    QCOMPARE(child<QLabel>(window, "MatchLabel")->text(), QStringLiteral("2 matches"));
    QCOMPARE(criteria[FilterField::LastName], std::string("jo"));
    QCOMPARE(window.matches(), 2u);
    QCOMPARE(applied.count(), 1);
    QCOMPARE(QString::fromStdString(table_->dbFilter()),
             QStringLiteral("UPPER(LNAME)=\"JO\".and. !ISDEL"));
    // The records moved to the first match.
    QVERIFY(QString::fromStdString(table_->getString("LNAME")).startsWith("JO"));
}

void FilterWindowTest::testWithNothingMatchingSaysNoFilterSet() {
    qp::store::FilterCriteria criteria;
    TFilterWindow window(*table_, criteria, "TAG1");
    window.box(FilterField::LastName)->setText(QStringLiteral("ZZ"));
    window.test();
    QCOMPARE(child<QLabel>(window, "MatchLabel")->text(), QStringLiteral("No filter set"));
    QCOMPARE(criteria, qp::store::FilterCriteria{}); // dropped without a word
    QCOMPARE(QString::fromStdString(table_->dbFilter()), QStringLiteral("!ISDEL"));
    // The typed text stays in its box.
    QCOMPARE(window.box(FilterField::LastName)->text(), QStringLiteral("ZZ"));

    // A trailing blank is part of the value: BAKER but not BAKERSFIELD.
    window.box(FilterField::LastName)->setText(QStringLiteral("BAKER "));
    window.test();
    QCOMPARE(window.matches(), 1u);
}

void FilterWindowTest::clearEmptiesEverythingAndTests() {
    qp::store::FilterCriteria criteria;
    criteria[FilterField::LastName] = "JO";
    criteria.tagged = true;
    TFilterWindow window(*table_, criteria, "TAG1");
    QTest::mouseClick(child<QPushButton>(window, "ClearButton"), Qt::LeftButton);
    for (const auto& info : kFilterBoxes)
        QVERIFY(window.box(info.field)->text().isEmpty());
    QVERIFY(!child<QCheckBox>(window, "qTagged")->isChecked());
    QCOMPARE(child<QLabel>(window, "MatchLabel")->text(), QStringLiteral("No filter set"));
    QCOMPARE(criteria, qp::store::FilterCriteria{});
}

void FilterWindowTest::cancelRestoresTheCriteriaAndTheirQuery() {
    qp::store::FilterCriteria criteria;
    criteria[FilterField::LastName] = "BAK";
    QCOMPARE(qp::store::ApplyFilter(*table_, criteria, "TAG1").matches, 2u);
    qp::store::FilterCriteria before = criteria;
    std::string queryBefore = table_->dbFilter();

    TFilterWindow window(*table_, criteria, "TAG1");
    window.show();
    window.box(FilterField::LastName)->setText(QStringLiteral("JONES"));
    child<QCheckBox>(window, "qReverse")->setChecked(true);
    window.test();
    QCOMPARE(window.matches(), 3u);
    QVERIFY(criteria.reverse);
    QTest::mouseClick(child<QPushButton>(window, "CancelButton"), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(criteria, before);
    QCOMPARE(table_->dbFilter(), queryBefore);
    QCOMPARE(table_->queryRecCount(), 2u);
}

void FilterWindowTest::okKeepsTheTestedFilter() {
    qp::store::FilterCriteria criteria;
    TFilterWindow window(*table_, criteria, "TAG1");
    window.show();
    window.box(FilterField::Date)->setText(QStringLiteral(">=19970101"));
    QTest::mouseClick(child<QPushButton>(window, "OkButton"), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(criteria[FilterField::Date], std::string(">=19970101"));
    QCOMPARE(table_->queryRecCount(), 2u);

    // Ok on a filter that matches nothing leaves no filter at all.
    TFilterWindow second(*table_, criteria, "TAG1");
    second.show();
    second.box(FilterField::Date)->setText(QStringLiteral(">=2099"));
    qp::test::MessageRecorder messages;
    second.accept();
    QCOMPARE(criteria, qp::store::FilterCriteria{});
    QCOMPARE(table_->queryRecCount(), 4u);
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("No records match; the filter was not applied.")});
}

void FilterWindowTest::tooComplexFilterIsReportedAndDropped() {
    qp::test::MessageRecorder messages;
    qp::store::FilterCriteria criteria;
    TFilterWindow window(*table_, criteria, "TAG1");
    window.box(FilterField::LastName)->setText(QStringLiteral("A;B;C;D;E;F;G;H;I;J;K;L;M;N"));
    window.test();
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("Sorry - filter is too complex.Please simplify it.")});
    QCOMPARE(child<QLabel>(window, "MatchLabel")->text(), QStringLiteral("No filter set"));
    QCOMPARE(criteria, qp::store::FilterCriteria{});
}

void FilterWindowTest::dateNoteShowsOnlyWhileTheDateBoxHasFocus() {
    qp::store::FilterCriteria criteria;
    TFilterWindow window(*table_, criteria, "TAG1");
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* note = child<QLabel>(window, "qDateNote");
    QCOMPARE(note->text(), QStringLiteral("(YYYYMMDD)"));
    QVERIFY(!note->isVisible());
    window.box(FilterField::Date)->setFocus();
    QVERIFY(note->isVisible());
    window.box(FilterField::Codes)->setFocus();
    QVERIFY(!note->isVisible());
}

void FilterWindowTest::boxesGoWhereTheCallerPlacesThem() {
    qp::store::FilterCriteria criteria;
    std::vector<FilterBoxPlacement> placements{
        {FilterField::LastName, QStringLiteral("&Last"), QRect(60, 10, 150, 22), QRect()},
        {FilterField::City, QStringLiteral("City"), QRect(60, 40, 120, 22), QRect(60, 20, 40, 16)},
        {FilterField::Date, QStringLiteral("Date"), QRect(260, 40, 80, 22), QRect()},
    };
    TFilterWindow window(*table_, criteria, "TAG1", placements);
    QCOMPARE(window.box(FilterField::LastName)->geometry(), QRect(60, 10, 150, 22));
    QCOMPARE(window.box(FilterField::City)->geometry(), QRect(60, 40, 120, 22));
    QCOMPARE(child<QLabel>(window, "qCityLabel")->geometry(), QRect(60, 20, 40, 16));
    auto* lastLabel = child<QLabel>(window, "qLastLabel");
    QCOMPARE(lastLabel->text(), QStringLiteral("&Last"));
    QCOMPARE(lastLabel->buddy(), window.box(FilterField::LastName));
    QVERIFY(lastLabel->geometry().right() < 60);
    // Criteria the caller did not place still get a box.
    QVERIFY(window.box(FilterField::Phone2));
    QCOMPARE(window.box(FilterField::Phone2)->parentWidget()->objectName(),
             QStringLiteral("FilterGrid"));
    QCOMPARE(window.box(FilterField::City)->parentWidget()->objectName(),
             QStringLiteral("RecordArea"));
}

void FilterWindowTest::labelsReadWholeAtLargerFonts() {
    // Places as narrow as the main window's short captions, at the default
    // font and at 125 % and 150 %.
    const QFont original = QApplication::font();
    for (double scale : {1.0, 1.25, 1.5}) {
        QFont f = original;
        f.setPointSizeF(original.pointSizeF() * scale);
        QApplication::setFont(f);
        qp::store::FilterCriteria criteria;
        std::vector<FilterBoxPlacement> placements{
            {FilterField::State, QStringLiteral("State or Prov"), QRect(200, 10, 60, 22),
             QRect(120, 10, 70, 22)},
            {FilterField::Zip, QStringLiteral("Zip or Postal"), QRect(200, 40, 60, 22),
             QRect(120, 40, 70, 22)},
            {FilterField::Comment1, QStringLiteral("Comment 1"), QRect(200, 70, 60, 22),
             QRect(150, 70, 40, 22)},
            {FilterField::Comment2, QStringLiteral("Comment 2"), QRect(200, 100, 60, 22),
             QRect(150, 100, 40, 22)},
        };
        TFilterWindow window(*table_, criteria, "TAG1", placements);
        window.show();
        const std::pair<const char*, const char*> expected[] = {
            {"qStateLabel", "State or Province"},
            {"qZipLabel", "Zip or Postal Code"},
            {"qComment1Label", "Comment 1"},
            {"qComment2Label", "Comment 2"}};
        for (auto [name, text] : expected) {
            auto* label = child<QLabel>(window, name);
            QCOMPARE(label->text(), QString::fromLatin1(text));
            QVERIFY2(label->width() >= label->sizeHint().width(), name);
            QVERIFY(label->geometry().right() < label->buddy()->geometry().left());
        }
    }
    QApplication::setFont(original);
}

// ---- Save Filter / Restore Filter ----

namespace {

struct FakeChooser {
    QString answer;
    std::vector<FilterFileRequest> requests;
    FilterFileChooser chooser() {
        return [this](QWidget*, const FilterFileRequest& r) {
            requests.push_back(r);
            return answer;
        };
    }
};

qp::store::FilterCriteria sampleCriteria() {
    qp::store::FilterCriteria c;
    c[FilterField::LastName] = "JO";
    c[FilterField::Codes] = "$C";
    c.tagged = true;
    return c;
}

} // namespace

void FilterWindowTest::saveAppendsFltAndWritesTheFile() {
    qp::test::MessageRecorder messages;
    FakeChooser fake;
    fake.answer = home_->path(QStringLiteral("mine"));
    TFilterFileCommands commands;
    commands.setFileChooser(fake.chooser());
    QVERIFY(commands.saveFilter(sampleCriteria()));
    QVERIFY(messages.seen.empty());
    QCOMPARE(fake.requests.front().folder, home_->path() + QLatin1Char('/'));
    QCOMPARE(fake.requests.front().proposedName, QStringLiteral("*.FLT"));
    QCOMPARE(fake.requests.front().defaultSuffix, QStringLiteral("FLT"));
    auto read = qp::store::ReadFilterFrom(home_->path(QStringLiteral("mine.FLT")).toStdString());
    QVERIFY(read.ok());
    QCOMPARE(read.value(), sampleCriteria());
}

void FilterWindowTest::saveRefusesAnotherExtension() {
    qp::test::MessageRecorder messages;
    FakeChooser fake;
    fake.answer = home_->path(QStringLiteral("mine.txt"));
    TFilterFileCommands commands;
    commands.setFileChooser(fake.chooser());
    QVERIFY(!commands.saveFilter(sampleCriteria()));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Must have a .FLT extension")});
    QVERIFY(!QFile::exists(fake.answer));
    QVERIFY(!QFile::exists(fake.answer + QStringLiteral(".FLT")));
}

void FilterWindowTest::saveIntoFolderWithDotInItsName() {
    qp::test::MessageRecorder messages;
    QDir(home_->path()).mkpath(QStringLiteral("my.filters"));
    FakeChooser fake;
    fake.answer = home_->path(QStringLiteral("my.filters/mine"));
    TFilterFileCommands commands;
    commands.setFileChooser(fake.chooser());
    QVERIFY(commands.saveFilter(sampleCriteria()));
    QVERIFY(messages.seen.empty());
    QVERIFY(QFile::exists(home_->path(QStringLiteral("my.filters/mine.FLT"))));
}

void FilterWindowTest::saveAsksBeforeOverwritingWithNoAsDefault() {
    qp::test::MessageRecorder messages;
    QString target = home_->path(QStringLiteral("old.FLT"));
    {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("KEEP\r\n");
    }
    FakeChooser fake;
    fake.answer = target;
    TFilterFileCommands commands;
    commands.setFileChooser(fake.chooser());

    messages.answers = {false};
    QVERIFY(!commands.saveFilter(sampleCriteria()));
    QCOMPARE(messages.seen.size(), std::size_t(1));
    QCOMPARE(messages.seen[0].kind, qp::ui::MessageKind::YesNoDefaultNo);
    QCOMPARE(messages.seen[0].title, QStringLiteral("Warning!"));
    QCOMPARE(messages.seen[0].text,
             target + QStringLiteral(" already exists.\r\nDo you want to overwrite it?"));
    QCOMPARE(fileBytes(target), QByteArray("KEEP\r\n"));

    messages.answers = {true};
    QVERIFY(commands.saveFilter(sampleCriteria()));
    QCOMPARE(fileBytes(target),
             QByteArray::fromStdString(qp::store::FilterFileText(sampleCriteria())));
}

void FilterWindowTest::saveStartsInTheLastUsedFolder() {
    QDir(home_->path()).mkpath(QStringLiteral("elsewhere"));
    FakeChooser fake;
    fake.answer = home_->path(QStringLiteral("elsewhere/a.FLT"));
    TFilterFileCommands commands;
    commands.setFileChooser(fake.chooser());
    QVERIFY(commands.saveFilter(sampleCriteria()));
    fake.answer.clear(); // Cancel
    QVERIFY(!commands.saveFilter(sampleCriteria()));
    QCOMPARE(fake.requests.at(1).folder, home_->path(QStringLiteral("elsewhere")));
}

void FilterWindowTest::restoreRefusesOtherFilesAndAppliesFltFiles() {
    qp::test::MessageRecorder messages;
    FakeChooser fake;
    TFilterFileCommands commands;
    commands.setFileChooser(fake.chooser());
    qp::store::FilterCriteria criteria;

    fake.answer = home_->path(QStringLiteral("notes.txt"));
    QVERIFY(!commands.restoreFilter(*table_, criteria, "TAG1"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Must be a Filter (.FLT) file")});

    // A three-line file restores three criteria, the rest empty, flags off.
    QString three = home_->path(QStringLiteral("three.flt"));
    {
        QFile f(three);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("BAK\r\nC\r\n\r\n");
    }
    fake.answer = three;
    auto outcome = commands.restoreFilter(*table_, criteria, "TAG1");
    QVERIFY(outcome);
    QCOMPARE(criteria[FilterField::LastName], std::string("BAK"));
    QCOMPARE(criteria[FilterField::FirstName], std::string("C"));
    for (std::size_t i = 2; i < qp::store::kFilterFieldCount; ++i)
        QVERIFY(criteria.criteria[i].empty());
    QVERIFY(!criteria.tagged && !criteria.reverse);
    QCOMPARE(outcome->matches, 1u); // BAKER, Cy
    QCOMPARE(table_->getString("LNAME"), std::string("BAKER"));
    QCOMPARE(fake.requests.back().folder, home_->path() + QLatin1Char('/'));
}

void FilterWindowTest::helpButtonOpensItsTopic() {
    qp::store::FilterCriteria criteria;
    TFilterWindow window(*table_, criteria, "TAG1");
    QList<int> topics;
    window.setHelpHandler([&](int t) { topics << t; });
    QTest::mouseClick(child<QPushButton>(window, "HelpButton"), Qt::LeftButton);
    QCOMPARE(topics, QList<int>{1033});
}

QTEST_MAIN(FilterWindowTest)
#include "filter_window_test.moc"
