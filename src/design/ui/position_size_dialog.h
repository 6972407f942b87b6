#pragma once
// "Position and Size": Left, Top, Width and Height of an object typed in
// inches or millimetres (the choice is remembered in the settings file).
// For an object selected with others it moves the selection as a whole.
#include <QDialog>
#include <QRect>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

namespace qp::design {
class TGBasePanel;
class TGGraphicControl;
} // namespace qp::design

namespace qp::design::ui {

enum class TLengthUnit { Inches, Millimetres };

// The unit last chosen (inches when none was).
TLengthUnit RememberedLengthUnit();
void RememberLengthUnit(TLengthUnit unit);

// Opens the dialog for `o` on `panel`; Ok applies it. False on Cancel.
bool RunPositionSizeDialog(TGGraphicControl& o, TGBasePanel& panel, QWidget* parent = nullptr);

class TPositionSizeDialog : public QDialog {
    Q_OBJECT
public:
    // `bounds` in design pixels; `group`: only the position can change;
    // `area`: the panel's size in design pixels (the position stays inside).
    TPositionSizeDialog(const QRect& bounds, bool group, int count, QSize area,
                        QWidget* parent = nullptr);
    // In design pixels, each field rounded to the nearest pixel.
    QRect Bounds() const;
    TLengthUnit Unit() const { return Unit_; }
    void SetUnit(TLengthUnit unit);

    QDoubleSpinBox *Left, *Top, *Width, *Height;
    QComboBox* Units;

private:
    QDoubleSpinBox* Field(const char* name);
    void Show(const QRect& pixels);
    int Pixels(const QDoubleSpinBox* box) const;
    TLengthUnit Unit_ = TLengthUnit::Inches;
    QSize Area_;
};

} // namespace qp::design::ui
