#pragma once
// Design lengths: a design pixel is a logical pixel at 96 per inch on every
// machine, so layouts print at their true size whatever the screen.
#include "store/shared_routines.h"

#include <QPointF>
#include <QRectF>
#include <cmath>
#include <cstdint>

namespace qp::design {

inline constexpr int PixelsPerInch = qp::store::kDesignPixelsPerInch;
inline constexpr int kTwipsPerInch = 1440;
inline constexpr double kMillimetresPerInch = 25.4;

// Round to nearest, halves to the even neighbour.
inline int RoundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v)); // default FE_TONEAREST is half to even
}
// Toward zero.
inline int Trunc(double v) {
    return static_cast<int>(v);
}

// A length kept in design pixels; every unit conversion happens here.
class TDesignLength {
public:
    constexpr TDesignLength() = default;
    static constexpr TDesignLength FromPixels(double px) { return TDesignLength(px); }
    static constexpr TDesignLength FromInches(double in) {
        return TDesignLength(in * PixelsPerInch);
    }
    static TDesignLength FromThousandths(int th) {
        return TDesignLength(qp::store::PixelsFromThousandths(th));
    }
    static constexpr TDesignLength FromMillimetres(double mm) {
        return TDesignLength(mm * PixelsPerInch / kMillimetresPerInch);
    }
    static constexpr TDesignLength FromPoints(double pt) {
        return TDesignLength(pt * PixelsPerInch / 72.0);
    }
    // Unrounded, as the report settings keep lengths.
    static constexpr TDesignLength FromThousandthsExact(double th) {
        return TDesignLength(th * PixelsPerInch / 1000.0);
    }
    static constexpr TDesignLength FromTwips(double tw) {
        return TDesignLength(tw * PixelsPerInch / kTwipsPerInch);
    }

    constexpr double Pixels() const { return Px_; }
    int RoundedPixels() const { return RoundHalfEven(Px_); }
    int TruncatedPixels() const { return Trunc(Px_); }
    constexpr double Points() const { return Px_ * 72.0 / PixelsPerInch; }
    constexpr double Inches() const { return Px_ / PixelsPerInch; }
    // Truncated toward zero, as the stored report lengths are.
    int Thousandths() const { return qp::store::ThousandthsFromPixels(Trunc(Px_)); }
    int RoundedThousandths() const { return RoundHalfEven(Px_ * 1000.0 / PixelsPerInch); }
    double Twips() const { return Px_ * kTwipsPerInch / PixelsPerInch; }
    constexpr double Millimetres() const { return Px_ * kMillimetresPerInch / PixelsPerInch; }

    // Pixels of a device of `dpi` dots per inch.
    constexpr double DevicePixels(double dpi) const { return Px_ * dpi / PixelsPerInch; }
    static constexpr TDesignLength FromDevicePixels(double px, double dpi) {
        return TDesignLength(px * PixelsPerInch / dpi);
    }

    // Points and rectangles: design pixels <-> inches.
    static constexpr QPointF PointFromInches(QPointF in) {
        return {in.x() * PixelsPerInch, in.y() * PixelsPerInch};
    }
    static constexpr QPointF PointInInches(QPointF px) {
        return {px.x() / PixelsPerInch, px.y() / PixelsPerInch};
    }
    static QRectF RectFromInches(const QRectF& in) {
        return QRectF(PointFromInches(in.topLeft()), PointFromInches(in.bottomRight()));
    }
    static QRectF RectInInches(const QRectF& px) {
        return QRectF(PointInInches(px.topLeft()), PointInInches(px.bottomRight()));
    }

    constexpr TDesignLength operator+(TDesignLength o) const { return TDesignLength(Px_ + o.Px_); }
    constexpr TDesignLength operator-(TDesignLength o) const { return TDesignLength(Px_ - o.Px_); }
    constexpr TDesignLength operator*(double f) const { return TDesignLength(Px_ * f); }
    constexpr bool operator==(const TDesignLength&) const = default;

private:
    constexpr explicit TDesignLength(double px) : Px_(px) {}
    double Px_ = 0;
};

// A panel for stock of `inches` is this many design pixels.
inline int PanelPixelsForInches(double inches) {
    return RoundHalfEven(PixelsPerInch * inches);
}

// A design-pixel coordinate on paper: origin offset in inches plus pixels / ppi.
inline double InchesAt(double originInches, double designPixels) {
    return originInches + designPixels / PixelsPerInch;
}

} // namespace qp::design
