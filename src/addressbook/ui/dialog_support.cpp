#include "addressbook/ui/dialog_support.h"

#include "store/codepage.h"

#include <QLineEdit>

namespace qp::addressbook {

QValidator::State TWindows1252Validator::validate(QString& input, int&) const {
    return store::utf8ToCp1252Exact(input.toStdString()) ? Acceptable : Invalid;
}

void RestrictToWindows1252(QLineEdit& edit) {
    edit.setValidator(new TWindows1252Validator(&edit));
}

} // namespace qp::addressbook
