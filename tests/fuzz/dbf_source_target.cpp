// The reader of other programs' DBF tables fed arbitrary bytes.

#include "dbf_source_target.h"

#include "exchange/dbf_import.h"
#include "store/address_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path& scratchDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("qp-dbf-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

struct RemoveScratch {
    ~RemoveScratch() {
        std::error_code ec;
        fs::remove_all(scratchDir(), ec);
    }
};

void write(const fs::path& path, const char* data, std::size_t size) {
    std::ofstream(path, std::ios::binary).write(data, std::streamsize(size));
}

} // namespace

std::string DbfSourceInput(int memoKind, const std::string& table, const std::string& memo) {
    std::string input{char(memoKind), char(table.size() & 0xFF), char(table.size() >> 8 & 0xFF)};
    return input + table + memo;
}

int ReadDbfSourceBytes(const std::uint8_t* data, std::size_t size, const std::string& addressFile) {
    static RemoveScratch remover;
    if (size < 3)
        return 0;
    const int memoKind = data[0] % 3;
    const std::size_t tableSize = std::min<std::size_t>(size - 3, data[1] | data[2] << 8);
    const char* bytes = reinterpret_cast<const char*>(data) + 3;
    const fs::path table = scratchDir() / "src.dbf";
    std::error_code ec;
    for (const char* name : {"src.dbf", "src.dbt", "src.fpt"})
        fs::remove(scratchDir() / name, ec);
    write(table, bytes, tableSize);
    if (memoKind)
        write(scratchDir() / (memoKind == 1 ? "src.dbt" : "src.fpt"), bytes + tableSize,
              size - 3 - tableSize);

    auto source = qp::exchange::SourceTable::open(table.string());
    if (!source) {
        if (source.error().empty())
            __builtin_trap();
        return 0;
    }
    if (source->recordCount() > source->headerCount())
        __builtin_trap();
    for (std::uint32_t r = 1; r <= source->recordCount(); ++r) {
        if (!source->go(r))
            break;
        for (int f = 0; f < int(source->fields().size()); ++f) {
            bool damaged = false;
            std::size_t unreadable = 0;
            std::string value = source->fields()[std::size_t(f)].isMemo()
                                    ? source->memo(f, &damaged, &unreadable)
                                    : source->text(f, &unreadable);
            if (value.size() > (16u << 20) + 4 * 65536)
                __builtin_trap();
        }
    }
    if (addressFile.empty())
        return 0;
    auto address = qp::store::openAddressFile(addressFile, qp::store::OpenMode::Exclusive);
    if (!address)
        __builtin_trap();
    auto opened = qp::exchange::openImportSource(table.string(), address->path());
    if (!opened)
        return 0;
    auto offered = qp::exchange::dbfImportFields();
    auto fields = qp::exchange::sourceMatchFields(*opened);
    // Every field that may feed a row feeds one, so every reading runs.
    for (std::size_t f = 0; f < fields.size(); ++f)
        for (std::uint32_t row = 0; row < offered.size(); ++row)
            if (qp::exchange::fitsRow(fields[f], offered[row]) &&
                std::none_of(fields.begin(), fields.end(),
                             [&](const auto& other) { return other.match == row; })) {
                fields[f].match = row;
                break;
            }
    auto outcome = qp::exchange::importDbfRecords(*address, *opened, fields, offered);
    if (outcome.message.empty() || outcome.imported > opened->recordCount())
        __builtin_trap();
    if (!qp::exchange::rebuildAfterImport(*address))
        __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReadDbfSourceBytes(data, size);
}
