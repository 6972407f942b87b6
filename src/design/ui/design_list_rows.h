#pragma once
// What the label and envelope screens build alike around their list of
// saved designs: the list with its caption and the "What to Print" box.

#include <QString>

class QBoxLayout;
class QCheckBox;
class QGroupBox;
class QRadioButton;
class QTableWidget;
class QVBoxLayout;
class QWidget;

namespace qp::design::ui {

// The caption and the one-column list of descriptions below it, added to
// `column`; one row is chosen at a time and nothing is edited in place.
QTableWidget* AddDesignList(QBoxLayout* column, QWidget* parent, const QString& caption,
                            const QString& name, int minimumWidth);

// "What to Print": all records, the filter, the current record, and
// starting from the current one; the screen adds its own boxes to `column`.
struct WhatToPrintBox {
    QGroupBox* box = nullptr;
    QVBoxLayout* column = nullptr;
    QRadioButton* all = nullptr;
    QRadioButton* filter = nullptr;
    QRadioButton* current = nullptr;
    QCheckBox* startCurrent = nullptr;
};
WhatToPrintBox BuildWhatToPrintBox(QWidget* parent);

} // namespace qp::design::ui
