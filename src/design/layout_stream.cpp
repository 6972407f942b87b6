#include "design/layout_stream.h"

#include "design/base_panel.h"
#include "design/graphic_control.h"
#include "design/object_registry.h"
#include "store/atomic_file.h"
#include "store/shared_routines.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>

namespace qp::design {

namespace {
const char* const kColorNames[] = {"clBlack",  "clMaroon", "clGreen", "clOlive",   "clNavy",
                                   "clPurple", "clTeal",   "clGray",  "clSilver",  "clRed",
                                   "clLime",   "clYellow", "clBlue",  "clFuchsia", "clAqua",
                                   "clWhite",  "clNone"};
const std::uint32_t kColorValues[] = {0,        128,      32768,    32896,    8388608,  8388736,
                                      8421376,  8421504,  12632256, 255,      65280,    65535,
                                      16711680, 16711935, 16776960, 16777215, 536870911};
const char* const kSystemColors[] = {
    "clScrollBar",    "clBackground",  "clActiveCaption", "clInactiveCaption",
    "clMenu",         "clWindow",      "clWindowFrame",   "clMenuText",
    "clWindowText",   "clCaptionText", "clActiveBorder",  "clInactiveBorder",
    "clAppWorkSpace", "clHighlight",   "clHighlightText", "clBtnFace",
    "clBtnShadow",    "clGrayText",    "clBtnText",       "clInactiveCaptionText",
    "clBtnHighlight", "cl3DDkShadow",  "cl3DLight",       "clInfoText",
    "clInfoBk"};

enum : quint8 {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaExtended = 0x05,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaSet = 0x0B,
    vaLString = 0x0C,
    vaNil = 0x0D
};

// Strings are 8-bit; Latin-1 keeps every byte as it was.
QByteArray Bytes(const QString& s) {
    return s.toLatin1();
}

void AppendLE(QByteArray& d, qint64 v, int n) {
    for (int i = 0; i < n; ++i)
        d.append(char((v >> (8 * i)) & 0xFF));
}
} // namespace

QStringList PanelKindClasses(TPanelKind kind) {
    switch (kind) {
    case pkLabel:
        return LabelPanelClasses();
    case pkEnvelope:
        return {"TGLineShape", "TGPostNetBarCode", "TGFIMBarCode",
                "TGImage",     "TGLabelShapes",    "TGPLabel",
                "TGPDLabel",   "TGMultiLineLabel", "TGDMultiLineAddressLabel",
                "TGIMbBarCode"};
    case pkReport:
        return {"TGLineShape",       "TGImage",           "TGPLabel",
                "TGPDLabel",         "TGDMultiLineLabel", "TGDateTimeLabel",
                "TGPageNumberLabel", "Trpshapes",         "TGSymbolLabel"};
    }
    return {};
}

bool PanelKindFromName(const QString& name, TPanelKind& out) {
    const QString n = name.toLower();
    if (n == "label")
        out = pkLabel;
    else if (n == "envelope")
        out = pkEnvelope;
    else if (n == "report")
        out = pkReport;
    else
        return false;
    return true;
}

bool ColorName(TColor c, QString& name) {
    for (size_t i = 0; i < std::size(kColorValues); ++i)
        if (kColorValues[i] == c.Value) {
            name = QLatin1String(kColorNames[i]);
            return true;
        }
    if ((c.Value & 0xFFFFFF00u) == 0x80000000u && (c.Value & 0xFF) < std::size(kSystemColors)) {
        name = QLatin1String(kSystemColors[c.Value & 0xFF]);
        return true;
    }
    return false;
}

bool ColorFromName(const QString& name, TColor& out) {
    for (size_t i = 0; i < std::size(kColorNames); ++i)
        if (name.compare(QLatin1String(kColorNames[i]), Qt::CaseInsensitive) == 0) {
            out = TColor{kColorValues[i]};
            return true;
        }
    for (size_t i = 0; i < std::size(kSystemColors); ++i)
        if (name.compare(QLatin1String(kSystemColors[i]), Qt::CaseInsensitive) == 0) {
            out = TColor{0x80000000u + std::uint32_t(i)};
            return true;
        }
    return false;
}

bool IsLayoutFileName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^BIN[0-9]{5}\\.[LER]$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

store::Result<std::string> LayoutFilePath(const std::string& sysdata, std::string_view stored,
                                          char extension, std::string_view kind) {
    const std::string name = store::TrimRight(stored);
    const QString qname = QString::fromStdString(name);
    const QString suffix = QStringLiteral(".") + QLatin1Char(extension);
    if (!IsLayoutFileName(qname) || !qname.endsWith(suffix, Qt::CaseInsensitive))
        return store::fail("The " + std::string(kind) + " layout file name \"" + name +
                           "\" is not a name of the form BIN00001." + extension +
                           ", so it is not used");
    return store::resolveCaseInsensitive(sysdata, name).string();
}

// ================================ writer =================================

void TStreamWriter::WriteShortString(const QString& s) {
    const QByteArray b = Bytes(s).left(255);
    WriteByte(quint8(b.size()));
    Data_.append(b);
}

void TStreamWriter::WriteInteger(qint32 v) {
    if (v >= -128 && v <= 127) {
        WriteByte(vaInt8);
        AppendLE(Data_, v, 1);
    } else if (v >= -32768 && v <= 32767) {
        WriteByte(vaInt16);
        AppendLE(Data_, v, 2);
    } else {
        WriteByte(vaInt32);
        AppendLE(Data_, v, 4);
    }
}

void TStreamWriter::WriteString(const QString& s) {
    const QByteArray b = Bytes(s);
    if (b.size() <= 255) {
        WriteByte(vaString);
        WriteByte(quint8(b.size()));
    } else {
        WriteByte(vaLString);
        AppendLE(Data_, b.size(), 4);
    }
    Data_.append(b);
}

void TStreamWriter::WriteIdent(const QString& name) {
    WriteByte(vaIdent);
    WriteShortString(name);
}

void TStreamWriter::WriteBoolean(bool b) {
    WriteByte(b ? vaTrue : vaFalse);
}

void TStreamWriter::WriteValue(const TPropertyValue& v) {
    if (auto b = std::get_if<bool>(&v))
        WriteBoolean(*b);
    else if (auto i = std::get_if<std::int32_t>(&v))
        WriteInteger(*i);
    else if (auto s = std::get_if<QString>(&v))
        WriteString(*s);
    else if (auto id = std::get_if<TIdent>(&v))
        WriteIdent(id->Name);
    else if (auto c = std::get_if<TColor>(&v)) {
        QString name;
        if (ColorName(*c, name))
            WriteIdent(name);
        else
            WriteInteger(qint32(c->Value));
    } else if (auto set = std::get_if<TSet>(&v)) {
        WriteByte(vaSet);
        for (const QString& n : set->Names)
            WriteShortString(n);
        WriteByte(0);
    } else if (auto l = std::get_if<QStringList>(&v)) {
        WriteListBegin();
        for (const QString& s : *l)
            WriteString(s);
        WriteListEnd();
    } else if (auto bin = std::get_if<QByteArray>(&v)) {
        WriteByte(vaBinary);
        AppendLE(Data_, bin->size(), 4);
        Data_.append(*bin);
    }
}

void TStreamWriter::WriteObject(const TGGraphicControl& o) {
    Data_.append("TPF0", 4);
    WriteShortString(o.ClassName());
    WriteShortString(o.Name());
    for (const TProperty& p : o.StoredProperties()) {
        WriteShortString(p.Name);
        WriteValue(p.Value);
    }
    WriteByte(0);
    WriteByte(0);
}

void TStreamWriter::WriteObjectList(const std::vector<const TGGraphicControl*>& objects) {
    WriteListBegin();
    for (const TGGraphicControl* o : objects)
        WriteObject(*o);
    WriteListEnd();
}

// ================================ reader =================================

QString TStreamReader::ErrorText() const {
    return QStringLiteral("%1 at byte %2").arg(Error_).arg(ErrorPos_);
}

void TStreamReader::Fail(const QString& why, qint64 at) {
    if (!Error_.isEmpty())
        return;
    Error_ = why;
    ErrorPos_ = at < 0 ? Pos_ : at;
}

bool TStreamReader::Need(qint64 n) {
    if (Failed())
        return false;
    if (n < 0 || n > Data_.size() - Pos_) {
        Fail(QStringLiteral("Unexpected end of the layout data"));
        return false;
    }
    return true;
}

bool TStreamReader::ReadByte(quint8& b) {
    if (!Need(1))
        return false;
    b = quint8(Data_[Pos_++]);
    return true;
}

bool TStreamReader::PeekByte(quint8& b) const {
    if (Failed() || Pos_ >= Data_.size())
        return false;
    b = quint8(Data_[Pos_]);
    return true;
}

bool TStreamReader::ReadShortString(QString& s) {
    quint8 n = 0;
    if (!ReadByte(n) || !Need(n))
        return false;
    s = QString::fromLatin1(Data_.constData() + Pos_, n);
    Pos_ += n;
    return true;
}

bool TStreamReader::ReadValue(TPropertyValue& v, bool& skip) {
    skip = false;
    const qint64 at = Pos_;
    quint8 tag = 0;
    if (!ReadByte(tag))
        return false;
    auto le = [&](int n, qint64& out) {
        if (!Need(n))
            return false;
        quint64 u = 0;
        for (int i = 0; i < n; ++i)
            u |= quint64(quint8(Data_[Pos_ + i])) << (8 * i);
        Pos_ += n;
        // Sign-extend.
        const int bits = 8 * n;
        out = bits == 64 ? qint64(u) : qint64(u << (64 - bits)) >> (64 - bits);
        return true;
    };
    qint64 n = 0;
    switch (tag) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
        if (!le(tag == vaInt8 ? 1 : tag == vaInt16 ? 2 : 4, n))
            return false;
        v = std::int32_t(n);
        return true;
    case vaExtended: {
        if (!Need(10))
            return false;
        quint64 mant = 0;
        for (int i = 0; i < 8; ++i)
            mant |= quint64(quint8(Data_[Pos_ + i])) << (8 * i);
        const int se = quint8(Data_[Pos_ + 8]) | (quint8(Data_[Pos_ + 9]) << 8);
        Pos_ += 10;
        double d = std::ldexp(double(mant), (se & 0x7FFF) - 16383 - 63);
        if (se & 0x8000)
            d = -d;
        // No design property is a float; keep the nearest integer.
        v = std::int32_t(std::clamp(std::round(d), -2147483648.0, 2147483647.0));
        return true;
    }
    case vaString:
    case vaLString: {
        if (tag == vaString) {
            quint8 len = 0;
            if (!ReadByte(len))
                return false;
            n = len;
        } else if (!le(4, n)) {
            return false;
        }
        if (n < 0 || n > Data_.size() - Pos_) {
            Fail(QStringLiteral("String longer than the remaining data"), at);
            return false;
        }
        v = QString::fromLatin1(Data_.constData() + Pos_, int(n));
        Pos_ += n;
        return true;
    }
    case vaIdent: {
        QString name;
        if (!ReadShortString(name))
            return false;
        TColor c;
        if (ColorFromName(name, c))
            v = c;
        else
            v = TIdent{name};
        return true;
    }
    case vaFalse:
    case vaTrue:
        v = tag == vaTrue;
        return true;
    case vaBinary: {
        if (!le(4, n))
            return false;
        if (n < 0 || n > Data_.size() - Pos_) {
            Fail(QStringLiteral("Binary value longer than the remaining data"), at);
            return false;
        }
        v = Data_.mid(Pos_, n);
        Pos_ += n;
        return true;
    }
    case vaSet: {
        TSet set;
        for (;;) {
            quint8 len = 0;
            if (!ReadByte(len))
                return false;
            if (len == 0)
                break;
            if (!Need(len))
                return false;
            set.Names << QString::fromLatin1(Data_.constData() + Pos_, len);
            Pos_ += len;
        }
        v = set;
        return true;
    }
    case vaList: {
        QStringList lines;
        for (;;) {
            quint8 b = 0;
            if (!PeekByte(b)) {
                Need(1);
                return false;
            }
            if (b == vaNull) {
                ++Pos_;
                break;
            }
            TPropertyValue item;
            bool sk = false;
            const qint64 itemAt = Pos_;
            if (!ReadValue(item, sk))
                return false;
            auto s = std::get_if<QString>(&item);
            if (!s) {
                Fail(QStringLiteral("A list may hold only strings"), itemAt);
                return false;
            }
            lines << *s;
        }
        v = lines;
        return true;
    }
    case vaNil:
        skip = true;
        return true;
    default:
        Fail(QStringLiteral("Unknown value tag 0x%1").arg(tag, 2, 16, QLatin1Char('0')), at);
        return false;
    }
}

