#include "addressbook/ui/search_window.h"

#include "addressbook/record_rules.h"
#include "addressbook/search.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qp::addressbook {

TSearchWindow::TSearchWindow(const QString& currentCaption, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSearchWindow"));
    setWindowTitle(QStringLiteral("Search"));
    auto* layout = new QVBoxLayout(this);
    auto* orderLabel = new QLabel(QStringLiteral("Search &Order"), this);
    order_ = new QComboBox(this);
    order_->setObjectName(QStringLiteral("cbOrder"));
    for (const auto& o : kSortOrders)
        order_->addItem(ui::qs(CaptionText(o.caption)));
    orderLabel->setBuddy(order_);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("lblSearchFor"));
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("edSearchFor"));
    label_->setBuddy(text_);
    layout->addWidget(orderLabel);
    layout->addWidget(order_);
    layout->addWidget(label_);
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    const int at = order_->findText(currentCaption);
    order_->setCurrentIndex(at >= 0 ? at : 0);
    connect(order_, &QComboBox::currentIndexChanged, this, &TSearchWindow::orderChanged);
    orderChanged();
    setMinimumWidth(320);
    ui::CenterDialog(*this);
}

void TSearchWindow::orderChanged() {
    label_->setText(ui::qs(SearchForLabel("&" + order_->currentText().toStdString()))
                        .replace(QStringLiteral("Search &"), QStringLiteral("&Search ")));
    text_->setFocus();
}

QString TSearchWindow::orderCaption() const {
    return order_->currentText();
}

QString TSearchWindow::searchText() const {
    return text_->text();
}

TSearchingWindow::TSearchingWindow(store::Table& table, std::string text, bool fromNext,
                                   QWidget* parent)
    : QDialog(parent), table_(table), text_(std::move(text)), fromNext_(fromNext) {
    setObjectName(QStringLiteral("TSearchingWindow"));
    setWindowTitle(QStringLiteral("Searching"));
    auto* layout = new QVBoxLayout(this);
    auto* line = new QLabel(QStringLiteral("Searching for: ") + ui::qs(text_), this);
    line->setObjectName(QStringLiteral("lblSearching"));
    layout->addWidget(line);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(cancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    setMinimumWidth(260);
    ui::CenterDialog(*this);
}

void TSearchingWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        QTimer::singleShot(0, this, &TSearchingWindow::run);
    }
}

void TSearchingWindow::run() {
    started_ = true;
    int n = 0;
    found_ = RunMemoSearch(table_, text_, fromNext_, [this, &n] {
        if (++n % 64 == 0)
            QApplication::processEvents();
        return !cancelled_;
    });
    if (!found_)
        QApplication::beep();
    accept();
}

} // namespace qp::addressbook
