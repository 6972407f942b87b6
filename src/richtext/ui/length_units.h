#pragma once
// The units the page and paragraph dialogs offer, converted from and to twips.

#include <QString>
#include <QStringList>

namespace qp::richtext {

enum TLengthUnit { luInch, luCm, luTwips };

inline double TwipsPerUnit(TLengthUnit u) {
    switch (u) {
    case luInch:
        return 1440.0;
    case luCm:
        return 1440.0 / 2.54;
    default:
        return 1.0;
    }
}
inline double FromTwips(double twips, TLengthUnit u) {
    return twips / TwipsPerUnit(u);
}
inline int ToTwips(double value, TLengthUnit u) {
    return qRound(value * TwipsPerUnit(u));
}
inline int UnitDecimals(TLengthUnit u) {
    return u == luTwips ? 0 : 3;
}

} // namespace qp::richtext
