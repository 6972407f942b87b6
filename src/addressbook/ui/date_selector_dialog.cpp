#include "addressbook/ui/date_selector_dialog.h"

#include "addressbook/date_selector_rules.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp::addressbook {

namespace {

using namespace std::chrono;

QDate toQDate(year_month_day d) {
    return QDate(int(d.year()), int(unsigned(d.month())), int(unsigned(d.day())));
}

year_month_day fromQDate(const QDate& d) {
    return year_month_day(year(d.year()), month(unsigned(d.month())), day(unsigned(d.day())));
}

} // namespace

TDateSelectorDialog::TDateSelectorDialog(const std::string& storedDate, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("DateSelectorDialog"));
    setWindowTitle(QStringLiteral("Select a Date"));

    monthLabel_ = new QLabel(this);
    monthLabel_->setObjectName(QStringLiteral("MonthLabel"));
    monthLabel_->setAlignment(Qt::AlignCenter);
    QFont mf = monthLabel_->font();
    mf.setBold(true);
    monthLabel_->setFont(mf);

    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName(QStringLiteral("Calendar"));
    // Our own step buttons replace the calendar's navigation bar.
    calendar_->setNavigationBarVisible(false);
    calendar_->setGridVisible(true);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setMinimumDate(QDate(1, 1, 1));
    calendar_->setMaximumDate(QDate(9999, 12, 31));
    connect(calendar_, &QCalendarWidget::selectionChanged, this, &TDateSelectorDialog::showMonth);
    connect(calendar_, &QCalendarWidget::activated, this, [this] {
        choice_ = Choice::Date;
        accept();
    });

    auto makeButton = [this](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    auto* yearBack = makeButton(QStringLiteral("Year-"), QStringLiteral("YearBackButton"));
    auto* monthBack = makeButton(QStringLiteral("Month-"), QStringLiteral("MonthBackButton"));
    auto* todayButton = makeButton(QStringLiteral("Today"), QStringLiteral("TodayButton"));
    auto* monthForward =
        makeButton(QStringLiteral("Month +"), QStringLiteral("MonthForwardButton"));
    auto* yearForward = makeButton(QStringLiteral("Year+"), QStringLiteral("YearForwardButton"));
    connect(yearBack, &QPushButton::clicked, this, &TDateSelectorDialog::yearBack);
    connect(monthBack, &QPushButton::clicked, this, &TDateSelectorDialog::monthBack);
    connect(todayButton, &QPushButton::clicked, this, &TDateSelectorDialog::today);
    connect(monthForward, &QPushButton::clicked, this, &TDateSelectorDialog::monthForward);
    connect(yearForward, &QPushButton::clicked, this, &TDateSelectorDialog::yearForward);
    auto* steps = new QHBoxLayout;
    for (QPushButton* b : {yearBack, monthBack, todayButton, monthForward, yearForward})
        steps->addWidget(b);

    auto* ok = makeButton(QStringLiteral("Ok"), QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* cancel = makeButton(QStringLiteral("Cancel"), QStringLiteral("CancelButton"));
    auto* none = makeButton(QStringLiteral("No Date"), QStringLiteral("NoDateButton"));
    auto* help = makeButton(QStringLiteral("Help"), QStringLiteral("HelpButton"));
    connect(help, &QPushButton::clicked, this, [this] {
        if (help_)
            help_(kHelpTopic);
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        choice_ = Choice::Date;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(none, &QPushButton::clicked, this, &TDateSelectorDialog::noDate);
    auto* finish = new QHBoxLayout;
    finish->addStretch();
    finish->addWidget(ok);
    finish->addWidget(cancel);
    finish->addWidget(none);
    finish->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(monthLabel_);
    layout->addWidget(calendar_);
    layout->addLayout(steps);
    layout->addLayout(finish);

    setSelectedDate(toQDate(InitialSelectorDate(storedDate, TodayLocal())));
    calendar_->setFocus();
}

std::optional<std::string> TDateSelectorDialog::SelectDate(const std::string& storedDate,
                                                           QWidget* parent) {
    TDateSelectorDialog dialog(storedDate, parent);
    dialog.exec();
    if (dialog.choice() == Choice::Cancel)
        return std::nullopt;
    return dialog.eightDigitDate();
}

std::string TDateSelectorDialog::eightDigitDate() const {
    if (choice_ != Choice::Date)
        return {};
    return store::EightDigitDate(fromQDate(calendar_->selectedDate()));
}

QDate TDateSelectorDialog::selectedDate() const {
    return calendar_->selectedDate();
}

void TDateSelectorDialog::setSelectedDate(const QDate& date) {
    calendar_->setSelectedDate(date);
    calendar_->setCurrentPage(date.year(), date.month());
    showMonth();
}

void TDateSelectorDialog::showMonth() {
    QDate d = calendar_->selectedDate();
    calendar_->setCurrentPage(d.year(), d.month());
    monthLabel_->setText(QLocale().toString(d, QStringLiteral("MMMM yyyy")));
}

void TDateSelectorDialog::step(int months, int years) {
    year_month_day d = fromQDate(calendar_->selectedDate());
    d = years ? AddYearsClamped(d, years) : AddMonthsClamped(d, months);
    setSelectedDate(toQDate(d));
}

void TDateSelectorDialog::yearBack() {
    step(0, -1);
}
void TDateSelectorDialog::monthBack() {
    step(-1, 0);
}
void TDateSelectorDialog::monthForward() {
    step(1, 0);
}
void TDateSelectorDialog::yearForward() {
    step(0, 1);
}

void TDateSelectorDialog::today() {
    setSelectedDate(toQDate(TodayLocal()));
}

void TDateSelectorDialog::noDate() {
    choice_ = Choice::NoDate;
    accept();
}

void TDateSelectorDialog::showEvent(QShowEvent* event) {
    qp::ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

} // namespace qp::addressbook
