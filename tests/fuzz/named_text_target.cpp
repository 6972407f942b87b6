// Delimited text with field names and vCard files fed arbitrary bytes.

#include "named_text_target.h"

#include "exchange/delimited_import.h"
#include "exchange/field_names.h"
#include "exchange/named_export.h"
#include "exchange/vcard_import.h"
#include "store/address_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unistd.h>

namespace {

using namespace qp::exchange;

std::string scratchFile(const char* what) {
    return (std::filesystem::temp_directory_path() /
            ("qp-named-fuzz-" + std::to_string(::getpid()) + "-" + what))
        .string();
}

struct RemoveScratch {
    ~RemoveScratch() {
        for (const char* what : {"in", "again"})
            std::remove(scratchFile(what).c_str());
    }
};

void write(const std::string& path, std::string_view bytes) {
    // A fresh file each time: truncating one makes the file system flush it.
    std::remove(path.c_str());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::vector<std::vector<std::string>> records(const std::string& path, char separator) {
    DelimitedReader reader(path, detectEncoding(path), separator);
    std::vector<std::vector<std::string>> out;
    std::vector<std::string> fields;
    while (reader.next(fields)) {
        if (fields.empty())
            __builtin_trap();
        out.push_back(fields);
    }
    return out;
}

void checkRoundTrip(const std::vector<std::vector<std::string>>& read, char separator) {
    if (read.empty() || read.front().front().compare(0, 3, "\xEF\xBB\xBF") == 0)
        return;
    std::string text;
    for (const auto& r : read) {
        for (std::size_t i = 0; i < r.size(); ++i)
            text += (i ? std::string(1, separator) : std::string()) + csvField(r[i], separator);
        text += "\r\n";
    }
    const std::string again = scratchFile("again");
    write(again, text);
    if (records(again, separator) != read)
        __builtin_trap();
}

} // namespace

int ReadDelimitedBytes(const std::uint8_t* data, std::size_t size, const std::string& addressFile) {
    static RemoveScratch remover;
    const std::string path = scratchFile("in");
    write(path, std::string_view(reinterpret_cast<const char*>(data), size));
    for (char separator : {',', ';', '\t'})
        checkRoundTrip(records(path, separator), separator);
    auto format = detectDelimitedFormat(path);
    auto scan = scanDelimitedFile(path, format);
    if (scan.usable != scan.message.empty() || scan.fields.size() > kMaxImportFields)
        __builtin_trap();
    for (const auto& row : scan.sample)
        if (row.size() != scan.fields.size())
            __builtin_trap();
    if (!scan.usable || addressFile.empty())
        return 0;
    auto table = qp::store::openAddressFile(addressFile, qp::store::OpenMode::Exclusive);
    if (!table)
        __builtin_trap();
    auto offered = namedImportFields();
    if (!format.header)
        for (std::size_t i = 0; i < scan.fields.size() && i < offered.size(); ++i)
            matchField(scan.fields, i, offered[i].label);
    auto outcome = importDelimitedRecords(*table, path, format, scan.fields, offered);
    if (outcome.message.empty() || outcome.kind != ImportOutcome::Kind::Complete)
        __builtin_trap();
    if (!rebuildAfterImport(*table))
        __builtin_trap();
    return 0;
}

int ReadVCardBytes(const std::uint8_t* data, std::size_t size, const std::string& addressFile) {
    static RemoveScratch remover;
    const std::string path = scratchFile("in");
    write(path, std::string_view(reinterpret_cast<const char*>(data), size));
    VCardReader reader(path);
    VCard card;
    std::uint64_t cards = 0;
    while (reader.next(card)) {
        ++cards;
        for (auto address : {CardAddress::Preferred, CardAddress::Work, CardAddress::Home})
            for (auto date : {CardDate::None, CardDate::Birthday, CardDate::Anniversary})
                for (const auto& [field, value] : cardRecord(card, {address, date}))
                    if (field.empty() || value.empty())
                        __builtin_trap();
    }
    auto scan = scanVCardFile(path);
    if (scan.cards != cards || scan.usable != (cards > 0))
        __builtin_trap();
    if (addressFile.empty())
        return 0;
    auto table = qp::store::openAddressFile(addressFile, qp::store::OpenMode::Exclusive);
    if (!table)
        __builtin_trap();
    auto outcome = importVCards(*table, path);
    if (outcome.message.empty() || (outcome.kind != ImportOutcome::Kind::Complete &&
                                    outcome.kind != ImportOutcome::Kind::Refused))
        __builtin_trap();
    if (outcome.kind == ImportOutcome::Kind::Complete && !rebuildAfterImport(*table))
        __builtin_trap();
    return 0;
}

#ifdef QP_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadDelimitedBytes(data, size);
    return ReadVCardBytes(data, size);
}
#endif
