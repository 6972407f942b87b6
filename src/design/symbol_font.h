#pragma once
// Symbol fonts (Wingdings, Webdings, Symbol, Zapf Dingbats) as layouts name
// them: their 8-bit codes stand for pictures, not letters. Where no such face
// is installed, each code is drawn as its Unicode equivalent in a face that has
// them all, so the picture shows on screen and on paper. The stored font name
// and codes never change; only the drawing is mapped.
#include "design/design_types.h"

#include <QString>

namespace qp::design {

enum class TSymbolSet { None, Wingdings, Wingdings2, Wingdings3, Webdings, Symbol, Dingbats };

// The character set of a font family as a layout stores it (any case, spaces
// ignored); None for a text font.
TSymbolSet SymbolSetOf(const QString& family);

// The Unicode scalar of an 8-bit code (0x20..0xFF) of a set; 0 where the set's
// character has no Unicode equivalent, or for a code outside that range.
char32_t SymbolUnicode(TSymbolSet set, int code);

// The face the mapped characters are drawn in (Debian package fonts-symbola).
QString SymbolDrawingFamily();

// The face and text to draw for text stored in `font`.
struct TSymbolText {
    TDesignFont Font;
    QString Text;
    bool Mapped = false; // false: draw font and text as stored
};
// Maps each code of a symbol font to its Unicode equivalent in the drawing
// face. A text font, a symbol font that is really installed, and text with no
// code that has an equivalent are drawn as stored; within mapped text, a code
// without an equivalent keeps its character.
TSymbolText SymbolText(const TDesignFont& font, const QString& text);

} // namespace qp::design
