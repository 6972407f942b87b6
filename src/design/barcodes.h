#pragma once
// USPS POSTNET and FIM barcodes: the digits, the bars and their printing in
// inches, with bars widened to whole device pixels so none prints too thin.
#include "design/design_units.h"
#include "design/graphic_control.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <vector>

namespace qp::design {

enum TPostNetBarCodeType { pnbc5Digit, pnbc9Digit, pnbc11Digit };
enum TFIMBarCodeType { fimTypeA, fimTypeB, fimTypeC };

QString PostNetTypeName(TPostNetBarCodeType t);
QString FimTypeName(TFIMBarCodeType t);

// The two delivery-point digits taken from a street address.
QString DeliveryPointDigits(const QString& address);
// The digits to encode, check digit included; empty when no barcode prints.
QString PostNetCode(const QString& zip, const QString& address, TPostNetBarCodeType type);
// "F"/"H" per bar, frame bars included (empty code: empty).
QString PostNetBars(const QString& code);
// 17 characters, '1' for a bar slot, '0' for a gap.
QString FimSlots(TFIMBarCodeType type);

inline constexpr double kPostNetBarWidth = 0.015;
inline constexpr double kPostNetPitch = 0.046;
inline constexpr double kPostNetFullHeight = 0.125;
inline constexpr double kPostNetHalfTop = 0.07; // half bars span 0.07 .. 0.125
inline constexpr double kFimSlot = 0.03125;
inline constexpr double kFimHeight = 0.5625;
inline constexpr double kFimSize = 0.625;

// Rectangles (x1, y1, x2, y2 in inches) of the bars of `code` starting at (x, y).
std::vector<QRectF> PostNetBarRects(const QString& code, double x, double y, const TDeviceGrid& g);
std::vector<QRectF> FimBarRects(TFIMBarCodeType type, double x, double y, const TDeviceGrid& g);

class TGPostNetBarCode : public TGGraphicControl {
public:
    TGPostNetBarCode();
    QString ClassName() const override { return QStringLiteral("TGPostNetBarCode"); }
    QString ZipCodeField;
    QString AddressField;
    TPostNetBarCodeType BarCodeType = pnbc11Digit;
    // Filled by ShowDataValue.
    QString ZipText;
    QString AddressText;
    QString Code() const { return PostNetCode(ZipText, AddressText, BarCodeType); }

    static const QImage& DesignPicture(); // 270 by 16
    void Draw(QPainter& p, const TDrawContext& c) override;
    void ShowDataValue() override;
    const TPropertyTable& PropertyTable() const override;
};

class TGFIMBarCode : public TGGraphicControl {
public:
    TGFIMBarCode();
    QString ClassName() const override { return QStringLiteral("TGFIMBarCode"); }
    TFIMBarCodeType FIMType() const { return Type_; }
    void SetFIMType(TFIMBarCodeType t);

    void Draw(QPainter& p, const TDrawContext& c) override;
    const TPropertyTable& PropertyTable() const override;

private:
    TFIMBarCodeType Type_ = fimTypeA;
};

// Device grid of a running job.
TDeviceGrid GridOf(const print::TBaseReport& r);

// Where a bar code object's bars go: its top-left in inches on the device
// grid of the drawing (the screen at the panel's zoom, or the job's paper),
// and back into panel coordinates.
struct TBarPlacement {
    TBarPlacement(const TGGraphicControl& o, const TDrawContext& c);
    QRectF ToPanel(const QRectF& inches) const;
    double Inch = PixelsPerInch;
    QPointF Origin;
    TDeviceGrid Grid;
    double X = 0;
    double Y = 0;
};
// Fills the bars (inches) in `color`.
void DrawBars(QPainter& p, const TBarPlacement& at, const std::vector<QRectF>& inches,
              const QColor& color);

} // namespace qp::design
