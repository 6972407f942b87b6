#pragma once
// "New Record": the last name, first name and ZIP asked before Add starts a
// record, for the duplicate probe and the city and state look-up.

#include "addressbook/new_record_rules.h"
#include "addressbook/ui/dialog_support.h"

#include <QDialog>

class QLineEdit;

namespace qp::addressbook {

class TNewRecordDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1091;

    // Shows the name boxes and the ZIP box as `options` says, capped at the
    // open file's widths. exec() is Accepted for Ok; Cancel ends the Add.
    explicit TNewRecordDialog(const NewRecordOptions& options, QWidget* parent = nullptr);

    // As typed; empty for a box not shown.
    QString lastName() const;
    QString firstName() const;
    QString zip() const;

    QLineEdit* lastNameBox() const { return last_; }
    QLineEdit* firstNameBox() const { return first_; }
    QLineEdit* zipBox() const { return zip_; }

    void setHelpHandler(HelpHandler handler) { help_ = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    NewRecordOptions options_;
    QLineEdit* last_ = nullptr;
    QLineEdit* first_ = nullptr;
    QLineEdit* zip_ = nullptr;
    HelpHandler help_;
};

} // namespace qp::addressbook
