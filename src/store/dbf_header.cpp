#include "store/dbf_header.h"

#include <algorithm>
#include <cctype>
#include <ctime>

namespace qp::store {

namespace {

std::uint16_t get16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::uint32_t get32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(get16(b, at)) |
           (static_cast<std::uint32_t>(get16(b, at + 2)) << 16);
}

void put16(std::string& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

bool validFieldType(char t) {
    return std::string_view("CNLMDFIYTBGV0").find(t) != std::string_view::npos;
}

Error damaged(const std::string& name, const std::string& what) {
    return fail("File " + name + " is damaged or is not a DBF table: " + what);
}

} // namespace

bool DbfHeader::hasMemoField() const {
    return std::any_of(fields.begin(), fields.end(),
                       [](const FieldDef& f) { return f.type == 'M' || f.type == 'G'; });
}

DbfDate today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

Result<DbfHeader> makeDbfHeader(std::vector<FieldDef> fields) {
    if (fields.empty())
        return fail("A table needs at least one field");
    if (fields.size() > 255)
        return fail("A table holds at most 255 fields");
    DbfHeader header;
    int offset = 1;
    for (auto& f : fields) {
        std::string name = f.name;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (name.empty() || name.size() > 10)
            return fail("Field name \"" + f.name + "\" must have 1 to 10 characters");
        f.name = name;
        switch (f.type) {
        case 'C':
            if (f.length < 1 || f.length > 254)
                return fail("Field " + name + " must be 1 to 254 characters wide");
            f.decimals = 0;
            break;
        case 'N':
            if (f.length < 1 || f.length > 20 || f.decimals < 0 || f.decimals > 15)
                return fail("Field " + name + " has an invalid numeric width");
            break;
        case 'L':
            f.length = 1;
            f.decimals = 0;
            break;
        case 'M':
            f.length = 10;
            f.decimals = 0;
            break;
        default:
            return fail("Field " + name + " has type " + std::string(1, f.type) +
                        ", which cannot be created");
        }
        f.offset = offset;
        offset += f.length;
        for (const auto& g : fields) {
            if (&g == &f)
                break;
            if (g.name == name)
                return fail("Field " + name + " appears twice");
        }
    }
    if (offset > 65535)
        return fail("The record is too long");
    header.fields = std::move(fields);
    header.recordLength = static_cast<std::uint16_t>(offset);
    header.headerLength = static_cast<std::uint16_t>(32 + 32 * header.fields.size() + 1);
    header.version = header.hasMemoField() ? kDbfFoxProMemo : kDbfPlain;
    header.lastUpdate = today();
    return header;
}

Result<std::size_t> dbfHeaderLength(const std::string& first32, const std::string& name) {
    if (first32.size() < 32)
        return damaged(name, "the header is truncated");
    std::size_t length = get16(first32, 8);
    if (length < 33)
        return damaged(name, "the header length is too small");
    // Room for 255 descriptors, their terminator and a backlink area, so that
    // a stored length that is too short can be told from the descriptors.
    constexpr std::size_t kLargestHeader = 32 + 32 * 255 + 1 + 263;
    return std::max(length, kLargestHeader);
}

Result<DbfHeader> parseDbfHeader(const std::string& b, std::uint64_t fileSize,
                                 const std::string& name) {
    if (b.size() < 32)
        return damaged(name, "the header is truncated");
    const std::size_t storedLength = get16(b, 8);
    if (storedLength < 33)
        return damaged(name, "the header length is too small");
    DbfHeader h;
    h.version = static_cast<std::uint8_t>(b[0]);
    switch (h.version & 0x07) {
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x00:
    case 0x01:
    case 0x02:
        break;
    default:
        return damaged(name, "unknown version byte");
    }
    h.lastUpdate = {1900 + static_cast<unsigned char>(b[1]), static_cast<unsigned char>(b[2]),
                    static_cast<unsigned char>(b[3])};
    h.recordCount = get32(b, 4);
    h.recordLength = get16(b, 10);
    h.tableFlags = static_cast<std::uint8_t>(b[28]);
    h.codePage = static_cast<std::uint8_t>(b[29]);
    if (h.recordLength < 2)
        return damaged(name, "the record length is too small");

    int offset = 1;
    std::size_t at = 32;
    for (;; at += 32) {
        if (at >= b.size() || (at + 32 > b.size() && b[at] != 0x0D))
            return damaged(name, b.size() < storedLength || fileSize <= at
                                     ? "the header is truncated"
                                     : "the field descriptors have no terminator");
        if (b[at] == 0x0D)
            break;
        if (h.fields.size() == 255)
            return damaged(name, "the field descriptors have no terminator");
        FieldDef f;
        std::size_t end = at;
        while (end < at + 11 && b[end] != '\0')
            ++end;
        f.name.assign(b, at, end - at);
        while (!f.name.empty() && f.name.back() == ' ')
            f.name.pop_back();
        std::transform(f.name.begin(), f.name.end(), f.name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(b[at + 11])));
        f.length = static_cast<unsigned char>(b[at + 16]);
        f.decimals = static_cast<unsigned char>(b[at + 17]);
        if (f.type == 'C')
            f.length |= f.decimals << 8; // long character fields keep the high byte here
        if (f.type == 'C')
            f.decimals = 0;
        if (f.name.empty() || !validFieldType(f.type) || f.length < 1)
            return damaged(name, "field descriptor " + std::to_string((at - 32) / 32 + 1) +
                                     " is invalid");
        f.offset = offset;
        offset += f.length;
        h.fields.push_back(std::move(f));
    }
    if (h.fields.empty())
        return damaged(name, "no fields");
    if (offset != h.recordLength)
        return damaged(name, "the record length " + std::to_string(h.recordLength) +
                                 " does not match the fields (" + std::to_string(offset) + ")");

