// Spelling batch command: spell WORD... and spell --add WORD.

#include "app/batch/batch_command.h"
#include "spell/spell_checker.h"

#include <ostream>

namespace qp::batch {

namespace {

int runSpell(const std::vector<std::string>& words, std::ostream& out) {
    Args args(words, {"add"}, {});
    spell::TSpellChecker checker;
    if (!checker.IsAvailable())
        throw Failure("Spell checking is off. " + checker.DisabledReason().toStdString());
    if (auto add = args.value("add")) {
        args.expectPositionals(0, 0);
        const QString why = checker.AddWord(QString::fromStdString(*add));
        if (!why.isEmpty())
            throw Failure(why.toStdString());
        out << "Added " << *add << " to " << checker.UserDictionaryFile().toStdString() << "\n";
        return 0;
    }
    args.expectPositionals(1, 10000);
    for (const std::string& w : args.positionals()) {
        const QString word = QString::fromStdString(w);
        if (checker.IsKnown(word))
            continue;
        out << w << ":";
        const QStringList suggestions = checker.Suggestions(word);
        for (qsizetype i = 0; i < suggestions.size(); ++i)
            out << (i ? ", " : " ") << suggestions[i].toStdString();
        out << "\n";
    }
    return 0;
}

BatchCommand spell({"spell", "WORD... | --add WORD",
                    "Prints each unknown word with up to 10 suggestions, one line each; --add "
                    "puts a word in the user dictionary quillpu.dct.",
                    runSpell});

} // namespace
} // namespace qp::batch
