// Intelligent Mail barcode: the published examples, bars against zint for
// random codes of every routing length, the tracking and routing fields, and
// refusals of what cannot be encoded.
#include "design/imb_encoder.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace qp::design;

namespace {

// zint's dump has three rows (ascenders, tracker, descenders), one module per
// bar followed by a gap module.
QString ZintBars(const QString& tracking, const QString& routing) {
    QProcess z;
    const QString data = routing.isEmpty() ? tracking : tracking + "-" + routing;
    z.start("zint", {"-b", "85", "-d", data, "--dump"});
    if (!z.waitForFinished(10000) || z.exitCode() != 0)
        return "error";
    const QStringList rows =
        QString::fromLatin1(z.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    if (rows.size() != 3)
        return "error";
    auto bits = [](const QString& row) {
        QString out;
        for (const QString& h : row.split(' ', Qt::SkipEmptyParts)) {
            const int v = h.toInt(nullptr, 16);
            for (int i = h.size() * 4 - 1; i >= 0; --i)
                out += (v >> i) & 1 ? '1' : '0';
        }
        return out;
    };
    const QString up = bits(rows[0]), down = bits(rows[2]);
    QString out;
    for (int i = 0; i < 2 * kImbBarCount - 1 && i < up.size(); i += 2) {
        const bool a = up[i] == '1', d = down[i] == '1';
        out += a && d ? 'F' : a ? 'A' : d ? 'D' : 'T';
    }
    return out;
}

bool HaveZint() {
    return !QStandardPaths::findExecutable("zint").isEmpty();
}

QString RandomDigits(QRandomGenerator& rng, int n) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar('0' + rng.bounded(10));
    return s;
}

} // namespace

TEST(ImbEncoder, PublishedExamples) {
    const QString tracking = "01234567094987654321";
    EXPECT_EQ(ImbBars(tracking, "").Value,
              "ATTFATTDTTADTAATTDTDTATTDAFDDFADFDFTFFFFFTATFAAAATDFFTDAADFTFDTDT");
    EXPECT_EQ(ImbBars(tracking, "01234").Value,
              "DTTAFADDTTFTDTFTFDTDDADADAFADFATDDFTAAAFDTTADFAAATDFDTDFADDDTDFFT");
    EXPECT_EQ(ImbBars(tracking, "012345678").Value,
              "ADFTTAFDTTTTFATTADTAAATFTFTATDAAAFDDADATATDTDTTDFDTDATADADTDFFTFA");
    EXPECT_EQ(ImbBars(tracking, "01234567891").Value,
              "AADTFFDFTDADTAADAATFDTDDAAADDTDTTDAFADADDDTFFFDDTTTADFAAADFTDAADA");
}

TEST(ImbEncoder, BarsMatchZintForEveryRoutingLength) {
    if (!HaveZint())
        GTEST_SKIP() << "zint not installed";
    QRandomGenerator rng(2026);
    for (int length : {0, 5, 9, 11}) {
        for (int i = 0; i < 100; ++i) {
            const QString tracking =
                RandomDigits(rng, 1) + QChar('0' + rng.bounded(5)) + RandomDigits(rng, 18);
            const QString routing = RandomDigits(rng, length);
            const TImbText bars = ImbBars(tracking, routing);
            ASSERT_TRUE(bars.Ok()) << bars.Refusal.toStdString();
            ASSERT_EQ(bars.Value, ZintBars(tracking, routing))
                << tracking.toStdString() << "-" << routing.toStdString();
        }
    }
    // The extremes of each range.
    for (const char* routing :
         {"", "00000", "99999", "000000000", "999999999", "00000000000", "99999999999"}) {
        for (const char* tracking : {"00000000000000000000", "94999999999999999999"})
            ASSERT_EQ(ImbBars(tracking, routing).Value, ZintBars(tracking, routing))
                << tracking << "-" << routing;
    }
}

