#include "addressbook/ui/record_grid.h"

#include "addressbook/tagging.h"
#include "addressbook/ui/dialog_support.h"
#include "store/address_schema.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace qp::addressbook {

namespace {

// Cell editors hold at most the field's width and only what the file can
// store.
class TFieldDelegate : public QStyledItemDelegate {
public:
    TFieldDelegate(TRecordGridModel& model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            if (int width = model_.fieldWidth(index.column()); width > 0)
                line->setMaxLength(width);
            RestrictToWindows1252(*line);
        }
        return editor;
    }

private:
    TRecordGridModel& model_;
};

QString labelOf(std::string_view field) {
    for (const auto& [name, label] : store::kAddressFieldLabels)
        if (name == field)
            return QString::fromUtf8(label.data(), qsizetype(label.size()));
    return QString::fromUtf8(field.data(), qsizetype(field.size()));
}

} // namespace

TRecordGridModel::TRecordGridModel(store::Table& table, std::vector<GridColumn> columns,
                                   std::string tagId, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)),
      tagId_(std::move(tagId)) {
    for (const auto& c : columns_) {
        auto i = c.field == kTaggedColumn ? std::nullopt : table_.fieldIndex(c.field);
        fieldIndexes_.push_back(i ? *i : -1);
    }
}

int TRecordGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(recnos_.size());
}

int TRecordGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QString TRecordGridModel::cell(int column) const {
    const GridColumn& c = columns_[std::size_t(column)];
    if (c.field == kTaggedColumn)
        return !tagId_.empty() && table_.getString("TAG") == tagId_ ? QStringLiteral("Yes")
                                                                    : QString();
    return fieldIndexes_[std::size_t(column)] < 0
               ? QString()
               : ui::qs(table_.getString(fieldIndexes_[std::size_t(column)]));
}

QVariant TRecordGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return rows_[std::size_t(index.row())].value(index.column());
    return {};
}

QVariant TRecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < int(columns_.size()) ? columns_[std::size_t(section)].header : QVariant();
    return section + 1;
}

Qt::ItemFlags TRecordGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && fieldIndexes_[std::size_t(index.column())] >= 0 && !table_.readOnly())
        f |= Qt::ItemIsEditable;
    return f;
}

bool TRecordGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || fieldIndexes_[std::size_t(index.column())] < 0)
        return false;
    if (value.toString() == rows_[std::size_t(index.row())].value(index.column()))
        return true;
    if (!goToRow(index.row()))
        return false;
    const std::string& field = columns_[std::size_t(index.column())].field;
    if (auto st = table_.replace(field, value.toString().toStdString()); !st) {
        error_ = ui::qs(st.error());
        return false;
    }
    rows_[std::size_t(index.row())][index.column()] = cell(index.column());
    emit dataChanged(index, index);
    return true;
}

void TRecordGridModel::reload() {
    beginResetModel();
    if (table_.changed())
        if (auto st = table_.post(); !st) {
            error_ = ui::qs(st.error());
            table_.discard();
        }
    const std::uint32_t current = table_.eof() ? 0 : table_.recNo();
    recnos_.clear();
    rows_.clear();
    for (bool more = table_.first(); more; more = table_.next()) {
        recnos_.push_back(table_.recNo());
        QStringList row;
        for (int c = 0; c < int(columns_.size()); ++c)
            row << cell(c);
        rows_.push_back(row);
    }
    if (current == 0 || !table_.go(current))
        table_.first();
    endResetModel();
}

void TRecordGridModel::refreshRow(int row) {
    if (row < 0 || row >= int(recnos_.size()))
        return;
    if (table_.eof() || table_.recNo() != recnos_[std::size_t(row)])
        return;
    QStringList values;
    for (int c = 0; c < int(columns_.size()); ++c)
        values << cell(c);
    rows_[std::size_t(row)] = values;
    emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
}

std::uint32_t TRecordGridModel::recnoOfRow(int row) const {
    return row >= 0 && row < int(recnos_.size()) ? recnos_[std::size_t(row)] : 0;
}

int TRecordGridModel::rowOfRecno(std::uint32_t recno) const {
    for (std::size_t i = 0; i < recnos_.size(); ++i)
        if (recnos_[i] == recno)
            return int(i);
    return -1;
}

bool TRecordGridModel::goToRow(int row) {
    const std::uint32_t recno = recnoOfRow(row);
    if (recno == 0)
        return false;
    if (!table_.eof() && table_.recNo() == recno)
        return true;
    if (table_.changed()) {
        const int before = rowOfRecno(table_.recNo());
        if (auto st = table_.post(); !st) {
            error_ = ui::qs(st.error());
            table_.discard();
        }
        refreshRow(before);
    }
    return table_.go(recno);
}

int TRecordGridModel::fieldWidth(int column) const {
    if (column < 0 || column >= int(columns_.size()) || fieldIndexes_[std::size_t(column)] < 0)
        return 0;
    return table_.fields()[std::size_t(fieldIndexes_[std::size_t(column)])].length;
}

QString TRecordGridModel::takeError() {
    QString e = error_;
    error_.clear();
    return e;
}

