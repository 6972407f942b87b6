#pragma once
// Reading delimited text the way spreadsheets write it: records of fields
// split by a comma, semicolon or tab, a field in double quotes holding the
// separator, line breaks and "" for a quote. The separator and a first line
// of field names are recognised from the file's first records.

#include "exchange/ascii_import.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace qp::exchange {

struct DelimitedFormat {
    char separator = ',';
    bool header = false; // the first record holds field names
};

// Reads one record at a time in bounded memory. A quoted field may run over
// line breaks; a quote never closed (at the end of the file, or before the
// record grows past kMaxLineBytes) is read back as a one-line record, so the
// records after it are not swallowed. A line too long even on its own is
// skipped and counted as damaged.
class DelimitedReader {
public:
    DelimitedReader(const std::string& path, TextEncoding encoding, char separator);
    bool isOpen() const { return file_ != nullptr; }
    // The next record; false at the end or on a read error (see failed()).
    bool next(std::vector<std::string>& fields);
    bool failed() const { return failed_; }
    // Bytes of the file read so far.
    std::uint64_t offset() const { return bufferOffset_ + pos_; }
    // The line the record last returned starts on, counting from 1.
    std::uint64_t lineNumber() const { return recordLine_; }
    // Whether the record last returned holds a quote that is never closed.
    bool unbalanced() const { return unbalanced_; }
    std::uint64_t damagedCount() const { return damaged_; }
    const std::vector<std::uint64_t>& damagedLines() const { return damagedLines_; }

private:
    enum class Parse { Record, End, Unclosed, TooLong };
    Parse parse(std::vector<std::string>& fields, bool multiline);
    int get();
    int peek();
    bool fill();
    bool rewindTo(std::uint64_t offset, std::uint64_t line);
    void skipLine();

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
    TextEncoding encoding_;
    char separator_;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::uint64_t bufferOffset_ = 0; // file offset of buffer_[0]
    bool eof_ = false;
    bool failed_ = false;
    bool started_ = false;
    std::uint64_t line_ = 1; // the line the next byte is on
    std::uint64_t recordLine_ = 0;
    bool unbalanced_ = false;
    std::uint64_t damaged_ = 0;
    std::vector<std::uint64_t> damagedLines_;
};

// The separator (the one that splits the first records into the most equal
// field counts, a comma on a tie) and whether the first record looks like
// field names: known export names, or names above values of another kind.
DelimitedFormat detectDelimitedFormat(const std::string& path);

// The field table and sample of a delimited file read as `format` says. With
// a header the fields take the file's own names and the proposed matches,
// and the file is usable with one record under the names.
AsciiScan scanDelimitedFile(const std::string& path, const DelimitedFormat& format);

// The name shown for a separator: "comma", "semicolon" or "tab".
const char* separatorName(char separator);

} // namespace qp::exchange
