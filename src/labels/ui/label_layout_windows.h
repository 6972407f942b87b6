#pragma once
// "Label Layout" (template list or manual entry), "Select Label Template"
// and "User Defined Label Layout".

#include "labels/label_definition.h"
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
    QComboBox* product() const { return product_; }
    QCheckBox* european() const { return european_; }
    QTableWidget* grid() const { return grid_; }
    QPushButton* okButton() const { return ok_; }
    QLabel* detail(int i) const { return details_[static_cast<std::size_t>(i)]; }

private:
    void rebuild();
    void showDetails();

    std::optional<store::Table> catalogue_;
    std::vector<LabelTemplate> rows_;
    std::string expression_;
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
    explicit TUserLabelLayoutForm(const ManualLayout& layout, QWidget* parent = nullptr);
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
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showValue(int which);
    void edited(int which);
    void leftField(int which);
    void paperChosen(int index);

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
