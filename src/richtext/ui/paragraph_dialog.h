#pragma once
// Paragraph settings: first-line indent (same as the left indent or indented
// by an amount), left and right indents in inches or centimetres, space
// before and after and line height in points.

#include "richtext/ui/length_units.h"

#include <QDialog>
#include <QTextBlockFormat>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace qp::richtext {

class TParagraphDialog : public QDialog {
    Q_OBJECT
public:
    explicit TParagraphDialog(const QTextBlockFormat& format, QWidget* parent = nullptr);

    // The dialog's settings applied over the format it was given.
    QTextBlockFormat Format() const;
    void SetUnit(TLengthUnit unit); // luInch or luCm

    QRadioButton* SameAsLeft;
    QRadioButton* IndentedBy;
    QDoubleSpinBox* FirstIndent;
    QDoubleSpinBox* LeftIndent;
    QDoubleSpinBox* RightIndent;
    QComboBox* UnitBox;
    QDoubleSpinBox* SpaceBefore;
    QDoubleSpinBox* LineHeight;
    QDoubleSpinBox* SpaceAfter;

private:
    QTextBlockFormat Original_;
    TLengthUnit Unit_ = luInch;
};

} // namespace qp::richtext
