#include "design/data_source.h"

#include "store/address_schema.h"

#include "store/address_file.h"
#include "store/locale_dates.h"
#include "store/shared_routines.h"
#include "store/table.h"

#include <algorithm>

namespace qp::design {

std::optional<TDataField> TDataSource::FieldByLabel(const QString& label) const {
    std::optional<TDataField> found;
    for (const TDataField& f : Fields())
        if (f.DisplayLabel == label)
            found = f;
    return found;
}

void TMapDataSource::Add(const QString& name, const QString& label, const QString& value,
                         char type) {
    FieldList.push_back({name, label, type, true, 0});
    Values[name] = value;
}

std::optional<QString> TMapDataSource::FieldText(const QString& name) const {
    auto it = Values.find(name);
    if (it == Values.end())
        return std::nullopt;
    return it->second;
}

std::vector<TDataField> TTableDataSource::Fields() const {
    std::vector<TDataField> out;
    if (!Table_)
        return out;
    auto add = [&](const QString& name, char type) {
        TDataField f;
        f.Name = name;
        auto l = DisplayLabels.find(name);
        f.DisplayLabel = l != DisplayLabels.end() ? l->second : name;
        f.Type = type;
        auto h = Hidden.find(name);
        f.Visible = h == Hidden.end() || !h->second;
        out.push_back(f);
    };
    for (const auto& fd : Table_->fields())
        add(QString::fromStdString(fd.name), fd.type);
    for (auto n : qp::store::kCalculatedFieldNames)
        add(QString::fromLatin1(n.data(), int(n.size())), 'C');
    return out;
}

std::optional<QString> TTableDataSource::FieldText(const QString& name) const {
    if (!Table_)
        return std::nullopt;
    // The calculated values take a look-up of the tag file and the whole
    // name and address: worked out only when one of them is asked for.
    qp::store::CalculatedFields calc;
    const bool calculated =
        std::any_of(qp::store::kCalculatedFieldNames.begin(),
                    qp::store::kCalculatedFieldNames.end(), [&](std::string_view c) {
                        return name.compare(QLatin1String(c.data(), qsizetype(c.size())),
                                            Qt::CaseInsensitive) == 0;
                    });
    if (calculated)
        calc = qp::store::calculatedFields(*Table_, TagId, true, [](const std::string& d) {
            return qp::store::FormatDisplayDate(d, qp::store::UserShortDatePattern());
        });
    auto text = qp::store::addressFieldText(*Table_, name.toStdString(), calc);
    if (!text)
        return std::nullopt;
    return QString::fromStdString(*text);
}

void UseAddressFieldLabels(TTableDataSource& source, bool nameAndAddress) {
    auto q = [](std::string_view v) { return QString::fromLatin1(v.data(), int(v.size())); };
    for (const auto& [field, label] : qp::store::kAddressFieldLabels)
        source.DisplayLabels[q(field)] = q(label);
    for (const auto& [field, label] : qp::store::kNameAndAddressFieldLabels) {
        source.DisplayLabels[q(field)] = q(label);
        source.Hidden[q(field)] = !nameAndAddress;
    }
    source.Hidden[QStringLiteral("Tagged")] = true;
    source.Hidden[QStringLiteral("DisplayDate")] = true;
}

} // namespace qp::design
