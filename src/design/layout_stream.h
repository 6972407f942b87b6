#pragma once
// The binary object stream of layouts, the clipboard file and clones: value
// tags, object records and lists, the classes each panel kind may read, and
// the filer operations on panels and files. No widgets.
#include "design/design_types.h"
#include "store/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace qp::design {

class TGBasePanel;
class TGGraphicControl;

enum TPanelKind { pkLabel, pkEnvelope, pkReport };
QStringList PanelKindClasses(TPanelKind kind);
bool PanelKindFromName(const QString& name, TPanelKind& out); // "label", "envelope", "report"

// Colour names of the stream ("clBlack" ...); false for a colour without one.
bool ColorName(TColor c, QString& name);
bool ColorFromName(const QString& name, TColor& out);

// "BIN" + five digits + ".L", ".E" or ".R", and nothing else (no folders).
bool IsLayoutFileName(const QString& name);
// The stored layout file name (trailing blanks cut) as a path in `sysdata`
// when it is such a name ending in `.extension`; otherwise the refusal names
// the `kind` ("label", "envelope", "report").
store::Result<std::string> LayoutFilePath(const std::string& sysdata, std::string_view stored,
                                          char extension, std::string_view kind);

class TStreamWriter {
public:
    const QByteArray& Data() const { return Data_; }
    void WriteByte(quint8 b) { Data_.append(char(b)); }
    void WriteShortString(const QString& s); // length byte + bytes, no tag
    void WriteInteger(qint32 v);
    void WriteString(const QString& s);
    void WriteIdent(const QString& name);
    void WriteBoolean(bool b);
    void WriteValue(const TPropertyValue& v);
    void WriteListBegin() { WriteByte(0x01); }
    void WriteListEnd() { WriteByte(0x00); }
    void WriteObject(const TGGraphicControl& o);
    void WriteObjectList(const std::vector<const TGGraphicControl*>& objects);

private:
    QByteArray Data_;
};

// One object record as read, before any object exists.
struct TStreamObject {
    QString ClassName;
    QString Name;
    TPropertyList Properties;
    qint64 Offset = 0; // of its "TPF0"
};

class TStreamReader {
public:
    explicit TStreamReader(QByteArray data) : Data_(std::move(data)) {}
    bool Failed() const { return !Error_.isEmpty(); }
    const QString& Error() const { return Error_; }
    qint64 ErrorOffset() const { return ErrorPos_; }
    qint64 Position() const { return Pos_; }
    bool AtEnd() const { return Pos_ >= Data_.size(); }
    // "<reason> at byte N"
    QString ErrorText() const;
    void Fail(const QString& why, qint64 at = -1);

    bool ReadByte(quint8& b);
    bool PeekByte(quint8& b) const;
    bool ReadShortString(QString& s);
    bool ReadValue(TPropertyValue& v, bool& skip); // skip: nil or an event reference
    bool ReadInteger(qint32& v);
    bool ReadBoolean(bool& v);
    bool ReadString(QString& s);
    bool ExpectListBegin();
    bool AtListEnd(); // true and consumed when the next byte is 0x00
    bool ReadObject(TStreamObject& out);

private:
    // One value of type T; `expected` names it in the error otherwise.
    template <class T> bool ReadAs(T& out, const char* expected);
    bool Need(qint64 n);
    QByteArray Data_;
    qint64 Pos_ = 0;
    QString Error_;
    qint64 ErrorPos_ = -1;
};

// Makes an object of the record's class (allowed: the classes a panel kind
// may hold, empty for the registry) and sets its properties through the
// setters; nullptr with *error when the class or a property is refused.
std::unique_ptr<TGGraphicControl> CreateFromRecord(const TStreamObject& rec,
                                                   const QStringList& allowed, QString* error);

// Reads every object list of `data` without a panel (for dumps and checks).
bool ParseObjectLists(const QByteArray& data, std::vector<std::vector<TStreamObject>>& lists,
                      QString* error, int maxLists = 4);

class TGLabelObjectFiler {
public:
    explicit TGLabelObjectFiler(bool pasting = false) : Pasting_(pasting) {}
    bool Pasting() const { return Pasting_; }
    const QString& LastError() const { return Error_; }

    bool WritePanel(const TGBasePanel& panel, const QString& path);
    bool ReadPanel(TGBasePanel& panel, const QString& path);
    bool WriteSelection(const TGBasePanel& panel, const QString& path);
    bool PasteFile(TGBasePanel& panel, const QString& path);
    bool WriteObject(const TGGraphicControl& object, const QString& path);
    TGGraphicControl* CloneObject(const TGGraphicControl& object, TGBasePanel& panel);
    bool WriteBands(const TGBasePanel& header, const TGBasePanel& detail, const TGBasePanel& footer,
                    const std::function<void(TStreamWriter&)>& writeSettings, const QString& path);
    bool ReadBands(TGBasePanel& header, TGBasePanel& detail, TGBasePanel& footer,
                   const std::function<bool(TStreamReader&)>& readSettings, const QString& path);

    // Reads one object list from `reader` into `panel`; objects read before
    // an error stay. `scaled`: stored at zoom 1.0, scale to the panel.
    bool ReadList(TStreamReader& reader, TGBasePanel& panel, bool scaled);

private:
    bool WriteFile(const QString& path, const QByteArray& data);
    bool ReadFile(const QString& path, QByteArray& data, bool& exists);
    bool Pasting_;
    QString Error_;
};

// The designers' load and save: at zoom 1.0 with design texts, through the
// panel's LoadWith/SaveWith. A missing file loads nothing and succeeds.
bool LoadLayoutFile(TGBasePanel& panel, const QString& path, QString* error = nullptr);
bool SaveLayoutFile(TGBasePanel& panel, const QString& path, QString* error = nullptr);

// One JSON line per object: class, name, properties in stream order.
QString DumpObjectJson(const TStreamObject& o, int list = 0);

} // namespace qp::design
