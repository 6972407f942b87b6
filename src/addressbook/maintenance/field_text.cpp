#include "addressbook/maintenance/field_text.h"

#include "store/codepage.h"

namespace qp::addressbook {

unsigned char LowerCp1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: // Š
    case 0x8C: // Œ
    case 0x8E: // Ž
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F: // Ÿ
        return 0xFF;
    case 0xD7: // × sits among the capitals
        return c;
    default:
        break;
    }
    if (c >= 0xC0 && c <= 0xDE)
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

std::string LowerCp1252(std::string_view bytes) {
    std::string out(bytes);
    for (char& ch : out)
        ch = static_cast<char>(LowerCp1252(static_cast<unsigned char>(ch)));
    return out;
}

bool IsCp1252Letter(unsigned char c) {
    return LowerCp1252(c) != store::upperCp1252(c) || c == 0xDF || c == 0xB5;
}

std::string TrimRightBytes(std::string_view bytes) {
    auto end = bytes.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(bytes.substr(0, end + 1));
}

std::string StoredField(const store::Table& table, int field) {
    if (field < 0 || field >= int(table.fields().size()))
        return {};
    return table.getRaw(field);
}

store::Status ReplaceBytes(store::Table& table, std::string_view field, std::string_view bytes) {
    return table.replace(field, store::cp1252ToUtf8(bytes));
}

CursorState::CursorState(store::Table& table)
    : table_(table), order_(table.indexOrd()), query_(table.dbFilter()),
      deletedHidden_(table.deletedHidden()), recno_(table.recNo()),
      hadRecord_(!table.eof() && table.recNo() > 0) {}

CursorState::~CursorState() {
    if (table_.changed())
        (void)table_.post();
    table_.setDeleted(deletedHidden_);
    if (table_.dbFilter() != query_)
        (void)table_.setQuery(query_);
    (void)table_.setOrder(order_);
    if (!hadRecord_ || !table_.go(recno_))
        table_.first();
}

std::string WillChangeLine(std::uint32_t records) {
    return std::to_string(records) +
           (records == 1 ? " record will change." : " records will change.");
}

} // namespace qp::addressbook
