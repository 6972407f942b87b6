#pragma once
// "Labels Print": the sheet drawn with every label position numbered,
// clicked to choose where labels go, whether that holds for the first sheet
// only, the printer, the labels per record and the printer's alignment nudge.

#include "labels/label_definition.h"
#include "labels/printing/label_positions.h"

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace qp::labels {

// The drawing of the sheet: a click inside a position toggles it.
class TSheetPositionsView : public QWidget {
    Q_OBJECT
public:
    TSheetPositionsView(const LabelDefinition& def, LabelPositions& positions,
                        QWidget* parent = nullptr);
    // Position rectangles in widget pixels.
    QRect sheetRect() const;
    QRect positionRect(int position) const;
    int positionAt(QPoint p) const; // -1 outside every position
    QSize sizeHint() const override;

signals:
    void positionsChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    double scale() const;
    const LabelDefinition& def_;
    LabelPositions& positions_;
};

class TSelectSpecificLabels : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1019;
    TSelectSpecificLabels(const LabelDefinition& def, const LabelPositions& positions, int copies,
                          bool presort, QWidget* parent = nullptr, bool firstSheetOnly = true);

    const LabelPositions& positions() const { return positions_; }
    // The cleared positions apply to the first sheet only.
    bool firstSheetOnly() const;
    QCheckBox* firstSheetOnlyBox() const { return firstSheetOnly_; }
    int copies() const;
    Point alignment() const;

    TSheetPositionsView* sheet() const { return sheet_; }
    QComboBox* printers() const { return printers_; }
    QSpinBox* copiesBox() const { return copies_; }
    QDoubleSpinBox* offsetX() const { return offsetX_; }
    QDoubleSpinBox* offsetY() const { return offsetY_; }
    void accept() override;

private:
    void printerChosen(int index);
    void loadAlignment();

    LabelDefinition def_;
    LabelPositions positions_;
    TSheetPositionsView* sheet_ = nullptr;
    QComboBox* printers_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QCheckBox* firstSheetOnly_ = nullptr;
    QDoubleSpinBox* offsetX_ = nullptr;
    QDoubleSpinBox* offsetY_ = nullptr;
};

} // namespace qp::labels
