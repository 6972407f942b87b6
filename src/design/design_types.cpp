#include "design/design_types.h"

#include "design/design_units.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace qp::design {

QColor ToQColor(TColor c) {
    if (c.Value & 0x80000000u) {
        // System colours: a fixed light theme, the same on every machine.
        static constexpr std::array<std::uint32_t, 25> sys{
            0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464,
            0x000000, 0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF,
            0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF,
            0x696969, 0xE3E3E3, 0x000000, 0xFFFFE1};
        const std::uint32_t n = c.Value & 0xFFFFu;
        const std::uint32_t rgb = n < sys.size() ? sys[n] : 0;
        return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    return QColor(c.Value & 0xFF, (c.Value >> 8) & 0xFF, (c.Value >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c) {
    return TColor{std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) |
                  (std::uint32_t(c.blue()) << 16)};
}

int TDesignFont::Height() const {
    return -TDesignLength::FromPoints(Size).RoundedPixels();
}

void TDesignFont::SetHeight(int height) {
    const int px = height < 0 ? -height : height;
    Size = std::max(1, RoundHalfEven(TDesignLength::FromPixels(px).Points()));
}

print::TFontSpec TDesignFont::Spec() const {
    print::TFontSpec s;
    s.Name = Name;
    s.Size = Size;
    s.Bold = Bold;
    s.Italic = Italic;
    s.Underline = Underline;
    s.StrikeOut = StrikeOut;
    s.Color = ToQColor(Color);
    return s;
}

namespace {
const std::array<const char*, 7> kPenStyles{"psSolid",      "psDash",  "psDot",        "psDashDot",
                                            "psDashDotDot", "psClear", "psInsideFrame"};
const std::array<const char*, 16> kPenModes{
    "pmBlack",       "pmWhite",      "pmNop",         "pmNot",        "pmCopy",  "pmNotCopy",
    "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge",
    "pmMask",        "pmNotMask",    "pmXor",         "pmNotXor"};
const std::array<const char*, 8> kBrushStyles{"bsSolid",    "bsClear",     "bsHorizontal",
                                              "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                              "bsCross",    "bsDiagCross"};
const std::array<const char*, 3> kPitches{"fpDefault", "fpVariable", "fpFixed"};

template <typename E, size_t N>
bool FromName(const std::array<const char*, N>& names, const QString& n, E& out) {
    for (size_t i = 0; i < N; ++i)
        if (n.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) {
            out = E(i);
            return true;
        }
    return false;
}
} // namespace

QString PenStyleName(print::TPenStyle s) {
    return QLatin1String(kPenStyles.at(s));
}
QString PenModeName(print::TPenMode m) {
    return QLatin1String(kPenModes.at(m));
}
QString BrushStyleName(print::TBrushStyle s) {
    return QLatin1String(kBrushStyles.at(s));
}
QString FontPitchName(TFontPitch p) {
    return QLatin1String(kPitches.at(p));
}
bool PenStyleFromName(const QString& n, print::TPenStyle& out) {
    return FromName(kPenStyles, n, out);
}
bool PenModeFromName(const QString& n, print::TPenMode& out) {
    return FromName(kPenModes, n, out);
}
bool BrushStyleFromName(const QString& n, print::TBrushStyle& out) {
    return FromName(kBrushStyles, n, out);
}
bool FontPitchFromName(const QString& n, TFontPitch& out) {
    return FromName(kPitches, n, out);
}

bool AsInt(const TPropertyValue& v, int& out) {
    if (auto p = std::get_if<std::int32_t>(&v)) {
        out = *p;
        return true;
    }
    return false;
}
bool AsBool(const TPropertyValue& v, bool& out) {
    if (auto p = std::get_if<bool>(&v)) {
        out = *p;
        return true;
    }
    return false;
}
bool AsString(const TPropertyValue& v, QString& out) {
    if (auto p = std::get_if<QString>(&v)) {
        out = *p;
        return true;
    }
    return false;
}
bool AsIdent(const TPropertyValue& v, QString& out) {
    if (auto p = std::get_if<TIdent>(&v)) {
        out = p->Name;
        return true;
    }
    return false;
}
bool AsColor(const TPropertyValue& v, TColor& out) {
    if (auto p = std::get_if<TColor>(&v)) {
        out = *p;
        return true;
    }
    if (auto p = std::get_if<std::int32_t>(&v)) {
        out = TColor{std::uint32_t(*p)};
        return true;
    }
    return false;
}

void AppendFont(TPropertyList& out, const TDesignFont& f) {
    out.push_back({"Font.Color", f.Color});
    out.push_back({"Font.Height", std::int32_t(f.Height())});
    out.push_back({"Font.Name", f.Name});
    if (f.Pitch != fpDefault)
        out.push_back({"Font.Pitch", TIdent{FontPitchName(f.Pitch)}});
    TSet style;
    if (f.Bold)
        style.Names << "fsBold";
    if (f.Italic)
        style.Names << "fsItalic";
    if (f.Underline)
        style.Names << "fsUnderline";
    if (f.StrikeOut)
        style.Names << "fsStrikeOut";
    out.push_back({"Font.Style", style});
}

bool SetFontProperty(TDesignFont& f, const QString& sub, const TPropertyValue& v) {
    if (sub == "Color")
        return AsColor(v, f.Color);
    if (sub == "Height") {
        int h = 0;
        if (!AsInt(v, h))
            return false;
        f.SetHeight(h);
        return true;
    }
    if (sub == "Size") {
        int s = 0;
        if (!AsInt(v, s))
            return false;
        f.Size = std::clamp(s, 1, 1638);
        return true;
    }
    if (sub == "Name")
        return AsString(v, f.Name);
    if (sub == "Pitch") {
        QString n;
        return AsIdent(v, n) && FontPitchFromName(n, f.Pitch);
    }
    if (sub == "Style") {
        auto s = std::get_if<TSet>(&v);
        if (!s)
            return false;
        f.Bold = s->Names.contains("fsBold");
        f.Italic = s->Names.contains("fsItalic");
        f.Underline = s->Names.contains("fsUnderline");
        f.StrikeOut = s->Names.contains("fsStrikeOut");
        return true;
    }
    return false;
}

void AppendPen(TPropertyList& out, const TDesignPen& p) {
    if (!(p.Color == clBlack))
        out.push_back({"Pen.Color", p.Color});
    if (p.Mode != print::pmCopy)
        out.push_back({"Pen.Mode", TIdent{PenModeName(p.Mode)}});
    if (p.Style != print::psSolid)
        out.push_back({"Pen.Style", TIdent{PenStyleName(p.Style)}});
    if (p.Width != 1)
        out.push_back({"Pen.Width", std::int32_t(p.Width)});
}

// Pen widths from a stream are bounded so that a damaged file cannot ask for
// an absurd pen; the dialogs offer 1 to 10.
inline constexpr int kMaxStoredPenWidth = 100;

bool SetPenProperty(TDesignPen& p, const QString& sub, const TPropertyValue& v) {
    if (sub == "Color")
        return AsColor(v, p.Color);
    if (sub == "Width") {
        int w = 0;
        if (!AsInt(v, w))
            return false;
        p.Width = std::clamp(w, 0, kMaxStoredPenWidth);
        return true;
    }
    QString n;
    if (sub == "Style")
        return AsIdent(v, n) && PenStyleFromName(n, p.Style);
    if (sub == "Mode")
        return AsIdent(v, n) && PenModeFromName(n, p.Mode);
    return false;
}

} // namespace qp::design
