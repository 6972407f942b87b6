#pragma once
// "Print Labels": the saved label designs with their sheets, New, Modify,
// Delete and Clone, what to print, the printer, and Preview and Print.

#include "design/base_panel.h"
#include "design/data_source.h"
#include "labels/label_definition.h"
#include "labels/printing/label_print_job.h"
#include "store/table.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace qp::labels {

class TLabelSetupScreen : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1075;

    // `filterSet`: the main window has a filter expression in force.
    TLabelSetupScreen(store::Table& addressTable, bool filterSet, std::string tagId,
                      QWidget* parent = nullptr);
    ~TLabelSetupScreen() override;
    // False when LABEL.DBF could not be opened (the reason has been shown).
    bool opened() const { return labels_.has_value(); }

    // Every modal window the screen opens goes through here (tests answer
    // them without showing them).
    std::function<int(QDialog&)> runModal = [](QDialog& d) { return d.exec(); };

    void modifyLabel();
    void newLabel();
    void deleteLabel();
    void cloneLabel();
    void printOrPreview(bool preview);

    // What a job would print with.
    store::RecordSelection selection() const;
    bool presortChecked() const;
    bool presortDone() const { return presortDone_; }
    const LabelPositions& positions() const { return positions_; }
    int copies() const { return copies_; }
    std::optional<LabelDefinition> currentDefinition() const;
    store::Table* labelTable() { return labels_ ? &*labels_ : nullptr; }

    QTableWidget* list() const { return list_; }
    QPushButton* button(const char* objectName) const;
    QRadioButton* allRecords() const { return all_; }
    QRadioButton* filterRecords() const { return filter_; }
    QRadioButton* currentRecord() const { return current_; }
    QCheckBox* startFromCurrent() const { return startCurrent_; }
    QCheckBox* presortBox() const { return presort_; }
    QGroupBox* whatToPrint() const { return whatToPrint_; }
    QGroupBox* printerPanel() const { return printerPanel_; }
    QComboBox* printers() const { return printerList_; }
    QLineEdit* field(int i) const { return fields_[static_cast<std::size_t>(i)]; }

protected:
    void showEvent(QShowEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillList(std::uint32_t select = 0);
    void rowChosen();
    void showCurrent();
    void setButtons();
    void selectionChanged();
    void syncPrinterList();
    QString sysdata() const;
    bool runDesign(LabelDefinition def, bool isNew);

    store::Table& address_;
    std::string tagId_;
    bool filterSet_;
    std::optional<store::Table> labels_;
    std::vector<std::uint32_t> rows_; // record number of each list row
    design::TTableDataSource source_;
    design::TGLabelPanel printPanel_; // hidden: loads layouts for printing and cloning
    LabelPositions positions_;
    int copies_ = 1;
    bool firstSheetOnly_ = true;
    bool presortDone_ = false;
    bool firstShow_ = true;

    QTableWidget* list_ = nullptr;
    std::array<QLineEdit*, 8> fields_{};
    QRadioButton* all_ = nullptr;
    QRadioButton* filter_ = nullptr;
    QRadioButton* current_ = nullptr;
    QCheckBox* startCurrent_ = nullptr;
    QCheckBox* presort_ = nullptr;
    QGroupBox* whatToPrint_ = nullptr;
    QGroupBox* printerPanel_ = nullptr;
    QComboBox* printerList_ = nullptr;
};

// The "Print Labels" tool of the main window, on its address table.
void runLabelScreen(QWidget* parent, store::Table& addressTable, bool filterSet,
                    const std::string& tagId);

} // namespace qp::labels