template <class T> bool TStreamReader::ReadAs(T& out, const char* expected) {
    const qint64 at = Pos_;
    TPropertyValue v;
    bool skip = false;
    if (!ReadValue(v, skip))
        return false;
    if (auto value = std::get_if<T>(&v)) {
        out = *value;
        return true;
    }
    Fail(QString::fromLatin1(expected), at);
    return false;
}

bool TStreamReader::ReadInteger(qint32& out) {
    return ReadAs<std::int32_t>(out, "An integer was expected");
}

bool TStreamReader::ReadBoolean(bool& out) {
    return ReadAs<bool>(out, "A Boolean was expected");
}

bool TStreamReader::ReadString(QString& out) {
    return ReadAs<QString>(out, "A string was expected");
}

bool TStreamReader::ExpectListBegin() {
    const qint64 at = Pos_;
    quint8 b = 0;
    if (!ReadByte(b))
        return false;
    if (b != vaList) {
        Fail(QStringLiteral("A list was expected"), at);
        return false;
    }
    return true;
}

bool TStreamReader::AtListEnd() {
    quint8 b = 0;
    if (!PeekByte(b)) {
        Need(1);
        return false;
    }
    if (b == vaNull) {
        ++Pos_;
        return true;
    }
    return false;
}

bool TStreamReader::ReadObject(TStreamObject& out) {
    out = TStreamObject{};
    out.Offset = Pos_;
    if (!Need(4))
        return false;
    if (Data_.mid(Pos_, 4) != "TPF0") {
        Fail(QStringLiteral("An object does not begin with TPF0"));
        return false;
    }
    Pos_ += 4;
    quint8 b = 0;
    if (PeekByte(b) && b >= 0xF0) {
        // Inherited or ordered children: the flag byte, and the index that follows it.
        ++Pos_;
        if (b & 0x02) {
            TPropertyValue idx;
            bool skip = false;
            if (!ReadValue(idx, skip))
                return false;
        }
    }
    if (!ReadShortString(out.ClassName) || !ReadShortString(out.Name))
        return false;
    for (;;) {
        if (!PeekByte(b)) {
            Need(1);
            return false;
        }
        if (b == 0) {
            ++Pos_;
            break;
        }
        TProperty p;
        if (!ReadShortString(p.Name))
            return false;
        bool skip = false;
        if (!ReadValue(p.Value, skip))
            return false;
        // Event handler references are ignored.
        const bool event = p.Name.startsWith(QLatin1String("On")) && p.Name.size() > 2 &&
                           p.Name[2].isUpper() && std::holds_alternative<TIdent>(p.Value);
        if (!skip && !event)
            out.Properties.push_back(std::move(p));
    }
    const qint64 childAt = Pos_;
    if (!ReadByte(b))
        return false;
    if (b != 0) {
        Fail(QStringLiteral("Design objects have no children"), childAt);
        return false;
    }
    return true;
}

