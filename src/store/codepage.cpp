#include "store/codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace qp::store {

namespace {

// Unicode of Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows does, so that
// any byte string survives a round trip.
constexpr std::array<char32_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

struct Decoded {
    char32_t cp = 0;
    std::size_t length = 1; // bytes consumed; on error the maximal invalid prefix
    bool valid = false;
};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
Decoded decodeUtf8(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        return {b0, 1, true};
    }
    int need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) {
            lo = 0xA0;
        } else if (b0 == 0xED) {
            hi = 0x9F;
        }
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0) {
            lo = 0x90;
        } else if (b0 == 0xF4) {
            hi = 0x8F;
        }
    } else {
        return {0, 1, false};
    }
    std::size_t k = i + 1;
    for (int n = 0; n < need; ++n, ++k) {
        if (k >= s.size()) {
            return {0, k - i, false};
        }
        const unsigned char b = byte(k);
        if (b < lo || b > hi) {
            return {0, k - i, false};
        }
        lo = 0x80;
        hi = 0xBF;
        cp = (cp << 6) | (b & 0x3F);
    }
    return {cp, k - i, true};
}

// The Windows-1252 byte for a code point, or -1.
int toCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<int>(cp);
    }
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == cp) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out.push_back(ch);
        } else if (b < 0xA0) {
            appendUtf8(out, kHighTable[b - 0x80]);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

Cp1252Text utf8ToCp1252(std::string_view utf8) {
    Cp1252Text result;
    result.bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = decodeUtf8(utf8, i);
        i += d.length;
        const int b = d.valid ? toCp1252(d.cp) : -1;
        if (b < 0) {
            result.bytes.push_back('?');
            ++result.replaced;
        } else {
            result.bytes.push_back(static_cast<char>(b));
        }
    }
    return result;
}

std::optional<std::string> utf8ToCp1252Exact(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        // ASCII stands for itself in both encodings (most imported text).
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            out.push_back(utf8[i++]);
            continue;
        }
        const Decoded d = decodeUtf8(utf8, i);
        if (!d.valid) {
            return std::nullopt;
        }
        const int b = toCp1252(d.cp);
        if (b < 0) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(b));
        i += d.length;
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = decodeUtf8(text, i);
        if (!d.valid) {
            return false;
        }
        i += d.length;
    }
    return true;
}

std::size_t utf8CharacterCount(std::string_view utf8) {
    // Every character has one lead byte; continuation bytes are 10xxxxxx.
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

unsigned char upperCp1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<unsigned char>(c - 0x20);
    }
    switch (c) {
    case 0x9A: // š
    case 0x9C: // œ
    case 0x9E: // ž
        return static_cast<unsigned char>(c - 0x10);
    case 0xFF: // ÿ
        return 0x9F;
    case 0xF7: // ÷ sits among the lower-case letters
        return c;
    default:
        break;
    }
    // à..þ; ß (0xDF) and µ (0xB5) have no single-byte capital and stay.
    if (c >= 0xE0 && c <= 0xFE) {
        return static_cast<unsigned char>(c - 0x20);
    }
    return c;
}

std::string upperCp1252(std::string_view bytes) {
    std::string out(bytes);
    for (char& ch : out) {
        ch = static_cast<char>(upperCp1252(static_cast<unsigned char>(ch)));
    }
    return out;
}

} // namespace qp::store
