#pragma once
// "Envelope Size": the sixteen standard sizes to choose from.

#include <QDialog>

#include <functional>
#include <optional>

class QListWidget;

namespace qp::envelopes {

class TEnvelopeSizeDialog : public QDialog {
    Q_OBJECT
public:
    // Preselects the row of `code` (the first row for a code it does not know).
    explicit TEnvelopeSizeDialog(int code, QWidget* parent = nullptr);
    // The code of the selected row; `code` unchanged when none is selected.
    int chosenCode() const;
    QListWidget* list() const { return list_; }

private:
    int code_;
    QListWidget* list_ = nullptr;
};

// Runs the chooser through `runModal`; nothing when cancelled.
std::optional<int> chooseEnvelopeSize(int code, QWidget* parent,
                                      const std::function<int(QDialog&)>& runModal = {});

} // namespace qp::envelopes
