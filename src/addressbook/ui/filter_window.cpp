#include "addressbook/ui/filter_window.h"

#include "addressbook/filter_window_rules.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qp::addressbook {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

TFilterWindow::TFilterWindow(store::Table& table, store::FilterCriteria& criteria,
                             std::string tagId, std::vector<FilterBoxPlacement> placements,
                             QWidget* parent)
    : QDialog(parent), table_(table), criteria_(criteria), original_(criteria),
      tagId_(std::move(tagId)) {
    setObjectName(QStringLiteral("FilterWindow"));
    setWindowTitle(QStringLiteral("Address Filter"));

    auto* layout = new QVBoxLayout(this);
    std::array<bool, store::kFilterFieldCount> placed{};
    if (!placements.empty())
        layout->addWidget(buildPlacedArea(placements, placed));
    if (std::find(placed.begin(), placed.end(), false) != placed.end())
        layout->addWidget(buildGrid(placed));

    tagged_ = new QCheckBox(QStringLiteral("Tagged"), this);
    tagged_->setObjectName(QStringLiteral("qTagged"));
    reverse_ = new QCheckBox(QStringLiteral("Reverse"), this);
    reverse_->setObjectName(QStringLiteral("qReverse"));
    matchLine_ = new QLabel(this);
    matchLine_->setObjectName(QStringLiteral("MatchLabel"));
    matchLine_->setMinimumWidth(
        matchLine_->fontMetrics().horizontalAdvance(QStringLiteral("0000000 matches")));
    auto* switches = new QHBoxLayout;
    switches->addWidget(tagged_);
    switches->addWidget(reverse_);
    switches->addSpacing(24);
    switches->addWidget(matchLine_, 1);
    layout->addLayout(switches);

    auto* hint = new QLabel(fromView(kFilterHintText), this);
    hint->setObjectName(QStringLiteral("HintLabel"));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* testButton = new QPushButton(QStringLiteral("Test"), this);
    testButton->setObjectName(QStringLiteral("TestButton"));
    auto* clearButton = new QPushButton(QStringLiteral("Clear"), this);
    clearButton->setObjectName(QStringLiteral("ClearButton"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("HelpButton"));
    for (QPushButton* b : {testButton, clearButton, cancel, help})
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(testButton, &QPushButton::clicked, this, &TFilterWindow::test);
    connect(clearButton, &QPushButton::clicked, this, &TFilterWindow::clear);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        if (help_)
            help_(kHelpTopic);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {ok, testButton, clearButton, cancel, help})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    // Tab order: the boxes in record-area order, then switches and buttons.
    QWidget* previous = nullptr;
    auto chain = [&](QWidget* w) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    };
    for (const FilterBoxInfo& info : kFilterBoxes)
        chain(boxes_[std::size_t(info.field)]);
    for (QWidget* w : std::initializer_list<QWidget*>{tagged_, reverse_, ok, testButton,
                                                      clearButton, cancel, help})
        chain(w);

    loadBoxes(criteria_);
    boxes_[std::size_t(kFilterBoxes.front().field)]->setFocus();
}

QLineEdit* TFilterWindow::makeBox(store::FilterField field, QWidget* parent) {
    const FilterBoxInfo& info = FilterBoxFor(field);
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(info.objectName));
    RestrictToWindows1252(*box);
    boxes_[std::size_t(field)] = box;
    if (field == store::FilterField::Date) {
        box->setToolTip(fromView(kFilterDateHint));
        box->installEventFilter(this);
        dateNote_ = new QLabel(fromView(kFilterDateNote), parent);
        dateNote_->setObjectName(QStringLiteral("qDateNote"));
        dateNote_->hide();
    }
    return box;
}

