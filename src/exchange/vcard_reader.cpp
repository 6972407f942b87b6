#include "exchange/vcard_reader.h"

#include "store/codepage.h"

#include <algorithm>
#include <cctype>

namespace qp::exchange {

namespace {

constexpr std::size_t kNamedLines = 10;
constexpr std::size_t kMaxProperties = 1000; // a card's further lines are passed over

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return std::string(s);
}

// Where the value starts: the first colon outside a quoted parameter value.
std::size_t valueColon(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return std::string_view::npos;
}

bool isQuotedPrintable(std::string_view line) {
    std::size_t colon = valueColon(line);
    std::string head = upper(line.substr(0, colon));
    return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

std::string decodeQuotedPrintable(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '=' && i + 2 < in.size()) {
            int hi = hexValue(in[i + 1]), lo = hexValue(in[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        if (in[i] == '=' && i + 1 == in.size())
            break; // a soft break left at the very end
        out += in[i];
    }
    return out;
}

bool isLatinCharset(std::string_view charset) {
    std::string c = upper(charset);
    return c == "ISO-8859-1" || c == "ISO-8859-15" || c == "WINDOWS-1252" || c == "CP1252" ||
           c == "LATIN1" || c == "US-ASCII" || c == "ASCII";
}

std::string unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[i + 1];
            if (n == 'n' || n == 'N') {
                out += '\n';
                ++i;
                continue;
            }
            if (n == ',' || n == ';' || n == '\\' || n == ':') {
                out += n;
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

} // namespace

bool VCardProperty::hasType(std::string_view type) const {
    for (const auto& [name, value] : params) {
        if (name == "TYPE") {
            std::string_view v = value;
            while (!v.empty()) {
                auto comma = v.find(',');
                if (equalsIgnoringCase(trimmed(v.substr(0, comma)), type))
                    return true;
                if (comma == std::string_view::npos)
                    break;
                v.remove_prefix(comma + 1);
            }
        } else if (value.empty() && equalsIgnoringCase(name, type)) {
            return true; // a bare 2.1 parameter
        }
    }
    return false;
}

bool VCardProperty::preferred() const {
    if (hasType("pref"))
        return true;
    return std::any_of(params.begin(), params.end(),
                       [](const auto& p) { return p.first == "PREF" && !p.second.empty(); });
}

std::string VCardProperty::param(std::string_view wanted) const {
    for (const auto& [name, value] : params)
        if (name == wanted)
            return value;
    return {};
}

std::vector<std::string> VCardProperty::components(char separator) const {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && value[i] == '\\') {
            ++i;
            continue;
        }
        if (i == value.size() || value[i] == separator) {
            parts.push_back(unescape(std::string_view(value).substr(from, i - from)));
            from = i + 1;
        }
    }
    return parts;
}

std::string VCardProperty::text() const {
    return unescape(value);
}

const VCardProperty* VCard::first(std::string_view name) const {
    for (const auto& p : properties)
        if (p.name == name)
            return &p;
    return nullptr;
}

bool parseVCardLine(std::string_view line, VCardProperty& property) {
    const std::size_t colon = valueColon(line);
    if (colon == std::string_view::npos || colon == 0)
        return false;
    std::string_view head = line.substr(0, colon);
    std::string_view raw = line.substr(colon + 1);
    property.params.clear();
    // name, then ;param;param
    std::size_t semi = head.find(';');
    std::string_view name = head.substr(0, semi);
    if (auto dot = name.rfind('.'); dot != std::string_view::npos)
        name = name.substr(dot + 1);
    property.name = upper(trimmed(name));
    if (property.name.empty())
        return false;
    while (semi != std::string_view::npos) {
        std::size_t from = semi + 1;
        bool quoted = false;
        std::size_t end = from;
        for (; end < head.size(); ++end) {
            if (head[end] == '"')
                quoted = !quoted;
            else if (head[end] == ';' && !quoted)
                break;
        }
        std::string_view param = head.substr(from, end - from);
        semi = end < head.size() ? end : std::string_view::npos;
        if (param.empty())
            continue;
        auto eq = param.find('=');
        std::string pname = upper(trimmed(param.substr(0, eq)));
        std::string pvalue =
            eq == std::string_view::npos ? std::string() : trimmed(param.substr(eq + 1));
        pvalue.erase(std::remove(pvalue.begin(), pvalue.end(), '"'), pvalue.end());
        if (eq == std::string_view::npos) {
            // 2.1 writes bare values: WORK, QUOTED-PRINTABLE, CHARSET-less.
            std::string bare = upper(pname);
            if (bare == "QUOTED-PRINTABLE" || bare == "BASE64" || bare == "8BIT")
                property.params.emplace_back("ENCODING", bare);
            else
                property.params.emplace_back(pname, std::string());
            continue;
        }
        property.params.emplace_back(std::move(pname), std::move(pvalue));
    }
    std::string value;
    const std::string encoding = upper(property.param("ENCODING"));
    if (encoding == "QUOTED-PRINTABLE")
        value = decodeQuotedPrintable(raw);
    else if (encoding == "B" || encoding == "BASE64")
        value.clear(); // pictures and sounds: nothing an address record holds
    else
        value = std::string(raw);
    const std::string charset = property.param("CHARSET");
    if (!store::isValidUtf8(value) || (!charset.empty() && isLatinCharset(charset)))
        value = store::cp1252ToUtf8(value);
    property.value = std::move(value);
    return true;
}

VCardReader::VCardReader(const std::string& path) : lines_(path, TextEncoding::Utf8) {}

// One logical line: folded lines (a line starting with a blank or tab)
// joined, and quoted-printable soft breaks (a line ending in "=") too.
bool VCardReader::logicalLine(std::string& line, std::uint64_t& number) {
    if (!havePending_) {
        if (!lines_.next(pending_))
            return false;
        pendingNumber_ = lines_.lineNumber();
    }
    line = std::move(pending_);
    number = pendingNumber_;
    havePending_ = false;
    bool overlong = false;
    const bool qp = isQuotedPrintable(line);
    std::string piece;
    while (lines_.next(piece)) {
        bool folded = !piece.empty() && (piece.front() == ' ' || piece.front() == '\t');
        bool softBreak = qp && !line.empty() && line.back() == '=';
        if (!folded && !softBreak) {
            pending_ = std::move(piece);
            pendingNumber_ = lines_.lineNumber();
            havePending_ = true;
            break;
        }
        if (softBreak)
            line.pop_back();
        std::string_view rest = piece;
        if (folded && !softBreak)
            rest.remove_prefix(1);
        if (line.size() + rest.size() > kMaxLineBytes) {
            overlong = true; // the rest of the property is dropped
            continue;
        }
        line.append(rest);
    }
    overlong_ += overlong;
    return true;
}

bool VCardReader::next(VCard& card) {
    std::string line;
    std::uint64_t number = 0;
    bool inside = false;
    VCardProperty property;
    auto unended = [&] {
        ++unended_;
        if (unendedLines_.size() < kNamedLines)
            unendedLines_.push_back(card.line);
    };
    while (logicalLine(line, number)) {
        std::string_view l = line;
        while (!l.empty() && (l.back() == ' ' || l.back() == '\t'))
            l.remove_suffix(1);
        if (startsWithIgnoringCase(l, "BEGIN:") &&
            equalsIgnoringCase(trimmed(l.substr(6)), "VCARD")) {
            if (inside)
                unended();
            inside = true;
            card.line = number;
            card.properties.clear();
            continue;
        }
        if (!inside)
            continue; // text between cards, or junk
        if (startsWithIgnoringCase(l, "END:") && equalsIgnoringCase(trimmed(l.substr(4)), "VCARD"))
            return true;
        if (card.properties.size() < kMaxProperties && parseVCardLine(l, property) &&
            property.name != "BEGIN" && property.name != "END")
            card.properties.push_back(std::move(property));
    }
    if (inside)
        unended();
    return false;
}

} // namespace qp::exchange