TRecordGrid::TRecordGrid(store::Table& table, std::vector<GridColumn> columns, std::string tagId,
                         const QString& objectPrefix, QWidget* parent)
    : QWidget(parent), table_(table) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new QTableView(this);
    view_->setObjectName(objectPrefix + QStringLiteral("Grid"));
    model_ = new TRecordGridModel(table, std::move(columns), std::move(tagId), this);
    view_->setModel(model_);
    view_->setItemDelegate(new TFieldDelegate(*model_, view_));
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked |
                           QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    layout->addWidget(view_, 1);
    auto* nav = new QHBoxLayout;
    const std::pair<const char*, const char*> buttons[] = {
        {"First", "First"}, {"Prior", "Prior"}, {"Next", "Next"}, {"Last", "Last"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(objectPrefix + QString::fromLatin1(name));
        b->setAutoDefault(false);
        nav->addWidget(b);
        const QString which = QString::fromLatin1(name);
        connect(b, &QPushButton::clicked, this, [this, which] {
            if (which == QLatin1String("First"))
                First();
            else if (which == QLatin1String("Prior"))
                Prior();
            else if (which == QLatin1String("Next"))
                Next();
            else
                Last();
        });
    }
    nav->addStretch(1);
    layout->addLayout(nav);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && !model_->goToRow(current.row()))
                    showError(model_->takeError());
            });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] {
        if (QString e = model_->takeError(); !e.isEmpty())
            showError(e);
    });
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const auto& cols = model_->columns();
        if (index.isValid() &&
            cols[std::size_t(index.column())].field == TRecordGridModel::kTaggedColumn)
            ToggleTagOfCurrent();
    });
    for (int c = 0; c < model_->columnCount(); ++c)
        view_->setColumnWidth(c, std::clamp(model_->fieldWidth(c), 6, 20) *
                                         view_->fontMetrics().averageCharWidth() +
                                     12);
}

void TRecordGrid::showError(const QString& message) {
    if (message.isEmpty())
        return;
    emit failed(message);
    ui::ShowInfo(message, window());
}

void TRecordGrid::reload() {
    const std::uint32_t recno = table_.eof() ? 0 : table_.recNo();
    model_->reload();
    const int row = model_->rowOfRecno(recno);
    selectRow(row < 0 ? 0 : row);
}

int TRecordGrid::currentRow() const {
    return view_->currentIndex().isValid() ? view_->currentIndex().row() : -1;
}

void TRecordGrid::selectRow(int row) {
    if (model_->rowCount() == 0)
        return;
    row = std::clamp(row, 0, model_->rowCount() - 1);
    const int column = std::max(view_->currentIndex().column(), 0);
    view_->setCurrentIndex(model_->index(row, column));
    if (!model_->goToRow(row))
        showError(model_->takeError());
}

void TRecordGrid::First() {
    selectRow(0);
}

void TRecordGrid::Prior() {
    selectRow(std::max(currentRow() - 1, 0));
}

void TRecordGrid::Next() {
    selectRow(currentRow() + 1);
}

void TRecordGrid::Last() {
    selectRow(model_->rowCount() - 1);
}

bool TRecordGrid::Save() {
    // An open cell editor gives its text to the model first.
    if (QWidget* editor = QApplication::focusWidget();
        editor && editor->parentWidget() == view_->viewport()) {
        emit view_->itemDelegate()->commitData(editor);
        emit view_->itemDelegate()->closeEditor(editor);
    }
    if (!table_.changed())
        return true;
    if (auto st = table_.post(); !st) {
        table_.discard();
        model_->refreshRow(currentRow());
        showError(ui::qs(st.error()));
        return false;
    }
    model_->refreshRow(currentRow());
    return true;
}

void TRecordGrid::Undo() {
    if (table_.changed())
        table_.discard();
    const int row = currentRow();
    if (row >= 0)
        table_.go(model_->recnoOfRow(row)); // the record as stored

    model_->refreshRow(row);
}

bool TRecordGrid::DeleteCurrent(bool addressRecord) {
    const int row = currentRow();
    if (row < 0 || !model_->goToRow(row))
        return false;
    if (table_.changed())
        table_.discard();
    table_.setDeleted(false);
    store::Status st = table_.deleteRecord();
    if (st && addressRecord)
        st = table_.replaceLogical("ISDEL", true);
    if (st)
        st = table_.post();
    table_.setDeleted(true);
    if (!st) {
        table_.discard();
        showError(ui::qs(st.error()));
        return false;
    }
    model_->reload();
    selectRow(row);
    return true;
}

bool TRecordGrid::ToggleTagOfCurrent() {
    const int row = currentRow();
    if (row < 0 || !model_->goToRow(row))
        return false;
    if (auto st = ToggleTag(table_, model_->tagId()); !st) {
        showError(ui::qs(st.error()));
        return false;
    }
    if (table_.changed())
        (void)table_.post();
    model_->refreshRow(row);
    return true;
}

bool TRecordGrid::AddBlank() {
    if (!Save())
        return false;
    store::Status st = table_.append();
    if (st)
        st = table_.post();
    if (!st) {
        table_.discard();
        showError(ui::qs(st.error()));
        return false;
    }
    const std::uint32_t recno = table_.recNo();
    model_->reload();
    table_.go(recno);
    selectRow(model_->rowOfRecno(recno));
    view_->setFocus();
    return true;
}

void TRecordGrid::EditCurrent() {
    if (view_->currentIndex().isValid()) {
        view_->setFocus();
        view_->edit(view_->currentIndex());
    }
}

std::vector<GridColumn> AddressCheckColumns(bool streetSecond) {
    std::vector<std::string> fields{"LNAME", "FNAME", "MIDDLE", "ORG",   "STREET", "STREET2",
                                    "CITY",  "STATE", "ZIP",    "PHONE", "EMAIL"};
    if (streetSecond) {
        fields.erase(fields.begin() + 4);
        fields.insert(fields.begin() + 1, "STREET");
    }
    std::vector<GridColumn> columns;
    for (const auto& f : fields)
        columns.push_back({f, labelOf(f)});
    columns.push_back({TRecordGridModel::kTaggedColumn, QStringLiteral("Tagged")});
    return columns;
}

} // namespace qp::addressbook
