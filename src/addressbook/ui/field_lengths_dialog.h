#pragma once
// "Specify Field Lengths": the widths of the settable fields of the address
// file about to be created, optionally kept for all new files.

#include "addressbook/ui/dialog_support.h"
#include "store/settings_file.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;

namespace qp::addressbook {

class TFieldLengthsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 2097;

    // The boxes start at `current`.
    explicit TFieldLengthsDialog(const store::NewFileFieldLengths& current,
                                 QWidget* parent = nullptr);

    // After Ok: the lengths for the file about to be created. With "Use these
    // settings for all new databases" ticked, Ok also wrote them to the
    // settings file.
    store::NewFileFieldLengths lengths() const { return result_; }
    bool useForAllNewDatabases() const;

    void setHelpHandler(HelpHandler handler) { help_ = std::move(handler); }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void loadBoxes(const store::NewFileFieldLengths& lengths);
    void checkBox(std::size_t box);
    void fillDefaults();

    std::array<QLineEdit*, 18> boxes_{};
    std::array<int, 18> loaded_{}; // in box order
    QCheckBox* useForAll_ = nullptr;
    store::NewFileFieldLengths result_;
    HelpHandler help_;
};

} // namespace qp::addressbook
