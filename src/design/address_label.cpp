#include "design/address_label.h"

#include "design/base_panel.h"
#include "design/data_source.h"

namespace qp::design {

namespace {
const char* const kZipOptions[] = {"zoAfterState", "zoBeforeCity", "zoAfterCountry",
                                   "zoBeforeCountry"};

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

QStringList ComposeAddressLines(const TAddressLayout& L, const TDataSource& ds) {
    auto v = [&](const char* f) { return ds.FieldText(QLatin1String(f)).value_or(QString()); };
    QStringList out;
    auto add = [&](const QString& s) {
        if (!s.isEmpty())
            out << s;
    };
    if (L.UseName) {
        QString m = v("MIDDLE");
        if (!m.trimmed().isEmpty())
            m += '.';
        add(TrimLeft(v("PREFIX") + " ") + TrimLeft(v("FNAME") + " ") + TrimLeft(m + " ") +
            TrimLeft(v("LNAME") + " "));
    }
    if (L.UseTitle)
        add(v("TITLE"));
    if (L.UseCompany)
        add(v("ORG"));
    if (L.UseStreet)
        add(v("STREET"));
    if (L.UseStreet2)
        add(v("STREET2"));
    const QString c = v("CITY"), s = v("STATE"), z = v("ZIP"), k = v("COUNTRY");
    const bool zipNearCity = L.ZipOptions == zoAfterState || L.ZipOptions == zoBeforeCity;
    if (L.UseCityState && L.UseZip && L.ZipOptions == zoAfterState) {
        const QString line = TrimLeft(c + " ") + " " + TrimLeft(s + " ") + TrimLeft(z);
        if (!line.trimmed().isEmpty())
            out << line;
    } else if (L.UseCityState && L.UseZip && L.ZipOptions == zoBeforeCity) {
        add(TrimLeft(z + " ") + TrimLeft(c + " ") + TrimLeft(s + " "));
    } else if (L.UseCityState) {
        add(TrimLeft(c + " ") + TrimLeft(s));
    } else if (L.UseZip && zipNearCity) {
        add(TrimLeft(z));
    }
    if (L.UseCountry && L.UseZip && L.ZipOptions == zoAfterCountry)
        add(TrimLeft(k + " ") + TrimLeft(z));
    else if (L.UseCountry && L.UseZip && L.ZipOptions == zoBeforeCountry)
        add(TrimLeft(z + " ") + TrimLeft(k));
    else if (L.UseCountry)
        add(TrimLeft(k));
    else if (L.UseZip && !zipNearCity)
        add(TrimLeft(z));
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
    if ((panel && panel->DisplayDataValues()) || printing) {
        const TDataSource* ds = panel ? panel->DataSet() : nullptr;
        if (ds && ds->Active())
            lines = ComposeAddressLines(Layout, *ds);
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
}

void TGDMultiLineAddressLabel::AppendOwnProperties(TPropertyList& out) const {
    for (const TFlag& f : kFlagsBeforeZip)
        out.push_back({QLatin1String(f.Name), Layout.*f.Member});
    out.push_back({"ZipOptions", TIdent{ZipOptionsName(Layout.ZipOptions)}});
    out.push_back({"UpperCase", Layout.UpperCase});
}

bool TGDMultiLineAddressLabel::SetProperty(const QString& name, const TPropertyValue& v) {
    for (const TFlag& f : kFlagsBeforeZip)
        if (name == QLatin1String(f.Name))
            return AsBool(v, Layout.*f.Member);
    if (name == "UpperCase")
        return AsBool(v, Layout.UpperCase);
    if (name == "ZipOptions") {
        QString s;
        if (!AsIdent(v, s))
            return false;
        for (int i = 0; i < 4; ++i)
            if (s.compare(QLatin1String(kZipOptions[i]), Qt::CaseInsensitive) == 0) {
                Layout.ZipOptions = TZipFormatOptions(i);
                return true;
            }
        return false;
    }
    return TGMultiLineBaseLabel::SetProperty(name, v);
}

} // namespace qp::design
