#include "addressbook/ui/browse_model.h"

#include "addressbook/browse_columns.h"
#include "store/address_file.h"
#include "store/locale_dates.h"
#include "store/shared_routines.h"

#include <QColor>

namespace qp::addressbook {

namespace {

std::vector<std::string> readRow(const store::Table& t, const std::vector<std::string>& fields,
                                 const std::string& tagId) {
    std::vector<std::string> values;
    values.reserve(fields.size());
    for (const auto& f : fields) {
        if (f == TBrowseModel::kDeletedColumn)
            values.push_back(t.deleted() ? "Yes" : "");
        else if (f == "Tagged")
            values.push_back(!tagId.empty() && t.getString("TAG") == tagId ? "Yes" : "No");
        else if (f == "DisplayDate")
            values.push_back(
                store::FormatDisplayDate(t.getString("DATE"), store::UserShortDatePattern()));
        else
            values.push_back(t.getString(f));
    }
    return values;
}

} // namespace

TBrowseModel::TBrowseModel(store::Table& table, std::string tagId, std::vector<std::string> fields,
                           QObject* parent)
    : QAbstractTableModel(parent), table_(table), tagId_(std::move(tagId)),
      fields_(std::move(fields)),
      pager_(table, [this](const store::Table& t) { return readRow(t, fields_, tagId_); }) {}

int TBrowseModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : pager_.rowCount();
}

int TBrowseModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(fields_.size());
}

bool TBrowseModel::rowDeleted(int row) const {
    if (!showDeleted_)
        return false;
    const auto& values = pager_.row(row);
    return !values.empty() && values.back() == "Yes";
}

void TBrowseModel::setShowDeleted(bool on) {
    if (on == showDeleted_)
        return;
    beginResetModel();
    showDeleted_ = on;
    if (on)
        fields_.emplace_back(kDeletedColumn);
    else
        fields_.pop_back();
    pager_.reset();
    endResetModel();
}

QVariant TBrowseModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::ForegroundRole)
        return rowDeleted(index.row()) ? QVariant(QColor(Qt::gray)) : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    const auto& row = pager_.row(index.row());
    if (std::size_t(index.column()) >= row.size())
        return {};
    return QString::fromStdString(row[std::size_t(index.column())]);
}

QVariant TBrowseModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return {};
    if (section < 0 || std::size_t(section) >= fields_.size())
        return {};
    return QString::fromStdString(FieldLabel(fields_[std::size_t(section)]));
}

void TBrowseModel::refreshRow(int row) {
    pager_.invalidateRow(row);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TBrowseModel::reload() {
    beginResetModel();
    pager_.reset();
    endResetModel();
}

} // namespace qp::addressbook
