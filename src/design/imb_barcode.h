#pragma once
// The Intelligent Mail barcode object: tracking code from its stored fields
// and a serial counted up per piece (or read from a record field), routing
// code from the record's ZIP and street, printed as 65 four-state bars in
// inches with every length rounded up to whole device pixels.
#include "design/barcodes.h"
#include "design/imb_encoder.h"

#include <QRectF>
#include <vector>

namespace qp::design {

class TGBasePanel;

enum TImbSerialSource { issCounter, issField };

QString ImbRoutingName(TImbRouting r);
QString ImbSerialSourceName(TImbSerialSource s);

// Printed dimensions, inches: 22 bars per inch, all within the published ranges.
inline constexpr double kImbPitch = 1.0 / 22;
inline constexpr double kImbBarWidth = 0.020;
inline constexpr double kImbTracker = 0.048;
inline constexpr double kImbExtender = 0.0485; // ascender or descender beyond the tracker
inline constexpr double kImbTextGap = 0.03;    // bars to human-readable line
inline constexpr double kImbTextSize = 8;      // points

// Rectangles (inches) of the 65 bars given as letters, the top of the full
// bars at y: ascenders from the top, descenders down to the bottom.
std::vector<QRectF> ImbBarRects(const QString& bars, double x, double y, const TDeviceGrid& g);

class TGIMbBarCode : public TGGraphicControl {
public:
    TGIMbBarCode();
    QString ClassName() const override { return QStringLiteral("TGIMbBarCode"); }

    // ---- Stored ----
    QString ZipCodeField;
    QString AddressField;
    QString BarcodeId = QStringLiteral("00");
    QString ServiceType = QStringLiteral("270");
    QString MailerId;
    TImbSerialSource SerialSource = issCounter;
    qint32 SerialStart = 1; // the next unused number when counting
    QString SerialField;
    TImbRouting Routing = imbRoute11Digit;
    bool HumanReadable = false;

    // ---- Filled by ShowDataValue and the counter ----
    QString ZipText;
    QString AddressText;
    QString SerialText; // the record's serial field
    qint64 Serial() const { return Serial_; }
    bool SerialUsed() const { return Used_; }

    // The codes of the current piece, or the reason none prints.
    TImbText Tracking() const;
    TImbText RoutingCode() const { return ImbRoutingCode(ZipText, AddressText, Routing); }
    TImbText Bars() const;
    // The first counted number past this job, when a piece used the counter.
    bool NextStart(qint32& next) const;

    void Draw(QPainter& p, const TDrawContext& c) override;
    void ShowDataValue() override;
    void NextLabel() override;
    void ResetCounter() override;
    void Printed(print::TBaseReport& report) override;
    const TPropertyTable& PropertyTable() const override;

private:
    qint64 Serial_ = 1;
    bool Used_ = false;
};

// A new object from the tool: bound to the record's ZIP and street.
void NewImbBarCode(TGGraphicControl& o);

// After a job that printed: every counting IMb object starts its next job
// past the numbers this one used. True when a start moved (save the layout).
bool KeepImbSerials(TGBasePanel& panel);

} // namespace qp::design
