#include "print/paper_codes.h"

namespace qp::print {

QPageSize PageSizeForCode(int code) {
    if (code <= 0)
        return QPageSize();
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id == QPageSize::Custom)
        return QPageSize();
    return QPageSize(id);
}

QPageSize UserPageSize(double widthInches, double heightInches) {
    if (widthInches <= 0 || heightInches <= 0)
        return QPageSize();
    return QPageSize(QSizeF(widthInches, heightInches), QPageSize::Inch, QStringLiteral("User"),
                     QPageSize::ExactMatch);
}

} // namespace qp::print
