#pragma once
// "Tagging": tags every record matching the filter, with a running count
// and a Cancel that asks first.

#include "store/table.h"

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace qp::addressbook {

class TTaggingWindow : public QDialog {
    Q_OBJECT
public:
    TTaggingWindow(store::Table& table, std::string tagId, QWidget* parent = nullptr);
    // Runs the tagging (started by itself once shown).
    void run();
    bool cancelled() const { return cancelled_; }
    std::uint32_t tagged() const { return tagged_; }
    QString statusText() const;
    QString countText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    store::Table& table_;
    std::string tagId_;
    QLabel* status_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool cancelRequested_ = false;
    bool cancelled_ = false;
    bool started_ = false;
    std::uint32_t tagged_ = 0;
};

} // namespace qp::addressbook
