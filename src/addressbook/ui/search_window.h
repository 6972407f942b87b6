#pragma once
// "Search": a sort order and the text its key begins with; "Searching":
// the memo search run with its Cancel.

#include "store/table.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

namespace qp::addressbook {

class TSearchWindow : public QDialog {
    Q_OBJECT
public:
    // `currentCaption`: the current order's caption without '&'.
    TSearchWindow(const QString& currentCaption, QWidget* parent = nullptr);
    QString orderCaption() const;
    QString searchText() const;
    QComboBox* orderBox() const { return order_; }
    QLineEdit* textBox() const { return text_; }
    QLabel* textLabel() const { return label_; }

private:
    void orderChanged();
    QComboBox* order_ = nullptr;
    QLineEdit* text_ = nullptr;
    QLabel* label_ = nullptr;
};

class TSearchingWindow : public QDialog {
    Q_OBJECT
public:
    TSearchingWindow(store::Table& table, std::string text, bool fromNext,
                     QWidget* parent = nullptr);
    bool found() const { return found_; }
    void run();

protected:
    void showEvent(QShowEvent* event) override;

private:
    store::Table& table_;
    std::string text_;
    bool fromNext_;
    bool found_ = false;
    bool cancelled_ = false;
    bool started_ = false;
};

} // namespace qp::addressbook
