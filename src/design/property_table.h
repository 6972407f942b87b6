#pragma once
// The stored properties of an object kind, declared once.
//
// Each kind returns one TPropertyTable from PropertyTable(): its rows in
// stream order, the base kind's rows first. A row names the property as the
// layout stream spells it, gives its value type, the value a reader assumes
// when the stream leaves it out, when the writer leaves it out, how to read
// and store it on the object, and what a change does. Stream writing
// (StoredProperties), reading and cloning (SetProperty while loading),
// the dialogs and menus (SetPropertyValue), the change notice and undo all go
// through these rows, so a property cannot change without the panel hearing.
//
// A new object kind is one table plus one paint routine:
//   const TPropertyTable& TMyKind::PropertyTable() const {
//       static const TPropertyTable t = TPropertyTable::Extend(
//           TGGraphicControl::BaseTable(),
//           {Row<TMyKind>("Colour", TColor{0}, srUnlessDefault, peRepaint | peChanged,
//                         [](const TMyKind& o) { return TPropertyValue(o.Colour_); },
//                         [](TMyKind& o, const TPropertyValue& v) { return AsColor(v, o.Colour_);
//                         })});
//       return t;
//   }
//   void TMyKind::PaintOn(QPainter&, const TPaintContext&) const; // screen, preview, PDF
#include "design/design_types.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

namespace qp::design {

class TGGraphicControl;

// What a change of the property does, besides storing it.
enum TPropertyEffect : unsigned {
    peNone = 0,
    peRepaint = 1,  // the object is drawn again
    peRelayout = 2, // the object's text geometry is computed again
    peChanged = 4,  // the layout is marked changed ("Save" appears) and undo records it
};
inline constexpr unsigned peAll = peRepaint | peRelayout | peChanged;

// When the stream writer writes the property.
enum TStoreRule {
    srAlways,        // every time
    srUnlessDefault, // only when it differs from Default
    srNever,         // read from streams only (an alias of a written property)
};

struct TPropertyRow {
    QString Name;           // as the stream spells it ("Font.Color", "Items.Strings")
    TPropertyValue Default; // its type is the property's type
    TStoreRule Store = srAlways;
    unsigned Effects = peAll;
    std::function<TPropertyValue(const TGGraphicControl&)> Get;
    // Stores the value (clamped as the kind requires); false when refused.
    std::function<bool(TGGraphicControl&, const TPropertyValue&)> Set;
};

class TPropertyTable {
public:
    TPropertyTable() = default;
    TPropertyTable(std::initializer_list<TPropertyRow> rows) : Rows_(rows) {}
    static TPropertyTable Extend(const TPropertyTable& base, std::vector<TPropertyRow> rows) {
        TPropertyTable t = base;
        t.Rows_.insert(t.Rows_.end(), rows.begin(), rows.end());
        return t;
    }
    const std::vector<TPropertyRow>& Rows() const { return Rows_; }
    // Case-sensitive, as streams are written; nullptr for an unknown name.
    const TPropertyRow* Find(const QString& name) const {
        for (const TPropertyRow& r : Rows_)
            if (r.Name == name)
                return &r;
        return nullptr;
    }

private:
    std::vector<TPropertyRow> Rows_;
};

// A row of kind K: the accessors receive the object as K.
template <class K, class G, class S>
TPropertyRow Row(const char* name, TPropertyValue def, TStoreRule store, unsigned effects, G get,
                 S set) {
    return TPropertyRow{
        QString::fromLatin1(name),
        std::move(def),
        store,
        effects,
        [get](const TGGraphicControl& o) { return TPropertyValue(get(static_cast<const K&>(o))); },
        [set](TGGraphicControl& o, const TPropertyValue& v) { return set(static_cast<K&>(o), v); }};
}

// Value readers for enumerations written by name: the index of `v` in
// `names` (compared without case), or -1.
int IdentIndex(const TPropertyValue& v, const char* const* names, int count);

} // namespace qp::design
