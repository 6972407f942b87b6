// The "Print Labels" screen and the "Labels Print" position window under the
// offscreen platform: button states, New/Delete/Clone with their files, the
// record selection rules, and a preview run through the real status window.

#include "labels/label_definition.h"
#include "labels/printing/label_designs.h"
#include "labels/ui/label_design_screen.h"
#include "labels/ui/label_positions_window.h"
#include "labels/ui/label_setup_screen.h"
#include "print/ui/preview_form.h"
#include "print/ui/print_status_form.h"
#include "store/address_file.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"
#include "support/program_home.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace qp::labels;
namespace fs = std::filesystem;

class LabelSetupScreenTest : public QObject {
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
        for (int i = 1; i <= 4; ++i) {
            QVERIFY(t->append().ok());
            QVERIFY(t->replace("LNAME", "Name" + std::to_string(i)).ok());
            QVERIFY(t->replace("ZIP", "12345").ok());
            QVERIFY(t->post().ok());
        }
        t->first();
        address_.emplace(std::move(*t));
    }
    void cleanupTestCase() {
        qp::ui::SetMessageHandler(nullptr);
        address_.reset();
        programHome_.reset();
    }
    void init() {
        messages_.clear();
        answer_ = true;
    }

    void anEmptyListLeavesOnlyNewAndOk() {
        TLabelSetupScreen screen(*address_, false, "T");
        QVERIFY(screen.opened());
        QCOMPARE(screen.list()->rowCount(), 0);
        for (const char* name :
             {"ModifyButton", "PrintButton", "PreviewButton", "DeleteButton", "CloneButton"})
            QVERIFY2(!screen.button(name)->isEnabled(), name);
        QVERIFY(screen.button("NewButton")->isEnabled());
        QVERIFY(screen.button("OkButton")->isEnabled());
        QVERIFY(screen.whatToPrint()->isHidden());
        QVERIFY(screen.printerPanel()->isHidden());
    }

    void newThenCancelAddsNothing() {
        TLabelSetupScreen screen(*address_, true, "T");
        screen.runModal = [](QDialog& d) {
            return qobject_cast<TLabelDesignScreen*>(&d) ? int(QDialog::Rejected) : d.exec();
        };
        screen.newLabel();
        QCOMPARE(screen.labelTable()->recCount(), 0u);
        QVERIFY(!fs::exists(qp::store::SysdataFolder() / "BIN00001.L"));
    }

    void newSaveCloneAndDeleteKeepRecordsAndFilesTogether() {
        TLabelSetupScreen screen(*address_, true, "T");
        screen.runModal = [](QDialog& d) {
            return qobject_cast<TLabelDesignScreen*>(&d) ? int(QDialog::Accepted) : d.exec();
        };
        screen.newLabel();
        QCOMPARE(screen.list()->rowCount(), 1);
        QCOMPARE(screen.list()->item(0, 0)->text(), QStringLiteral("<New Label>"));
        QVERIFY(fs::exists(qp::store::SysdataFolder() / "BIN00001.L"));
        QVERIFY(screen.button("PrintButton")->isEnabled());
        QVERIFY(!screen.whatToPrint()->isHidden());
        QCOMPARE(screen.field(2)->text(), QStringLiteral("Avery 5160  Address"));

        screen.cloneLabel();
        QCOMPARE(messages_.value(0), QStringLiteral("CLONE: Clone \"<New Label>\"?"));
        QCOMPARE(screen.list()->rowCount(), 2);
        QVERIFY(fs::exists(qp::store::SysdataFolder() / "BIN00002.L"));
        QCOMPARE(screen.currentDefinition()->description, std::string("Clone of :<New Label>"));

        answer_ = false;
        messages_.clear();
        QTest::keyClick(screen.list(), Qt::Key_Delete); // asks, and No keeps it
        QCOMPARE(messages_.value(0), QStringLiteral("DELETE: Delete \"Clone of :<New Label>\"?"));
        QCOMPARE(screen.list()->rowCount(), 2);
        answer_ = true;
        screen.deleteLabel();
        screen.deleteLabel();
        QCOMPARE(screen.list()->rowCount(), 0);
        QVERIFY(!fs::exists(qp::store::SysdataFolder() / "BIN00001.L"));
        QVERIFY(!fs::exists(qp::store::SysdataFolder() / "BIN00002.L"));
        QVERIFY(!screen.button("ModifyButton")->isEnabled());
        QVERIFY(screen.whatToPrint()->isHidden());
    }

    void theSelectionRulesFollowTheRadioButtons() {
        TLabelSetupScreen none(*address_, false, "T");
        QVERIFY(!none.filterRecords()->isEnabled());
        QVERIFY(none.allRecords()->isChecked());

        TLabelSetupScreen screen(*address_, true, "T");
        QVERIFY(screen.filterRecords()->isChecked());
        screen.presortBox()->setChecked(true);
        screen.currentRecord()->setChecked(true);
        QVERIFY(!screen.presortBox()->isChecked());
        QVERIFY(!screen.presortBox()->isEnabled());
        QCOMPARE(int(screen.selection().choice), int(qp::store::SelectionChoice::Current));
        screen.allRecords()->setChecked(true);
        QVERIFY(screen.presortBox()->isEnabled());
    }

    void previewRunsThroughTheStatusWindowIntoThePreview() {
        TLabelSetupScreen screen(*address_, false, "T");
        int previews = 0;
        QString statusTitle, previewCaption;
        screen.runModal = [&](QDialog& d) {
            if (qobject_cast<TLabelDesignScreen*>(&d))
                return int(QDialog::Accepted);
            if (auto* where = qobject_cast<TSelectSpecificLabels*>(&d)) {
                where->copiesBox()->setValue(2);
                where->accept();
                return where->result();
            }
            if (auto* status = qobject_cast<qp::print::TPrintStatusForm*>(&d)) {
                statusTitle = status->windowTitle();
                return status->exec(); // a finished preview closes by itself
            }
            if (auto* preview = qobject_cast<qp::print::TPreviewForm*>(&d)) {
                ++previews;
                previewCaption = preview->Caption();
                return int(QDialog::Accepted);
            }
            return d.exec();
        };
        screen.newLabel();
        const auto recno = address_->recNo();
        screen.printOrPreview(true);
        QCOMPARE(previewCaption, QStringLiteral("Preview Labels"));
        QCOMPARE(statusTitle, QStringLiteral("Preview Status"));
        QCOMPARE(previews, 1);
        QCOMPARE(screen.copies(), 2);
        QCOMPARE(address_->recNo(), recno);
        QVERIFY(!fs::exists(qp::store::ProgramFolder() + "/PRESORT.PSL"));
    }

    void thePositionWindowTogglesPositionsAndNeedsOne() {
        LabelDefinition def;
        LabelPositions positions(def);
        TSelectSpecificLabels window(def, positions, 1, false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* sheet = window.sheet();
        QCOMPARE(sheet->positionRect(0).topLeft(), QPoint(17, 29)); // Trunc(0.188 x 38.4) + 10
        // A 1 x 2 5/8 in label is a target of 100 x 38 pixels.
        QCOMPARE(sheet->positionRect(0).size(), QSize(100, 38));
        QVERIFY(window.firstSheetOnly());
        QVERIFY(window.firstSheetOnlyBox()->isChecked());
        QTest::mouseClick(sheet, Qt::LeftButton, {}, sheet->positionRect(1).center());
        QVERIFY(!window.positions().selected(1));
        QCOMPARE(window.positions().selectedCount(), 29);
        window.findChild<QPushButton*>(QStringLiteral("NoneButton"))->click();
        window.accept();
        QVERIFY(window.isVisible());
        QCOMPARE(messages_.value(0),
                 QStringLiteral("Information: You must select at least one card to print"));
        window.findChild<QPushButton*>(QStringLiteral("AllButton"))->click();
        window.accept();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.positions().selectedCount(), 30);

        TSelectSpecificLabels presort(def, positions, 5, true, nullptr, false);
        QVERIFY(presort.copiesBox()->isHidden());
        QVERIFY(!presort.firstSheetOnly());
    }

    void aDamagedLayoutIsNeitherOpenedNorOverwritten() {
        TLabelSetupScreen screen(*address_, true, "T");
        bool designed = false;
        screen.runModal = [&designed](QDialog& d) {
            if (qobject_cast<TLabelDesignScreen*>(&d)) {
                designed = true;
                return int(QDialog::Accepted);
            }
            return d.exec();
        };
        screen.newLabel();
        designed = false;
        const auto layout = qp::store::SysdataFolder() / screen.currentDefinition()->layoutFile;
        { std::ofstream(layout, std::ios::binary) << "TPF0 damaged"; }
        messages_.clear();
        screen.modifyLabel();
        QVERIFY(!designed);
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].contains(QStringLiteral("could not be read")));
        std::ifstream in(layout, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QCOMPARE(QString::fromStdString(bytes), QStringLiteral("TPF0 damaged"));
        screen.deleteLabel();
    }

    // QP_SCREENSHOTS=folder: pictures of the two screens for the documentation.
    void screenshots() {
        const QString folder = qEnvironmentVariable("QP_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("QP_SCREENSHOTS not set");
        TLabelSetupScreen screen(*address_, true, "T");
        bool designed = false;
        screen.runModal = [&](QDialog& d) {
            if (auto* design = qobject_cast<TLabelDesignScreen*>(&d)) {
                design->show();
                if (!QTest::qWaitForWindowExposed(design))
                    return int(QDialog::Rejected);
                design->resize(760, 520);
                QTest::qWait(50);
                design->grab().save(folder + QStringLiteral("/label-design-screen.png"));
                designed = true;
                return int(QDialog::Accepted);
            }
            return d.exec();
        };
        screen.newLabel();
        QVERIFY(designed);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        screen.grab().save(folder + QStringLiteral("/print-labels.png"));
    }

    // Last, since it spoils the label table for the tests after it.
    void aLabelTableThatWillNotOpenIsLeftAsItIs() {
        const auto path = qp::store::SysdataFolder() / "LABEL.DBF";
        { std::ofstream(path, std::ios::binary | std::ios::trunc) << "not a table"; }
        messages_.clear();
        TLabelSetupScreen screen(*address_, true, "T");
        QVERIFY(!screen.opened());
        QCOMPARE(messages_.size(), 1);
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QCOMPARE(QString::fromStdString(bytes), QStringLiteral("not a table"));
    }

private:
    QTemporaryDir home_;
    std::optional<qp::test::ScopedProgramHome> programHome_;
    std::optional<qp::store::Table> address_;
    QStringList messages_;
    bool answer_ = true;
};

QTEST_MAIN(LabelSetupScreenTest)
#include "label_setup_screen_uitest.moc"
