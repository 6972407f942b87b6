#pragma once
// Design lengths: a design pixel is a logical pixel at 96 per inch on every
// machine, so layouts print at their true size whatever the screen.
#include "store/shared_routines.h"

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
    static constexpr TDesignLength FromTwips(double tw) {
        return TDesignLength(tw * PixelsPerInch / kTwipsPerInch);
    }

    constexpr double Pixels() const { return Px_; }
    int RoundedPixels() const { return RoundHalfEven(Px_); }
    constexpr double Inches() const { return Px_ / PixelsPerInch; }
    // Truncated toward zero, as the stored report lengths are.
    int Thousandths() const { return qp::store::ThousandthsFromPixels(Trunc(Px_)); }
    double Twips() const { return Px_ * kTwipsPerInch / PixelsPerInch; }
    constexpr double Millimetres() const { return Px_ * kMillimetresPerInch / PixelsPerInch; }

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
