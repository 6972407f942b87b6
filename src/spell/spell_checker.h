#pragma once
// Word look-up and suggestions against the main dictionary and the user's
// own words. Without a main dictionary the checker is off and says why;
// without a usable user dictionary words cannot be added, but checking goes on.

#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

namespace qp::spell {

constexpr int kMaxSuggestions = 10;

class TSpellChecker {
public:
    // Opens the main dictionary found by FindMainDictionary() and the user
    // dictionary at UserDictionaryPath(), creating it empty when missing.
    TSpellChecker();
    // The same with explicit files (the main pair may be missing).
    TSpellChecker(const QString& aff, const QString& dic, const QString& userDictionary);
    ~TSpellChecker();
    TSpellChecker(const TSpellChecker&) = delete;
    TSpellChecker& operator=(const TSpellChecker&) = delete;

    bool IsAvailable() const { return Hunspell_ != nullptr; }
    QString DisabledReason() const { return DisabledReason_; }
    bool CanAddWords() const { return IsAvailable() && UserProblem_.isEmpty(); }
    QString UserDictionaryProblem() const { return UserProblem_; }
    QString UserDictionaryFile() const { return UserPath_; }

    // A capital first letter also matches a lower-case entry; all capitals
    // match any entry.
    bool IsKnown(const QString& word) const;
    QStringList Suggestions(const QString& word) const; // at most kMaxSuggestions
    // Appends the word to the user dictionary (one word a line, UTF-8).
    // Returns an empty string, or why the word was not added.
    QString AddWord(const QString& word);

private:
    void Open(const QString& aff, const QString& dic, const QString& userDictionary);
    std::string Encode(const QString& word) const;
    QString Decode(const std::string& bytes) const;

    std::unique_ptr<Hunspell> Hunspell_;
    bool Utf8_ = true;
    QString DisabledReason_;
    QString UserPath_;
    QString UserProblem_;
    QSet<QString> UserWords_;
};

class TWordIterator;
struct TWord;

// The next word from `words` that the dictionaries do not know; an empty
// word when the text ends. With no main dictionary every word is known.
TWord NextUnknownWord(TWordIterator& words, const TSpellChecker& checker);

} // namespace qp::spell
