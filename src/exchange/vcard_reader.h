#pragma once
// Reading vCard files (versions 2.1, 3.0 and 4.0) card by card in bounded
// memory: folded lines joined, quoted-printable and character sets decoded,
// escaped commas, semicolons and line breaks read back.

#include "exchange/ascii_import.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qp::exchange {

struct VCardProperty {
    std::string name; // upper case, without its group ("item1.TEL" gives "TEL")
    std::vector<std::pair<std::string, std::string>> params; // names upper case
    std::string value; // decoded to UTF-8, escapes still in place

    // Whether TYPE (or a bare 2.1 parameter) names `type`, ignoring case.
    bool hasType(std::string_view type) const;
    bool preferred() const; // TYPE=pref, or PREF=n
    std::string param(std::string_view name) const;
    // The value's components, split at unescaped `separator`, escapes read.
    std::vector<std::string> components(char separator = ';') const;
    // The value as one text, escapes read.
    std::string text() const;
};

struct VCard {
    std::uint64_t line = 0; // of its BEGIN
    std::vector<VCardProperty> properties;
    const VCardProperty* first(std::string_view name) const;
};

class VCardReader {
public:
    explicit VCardReader(const std::string& path);
    bool isOpen() const { return lines_.isOpen(); }
    // The next whole card; false at the end or on a read error.
    bool next(VCard& card);
    bool failed() const { return lines_.failed(); }
    // Cards that began but never ended (before another BEGIN or the end of
    // the file): skipped, with their first lines.
    std::uint64_t unendedCount() const { return unended_; }
    const std::vector<std::uint64_t>& unendedLines() const { return unendedLines_; }
    // Lines longer than 1 MB, and properties whose folded lines grew past it.
    std::uint64_t damagedCount() const { return lines_.damagedCount() + overlong_; }

private:
    bool logicalLine(std::string& line, std::uint64_t& number);
    LineReader lines_;
    std::string pending_;
    bool havePending_ = false;
    std::uint64_t pendingNumber_ = 0;
    std::uint64_t unended_ = 0;
    std::uint64_t overlong_ = 0;
    std::vector<std::uint64_t> unendedLines_;
};

// A property line ("item1.ADR;TYPE=work:;;12 Main St;...") parsed and its
// value decoded; false when the line has no name and colon.
bool parseVCardLine(std::string_view line, VCardProperty& property);

} // namespace qp::exchange
