#pragma once
// Small pieces the address book dialogs share: the help hook and a
// validator that keeps out what an address file cannot store.

#include <QValidator>

#include <functional>

class QLineEdit;

namespace qp::addressbook {

// Opens a help topic by context number; context help plugs in here.
using HelpHandler = std::function<void(int topic)>;

// Accepts only text Windows-1252 can hold, so nothing typed is stored
// half-converted.
class TWindows1252Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Gives `edit` the validator above.
void RestrictToWindows1252(QLineEdit& edit);

} // namespace qp::addressbook