std::unique_ptr<TGGraphicControl> CreateFromRecord(const TStreamObject& rec,
                                                   const QStringList& allowed, QString* error) {
    std::unique_ptr<TGGraphicControl> o;
    if (allowed.isEmpty()) {
        o = CreateDesignObject(rec.ClassName);
    } else if (allowed.contains(rec.ClassName)) {
        o = IsDesignClassRegistered(rec.ClassName) ? CreateDesignObject(rec.ClassName)
                                                   : CreateBuiltInObject(rec.ClassName);
    }
    if (!o) {
        if (error)
            *error = QStringLiteral("Class %1 not found").arg(rec.ClassName);
        return nullptr;
    }
    o->SetName(rec.Name);
    o->BeginLoading();
    for (const TProperty& p : rec.Properties)
        if (!o->SetProperty(p.Name, p.Value)) {
            if (error)
                *error = QStringLiteral("Error reading %1.%2: property does not exist or has "
                                        "an invalid value")
                             .arg(rec.ClassName, p.Name);
            return nullptr;
        }
    return o;
}

bool ParseObjectLists(const QByteArray& data, std::vector<std::vector<TStreamObject>>& lists,
                      QString* error, int maxLists) {
    TStreamReader r(data);
    lists.clear();
    while (!r.AtEnd() && int(lists.size()) < maxLists) {
        if (!r.ExpectListBegin())
            break;
        lists.emplace_back();
        // The report's settings list holds plain values, not objects.
        quint8 b = 0;
        if (r.PeekByte(b) && b != 'T' && b != 0) {
            while (!r.Failed() && !r.AtListEnd()) {
                TPropertyValue v;
                bool skip = false;
                if (!r.ReadValue(v, skip))
                    break;
                lists.back().push_back(TStreamObject{QString(), QString(), {{"", v}}, 0});
            }
            continue;
        }
        while (!r.Failed() && !r.AtListEnd()) {
            TStreamObject o;
            if (!r.ReadObject(o))
                break;
            lists.back().push_back(std::move(o));
        }
        if (r.Failed())
            break;
    }
    if (!r.Failed() && !r.AtEnd())
        r.Fail(QStringLiteral("Data after the last list"));
    if (r.Failed() && error)
        *error = r.ErrorText();
    return !r.Failed();
}

