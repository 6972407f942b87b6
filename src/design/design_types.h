#pragma once
// Value types of the design objects: colours in 0x00BBGGRR form, fonts, pens,
// brushes, and the named property values a layout stream is written from.
#include "print/print_types.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <variant>
#include <vector>

namespace qp::design {

// A colour as layouts store it: 0x00BBGGRR, or 0x80000000 + n for a system colour.
struct TColor {
    std::uint32_t Value = 0;
    constexpr bool operator==(const TColor&) const = default;
};
inline constexpr TColor clBlack{0};
inline constexpr TColor clGray{8421504};
inline constexpr TColor clWhite{16777215};
inline constexpr TColor clAqua{16776960};
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);

enum TFontPitch { fpDefault, fpVariable, fpFixed };

struct TDesignFont {
    QString Name = QStringLiteral("Arial");
    int Size = 10; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TColor Color = clBlack;
    TFontPitch Pitch = fpDefault;
    bool operator==(const TDesignFont&) const = default;

    // Character height in design pixels as stored: -Round(size * 96 / 72).
    int Height() const;
    void SetHeight(int height);    // either sign; size in points from pixels
    print::TFontSpec Spec() const; // for the print engine, rotation 0
};

struct TDesignPen {
    TColor Color = clBlack;
    int Width = 1; // design pixels
    print::TPenStyle Style = print::psSolid;
    print::TPenMode Mode = print::pmCopy;
    bool operator==(const TDesignPen&) const = default;
};

struct TDesignBrush {
    TColor Color = clWhite;
    print::TBrushStyle Style = print::bsSolid;
    bool operator==(const TDesignBrush&) const = default;
};

// ---- Stored property values, named and ordered as the stream writes them ----

struct TIdent { // an enumeration value by name
    QString Name;
    bool operator==(const TIdent&) const = default;
};
struct TSet {
    QStringList Names;
    bool operator==(const TSet&) const = default;
};
using TPropertyValue =
    std::variant<bool, std::int32_t, QString, TIdent, TColor, TSet, QStringList, QByteArray>;

struct TProperty {
    QString Name; // nested entries carry their owner: "Font.Color", "Items.Strings"
    TPropertyValue Value;
    bool operator==(const TProperty&) const = default;
};
using TPropertyList = std::vector<TProperty>;

// Names of the engine enumerations as layouts write them.
QString PenStyleName(print::TPenStyle s);
QString PenModeName(print::TPenMode m);
QString BrushStyleName(print::TBrushStyle s);
QString FontPitchName(TFontPitch p);
bool PenStyleFromName(const QString& n, print::TPenStyle& out);
bool PenModeFromName(const QString& n, print::TPenMode& out);
bool BrushStyleFromName(const QString& n, print::TBrushStyle& out);
bool FontPitchFromName(const QString& n, TFontPitch& out);

// Value readers for property setters; false when the value has another type.
bool AsInt(const TPropertyValue& v, int& out);
bool AsBool(const TPropertyValue& v, bool& out);
bool AsString(const TPropertyValue& v, QString& out);
bool AsIdent(const TPropertyValue& v, QString& out);
bool AsColor(const TPropertyValue& v, TColor& out); // a colour or an integer

// Font, pen and brush entries shared by several kinds.
void AppendFont(TPropertyList& out, const TDesignFont& f);
bool SetFontProperty(TDesignFont& f, const QString& sub, const TPropertyValue& v);
void AppendPen(TPropertyList& out, const TDesignPen& p);
bool SetPenProperty(TDesignPen& p, const QString& sub, const TPropertyValue& v);

} // namespace qp::design
