#pragma once
// Page settings: paper width and height and the four margins, shown in
// inches, centimetres or twips.

#include "richtext/page_settings.h"
#include "richtext/ui/length_units.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

namespace qp::richtext {

class TPageSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPageSettingsDialog(const TPageSettings& page, QWidget* parent = nullptr);

    TPageSettings Page() const;
    void SetUnit(TLengthUnit unit);
    TLengthUnit Unit() const { return Unit_; }
    // The field for "Width", "Height", "Top", "Bottom", "Left" or "Right".
    QDoubleSpinBox* Field(const QString& name) const;

    void accept() override;

private:
    void ShowValues(const TPageSettings& page);

    TLengthUnit Unit_ = luInch;
    QComboBox* UnitBox_;
    QDoubleSpinBox* Width_;
    QDoubleSpinBox* Height_;
    QDoubleSpinBox* Top_;
    QDoubleSpinBox* Bottom_;
    QDoubleSpinBox* Left_;
    QDoubleSpinBox* Right_;
    QLabel* Problem_;
};

} // namespace qp::richtext
