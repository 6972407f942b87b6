#pragma once
// "Select a Date": a calendar with year and month steps, for the record's
// eight-digit DATE.

#include "addressbook/ui/dialog_support.h"

#include <QDate>
#include <QDialog>

#include <optional>
#include <string>

class QCalendarWidget;
class QLabel;

namespace qp::addressbook {

class TDateSelectorDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1025;

    enum class Choice { Cancel, Date, NoDate };

    // Starts at `storedDate` (eight digits), or today when it holds no date.
    explicit TDateSelectorDialog(const std::string& storedDate, QWidget* parent = nullptr);

    // Runs the dialog: the date to store (eight digits, or blank for
    // No Date), nothing for Cancel.
    static std::optional<std::string> SelectDate(const std::string& storedDate,
                                                 QWidget* parent = nullptr);

    Choice choice() const { return choice_; }
    // Eight digits for Ok, blank for No Date.
    std::string eightDigitDate() const;

    QDate selectedDate() const;
    void setSelectedDate(const QDate& date);

    void setHelpHandler(HelpHandler handler) { help_ = std::move(handler); }

public slots:
    void yearBack();
    void monthBack();
    void today();
    void monthForward();
    void yearForward();
    void noDate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void step(int months, int years);
    void showMonth();

    QCalendarWidget* calendar_ = nullptr;
    QLabel* monthLabel_ = nullptr;
    Choice choice_ = Choice::Cancel;
    HelpHandler help_;
};

} // namespace qp::addressbook
