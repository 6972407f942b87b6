#include "addressbook/ui/browse_window.h"

#include "addressbook/browse_columns.h"
#include "addressbook/deleted_records.h"
#include "addressbook/ui/browse_model.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace qp::addressbook {

TBrowseWindow::TBrowseWindow(store::Table& table, std::string tagId,
                             std::function<void()> toggleTag, QWidget* parent)
    : QDialog(parent), table_(table), toggleTag_(std::move(toggleTag)) {
    setObjectName(QStringLiteral("TBrowseWindow"));
    setWindowTitle(QStringLiteral("Address Browse"));
    order_ = LoadCursorFieldOrder(FieldsListPath());
    model_ = new TBrowseModel(table, std::move(tagId), VisibleFields(order_), this);

    auto* layout = new QVBoxLayout(this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->horizontalHeader()->setSectionsMovable(true);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Fixed row heights keep the view from measuring every row of a large file.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    grid_->verticalHeader()->hide();
    const int charWidth = fontMetrics().averageCharWidth();
    for (int c = 0; c < model_->columnCount(); ++c) {
        const auto& f = model_->fields()[std::size_t(c)];
        const int chars = std::max<int>(BrowseWidthChars(f), int(FieldLabel(f).size()));
        grid_->setColumnWidth(c, chars * charWidth + 12);
    }
    layout->addWidget(grid_, 1);

    auto* row = new QHBoxLayout;
    auto nav = [&](const char* name, const QString& text, const QString& tip, auto slot) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setToolTip(tip);
        connect(b, &QToolButton::clicked, this, slot);
        row->addWidget(b);
    };
    nav("btnFirst", QStringLiteral("|<"), QStringLiteral("First"), &TBrowseWindow::First);
    nav("btnPrior", QStringLiteral("<"), QStringLiteral("Previous"), &TBrowseWindow::Prior);
    nav("btnNext", QStringLiteral(">"), QStringLiteral("Next"), &TBrowseWindow::Next);
    nav("btnLast", QStringLiteral(">|"), QStringLiteral("Last"), &TBrowseWindow::Last);
    row->addStretch(1);
    showDeleted_ = new QCheckBox(QStringLiteral("Show &deleted records"), this);
    showDeleted_->setObjectName(QStringLiteral("chkShowDeleted"));
    connect(showDeleted_, &QCheckBox::toggled, this, &TBrowseWindow::setShowDeleted);
    row->addWidget(showDeleted_);
    undelete_ = new QPushButton(QStringLiteral("&Undelete"), this);
    undelete_->setObjectName(QStringLiteral("btnUndelete"));
    undelete_->setVisible(false);
    connect(undelete_, &QPushButton::clicked, this, &TBrowseWindow::Undelete);
    row->addWidget(undelete_);
    auto* tag = new QPushButton(QStringLiteral("&Tag"), this);
    tag->setObjectName(QStringLiteral("btnTag"));
    connect(tag, &QPushButton::clicked, this, &TBrowseWindow::Tag);
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("btnHelp"));
    row->addWidget(tag);
    row->addWidget(ok);
    row->addWidget(help);
    layout->addLayout(row);

    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!following_ && current.isValid())
                    rowChosen(current.row());
            });
    connect(grid_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        rowChosen(index.row());
        Tag();
    });

    // Designed at 96 pixels per inch; larger screens scale it.
    QSize designed(760, 420);
    const double ppi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    if (ppi > 96.0)
        designed = designed * (ppi / 96.0 * 0.95);
    resize(designed);
    ui::RestoreWindowPlacement(*this);
    selectCurrent();
}

TBrowseWindow::~TBrowseWindow() = default;

std::vector<std::string> TBrowseWindow::visualFields() const {
    std::vector<std::string> out;
    auto* header = grid_->horizontalHeader();
    for (int v = 0; v < header->count(); ++v) {
        const auto& field = model_->fields()[std::size_t(header->logicalIndex(v))];
        if (field != TBrowseModel::kDeletedColumn)
            out.push_back(field);
    }
    return out;
}

void TBrowseWindow::done(int result) {
    if (showDeleted_->isChecked())
        showDeleted_->setChecked(false); // the query as it was
    if (!saved_) {
        saved_ = true;
        (void)WriteFieldsList(FieldsListPath(), WithVisibleOrder(order_, visualFields()));
        ui::SaveWindowPlacement(*this);
    }
    QDialog::done(result);
}

void TBrowseWindow::selectCurrent() {
    const int row = model_->currentRow();
    following_ = true;
    if (row >= 0) {
        const QModelIndex index = model_->index(row, std::max(0, grid_->currentIndex().column()));
        grid_->setCurrentIndex(index);
        grid_->scrollTo(index);
    }
    following_ = false;
    updateUndelete();
}

void TBrowseWindow::rowChosen(int row) {
    model_->goToRow(row);
    updateUndelete();
}

void TBrowseWindow::updateUndelete() {
    const int row = model_->currentRow();
    const bool deleted = row >= 0 && model_->rowDeleted(row);
    undelete_->setVisible(model_->showDeleted());
    undelete_->setEnabled(deleted);
}

void TBrowseWindow::setShowDeleted(bool on) {
    if (on == model_->showDeleted())
        return;
    if (on) {
        queryBefore_ = table_.dbFilter();
        table_.setDeleted(false);
        if (auto st = table_.setQuery(QueryWithDeleted(queryBefore_)); !st)
            ui::ShowInfo(QString::fromStdString(st.error()), this);
    } else {
        const std::uint32_t at = table_.recNo();
        table_.setDeleted(true);
        (void)table_.setQuery(queryBefore_);
        // Stay on the record when it is still shown, else on the first.
        if (!table_.go(at) || table_.deleted())
            table_.first();
    }
    model_->setShowDeleted(on);
    if (on) {
        const int column = model_->columnCount() - 1;
        grid_->setColumnWidth(column,
                              fontMetrics().horizontalAdvance(QStringLiteral("Deleted")) + 16);
    }
    selectCurrent();
    updateUndelete();
}

void TBrowseWindow::Undelete() {
    const int row = model_->currentRow();
    if (row < 0 || !model_->rowDeleted(row))
        return;
    if (auto st = addressbook::Undelete(table_); !st) {
        ui::ShowInfo(QString::fromStdString(st.error()), this);
        return;
    }
    model_->refreshRow(row);
    updateUndelete();
}

void TBrowseWindow::First() {
    table_.first();
    selectCurrent();
}

void TBrowseWindow::Last() {
    table_.last();
    selectCurrent();
}

void TBrowseWindow::Next() {
    const std::uint32_t was = table_.recNo();
    if (!table_.next() || table_.eof()) {
        table_.go(was);
        QApplication::beep();
    }
    selectCurrent();
}

void TBrowseWindow::Prior() {
    const std::uint32_t was = table_.recNo();
    if (!table_.prior() || table_.bof()) {
        table_.go(was);
        QApplication::beep();
    }
    selectCurrent();
}

void TBrowseWindow::Tag() {
    const int row = model_->currentRow();
    if (row < 0)
        return;
    const int before = model_->rowCount();
    toggleTag_();
    if (int(table_.queryRecCount()) != before)
        model_->reload(); // a Tagged filter lost the record
    else
        model_->refreshRow(row);
    selectCurrent();
}

} // namespace qp::addressbook
