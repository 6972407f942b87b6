#pragma once
// "Label Layout" (template list or manual entry), "Select Label Template"
// and "User Defined Label Layout".

#include "labels/label_definition.h"
#include "labels/template_filter.h"
#include "store/table.h"

#include <QDialog>

#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace qp::labels {

enum class LayoutChoice { TemplateList, ManualEntry, Cancelled };

class TLabelLayoutForm : public QDialog {
    Q_OBJECT
public:
    explicit TLabelLayoutForm(QWidget* parent = nullptr);
    LayoutChoice choice() const;
    QRadioButton* templateChoice() const { return fromList_; }
    QRadioButton* manualChoice() const { return manual_; }

private:
    QRadioButton* fromList_ = nullptr;
    QRadioButton* manual_ = nullptr;
};
// Asks; Cancelled when the window is closed without Ok.
LayoutChoice chooseLabelLayout(QWidget* parent = nullptr);

class TSelectLabelTemplateForm : public QDialog {
    Q_OBJECT
public:
    // Opens the catalogue in `sysdataFolder`; when that fails the message is
    // shown and opened() is false.
    TSelectLabelTemplateForm(const std::string& sysdataFolder, const LabelDefinition& current,
                             bool isNew, QWidget* parent = nullptr);
    bool opened() const { return catalogue_.has_value(); }
    std::optional<LabelTemplate> selected() const;
    const std::string& expression() const { return expression_; }

    QComboBox* manufacturer() const { return manufacturer_; }
    const std::vector<ManufacturerItem>& manufacturerItems() const { return items_; }
    QComboBox* product() const { return product_; }
    QLineEdit* search() const { return search_; }
    QCheckBox* european() const { return european_; }
    QTableWidget* grid() const { return grid_; }
    QPushButton* okButton() const { return ok_; }
    QLabel* detail(int i) const { return details_[static_cast<std::size_t>(i)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();
    void showDetails();

    std::optional<store::Table> catalogue_;
    std::vector<LabelTemplate> rows_;
    std::vector<ManufacturerItem> items_;
    std::string expression_;
    QLineEdit* search_ = nullptr;
    QComboBox* manufacturer_ = nullptr;
    QComboBox* product_ = nullptr;
    QCheckBox* european_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::array<QLabel*, 6> details_{};
};

class TUserLabelLayoutForm : public QDialog {
    Q_OBJECT
public:
    // With a `sysdataFolder`, "Save as stock" keeps the measured sheet in the
    // catalogue there.
    explicit TUserLabelLayoutForm(const ManualLayout& layout, QWidget* parent = nullptr,
                                  std::string sysdataFolder = {});
    // In inches, rounded to three decimals (valid after Ok).
    const ManualLayout& layout() const { return result_; }
    bool millimetres() const { return millimetres_; }
    void setMillimetres(bool on);

    enum Length { Width, Height, HPitch, VPitch, LeftMargin, TopMargin, PaperWidth, PaperHeight };
    QLineEdit* length(Length which) const { return edits_[which]; }
    double value(Length which) const { return values_[which]; } // in the unit shown
    QSpinBox* across() const { return across_; }
    QSpinBox* down() const { return down_; }
    QComboBox* paper() const { return paper_; }
    QComboBox* shape() const { return shape_; }
    QRadioButton* inchesButton() const { return inches_; }
    QRadioButton* millimetresButton() const { return mm_; }
    QPushButton* saveAsStockButton() const { return saveAsStock_; }
    void accept() override;
    // The values as typed, in inches, rounded; the first rule they break
    // is shown and nothing is returned.
    std::optional<ManualLayout> validatedLayout();
    // Keeps the layout in the catalogue under `name`; shows why it cannot.
    // Asks before replacing an earlier sheet of the user's of that name.
    bool saveAsStock(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showValue(int which);
    void edited(int which);
    void leftField(int which);
    void paperChosen(int index);
    void askSaveAsStock();

    std::string sysdataFolder_;
    QPushButton* saveAsStock_ = nullptr;
    ManualLayout incoming_;
    ManualLayout result_;
    std::string paperCode_;
    bool shown_ = false;
    bool millimetres_ = false;
    std::array<double, 8> values_{};
    std::array<QLineEdit*, 8> edits_{};
    QSpinBox* across_ = nullptr;
    QSpinBox* down_ = nullptr;
    QComboBox* paper_ = nullptr;
    QComboBox* shape_ = nullptr;
    QRadioButton* inches_ = nullptr;
    QRadioButton* mm_ = nullptr;
};

} // namespace qp::labels