// ================================ filer ==================================

bool TGLabelObjectFiler::WriteFile(const QString& path, const QByteArray& data) {
    // Written beside the old file, flushed to the disk and renamed over it
    // only when complete; a failure names the system's reason.
    if (auto st = store::writeFileAtomically(
            path.toStdString(), std::string_view(data.constData(), std::size_t(data.size())));
        !st) {
        Error_ = QString::fromStdString(st.error());
        return false;
    }
    return true;
}

bool TGLabelObjectFiler::ReadFile(const QString& path, QByteArray& data, bool& exists) {
    exists = QFile::exists(path);
    if (!exists)
        return true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        Error_ = QStringLiteral("Cannot read %1: %2").arg(path, f.errorString());
        return false;
    }
    data = f.readAll();
    return true;
}

namespace {
std::vector<const TGGraphicControl*> ObjectsOf(const TGBasePanel& p) {
    std::vector<const TGGraphicControl*> out;
    for (int i = 0; i < p.ObjectCount(); ++i)
        out.push_back(p.Object(i));
    return out;
}
} // namespace

bool TGLabelObjectFiler::WritePanel(const TGBasePanel& panel, const QString& path) {
    TStreamWriter w;
    w.WriteObjectList(ObjectsOf(panel));
    return WriteFile(path, w.Data());
}

