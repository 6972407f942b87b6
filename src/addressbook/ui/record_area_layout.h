#pragma once
// Where the main window's record area shows each field: the label text and
// the geometry of every record-area control, so that other windows (the
// address filter) can lay their boxes out like the record area.

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace qp::addressbook {

struct RecordAreaControl {
    QString field;       // address file field: "LNAME", "STREET", "DATE", ...
    QString label;       // the label beside it: "Last", "Address 1", "Date", ...
    QRect geometry;      // the control, in record-area coordinates
    QRect labelGeometry; // its label, in record-area coordinates
    int page = 0;        // 0 the name panel, 1 the address page, 2 the memo page
};

struct RecordAreaLayout {
    std::vector<RecordAreaControl> controls; // in tab order
    QSize size;                              // of the whole record area

    // Nullptr when the field has no control.
    const RecordAreaControl* find(const QString& field) const {
        for (const auto& c : controls)
            if (c.field.compare(field, Qt::CaseInsensitive) == 0)
                return &c;
        return nullptr;
    }
};

// Gives `box` the width, left and top of `reference` (its height stays).
inline void AdjustQField(QWidget& box, const RecordAreaControl& reference) {
    box.setGeometry(reference.geometry.left(), reference.geometry.top(), reference.geometry.width(),
                    box.height());
}

} // namespace qp::addressbook