TEST(ImbEncoder, RefusesWhatCannotBeEncoded) {
    const QString tracking = "01234567094987654321";
    auto refused = [](const QString& t, const QString& r) {
        const TImbText bars = ImbBars(t, r);
        return !bars.Ok() && bars.Value.isEmpty() && !ImbRefusal(t, r).isEmpty();
    };
    EXPECT_TRUE(refused("0123456709498765432", ""));   // 19 digits
    EXPECT_TRUE(refused("012345670949876543210", "")); // 21 digits
    EXPECT_TRUE(refused("05234567094987654321", ""));  // second digit above 4
    EXPECT_TRUE(refused("0123456709498765432A", ""));
    EXPECT_TRUE(refused(tracking, "1234"));
    EXPECT_TRUE(refused(tracking, "123456"));
    EXPECT_TRUE(refused(tracking, "1234567890"));
    EXPECT_TRUE(refused(tracking, "123456789012"));
    EXPECT_TRUE(refused(tracking, "1234A"));
    EXPECT_TRUE(refused(tracking, "12345-6789"));
    EXPECT_TRUE(refused("", ""));
    EXPECT_TRUE(ImbRefusal(tracking, "12345").isEmpty());
    EXPECT_EQ(ImbRefusal("05234567094987654321", ""),
              "The second digit of the barcode identifier must be 0 to 4");
    if (HaveZint()) { // zint refuses the same
        EXPECT_EQ(ZintBars("05234567094987654321", ""), "error");
    }
}

TEST(ImbEncoder, TrackingCodeFromItsFields) {
    EXPECT_EQ(ImbTrackingCode("01", "234", "567094", "987654321").Value, "01234567094987654321");
    EXPECT_EQ(ImbTrackingCode("00", "270", "123456", "42").Value, "00270123456000000042");
    EXPECT_EQ(ImbTrackingCode("00", "270", "912345678", "7").Value, "00270912345678000007");
    EXPECT_EQ(ImbSerialDigits("123456"), 9);
    EXPECT_EQ(ImbSerialDigits("912345678"), 6);
    EXPECT_EQ(ImbSerialDigits("1234567"), 0);
    for (auto [bi, stid, mid, serial] : std::initializer_list<std::array<const char*, 4>>{
             {"05", "270", "123456", "1"},          // second digit above 4
             {"0", "270", "123456", "1"},           // identifier too short
             {"00", "27", "123456", "1"},           // service type too short
             {"00", "2a0", "123456", "1"},          // letter
             {"00", "270", "12345", "1"},           // mailer ID length
             {"00", "270", "912345", "1"},          // six digits beginning with 9
             {"00", "270", "812345678", "1"},       // nine digits not beginning with 9
             {"00", "270", "123456", "1234567890"}, // serial too long for a six-digit ID
             {"00", "270", "912345678", "1234567"}, // and for a nine-digit one
             {"00", "270", "123456", ""},
             {"00", "270", "123456", "-1"},
         }) {
        const TImbText t = ImbTrackingCode(bi, stid, mid, serial);
        EXPECT_FALSE(t.Ok()) << bi << " " << stid << " " << mid << " " << serial;
        EXPECT_TRUE(t.Value.isEmpty());
    }
}

TEST(ImbEncoder, RoutingCodeFromZipAndStreet) {
    EXPECT_EQ(ImbRoutingCode("12345-6789", "123 MAIN ST", imbRoute11Digit).Value, "12345678923");
    EXPECT_EQ(ImbRoutingCode("12345-6789", "123 MAIN ST", imbRoute9Digit).Value, "123456789");
    EXPECT_EQ(ImbRoutingCode("12345-6789", "123 MAIN ST", imbRoute5Digit).Value, "12345");
    EXPECT_EQ(ImbRoutingCode("123456789", "", imbRoute11Digit).Value, "12345678999");
    EXPECT_EQ(ImbRoutingCode("12345", "123 MAIN ST", imbRoute11Digit).Value, "12345");
    EXPECT_EQ(ImbRoutingCode(" 12345 ", "", imbRoute9Digit).Value, "12345");
    EXPECT_EQ(ImbRoutingCode("12345-6789", "PSC 1234 BOX 56 APO", imbRoute11Digit).Value,
              "12345678999");
    for (const char* zip :
         {"", "1234", "12345-67", "1234A", "K1A 0B1", "12345-67890", "123-456789", "12345--6789"}) {
        const TImbText r = ImbRoutingCode(zip, "1 MAIN ST", imbRoute11Digit);
        EXPECT_FALSE(r.Ok()) << zip;
        EXPECT_TRUE(r.Value.isEmpty()) << zip;
    }
    EXPECT_EQ(ImbRoutingCode("1234A", "", imbRoute5Digit).Refusal,
              "The ZIP code \"1234A\" holds \"A\"");
}
