#pragma once
// "Print Report": the built-in reports and the list of designed reports
// (Modify, New, Delete, Clone), the record selection, and Print / Preview.

#include "design/data_source.h"
#include "reports/builtin_report.h"
#include "reports/report_run.h"
#include "reports/report_store.h"
#include "store/table.h"

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

namespace qp::reports {

class TReportSetup : public QDialog {
    Q_OBJECT
public:
    // The report table is open; `filterSet`: the address book has a filter.
    TReportSetup(store::Table& addressTable, store::Table reportTable, std::string sysdata,
                 std::string tagId, bool filterSet, QWidget* parent = nullptr);
    ~TReportSetup() override;

    enum Page { BuiltInPage = 0, DesignerPage = 1 };

    // The run parameters as the controls say.
    BuiltInOptions builtInOptions() const;
    ReportSelection selection() const;
    bool onePerPage() const;

    // Print (print dialog first) or preview what the current page names.
    bool DoPrint(bool preview);
    void modifyReport();
    void newReport();
    void deleteReport();
    void cloneReport();
    // Enables the controls as the report table's position and the page say.
    void updateButtons();
    void refreshList();

    store::Table& reportTable() { return reportTable_; }
    design::TTableDataSource& dataSource() { return source_; }

    QTabWidget* tabs() const { return tabs_; }
    QListWidget* builtInList() const { return builtIns_; }
    QLineEdit* titleEdit() const { return title_; }
    QCheckBox* memoBox() const { return memo_; }
    QCheckBox* codesBox() const { return codes_; }
    QTreeWidget* reportList() const { return list_; }
    QPushButton* modifyButton() const { return modify_; }
    QPushButton* newButton() const { return new_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* cloneButton() const { return clone_; }
    QGroupBox* whatToPrint() const { return what_; }
    QRadioButton* allButton() const { return all_; }
    QRadioButton* filterButton() const { return filter_; }
    QRadioButton* currentButton() const { return current_; }
    QCheckBox* startFromCurrentBox() const { return startCurrent_; }
    QCheckBox* onePerPageBox() const { return onePerPage_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* previewButton() const { return preview_; }

    // Opens the designer on the bands; the test suite replaces it.
    std::function<bool(ReportBands&, ReportDesign&, bool isNew)> runDesigner;

private:
    void openDesigner(bool isNew);
    void rowChosen();
    bool atEnd() const;

    store::Table& address_;
    store::Table reportTable_;
    std::string sysdata_;
    design::TTableDataSource source_;
    std::vector<std::uint32_t> rows_; // report record of each list row

    QTabWidget* tabs_ = nullptr;
    QListWidget* builtIns_ = nullptr;
    QLineEdit* title_ = nullptr;
    QCheckBox* memo_ = nullptr;
    QCheckBox* codes_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* modify_ = nullptr;
    QPushButton* new_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* clone_ = nullptr;
    QGroupBox* what_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* filter_ = nullptr;
    QRadioButton* current_ = nullptr;
    QCheckBox* startCurrent_ = nullptr;
    QCheckBox* onePerPage_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* preview_ = nullptr;
};

// Opens the window over `parent` ("Unable to Open or Create REPORT.DBF"
// when the report table will not open).
void runPrintReports(QWidget* parent, store::Table& addressTable, const std::string& tagId,
                     bool filterSet);

} // namespace qp::reports
