#include "design/address_label.h"

#include "design/base_panel.h"
#include "design/data_source.h"
#include "design/design_units.h"
#include "print/text_metrics.h"

#include <cmath>
#include <unordered_map>

namespace qp::design {

namespace {
const char* const kZipOptions[] = {"zoAfterState", "zoBeforeCity", "zoAfterCountry",
                                   "zoBeforeCountry"};

QString TrimRight(const QString& s) {
    int n = int(s.size());
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return s.left(n);
}

QString TrimLeft(const QString& s) {
    int i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    return s.mid(i);
}

struct TFlag {
    const char* Name;
    bool TAddressLayout::*Member;
};
const TFlag kFlagsBeforeZip[] = {
    {"UseName", &TAddressLayout::UseName},       {"UseTitle", &TAddressLayout::UseTitle},
    {"UseCompany", &TAddressLayout::UseCompany}, {"UseStreet", &TAddressLayout::UseStreet},
    {"UseStreet2", &TAddressLayout::UseStreet2}, {"UseCityState", &TAddressLayout::UseCityState},
    {"UseZip", &TAddressLayout::UseZip},         {"UsePhone", &TAddressLayout::UsePhone},
    {"UseCountry", &TAddressLayout::UseCountry}};
} // namespace

QString ZipOptionsName(TZipFormatOptions z) {
    return QLatin1String(kZipOptions[z]);
}

QStringList ComposeAddressLines(const TAddressLayout& L, const TDataSource& ds,
                                QList<TAddressLine>* kinds) {
    auto v = [&](const char* f) { return ds.FieldText(QLatin1String(f)).value_or(QString()); };
    QStringList out;
    TAddressLine kind = alName;
    auto add = [&](const QString& s) {
        if (!s.isEmpty()) {
            out << s;
            if (kinds)
                kinds->append(kind);
        }
    };
    if (L.UseName) {
        QString m = v("MIDDLE");
        if (!m.trimmed().isEmpty())
            m += '.';
        add(TrimLeft(v("PREFIX") + " ") + TrimLeft(v("FNAME") + " ") + TrimLeft(m + " ") +
            TrimLeft(v("LNAME") + " "));
    }
    kind = alTitle;
    if (L.UseTitle)
        add(v("TITLE"));
    kind = alCompany;
    if (L.UseCompany)
        add(v("ORG"));
    kind = alStreet;
    if (L.UseStreet)
        add(v("STREET"));
    kind = alStreet2;
    if (L.UseStreet2)
        add(v("STREET2"));
    const QString c = v("CITY"), s = v("STATE"), z = v("ZIP"), k = v("COUNTRY");
    const bool zipNearCity = L.ZipOptions == zoAfterState || L.ZipOptions == zoBeforeCity;
    kind = alCityState;
    if (L.UseCityState && L.UseZip && L.ZipOptions == zoAfterState) {
        const QString line = TrimLeft(c + " ") + " " + TrimLeft(s + " ") + TrimLeft(z);
        if (!line.trimmed().isEmpty())
            add(line);
    } else if (L.UseCityState && L.UseZip && L.ZipOptions == zoBeforeCity) {
        add(TrimLeft(z + " ") + TrimLeft(c + " ") + TrimLeft(s + " "));
    } else if (L.UseCityState) {
        add(TrimLeft(c + " ") + TrimLeft(s));
    } else if (L.UseZip && zipNearCity) {
        kind = alZip;
        add(TrimLeft(z));
    }
    kind = L.UseZip && !zipNearCity ? alZip : alCountry;
    if (L.UseCountry && L.UseZip && L.ZipOptions == zoAfterCountry)
        add(TrimLeft(k + " ") + TrimLeft(z));
    else if (L.UseCountry && L.UseZip && L.ZipOptions == zoBeforeCountry)
        add(TrimLeft(z + " ") + TrimLeft(k));
    else if (L.UseCountry)
        add(TrimLeft(k));
    else if (L.UseZip && !zipNearCity)
        add(TrimLeft(z));
    kind = alPhone;
    if (L.UsePhone)
        add(v("PHONE"));
    if (L.UpperCase)
        for (QString& line : out)
            line = line.toUpper();
    return out;
}

TGDMultiLineAddressLabel::TGDMultiLineAddressLabel() {
    StoreBounds(0, 0, 190, 33);
}

void TGDMultiLineAddressLabel::ShowDataValue() {
    TGBasePanel* panel = Panel();
    const bool printing = Printing();
    QStringList lines;
    FitPoints_ = 0;
    Clipped_ = false;
    if ((panel && panel->DisplayDataValues()) || printing) {
        const TDataSource* ds = panel ? panel->DataSet() : nullptr;
        QList<TAddressLine> kinds;
        if (ds && ds->Active())
            lines = ComposeAddressLines(Layout, *ds, &kinds);
        if (!lines.isEmpty())
            FitLines(lines, kinds);
    } else {
        lines << QStringLiteral("[Address Label]");
    }
    Items_ = lines;
    if (WordWrap())
        Wrapped_ = WrapLines(Items_, Font_, ZoomedPoints(), Width());
    if (!printing)
        Repaint();
}

void TGDMultiLineAddressLabel::ShowDesignText() {
    Items_.clear();
    Wrapped_.clear();
    FitPoints_ = 0;
    Clipped_ = false;
}

bool TGDMultiLineAddressLabel::Fits(const QStringList& lines, double points) const {
    // Measured as the print engine measures, in inches of the unzoomed block.
    const double zoom = Zoom() > 0 ? double(Zoom()) : 1.0;
    const double width = TDesignLength::FromPixels(Width() / zoom).Inches();
    const double height = TDesignLength::FromPixels(Height() / zoom).Inches();
    print::TFontSpec spec = Font_.Spec();
    spec.Size = points;
    // Kept between calls: the metrics are only rebuilt when the font changes,
    // and so are the advances of single characters.
    static print::TTextMetrics metrics;
    static print::TFontSpec measured;
    static std::unordered_map<char16_t, double> advances;
    metrics.SetFont(spec);
    if (!(spec == measured)) {
        measured = spec;
        advances.clear();
    }
    if (WordWrap()) {
        const auto count = WrapLines(lines, Font_, points,
                                     int(std::floor(TDesignLength::FromInches(width).Pixels())))
                               .size();
        return double(count) * metrics.LineHeight() <= height * 1.005 + 1e-6;
    }
    // A hair of slack for the rounding to device rows.
    if (double(lines.size()) * metrics.LineHeight() > height * 1.005 + 1e-6)
        return false;
    for (const QString& line : lines) {
        const QString text = TrimRight(line);
        // The sum of the characters' own advances is close to the shaped
        // width; only a line near the edge is shaped and measured.
        double estimate = 0;
        for (QChar c : text) {
            auto [at, added] = advances.try_emplace(c.unicode(), 0.0);
            if (added)
                at->second = metrics.Width(QString(c));
            estimate += at->second;
        }
        if (estimate < width * 0.97)
            continue;
        if (metrics.Width(text) > width + 1e-6)
            return false;
    }
    return true;
}

void TGDMultiLineAddressLabel::FitLines(QStringList& lines, QList<TAddressLine>& kinds) {
    const double size = Font_.Size;
    if (Fits(lines, size))
        return;
    if (!ShrinkToFit) {
        Clipped_ = true;
        return;
    }
    auto shrink = [&](const QStringList& ls) -> double {
        // Half-point steps from the font's size down to the smallest.
        for (double p = std::floor(size * 2) / 2; p >= kShrinkMinimumPoints; p -= 0.5)
            if (p < size && Fits(ls, p))
                return p;
        return 0;
    };
    if (double p = shrink(lines); p > 0) {
        FitPoints_ = p;
        return;
    }
    if (int t = int(kinds.indexOf(alTitle)); t >= 0) {
        lines.removeAt(t);
        kinds.removeAt(t);
        if (double p = shrink(lines); p > 0) {
            FitPoints_ = p;
            return;
        }
    }
    // Still too long at the smallest size: lines are left out, the phone
    // first, then those between the name and the delivery line, so that the
    // delivery line and the city/state/ZIP line always print.
    FitPoints_ = std::min(size, kShrinkMinimumPoints);
    Clipped_ = true;
    auto dropFirst = [&](auto pick) {
        for (int i = 0; i < kinds.size(); ++i)
            if (pick(i)) {
                lines.removeAt(i);
                kinds.removeAt(i);
                return true;
            }
        return false;
    };
    const auto city = [&] {
        int i = int(kinds.indexOf(alCityState));
        return i >= 0 ? i : int(kinds.indexOf(alZip));
    };
    while (!Fits(lines, FitPoints_)) {
        const int c = city();
        const bool dropped = dropFirst([&](int i) { return kinds[i] == alPhone; }) ||
                             dropFirst([&](int i) {
                                 return kinds[i] != alName && (c < 0 || i < c - 1) &&
                                        kinds[i] != alCityState && kinds[i] != alZip;
                             }) ||
                             dropFirst([&](int i) { return kinds[i] == alName && c > 1; }) ||
                             dropFirst([&](int i) { return c >= 0 && i < c; });
        if (!dropped)
            break;
    }
}

const TPropertyTable& TGDMultiLineAddressLabel::PropertyTable() const {
    using K = TGDMultiLineAddressLabel;
    static const TPropertyTable t = [this] {
        std::vector<TPropertyRow> rows;
        for (const TFlag& f : kFlagsBeforeZip) {
            bool TAddressLayout::*m = f.Member;
            rows.push_back(Row<K>(
                f.Name, true, srAlways, peAll, [m](const K& o) { return o.Layout.*m; },
                [m](K& o, const TPropertyValue& v) { return AsBool(v, o.Layout.*m); }));
        }
        rows.push_back(Row<K>(
            "ZipOptions", TIdent{ZipOptionsName(zoAfterState)}, srAlways, peAll,
            [](const K& o) { return TIdent{ZipOptionsName(o.Layout.ZipOptions)}; },
            [](K& o, const TPropertyValue& v) {
                const int i = IdentIndex(v, kZipOptions, 4);
                return i >= 0 && (o.Layout.ZipOptions = TZipFormatOptions(i), true);
            }));
        rows.push_back(Row<K>(
            "UpperCase", false, srAlways, peAll, [](const K& o) { return o.Layout.UpperCase; },
            [](K& o, const TPropertyValue& v) { return AsBool(v, o.Layout.UpperCase); }));
        // Written only when set, so layouts without it keep their bytes and
        // every reader takes a missing property as off.
        rows.push_back(Row<K>(
            "ShrinkToFit", false, srUnlessDefault, peAll, [](const K& o) { return o.ShrinkToFit; },
            [](K& o, const TPropertyValue& v) { return AsBool(v, o.ShrinkToFit); }));
        return TPropertyTable::Extend(this->TGMultiLineBaseLabel::PropertyTable(), std::move(rows));
    }();
    return t;
}

void TGDMultiLineAddressLabel::SetAddressLayout(const TAddressLayout& layout, bool shrinkToFit) {
    if (layout == Layout && shrinkToFit == ShrinkToFit)
        return;
    Layout = layout;
    ShrinkToFit = shrinkToFit;
    PropertyChanged(peAll);
}

} // namespace qp::design
