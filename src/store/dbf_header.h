#pragma once
// The header of a DBF table in the FoxPro 2.x flavour: 32 bytes, one 32-byte
// descriptor per field, the 0x0D terminator.

#include "field.h"
#include "result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qp::store {

constexpr std::uint8_t kDbfPlain = 0x03;
constexpr std::uint8_t kDbfFoxProMemo = 0xF5;
constexpr std::uint8_t kCodePage1252 = 0x03;
constexpr char kDbfEndOfFile = 0x1A;

struct DbfDate {
    int year = 1900;
    int month = 1;
    int day = 1;
};

struct DbfHeader {
    std::uint8_t version = kDbfPlain;
    DbfDate lastUpdate;
    std::uint32_t recordCount = 0;
    std::uint16_t headerLength = 0;
    std::uint16_t recordLength = 0;
    std::uint8_t tableFlags = 0; // 0x01: has a structural index
    std::uint8_t codePage = kCodePage1252;
    std::vector<FieldDef> fields;
    // Set when the stored header length disagrees with the field descriptors
    // and their terminator; headerLength then holds the length they imply.
    std::string damage;

    bool hasMemoField() const;
    bool isVisualFoxPro() const { return version == 0x30 || version == 0x31 || version == 0x32; }
};

// Lays out fields (offsets, record length, header length) for a new table.
Result<DbfHeader> makeDbfHeader(std::vector<FieldDef> fields);

// `bytes` holds at least the whole header and, when the file is that long, the
// bytes up to the descriptors' terminator; `fileSize` lets the reader reject
// a header the file cannot hold.
Result<DbfHeader> parseDbfHeader(const std::string& bytes, std::uint64_t fileSize,
                                 const std::string& name);
// Bytes needed to read the header, from its first 32 bytes: the stored header
// length, or more when the descriptors may run past it.
Result<std::size_t> dbfHeaderLength(const std::string& first32, const std::string& name);

std::string serializeDbfHeader(const DbfHeader& header);
// Only the 32-byte fixed part (count and date change on every append).
std::string serializeDbfFixedPart(const DbfHeader& header);

DbfDate today();

} // namespace qp::store