bool TGLabelObjectFiler::ReadList(TStreamReader& r, TGBasePanel& panel, bool scaled) {
    std::vector<TGGraphicControl*> read;
    const QStringList allowed = panel.StreamClasses();
    bool ok = r.ExpectListBegin();
    while (ok && !r.AtListEnd()) {
        if (r.Failed()) {
            ok = false;
            break;
        }
        TStreamObject rec;
        if (!r.ReadObject(rec)) {
            ok = false;
            break;
        }
        QString why;
        auto o = CreateFromRecord(rec, allowed, &why);
        if (!o) {
            r.Fail(why, rec.Offset);
            ok = false;
            break;
        }
        if (Pasting_) {
            o->SetTop(o->Top() + 15);
            o->SetLeft(o->Left() + 15);
        }
        const QString stored = o->Name();
        TGGraphicControl* in =
            scaled ? panel.InsertStored(std::move(o)) : panel.InsertLoaded(std::move(o));
        // A kept stored name must still be unique.
        if (in->Name() == stored && !stored.isEmpty()) {
            for (int i = 0; i < panel.ObjectCount(); ++i)
                if (panel.Object(i) != in && panel.Object(i)->Name() == stored)
                    in->SetName(QString());
        }
        read.push_back(in);
    }
    if (r.Failed())
        ok = false;
    for (TGGraphicControl* o : read)
        o->Loaded();
    if (!ok)
        Error_ = QStringLiteral("The layout data is damaged: %1").arg(r.ErrorText());
    return ok;
}

bool TGLabelObjectFiler::ReadPanel(TGBasePanel& panel, const QString& path) {
    QByteArray data;
    bool exists = false;
    if (!ReadFile(path, data, exists))
        return false;
    if (!exists)
        return true;
    TStreamReader r(data);
    if (!ReadList(r, panel, false)) {
        Error_ = QStringLiteral("%1 (%2)").arg(Error_, path);
        return false;
    }
    return true;
}

bool TGLabelObjectFiler::WriteSelection(const TGBasePanel& panel, const QString& path) {
    if (panel.SelectionCount() == 0)
        return true;
    std::vector<const TGGraphicControl*> sel;
    for (int i = 0; i < panel.SelectionCount(); ++i)
        sel.push_back(panel.Selected(i));
    TStreamWriter w;
    w.WriteObjectList(sel);
    return WriteFile(path, w.Data());
}

bool TGLabelObjectFiler::PasteFile(TGBasePanel& panel, const QString& path) {
    Pasting_ = true;
    QByteArray data;
    bool exists = false;
    if (!ReadFile(path, data, exists))
        return false;
    if (!exists)
        return true;
    TStreamReader r(data);
    return ReadList(r, panel, true);
}

bool TGLabelObjectFiler::WriteObject(const TGGraphicControl& object, const QString& path) {
    TStreamWriter w;
    w.WriteObjectList({&object});
    return WriteFile(path, w.Data());
}

