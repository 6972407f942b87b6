#pragma once
// What data-bound objects read: the fields of the current record by name,
// found through their display labels. The address table is one source; tests
// use a plain map.
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qp::store {
class Table;
}

namespace qp::design {

struct TDataField {
    QString Name;         // field name, e.g. "LNAME"
    QString DisplayLabel; // what the user sees, e.g. "Last Name"
    char Type = 'C';      // 'C' character, 'M' memo, others as the table says
    bool Visible = true;
    int Tag = 0; // negative: not offered in the field lists
};

class TDataSource {
public:
    virtual ~TDataSource() = default;
    virtual bool Active() const = 0; // assigned and open
    virtual std::vector<TDataField> Fields() const = 0;
    // The current record's value of the field named `name` (memo text for a
    // memo field); nullopt when there is no such field.
    virtual std::optional<QString> FieldText(const QString& name) const = 0;

    // The field whose display label is `label`; the last one wins.
    std::optional<TDataField> FieldByLabel(const QString& label) const;
};

// A fixed record, for tests and for design-time samples.
class TMapDataSource : public TDataSource {
public:
    bool Open = true;
    std::vector<TDataField> FieldList;
    std::map<QString, QString> Values;

    void Add(const QString& name, const QString& label, const QString& value, char type = 'C');
    bool Active() const override { return Open; }
    std::vector<TDataField> Fields() const override { return FieldList; }
    std::optional<QString> FieldText(const QString& name) const override;
};

// The address table's current record, with the calculated fields after the
// stored ones. Display labels default to the field names.
class TTableDataSource : public TDataSource {
public:
    explicit TTableDataSource(const qp::store::Table* table = nullptr) : Table_(table) {}
    void SetTable(const qp::store::Table* t) { Table_ = t; }
    std::string TagId;
    std::map<QString, QString> DisplayLabels; // field name -> label
    std::map<QString, bool> Hidden;           // field name -> not visible

    bool Active() const override { return Table_ != nullptr; }
    std::vector<TDataField> Fields() const override;
    std::optional<QString> FieldText(const QString& name) const override;

private:
    const qp::store::Table* Table_;
};

// The address fields under the names the user knows ("Last Name", ...);
// with nameAndAddress the calculated "Full Name", "Full Name & Prefix" and
// "City, State & Zip" are offered too. The tag and date columns never are.
void UseAddressFieldLabels(TTableDataSource& source, bool nameAndAddress);

} // namespace qp::design
