#pragma once
// A DBF table written by another program, read only: dBase III and IV,
// FoxBase, FoxPro and Visual FoxPro, with their memo files (.DBT in either
// dBase form, .FPT) and code pages. Every length in the file is checked
// against the file before it is used: a table whose header cannot be trusted
// is refused with the reason, one whose records or memos stop short is read
// as far as its data goes.

#include "exchange/source_codepage.h"
#include "store/os_file.h"
#include "store/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qp::exchange {

struct SourceField {
    std::string name; // upper case
    char type = 'C';
    int length = 0;
    int decimals = 0;
    int offset = 0;   // in the record; 0 is the deletion mark
    int nullBit = -1; // Visual FoxPro: the field's bit in the null flags
    int sizeBit = -1; // Visual FoxPro varchar: set when the last byte holds the length

    bool isMemo() const { return type == 'M'; }
    // Whether the value reads as text (binary memos and pictures do not).
    bool hasText() const;
};

class SourceTable {
public:
    // The reason when the table cannot be read; never more than the file.
    static store::Result<SourceTable> open(const std::string& path);

    const std::string& path() const { return path_; }
    std::string fileName() const { return store::baseName(path_); }
    std::uint8_t version() const { return version_; }
    SourceCodePage codePage() const { return codePage_; }
    const std::vector<SourceField>& fields() const { return fields_; }
    std::optional<int> fieldIndex(std::string_view name) const; // case-insensitive
    const std::string& memoPath() const { return memoPath_; }

    // The records the file holds whole, never more than the header counts.
    std::uint32_t recordCount() const { return records_; }
    // What the header counts: more than recordCount() when the file stops short.
    std::uint32_t headerCount() const { return headerCount_; }

    // Makes record `recno` (from 1) current; false past the records or on a
    // read error (see readError()).
    bool go(std::uint32_t recno);
    std::uint32_t recNo() const { return recno_; }
    bool deleted() const;
    const std::string& readError() const { return readError_; }

    // The current record's value as UTF-8 text: character fields without
    // trailing blanks, numbers trimmed, dates as YYYYMMDD, logicals "T" or
    // "F" (empty when unknown), integers and doubles in decimal, currency with
    // four decimals, date-times as "YYYYMMDD hh:mm:ss"; empty for null values,
    // memos and binary fields. Bytes the code page lacks are added to
    // `*unreadable`.
    std::string text(int field, std::size_t* unreadable = nullptr) const;
    // The memo of a memo field, as UTF-8. A memo whose pointer or length
    // runs past the memo file is read as far as the file goes and `*damaged`
    // is set.
    std::string memo(int field, bool* damaged = nullptr, std::size_t* unreadable = nullptr) const;

private:
    enum class MemoKind { None, Dbt3, Dbt4, Fpt };

    SourceTable() = default;
    store::Status readHeader(const std::string& bytes, std::uint64_t fileSize);
    store::Status openMemo();
    std::optional<std::uint32_t> memoBlock(const SourceField& f, bool* damaged) const;
    std::string memoBytes(std::uint32_t block, bool* damaged) const;
    bool bitSet(int bit) const;
    // The current record inside the chunk (an offset, so that a moved table
    // keeps it), or null when there is none.
    const char* record() const { return recno_ ? chunk_.data() + recordOffset_ : nullptr; }
    const char* field(const SourceField& f) const { return record() + f.offset; }

    std::string path_;
    std::string memoPath_;
    store::OsFile dbf_;
    store::OsFile memo_;
    MemoKind memoKind_ = MemoKind::None;
    std::uint64_t memoSize_ = 0;
    std::uint32_t blockSize_ = 512;
    std::uint8_t version_ = 0;
    SourceCodePage codePage_ = SourceCodePage::Windows1252;
    std::vector<SourceField> fields_;
    int nullFlagsOffset_ = -1;
    int nullFlagsLength_ = 0;
    std::uint32_t headerLength_ = 0;
    std::uint32_t recordLength_ = 0;
    std::uint32_t headerCount_ = 0;
    std::uint32_t records_ = 0;

    std::string chunk_; // consecutive records read at once
    std::uint32_t chunkFirst_ = 0;
    std::uint32_t chunkCount_ = 0;
    std::size_t recordOffset_ = 0;
    std::uint32_t recno_ = 0;
    std::string readError_;
};

} // namespace qp::exchange
