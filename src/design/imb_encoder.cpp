#include "design/imb_encoder.h"

#include "design/barcodes.h"

#include <array>
#include <cstdint>

namespace qp::design {

namespace {

// The encoded value: 102 bits, most significant byte first.
using TBinary = std::array<std::uint8_t, 13>;

void MultiplyAdd(TBinary& v, unsigned factor, unsigned addend) {
    unsigned carry = addend;
    for (int i = int(v.size()) - 1; i >= 0; --i) {
        const unsigned x = v[i] * factor + carry;
        v[i] = std::uint8_t(x & 0xFF);
        carry = x >> 8;
    }
}

unsigned DivideBy(TBinary& v, unsigned divisor) {
    unsigned rest = 0;
    for (auto& byte : v) {
        const unsigned x = (rest << 8) | byte;
        byte = std::uint8_t(x / divisor);
        rest = x % divisor;
    }
    return rest;
}

// The 11-bit frame check sequence over the 102 data bits (the two leading
// bits of the first byte are not data).
unsigned FrameCheck(const TBinary& v) {
    constexpr unsigned generator = 0x0F35;
    unsigned fcs = 0x07FF;
    auto step = [&](unsigned data, int bits) {
        for (int b = 0; b < bits; ++b) {
            fcs = ((fcs ^ data) & 0x400) ? (fcs << 1) ^ generator : fcs << 1;
            fcs &= 0x7FF;
            data <<= 1;
        }
    };
    step(unsigned(v[0]) << 5, 6);
    for (size_t i = 1; i < v.size(); ++i)
        step(unsigned(v[i]) << 3, 8);
    return fcs;
}

// The 13-bit characters with n bits set, each paired with its bit reversal;
// symmetric characters fill the table from its end.
template <int N> std::array<std::uint16_t, N> NOf13Table(int bitsSet) {
    std::array<std::uint16_t, N> table{};
    int lower = 0, upper = N - 1;
    for (unsigned c = 0; c < 8192; ++c) {
        if (__builtin_popcount(c) != bitsSet)
            continue;
        unsigned r = 0;
        for (int b = 0; b < 13; ++b)
            if (c & (1u << b))
                r |= 1u << (12 - b);
        if (r < c)
            continue;
        if (r == c) {
            table[upper--] = std::uint16_t(c);
        } else {
            table[lower++] = std::uint16_t(c);
            table[lower++] = std::uint16_t(r);
        }
    }
    return table;
}

const std::array<std::uint16_t, 1287>& FiveOf13() {
    static const auto t = NOf13Table<1287>(5);
    return t;
}
const std::array<std::uint16_t, 78>& TwoOf13() {
    static const auto t = NOf13Table<78>(2);
    return t;
}

// For each bar: the character (A = 0 ... J = 9) and bit of its descender,
// then those of its ascender.
struct TBarMap {
    std::uint8_t DescChar, DescBit, AscChar, AscBit;
};
constexpr TBarMap kBarMap[kImbBarCount] = {
    {7, 2, 4, 3},  {1, 10, 0, 0},  {9, 12, 2, 8}, {5, 5, 6, 11}, {8, 9, 3, 1},  {0, 1, 5, 12},
    {2, 5, 1, 8},  {4, 4, 9, 11},  {6, 3, 8, 10}, {3, 9, 7, 6},  {5, 11, 1, 4}, {8, 5, 2, 12},
    {9, 10, 0, 2}, {7, 1, 6, 7},   {3, 6, 4, 9},  {0, 3, 8, 6},  {6, 4, 2, 7},  {1, 1, 9, 9},
    {7, 10, 5, 2}, {4, 0, 3, 8},   {6, 2, 0, 4},  {8, 11, 1, 0}, {9, 8, 3, 12}, {2, 6, 7, 7},
    {5, 1, 4, 10}, {1, 12, 6, 9},  {7, 3, 8, 0},  {5, 8, 9, 7},  {4, 6, 2, 10}, {3, 4, 0, 5},
    {8, 4, 5, 7},  {7, 11, 1, 9},  {6, 0, 9, 6},  {0, 6, 4, 8},  {2, 1, 3, 2},  {5, 9, 8, 12},
    {4, 11, 6, 1}, {9, 5, 7, 4},   {3, 3, 1, 2},  {0, 7, 2, 0},  {1, 3, 4, 1},  {6, 10, 3, 5},
    {8, 7, 9, 4},  {2, 11, 5, 6},  {0, 8, 7, 12}, {4, 2, 8, 1},  {5, 10, 3, 0}, {9, 3, 0, 9},
    {6, 5, 2, 4},  {7, 8, 1, 7},   {5, 0, 4, 5},  {2, 3, 0, 10}, {6, 12, 9, 2}, {3, 11, 1, 6},
    {8, 8, 7, 9},  {5, 4, 0, 11},  {1, 5, 2, 2},  {9, 1, 4, 12}, {8, 3, 6, 6},  {7, 0, 3, 7},
    {4, 7, 7, 5},  {0, 12, 1, 11}, {2, 9, 9, 0},  {6, 8, 5, 3},  {3, 10, 8, 2},
};

bool AllDigits(const QString& s) {
    for (QChar c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

unsigned DigitAt(const QString& s, int i) {
    return unsigned(s[i].unicode() - '0');
}

} // namespace

QString ImbRefusal(const QString& tracking, const QString& routing) {
    if (!AllDigits(tracking))
        return QStringLiteral("The tracking code may hold only digits");
    if (tracking.size() != 20)
        return QStringLiteral("The tracking code must have 20 digits, not %1").arg(tracking.size());
    if (tracking[1] > '4')
        return QStringLiteral("The second digit of the barcode identifier must be 0 to 4");
    if (!AllDigits(routing))
        return QStringLiteral("The routing code may hold only digits");
    if (routing.size() != 0 && routing.size() != 5 && routing.size() != 9 && routing.size() != 11)
        return QStringLiteral("The routing code must have 0, 5, 9 or 11 digits, not %1")
            .arg(routing.size());
    return {};
}

TImbText ImbBars(const QString& tracking, const QString& routing) {
    if (QString why = ImbRefusal(tracking, routing); !why.isEmpty())
        return {{}, why};

    // The routing code, offset so that each length has its own range.
    TBinary value{};
    for (int i = 0; i < routing.size(); ++i)
        MultiplyAdd(value, 10, DigitAt(routing, i));
    if (routing.size() >= 5)
        MultiplyAdd(value, 1, 1);
    if (routing.size() >= 9)
        MultiplyAdd(value, 1, 100000);
    if (routing.size() == 11)
        MultiplyAdd(value, 1, 1000000000);
    MultiplyAdd(value, 10, DigitAt(tracking, 0));
    MultiplyAdd(value, 5, DigitAt(tracking, 1));
    for (int i = 2; i < 20; ++i)
        MultiplyAdd(value, 10, DigitAt(tracking, i));

    const unsigned fcs = FrameCheck(value);

    // Ten codewords: J base 636, I to B base 1365, A what remains.
    unsigned codewords[10];
    codewords[9] = DivideBy(value, 636);
    for (int i = 8; i >= 1; --i)
        codewords[i] = DivideBy(value, 1365);
    codewords[0] = DivideBy(value, 1365); // the rest is below 659
    codewords[9] *= 2;                    // orientation: J is always even
    if (fcs & 0x400)
        codewords[0] += 659; // the eleventh check bit rides on A

    unsigned chars[10];
    for (int i = 0; i < 10; ++i) {
        const unsigned cw = codewords[i];
        chars[i] = cw < 1287 ? FiveOf13()[cw] : TwoOf13()[cw - 1287];
        if (fcs & (1u << i))
            chars[i] = ~chars[i] & 0x1FFF;
    }

    QString bars(kImbBarCount, QChar('T'));
    for (int b = 0; b < kImbBarCount; ++b) {
        const TBarMap& m = kBarMap[b];
        const bool desc = chars[m.DescChar] >> m.DescBit & 1;
        const bool asc = chars[m.AscChar] >> m.AscBit & 1;
        bars[b] = desc && asc ? 'F' : asc ? 'A' : desc ? 'D' : 'T';
    }
    return {bars, {}};
}

int ImbSerialDigits(const QString& mailerId) {
    return mailerId.size() == 6 ? 9 : mailerId.size() == 9 ? 6 : 0;
}

TImbText ImbTrackingCode(const QString& barcodeId, const QString& serviceType,
                         const QString& mailerId, const QString& serial) {
    auto refuse = [](const QString& why) { return TImbText{{}, why}; };
    if (barcodeId.size() != 2 || !AllDigits(barcodeId))
        return refuse(QStringLiteral("The barcode identifier must be two digits"));
    if (barcodeId[1] > '4')
        return refuse(QStringLiteral("The second digit of the barcode identifier must be 0 to 4"));
    if (serviceType.size() != 3 || !AllDigits(serviceType))
        return refuse(QStringLiteral("The service type must be three digits"));
    if (!AllDigits(mailerId) || (mailerId.size() != 6 && mailerId.size() != 9))
        return refuse(QStringLiteral("The mailer ID must be six or nine digits"));
    if (mailerId.size() == 6 && mailerId[0] == '9')
        return refuse(QStringLiteral("A six-digit mailer ID cannot begin with 9"));
    if (mailerId.size() == 9 && mailerId[0] != '9')
        return refuse(QStringLiteral("A nine-digit mailer ID must begin with 9"));
    const int width = ImbSerialDigits(mailerId);
    if (serial.isEmpty() || !AllDigits(serial))
        return refuse(QStringLiteral("The serial number must be digits"));
    if (serial.size() > width)
        return refuse(
            QStringLiteral("The serial number %1 has more than %2 digits").arg(serial).arg(width));
    return {barcodeId + serviceType + mailerId + serial.rightJustified(width, '0'), {}};
}

TImbText ImbRoutingCode(const QString& zip, const QString& address, TImbRouting routing) {
    const QString z = zip.trimmed();
    if (z.isEmpty())
        return {{}, QStringLiteral("No ZIP code")};
    QString digits;
    for (int i = 0; i < z.size(); ++i) {
        const QChar c = z[i];
        if (c >= '0' && c <= '9')
            digits += c;
        else if (!(c == '-' && i == 5))
            return {{}, QStringLiteral("The ZIP code \"%1\" holds \"%2\"").arg(z, QString(c))};
    }
    if (digits.size() != 5 && digits.size() != 9)
        return {{},
                QStringLiteral("The ZIP code \"%1\" has %2 digits, not 5 or 9")
                    .arg(z)
                    .arg(digits.size())};
    if (routing == imbRoute5Digit || digits.size() == 5)
        return {digits.left(5), {}};
    if (routing == imbRoute9Digit)
        return {digits, {}};
    return {digits + DeliveryPointDigits(address), {}};
}

QString ImbHumanReadable(const QString& tracking, const QString& routing) {
    return routing.isEmpty() ? tracking : tracking + QLatin1Char(' ') + routing;
}

} // namespace qp::design