TGGraphicControl* TGLabelObjectFiler::CloneObject(const TGGraphicControl& object,
                                                  TGBasePanel& panel) {
    TStreamWriter w;
    w.WriteObjectList({&object});
    TStreamReader r(w.Data());
    const int before = panel.ObjectCount();
    const bool pasting = Pasting_;
    Pasting_ = false;
    const bool ok = ReadList(r, panel, false);
    Pasting_ = pasting;
    return ok && panel.ObjectCount() > before ? panel.Object(panel.ObjectCount() - 1) : nullptr;
}

bool TGLabelObjectFiler::WriteBands(const TGBasePanel& header, const TGBasePanel& detail,
                                    const TGBasePanel& footer,
                                    const std::function<void(TStreamWriter&)>& writeSettings,
                                    const QString& path) {
    TStreamWriter w;
    w.WriteObjectList(ObjectsOf(header));
    w.WriteObjectList(ObjectsOf(detail));
    w.WriteObjectList(ObjectsOf(footer));
    w.WriteListBegin();
    if (writeSettings)
        writeSettings(w);
    w.WriteListEnd();
    return WriteFile(path, w.Data());
}

bool TGLabelObjectFiler::ReadBands(TGBasePanel& header, TGBasePanel& detail, TGBasePanel& footer,
                                   const std::function<bool(TStreamReader&)>& readSettings,
                                   const QString& path) {
    QByteArray data;
    bool exists = false;
    if (!ReadFile(path, data, exists))
        return false;
    if (!exists)
        return true;
    TStreamReader r(data);
    if (!ReadList(r, header, false) || !ReadList(r, detail, false) || !ReadList(r, footer, false))
        return false;
    if (!r.ExpectListBegin() || (readSettings && !readSettings(r)) ||
        (!r.Failed() && !r.AtListEnd() &&
         (r.Fail(QStringLiteral("Settings list not closed")), true)) ||
        r.Failed()) {
        Error_ = QStringLiteral("The report settings are damaged: %1").arg(r.ErrorText());
        return false;
    }
    return true;
}

bool LoadLayoutFile(TGBasePanel& panel, const QString& path, QString* error) {
    TGLabelObjectFiler filer;
    const bool ok = panel.LoadWith([&](TGBasePanel& p) { return filer.ReadPanel(p, path); });
    if (!ok && error)
        *error = filer.LastError().isEmpty() ? panel.LastError() : filer.LastError();
    return ok;
}

bool SaveLayoutFile(TGBasePanel& panel, const QString& path, QString* error) {
    TGLabelObjectFiler filer;
    const bool ok = panel.SaveWith([&](TGBasePanel& p) { return filer.WritePanel(p, path); });
    if (!ok && error)
        *error = filer.LastError().isEmpty() ? panel.LastError() : filer.LastError();
    return ok;
}

namespace {
QJsonValue JsonOf(const TPropertyValue& v) {
    if (auto b = std::get_if<bool>(&v))
        return *b;
    if (auto i = std::get_if<std::int32_t>(&v))
        return *i;
    if (auto s = std::get_if<QString>(&v))
        return *s;
    if (auto id = std::get_if<TIdent>(&v))
        return id->Name;
    if (auto c = std::get_if<TColor>(&v)) {
        QString n;
        return ColorName(*c, n) ? QJsonValue(n) : QJsonValue(qint64(c->Value));
    }
    if (auto set = std::get_if<TSet>(&v))
        return QJsonObject{{"set", QJsonArray::fromStringList(set->Names)}};
    if (auto l = std::get_if<QStringList>(&v))
        return QJsonArray::fromStringList(*l);
    if (auto bin = std::get_if<QByteArray>(&v))
        return QJsonObject{{"binary", int(bin->size())}};
    return {};
}
} // namespace

QString DumpObjectJson(const TStreamObject& o, int list) {
    QJsonObject j;
    j["list"] = list;
    if (!o.ClassName.isEmpty()) {
        j["class"] = o.ClassName;
        j["name"] = o.Name;
    }
    QJsonArray props;
    for (const TProperty& p : o.Properties)
        props.append(QJsonArray{p.Name, JsonOf(p.Value)});
    j[o.ClassName.isEmpty() ? "values" : "properties"] = props;
    return QString::fromUtf8(QJsonDocument(j).toJson(QJsonDocument::Compact));
}

} // namespace qp::design
