#pragma once
// What the ASCII and DBF "Match Fields" windows build alike.

#include <QString>

class QDialog;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace qp::exchange {

// "Field Match" over a grid of `rows` offered fields, each with the field of
// `fileName` it is imported from; whole rows are chosen, one at a time.
QTableWidget* addMatchGrid(QVBoxLayout* layout, QDialog* window, int rows, const QString& fileName);

// Select Field, Clear Current and Clear All at the left; Ok (the default),
// Cancel and Help at the right, Ok accepting and Cancel rejecting the window.
struct MatchButtons {
    QPushButton* select = nullptr;
    QPushButton* clear = nullptr;
    QPushButton* clearAll = nullptr;
};
MatchButtons addMatchButtons(QVBoxLayout* layout, QDialog* window, int helpTopic);

} // namespace qp::exchange
