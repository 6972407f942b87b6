#pragma once
// Letter case and trimming of stored field text (Windows-1252 bytes), and
// the cursor state a bulk run notes and puts back.

#include "store/table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qp::addressbook {

unsigned char LowerCp1252(unsigned char c);
std::string LowerCp1252(std::string_view bytes);
// A letter of Windows-1252 (a to z, A to Z and the accented letters).
bool IsCp1252Letter(unsigned char c);
std::string TrimRightBytes(std::string_view bytes);

// The stored bytes of a character field of the current record, trailing
// blanks kept; empty when the field does not exist.
std::string StoredField(const store::Table& table, int field);

// Writes Windows-1252 bytes into a field of the current record (cut to the
// field's width by the table).
store::Status ReplaceBytes(store::Table& table, std::string_view field, std::string_view bytes);

// The order, query, deleted-record setting and record of a cursor, put back
// when the object goes.
class CursorState {
public:
    explicit CursorState(store::Table& table);
    ~CursorState();
    CursorState(const CursorState&) = delete;
    CursorState& operator=(const CursorState&) = delete;

private:
    store::Table& table_;
    int order_;
    std::string query_;
    bool deletedHidden_;
    std::uint32_t recno_;
    bool hadRecord_;
};

// "57 records will change." (one record: "1 record will change.").
std::string WillChangeLine(std::uint32_t records);

} // namespace qp::addressbook
