#include "spell/spell_checker.h"

#include "spell/dictionary_location.h"
#include "spell/word_iterator.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <hunspell.hxx>

namespace qp::spell {

TSpellChecker::TSpellChecker() {
    const TMainDictionary main = FindMainDictionary();
    if (!main.Found()) {
        DisabledReason_ = main.Problem;
        UserPath_ = UserDictionaryPath();
        return;
    }
    Open(main.Aff, main.Dic, UserDictionaryPath());
}

TSpellChecker::TSpellChecker(const QString& aff, const QString& dic,
                             const QString& userDictionary) {
    Open(aff, dic, userDictionary);
}

TSpellChecker::~TSpellChecker() = default;

void TSpellChecker::Open(const QString& aff, const QString& dic, const QString& userDictionary) {
    UserPath_ = userDictionary;
    if (!QFileInfo(aff).isReadable() || !QFileInfo(dic).isReadable()) {
        DisabledReason_ = QStringLiteral("The main dictionary %1 cannot be read.").arg(dic);
        return;
    }
    Hunspell_ = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                           QFile::encodeName(dic).constData());
    const std::string encoding = Hunspell_->get_dict_encoding();
    Utf8_ = encoding == "UTF-8" || encoding == "utf-8" || encoding.empty();

    QFile user(userDictionary);
    if (!user.exists()) {
        if (!user.open(QIODevice::WriteOnly)) {
            UserProblem_ = QStringLiteral("The user dictionary %1 cannot be created: %2")
                               .arg(userDictionary, user.errorString());
            return;
        }
        user.close();
    }
    if (!user.open(QIODevice::ReadOnly)) {
        UserProblem_ = QStringLiteral("The user dictionary %1 cannot be opened: %2")
                           .arg(userDictionary, user.errorString());
        return;
    }
    for (const QByteArray& line : user.readAll().split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (word.isEmpty() || UserWords_.contains(word))
            continue;
        UserWords_.insert(word);
        Hunspell_->add(Encode(word));
    }
    if (!QFileInfo(userDictionary).isWritable())
        UserProblem_ = QStringLiteral("The user dictionary %1 is read-only.").arg(userDictionary);
}

std::string TSpellChecker::Encode(const QString& word) const {
    return Utf8_ ? word.toStdString() : word.toLatin1().toStdString();
}

QString TSpellChecker::Decode(const std::string& bytes) const {
    return Utf8_ ? QString::fromStdString(bytes)
                 : QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

bool TSpellChecker::IsKnown(const QString& word) const {
    if (!Hunspell_ || word.isEmpty())
        return true;
    if (Hunspell_->spell(Encode(word)))
        return true;
    // The user's words match at a sentence start too.
    return word.size() > 1 && word.at(0).isUpper() &&
           UserWords_.contains(word.at(0).toLower() + word.mid(1));
}

QStringList TSpellChecker::Suggestions(const QString& word) const {
    QStringList out;
    if (!Hunspell_ || word.isEmpty())
        return out;
    for (const std::string& s : Hunspell_->suggest(Encode(word))) {
        out << Decode(s);
        if (out.size() == kMaxSuggestions)
            break;
    }
    return out;
}

QString TSpellChecker::AddWord(const QString& word) {
    const QString w = word.trimmed();
    if (!IsAvailable())
        return DisabledReason_;
    if (!UserProblem_.isEmpty())
        return UserProblem_;
    if (w.isEmpty() || w.contains(QRegularExpression(QStringLiteral("\\s"))))
        return QStringLiteral("Only a single word can be added.");
    if (UserWords_.contains(w))
        return {};
    QFile user(UserPath_);
    if (!user.open(QIODevice::ReadWrite)) {
        return QStringLiteral("The user dictionary %1 cannot be written: %2")
            .arg(UserPath_, user.errorString());
    }
    // A file that does not end with a line break gets one first, so the
    // last word there and the new one stay apart.
    QByteArray line = w.toUtf8() + '\n';
    const qint64 size = user.size();
    if (size > 0) {
        user.seek(user.size() - 1);
        if (user.read(1) != "\n")
            line.prepend('\n');
    }
    user.seek(size);
    if (user.write(line) != line.size() || !user.flush()) {
        const QString why = user.errorString();
        user.resize(size); // no half-written word left behind
        return QStringLiteral("The user dictionary %1 cannot be written: %2").arg(UserPath_, why);
    }
    UserWords_.insert(w);
    Hunspell_->add(Encode(w));
    return {};
}

TWord NextUnknownWord(TWordIterator& words, const TSpellChecker& checker) {
    for (TWord w = words.Next();; w = words.Next())
        if (w.Text.isEmpty() || !checker.IsKnown(w.Text))
            return w;
}

} // namespace qp::spell