QWidget* TFilterWindow::buildPlacedArea(const std::vector<FilterBoxPlacement>& placements,
                                        std::array<bool, store::kFilterFieldCount>& placed) {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("RecordArea"));
    QRect bounds;
    for (const FilterBoxPlacement& p : placements) {
        std::size_t i = std::size_t(p.field);
        if (i >= placed.size() || placed[i])
            continue;
        placed[i] = true;
        QLineEdit* box = makeBox(p.field, area);
        box->setGeometry(p.box);
        // The caller's caption, completed to the filter's own where that is the
        // longer form ("State or Prov" reads "State or Province"); the place is
        // the caller's, widened leftwards when the caption needs more room at
        // this font.
        QString caption = p.label;
        const QString plain = QString(caption).remove(QLatin1Char('&'));
        const QString full = QString::fromLatin1(FilterBoxFor(p.field).label);
        if (full.size() > plain.size() && full.startsWith(plain))
            caption += full.mid(plain.size());
        auto* label = new QLabel(caption, area);
        label->setObjectName(box->objectName() + QStringLiteral("Label"));
        label->setBuddy(box);
        QRect labelRect = p.labelRect;
        if (!labelRect.isEmpty() && labelRect.width() < label->sizeHint().width()) {
            labelRect.setLeft(labelRect.right() + 1 - label->sizeHint().width());
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (labelRect.isEmpty()) {
            QSize hint = label->sizeHint();
            labelRect = QRect(p.box.left() - hint.width() - 4,
                              p.box.top() + (p.box.height() - hint.height()) / 2, hint.width(),
                              hint.height());
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        label->setGeometry(labelRect);
        bounds |= p.box;
        bounds |= labelRect;
        if (p.field == store::FilterField::Date) {
            QSize hint = dateNote_->sizeHint();
            QRect noteRect(p.box.left(), p.box.bottom() + 2, hint.width(), hint.height());
            dateNote_->setGeometry(noteRect);
            bounds |= noteRect;
        }
    }
    // Shift everything so the leftmost and topmost control sits at the margin.
    QPoint shift(std::min(0, bounds.left()), std::min(0, bounds.top()));
    if (!shift.isNull())
        for (QWidget* child : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->move(child->pos() - shift);
    area->setFixedSize(bounds.right() - shift.x() + 8, bounds.bottom() - shift.y() + 8);
    return area;
}

QWidget* TFilterWindow::buildGrid(const std::array<bool, store::kFilterFieldCount>& placed) {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("FilterGrid"));
    auto* columns = new QHBoxLayout(area);
    columns->setContentsMargins(0, 0, 0, 0);
    std::vector<const FilterBoxInfo*> pending;
    for (const FilterBoxInfo& info : kFilterBoxes)
        if (!placed[std::size_t(info.field)])
            pending.push_back(&info);
    // Names and address left, phones and the rest right.
    std::size_t half = (pending.size() + 1) / 2;
    QFormLayout* form = nullptr;
    for (std::size_t n = 0; n < pending.size(); ++n) {
        if (n == 0 || n == half) {
            form = new QFormLayout;
            form->setLabelAlignment(Qt::AlignRight);
            columns->addLayout(form, 1);
        }
        const FilterBoxInfo& info = *pending[n];
        QLineEdit* box = makeBox(info.field, area);
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
        auto* label = new QLabel(QString::fromLatin1(info.label), area);
        label->setObjectName(box->objectName() + QStringLiteral("Label"));
        label->setBuddy(box);
        if (info.field == store::FilterField::Date) {
            auto* withNote = new QVBoxLayout;
            withNote->setSpacing(1);
            withNote->addWidget(box);
            withNote->addWidget(dateNote_);
            // The note may come and go without the rows moving.
            QSizePolicy sp = dateNote_->sizePolicy();
            sp.setRetainSizeWhenHidden(true);
            dateNote_->setSizePolicy(sp);
            form->addRow(label, withNote);
        } else {
            form->addRow(label, box);
        }
    }
    return area;
}

void TFilterWindow::loadBoxes(const store::FilterCriteria& from) {
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setText(QString::fromStdString(from.criteria[i]));
    tagged_->setChecked(from.tagged);
    reverse_->setChecked(from.reverse);
}

void TFilterWindow::boxesToCriteria() {
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        criteria_.criteria[i] = boxes_[i]->text().toStdString();
    criteria_.tagged = tagged_->isChecked();
    criteria_.reverse = reverse_->isChecked();
}

void TFilterWindow::apply() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    store::FilterOutcome outcome = store::ApplyFilter(table_, criteria_, tagId_);
    QApplication::restoreOverrideCursor();
    matches_ = outcome.matches;
    matchedNothing_ = outcome.matchedNothing;
    if (!outcome.message.empty())
        qp::ui::ShowInfo(QString::fromStdString(outcome.message), this);
    emit filterApplied(matches_);
}

void TFilterWindow::test() {
    matchLine_->setText(fromView(kFilterSearching));
    matchLine_->repaint();
    boxesToCriteria();
    apply();
    matchLine_->setText(QString::fromStdString(FilterMatchText(matches_)));
    table_.first();
    tested_ = true;
}

void TFilterWindow::clear() {
    for (QLineEdit* box : boxes_)
        box->clear();
    tagged_->setChecked(false);
    reverse_->setChecked(false);
    test();
}

void TFilterWindow::accept() {
    // Applying the boxes once more would give the same state: Test already
    // dropped a filter that matched nothing.
    test();
    if (matchedNothing_)
        qp::ui::ShowInfo(QStringLiteral("No records match; the filter was not applied."), this);
    QDialog::accept();
}

void TFilterWindow::reject() {
    criteria_ = original_;
    apply();
    // A Test moved the records; leave them on a visible one.
    if (tested_)
        table_.first();
    QDialog::reject();
}

bool TFilterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (dateNote_ && watched == boxes_[std::size_t(store::FilterField::Date)]) {
        if (event->type() == QEvent::FocusIn)
            dateNote_->show();
        else if (event->type() == QEvent::FocusOut)
            dateNote_->hide();
    }
    return QDialog::eventFilter(watched, event);
}

void TFilterWindow::showEvent(QShowEvent* event) {
    qp::ui::CenterDialog(*this);
    QDialog::showEvent(event);
}

} // namespace qp::addressbook
