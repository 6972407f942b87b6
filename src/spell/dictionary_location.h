#pragma once
// Where the dictionaries are. The main dictionary is a Hunspell .aff/.dic
// pair: the one $QUILLPOST_DICTIONARY names, else quillp.aff/quillp.dct in the
// program folder, else US English in the system's dictionary folders. The
// user dictionary is quillpu.dct in the program folder.

#include <QString>

namespace qp::spell {

struct TMainDictionary {
    QString Aff;
    QString Dic;
    QString Problem; // set when there is none: why spelling is off
    bool Found() const { return Problem.isEmpty(); }
};

TMainDictionary FindMainDictionary();
QString UserDictionaryPath();

} // namespace qp::spell
