#include "addressbook/ui/search_replace_window.h"

#include "addressbook/maintenance/field_text.h"
#include "addressbook/ui/check_window_parts.h"
#include "addressbook/ui/dialog_support.h"
#include "store/ui/common_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp::addressbook {

namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

TSearchReplaceWindow::TSearchReplaceWindow(store::Table& table, std::string filterExpression,
                                           QWidget* parent)
    : TBulkToolWindow(QStringLiteral("Search and Replace"), QStringLiteral("Replace "), kHelpTopic,
                      parent),
      table_(table), filter_(std::move(filterExpression)) {
    setObjectName(QStringLiteral("TSearchReplaceWindow"));

    auto* targetRow = new QFormLayout;
    target_ = new QComboBox(this);
    target_->setObjectName(QStringLiteral("cbField"));
    for (const auto& t : kReplaceTargets)
        target_->addItem(text(t.caption));
    auto* targetLabel = new QLabel(QStringLiteral("Search for field:"), this);
    targetLabel->setBuddy(target_);
    targetRow->addRow(targetLabel, target_);
    body()->addLayout(targetRow);

    auto* where = new QGroupBox(QStringLiteral("Where the field value:"), this);
    where->setObjectName(QStringLiteral("gbCondition"));
    auto* whereLayout = new QVBoxLayout(where);
    exactly_ = NewRadioButton(QStringLiteral("Is exactly equal to  (leave empty for blank)"),
                              "rbExactly", where);
    contains_ = NewRadioButton(QStringLiteral("Contains"), "rbContains", where);
    exactly_->setChecked(true);
    find_ = new QLineEdit(where);
    find_->setObjectName(QStringLiteral("edFind"));
    RestrictToWindows1252(*find_);
    caseSensitive_ = new QCheckBox(QStringLiteral("Case sensitive"), where);
    caseSensitive_->setObjectName(QStringLiteral("chkCaseSensitive"));
    caseSensitive_->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{exactly_, contains_, find_, caseSensitive_})
        whereLayout->addWidget(w);
    body()->addWidget(where);

    auto* action = new QGroupBox(QStringLiteral("And do this action:"), this);
    action->setObjectName(QStringLiteral("gbAction"));
    auto* actionLayout = new QVBoxLayout(action);
    whole_ = NewRadioButton(QStringLiteral("Replace the whole field with"), "rbWhole", action);
    partial_ =
        NewRadioButton(QStringLiteral("Replace only the matching text with"), "rbPartial", action);
    whole_->setChecked(true);
    with_ = new QLineEdit(action);
    with_->setObjectName(QStringLiteral("edReplace"));
    RestrictToWindows1252(*with_);
    for (QWidget* w : std::initializer_list<QWidget*>{whole_, partial_, with_})
        actionLayout->addWidget(w);
    body()->addWidget(action);

    auto* using_ = new QGroupBox(QStringLiteral("Using:"), this);
    using_->setObjectName(QStringLiteral("gbUsing"));
    auto* usingLayout = new QVBoxLayout(using_);
    all_ = NewRadioButton(QStringLiteral("All Records"), "rbAll", using_);
    filtered_ =
        NewRadioButton(QStringLiteral("Records matching current Filter"), "rbFilter", using_);
    all_->setChecked(true);
    filtered_->setEnabled(!filter_.empty());
    usingLayout->addWidget(all_);
    usingLayout->addWidget(filtered_);
    body()->addWidget(using_);

    auto* g1 = new QButtonGroup(this);
    g1->addButton(exactly_);
    g1->addButton(contains_);
    auto* g2 = new QButtonGroup(this);
    g2->addButton(whole_);
    g2->addButton(partial_);
    auto* g3 = new QButtonGroup(this);
    g3->addButton(all_);
    g3->addButton(filtered_);

    connect(target_, &QComboBox::currentIndexChanged, this, [this] { targetChanged(); });
    connect(runButton(), &QPushButton::clicked, this, &TSearchReplaceWindow::Replace);
    targetChanged();
}

void TSearchReplaceWindow::targetChanged() {
    const ReplaceTarget& t = kReplaceTargets[std::size_t(std::max(target_->currentIndex(), 0))];
    auto i = table_.fieldIndex(t.field);
    const int width = i ? table_.fields()[std::size_t(*i)].length : 32767;
    // setMaxLength cuts a longer text to the new width.
    find_->setMaxLength(width);
    with_->setMaxLength(width);
}

ReplaceRequest TSearchReplaceWindow::request() const {
    ReplaceRequest r;
    r.target = kReplaceTargets[std::size_t(std::max(target_->currentIndex(), 0))];
    r.find = find_->text().toStdString();
    r.replacement = with_->text().toStdString();
    r.condition = contains_->isChecked() ? FindCondition::Contains : FindCondition::ExactlyEqual;
    r.caseSensitive = caseSensitive_->isChecked();
    r.action = partial_->isChecked() ? ReplaceAction::MatchingText : ReplaceAction::WholeField;
    if (filtered_->isChecked() && !filter_.empty())
        r.restriction = filter_;
    return r;
}

void TSearchReplaceWindow::Replace() {
    if (running())
        return;
    const ReplaceRequest r = request();
    auto count = RunReplace(table_, r, true);
    if (!count) {
        ui::ShowInfo(ui::qs(count.error()), this);
        return;
    }
    if (!ui::AskYesNo(ui::qs(ReplaceConfirmation(r) + "\n\n" + WillChangeLine(*count)),
                      QStringLiteral("Replace"), this))
        return;
    beginRun();
    setStatus(QStringLiteral("Replacing"));
    auto replaced = RunReplace(table_, r, false, [this](int percent) { setProgress(percent); });
    endRun();
    if (!replaced) {
        ui::ShowInfo(ui::qs(replaced.error()), this);
        reject();
        return;
    }
    ui::ShowInfo(QStringLiteral("Replaced ") + QString::number(*replaced) +
                     QStringLiteral(" records"),
                 this);
    ui::ShowInfo(QStringLiteral("Replacement done"), this);
    accept();
}

} // namespace qp::addressbook
