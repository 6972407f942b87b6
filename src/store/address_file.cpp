#include "store/address_file.h"

#include "store/table_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iterator>

namespace qp::store {

namespace {

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::string trimLeft(std::string s) {
    s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

Status createAddressFile(const std::string& path, const FieldLengths& lengths,
                         const ProgressHook& progress) {
    std::vector<FieldSpec> fields;
    for (const auto& f : kAddressFields) {
        int width = f.defaultWidth;
        if (f.settable)
            if (auto it = lengths.find(f.name); it != lengths.end())
                width = it->second;
        fields.push_back({std::string(f.name), f.type, width, 0});
    }
    // A failed create (a full disk) leaves no half-written files behind.
    const std::string stem = path.size() > 4 ? path.substr(0, path.size() - 4) : path;
    std::vector<std::string> created;
    for (const std::string& file :
         {path, stem + ".FPT", stem + ".fpt", stem + ".CDX", stem + ".cdx"})
        if (!fileExists(file))
            created.push_back(file);
    if (auto st = Table::create(path, fields); !st) {
        for (const std::string& file : created)
            std::remove(file.c_str());
        return fail("Create failed: " + st.error());
    }
    if (!fileExists(path))
        return fail("File creation failed");
    auto table = openAddressFile(path, OpenMode::Exclusive);
    if (!table)
        return fail("File creation failed");
    if (progress)
        table->setProgressHook(progress);
    if (auto st = buildAddressTags(*table); !st)
        return fail(st.error() + "\nFile creation failed");
    return {};
}

Status buildAddressTags(Table& table) {
    if (auto st = table.deleteStructuralIndex(); !st)
        return fail("Unable to create index files: " + st.error());
    std::vector<std::pair<std::string, std::string>> tags;
    for (const auto& tag : kAddressTags)
        tags.emplace_back(tag.name, tag.expression);
    if (auto st = table.indexTags(tags); !st)
        return fail("Unable to create index files: " + st.error());
    return table.flush();
}

Status checkAddressIndex(const Table& table, Table::IndexCheck depth) {
    if (!table.indexError().empty())
        return fail(table.indexError());
    for (const auto& tag : kAddressTags)
        if (table.tagArea(tag.name) == 0)
            return fail("Index tag " + std::string(tag.name) + " is missing");
    return table.checkIndex(depth);
}

bool addressIndexValid(const Table& table) {
    return checkAddressIndex(table).ok();
}

Result<Table> openAddressFile(const std::string& path, OpenMode mode) {
    if (!fileExists(path))
        return fail("File " + path + " not found");
    auto table = Table::open(path, mode);
    if (!table)
        return fail(table.error());
    for (const auto& spec : kAddressFields) {
        auto index = table->fieldIndex(spec.name);
        if (!index)
            return fail("Field " + std::string(spec.name) + " is missing from " + path);
        char type = table->fields()[static_cast<std::size_t>(*index)].type;
        if (type != spec.type)
            return fail("Field " + std::string(spec.name) + " of " + path + " has type " +
                        std::string(1, type) + " instead of " + std::string(1, spec.type));
    }
    return table;
}

CalculatedFields
calculatedFields(const Table& table, const std::string& tagId, bool withNameAndAddress,
                 const std::function<std::string(const std::string&)>& formatDate) {
    CalculatedFields c;
    std::string tag = table.getString("TAG");
    c.tagged = !tagId.empty() && tag == tagId;
    std::string date = table.getString("DATE");
    c.displayDate = date.empty() || !formatDate ? std::string() : formatDate(date);
    if (!withNameAndAddress)
        return c;
    std::string lname = table.getString("LNAME");
    std::string fname = table.getString("FNAME");
    std::string middle = table.getString("MIDDLE");
    std::string prefix = table.getString("PREFIX");
    c.fullName = trimRight(fname + " " + middle) + " " + lname;
    c.fullNameWithPrefix = trimLeft(trimRight(prefix + " " + fname + " " + middle)) + " " + lname;
    c.cityStateZip = trimLeft(table.getString("CITY") + " ") +
                     trimLeft(table.getString("STATE") + " ") + table.getString("ZIP");
    return c;
}

std::string memoForStorage(std::string text) {
    // Characters, not UTF-8 bytes: each one is one byte in the file.
    std::size_t length = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++length;
    if (length > 0 && length % 4 == 0)
        text += ' ';
    return text;
}

std::optional<AddressField> findAddressField(const Table& table, std::string_view name) {
    using Kind = AddressField::Kind;
    // In the order of kCalculatedFieldNames.
    static constexpr Kind kCalculated[] = {Kind::Tagged, Kind::FullName, Kind::FullNameWithPrefix,
                                           Kind::CityStateZip, Kind::DisplayDate};
    static_assert(std::size(kCalculated) == kCalculatedFieldNames.size());
    for (std::size_t i = 0; i < kCalculatedFieldNames.size(); ++i)
        if (sameName(name, kCalculatedFieldNames[i]))
            return AddressField{kCalculated[i], -1, std::string(kCalculatedFieldNames[i])};
    auto index = table.fieldIndex(name);
    if (!index)
        return std::nullopt;
    const auto& f = table.fields()[static_cast<std::size_t>(*index)];
    const Kind kind = f.type == 'M' ? Kind::Memo : f.type == 'L' ? Kind::Logical : Kind::Stored;
    return AddressField{kind, *index, f.name};
}

std::string addressFieldText(const Table& table, const AddressField& field,
                             const CalculatedFields& calculated) {
    using Kind = AddressField::Kind;
    switch (field.kind) {
    case Kind::Tagged:
        return calculated.tagged ? "Yes" : "No";
    case Kind::FullName:
        return calculated.fullName;
    case Kind::FullNameWithPrefix:
        return calculated.fullNameWithPrefix;
    case Kind::CityStateZip:
        return calculated.cityStateZip;
    case Kind::DisplayDate:
        return calculated.displayDate;
    case Kind::Memo: {
        auto memo = table.getMemo(field.name);
        return memo ? *memo : std::string();
    }
    case Kind::Logical:
        return table.getLogical(field.name) ? "T" : "F";
    case Kind::Stored:
        break;
    }
    return table.getString(field.index);
}

std::optional<std::string> addressFieldText(const Table& table, std::string_view name,
                                            const CalculatedFields& calculated) {
    auto field = findAddressField(table, name);
    if (!field)
        return std::nullopt;
    return addressFieldText(table, *field, calculated);
}

} // namespace qp::store
