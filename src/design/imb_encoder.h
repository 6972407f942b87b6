#pragma once
// USPS Intelligent Mail barcode: 65 four-state bars from a 20-digit tracking
// code and a 0, 5, 9 or 11-digit routing code. Plain computation, no widgets.
#include <QString>

namespace qp::design {

// A result that carries either its text or the reason it was refused.
struct TImbText {
    QString Value;
    QString Refusal; // empty when Value holds the result
    bool Ok() const { return Refusal.isEmpty(); }
};

// Which routing code a barcode carries when the ZIP code allows it.
enum TImbRouting { imbRoute5Digit, imbRoute9Digit, imbRoute11Digit };

inline constexpr int kImbBarCount = 65;

// Why the pair cannot be encoded; empty when it can.
QString ImbRefusal(const QString& tracking, const QString& routing);

// The 65 bars left to right: F full, A ascender, D descender, T tracker.
TImbText ImbBars(const QString& tracking, const QString& routing);

// The 20-digit tracking code from its fields: a two-digit barcode
// identifier (second digit 0-4), a three-digit service type, a six-digit
// mailer ID (0-8 first) with a nine-digit serial or a nine-digit mailer ID
// (9 first) with a six-digit serial. Shorter serials are padded with zeros.
TImbText ImbTrackingCode(const QString& barcodeId, const QString& serviceType,
                         const QString& mailerId, const QString& serial);
// Serial digits the mailer ID leaves (9 or 6; 0 for a mailer ID of another length).
int ImbSerialDigits(const QString& mailerId);

// The routing code of a record: its ZIP (5 digits), ZIP+4 (9 digits) or
// ZIP+4 and the delivery-point digits of the street (11 digits), each only
// as far as the ZIP code reaches. A ZIP holding anything but digits (and one
// hyphen after the fifth digit) or of another length is refused.
TImbText ImbRoutingCode(const QString& zip, const QString& address, TImbRouting routing);

// The tracking and routing digits as printed under the bars.
QString ImbHumanReadable(const QString& tracking, const QString& routing);

} // namespace qp::design
