// The comma-separated text reader fed arbitrary bytes. Beyond not failing,
// a line written the standard way must split back into the values it was
// written from.

#include "csv_reader_target.h"

#include "exchange/ascii_import.h"
#include "store/address_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unistd.h>

namespace {

std::string scratchFile() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("qp-csv-fuzz-" + std::to_string(::getpid())))
            .string();
    return path;
}

struct RemoveScratch {
    ~RemoveScratch() { std::remove(scratchFile().c_str()); }
};

// Writes values the way the export does: quoted, quotes doubled.
std::string quoted(const std::vector<std::string>& values) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        line += i ? ",\"" : "\"";
        for (char c : values[i]) {
            line += c;
            if (c == '"')
                line += '"';
        }
        line += '"';
    }
    return line;
}

void checkLine(std::string_view line) {
    bool unbalanced = false;
    auto fields = qp::exchange::splitAsciiLine(line, &unbalanced);
    if (fields.empty())
        __builtin_trap();
    // Values without line breaks survive being written and read again.
    for (const auto& f : fields)
        if (f.find_first_of("\r\n") != std::string::npos)
            return;
    bool again = true;
    if (qp::exchange::splitAsciiLine(quoted(fields), &again) != fields || again)
        __builtin_trap();
}

} // namespace

int ReadCsvBytes(const std::uint8_t* data, std::size_t size, const std::string& addressFile) {
    static RemoveScratch remover;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t nl = text.find('\n', from);
        checkLine(
            text.substr(from, nl == std::string_view::npos ? std::string_view::npos : nl - from));
        if (nl == std::string_view::npos)
            break;
        from = nl + 1;
    }

    const std::string& path = scratchFile();
    // A fresh file each time: truncating one makes the file system flush it.
    std::remove(path.c_str());
    std::ofstream(path, std::ios::binary).write(text.data(), std::streamsize(size));
    auto scan = qp::exchange::scanAsciiFile(path);
    if (scan.usable != scan.message.empty() || scan.fields.size() > qp::exchange::kMaxImportFields)
        __builtin_trap();
    for (const auto& row : scan.sample)
        if (row.size() != scan.fields.size())
            __builtin_trap();
    if (!scan.usable || addressFile.empty())
        return 0;

    auto table = qp::store::openAddressFile(addressFile, qp::store::OpenMode::Exclusive);
    if (!table)
        __builtin_trap();
    auto offered = qp::exchange::defaultImportFields();
    for (std::size_t i = 0; i < scan.fields.size() && i < offered.size(); ++i)
        qp::exchange::matchField(scan.fields, i, offered[i].label);
    auto outcome = qp::exchange::importAsciiRecords(*table, path, scan.fields, offered);
    if (outcome.message.empty() || outcome.kind != qp::exchange::ImportOutcome::Kind::Complete)
        __builtin_trap();
    if (!qp::exchange::rebuildAfterImport(*table))
        __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReadCsvBytes(data, size);
}
