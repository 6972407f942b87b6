#include "spell/dictionary_location.h"

#include "store/shared_routines.h"

#include <QDir>
#include <QFileInfo>

namespace qp::spell {

namespace {

bool Readable(const QString& path) {
    const QFileInfo f(path);
    return f.isFile() && f.isReadable();
}

// "x.aff", "x.dic" or "x" name the pair x.aff + x.dic.
TMainDictionary PairFor(const QString& named) {
    QString base = named;
    if (base.endsWith(QLatin1String(".aff"), Qt::CaseInsensitive) ||
        base.endsWith(QLatin1String(".dic"), Qt::CaseInsensitive))
        base.chop(4);
    TMainDictionary d{base + QLatin1String(".aff"), base + QLatin1String(".dic"), {}};
    if (!Readable(d.Aff) || !Readable(d.Dic))
        d.Problem = QStringLiteral("The dictionary %1 named by QUILLPOST_DICTIONARY was not found "
                                   "(it needs both %2 and %3).")
                        .arg(named, d.Aff, d.Dic);
    return d;
}

QString InProgramFolder(const char* name) {
    return QString::fromStdString(
        store::resolveCaseInsensitive(store::ProgramFolder(), name).string());
}

} // namespace

TMainDictionary FindMainDictionary() {
    const QString named = qEnvironmentVariable("QUILLPOST_DICTIONARY");
    if (!named.isEmpty())
        return PairFor(named);
    const QString ownAff = InProgramFolder("quillp.aff");
    const QString ownDic = InProgramFolder("quillp.dct");
    if (Readable(ownAff) && Readable(ownDic))
        return {ownAff, ownDic, {}};
    QStringList folders;
    for (const QString& f :
         qEnvironmentVariable("DICPATH").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << f;
    folders << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell")
            << QStringLiteral("/usr/share/myspell/dicts")
            << QStringLiteral("/usr/local/share/hunspell");
    for (const QString& folder : folders) {
        const QString base = QDir(folder).filePath(QStringLiteral("en_US"));
        if (Readable(base + QLatin1String(".aff")) && Readable(base + QLatin1String(".dic")))
            return {base + QLatin1String(".aff"), base + QLatin1String(".dic"), {}};
    }
    return {{},
            {},
            QStringLiteral("No main dictionary: install the hunspell-en-us package, or name "
                           "an .aff/.dic pair in QUILLPOST_DICTIONARY.")};
}

QString UserDictionaryPath() {
    return InProgramFolder("quillpu.dct");
}

} // namespace qp::spell
