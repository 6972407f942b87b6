#pragma once
// Address files: creating one with its 23 fields and 26 tags, opening one
// whatever its field widths, the index check, and the calculated fields.

#include "address_schema.h"
#include "table.h"

#include <functional>
#include <map>
#include <string>

namespace qp::store {

// Widths of the settable fields by field name; a field not named keeps its
// default width.
using FieldLengths = std::map<std::string, int, std::less<>>;

// The messages are the ones the user sees: "Create failed" (with the reason),
// "Unable to create index files", "File creation failed".
Status createAddressFile(const std::string& path, const FieldLengths& lengths,
                         const ProgressHook& progress = {});

// Deletes the structural index file, if any, and adds the 26 tags in order.
Status buildAddressTags(Table& table);

// The index check: every one of the 26 tags exists, looked up by name, and
// the index agrees with the records (Table::checkIndex at `depth`). The error
// says which tag fails and why.
Status checkAddressIndex(const Table& table, Table::IndexCheck depth = Table::IndexCheck::Sampled);
// The check after every open: the sampled form, fast on any size of file.
bool addressIndexValid(const Table& table);

// Opens `path` as an address file: every stored field must be there with its
// type (ISDEL logical, MEMO memo, the others character); widths may differ.
Result<Table> openAddressFile(const std::string& path, OpenMode mode = OpenMode::Exclusive);

struct CalculatedFields {
    bool tagged = false;
    std::string fullName;
    std::string fullNameWithPrefix;
    std::string cityStateZip;
    std::string displayDate;
};

// The calculated fields of the current record. The name and address values
// are computed only when `withNameAndAddress` (a label, envelope or report
// tool is open); `formatDate` turns the eight-digit DATE into its display form.
CalculatedFields calculatedFields(const Table& table, const std::string& tagId,
                                  bool withNameAndAddress,
                                  const std::function<std::string(const std::string&)>& formatDate);

// A stored or calculated field found by name once, to read record after
// record without looking the name up again.
struct AddressField {
    enum class Kind {
        Stored,
        Memo,
        Logical,
        Tagged,
        FullName,
        FullNameWithPrefix,
        CityStateZip,
        DisplayDate
    };
    Kind kind = Kind::Stored;
    int index = -1;   // of a stored field
    std::string name; // of a stored field
    bool calculated() const { return kind >= Kind::Tagged; }
};
// Calculated names as in kCalculatedFieldNames; nothing when the name is
// neither stored nor calculated.
std::optional<AddressField> findAddressField(const Table& table, std::string_view name);
// The field's value in the current record; an unreadable memo reads empty.
std::string addressFieldText(const Table& table, const AddressField& field,
                             const CalculatedFields& calculated);
// The same by name; nothing when the name is neither stored nor calculated.
std::optional<std::string> addressFieldText(const Table& table, std::string_view name,
                                            const CalculatedFields& calculated);

// A memo text as it is stored: one blank appended when its length (line
// breaks included) is a positive multiple of 4.
std::string memoForStorage(std::string text);

inline constexpr std::array<std::string_view, 5> kCalculatedFieldNames{
    "Tagged", "FullName", "FullNameWithPrefix", "CityStateZip", "DisplayDate"};

} // namespace qp::store