    // The records start right after the terminator (Visual FoxPro keeps a
    // 263-byte backlink area first). Other writers may pad with zero bytes;
    // anything else there means the stored length is wrong, and the records
    // would be read shifted.
    const std::size_t minimum = at + 1 + (h.isVisualFoxPro() ? 263 : 0);
    bool padded = storedLength >= minimum;
    if (padded && !h.isVisualFoxPro())
        for (std::size_t i = minimum; i < storedLength && i < b.size(); ++i)
            if (b[i] != '\0')
                padded = false;
    h.headerLength = static_cast<std::uint16_t>(storedLength);
    if (!padded) {
        h.damage = "File " + name + " is damaged: its header length " +
                   std::to_string(storedLength) + " does not match its " +
                   std::to_string(h.fields.size()) + " field descriptors (" +
                   std::to_string(minimum) + ")";
        h.headerLength = static_cast<std::uint16_t>(minimum);
    }
    if (fileSize < h.headerLength)
        return damaged(name, "the header is truncated");
    return h;
}

std::string serializeDbfFixedPart(const DbfHeader& h) {
    std::string b(32, '\0');
    b[0] = static_cast<char>(h.version);
    b[1] = static_cast<char>(std::clamp(h.lastUpdate.year - 1900, 0, 255));
    b[2] = static_cast<char>(h.lastUpdate.month);
    b[3] = static_cast<char>(h.lastUpdate.day);
    put32(b, 4, h.recordCount);
    put16(b, 8, h.headerLength);
    put16(b, 10, h.recordLength);
    b[28] = static_cast<char>(h.tableFlags);
    b[29] = static_cast<char>(h.codePage);
    return b;
}

std::string serializeDbfHeader(const DbfHeader& h) {
    std::string b = serializeDbfFixedPart(h);
    for (const auto& f : h.fields) {
        std::string d(32, '\0');
        std::copy(f.name.begin(), f.name.begin() + std::min<std::size_t>(f.name.size(), 10),
                  d.begin());
        d[11] = f.type;
        put32(d, 12, static_cast<std::uint32_t>(f.offset));
        d[16] = static_cast<char>(f.length & 0xFF);
        d[17] = static_cast<char>(f.type == 'C' ? (f.length >> 8) : f.decimals);
        b += d;
    }
    b += '\x0D';
    b.resize(h.headerLength, '\0');
    return b;
}

} // namespace qp::store
