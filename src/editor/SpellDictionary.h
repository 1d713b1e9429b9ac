#pragma once

#include "editor/SpellingAnswers.h"

#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Hunspell;

// A Hunspell dictionary installed on the system: the pair of files <name>.aff and <name>.dic.
struct DictionaryFiles {
    QString name; // "en_US", "de_DE"
    QString affix, words;
};

// The folders searched for dictionaries, first match of a name winning: those of DICPATH (as the
// hunspell program reads it), then where Debian's dictionary packages put them (/usr/share/hunspell,
// and /usr/share/myspell/dicts of older ones).
QStringList DictionaryFolders();
// Replaces the folders searched (tests); an empty list restores the ones above.
void SetDictionaryFolders(const QStringList& folders);
// The dictionaries in those folders, by name.
std::vector<DictionaryFiles> InstalledDictionaries();
// The name among `names` that serves the language a lang attribute names ("en", "de-CH", "en_GB",
// case and "-" or "_" as they come): that language and region, else the language's main region
// ("de" -> de_DE, "en" -> en_US), else any of the language; "" when none does.
QString DictionaryForLanguage(const QString& tag, const QStringList& names);
// What to do without any dictionary: the Debian packages that bring them.
QString MissingDictionaryMessage();

// One loaded Hunspell dictionary. Words go to Hunspell in the dictionary's own encoding (its
// affix file's SET: UTF-8, ISO8859-1, ...) and its suggestions come back from it; a word the
// encoding cannot write is in no such dictionary. Answers are kept, as a page repeats its words.
// Hunspell is not thread-safe: a dictionary is used on one thread only.
class SpellDictionary {
public:
    // Nothing (with the reason) when the files cannot be read or give no dictionary.
    static std::unique_ptr<SpellDictionary> load(const DictionaryFiles& files, QString* reason = nullptr);
    ~SpellDictionary();
    SpellDictionary(const SpellDictionary&) = delete;
    SpellDictionary& operator=(const SpellDictionary&) = delete;

    const QString& name() const { return m_name; }
    // The encoding its affix file names.
    QString encoding() const;
    bool isCorrect(QStringView word);
    // Hunspell's suggestions, best first, at most `limit`.
    QStringList suggestions(const QString& word, int limit);

private:
    SpellDictionary(const QString& name, std::unique_ptr<Hunspell> hunspell);
    std::optional<std::string> encode(const QString& word);
    QString decode(const std::string& bytes);

    QString m_name;
    std::unique_ptr<Hunspell> m_hunspell;
    bool m_utf8 = true;
    QStringEncoder m_encoder;
    QStringDecoder m_decoder;
    SpellingAnswers m_answers;
};

// The dictionary of these files, loaded once for the whole program; null when it cannot be.
SpellDictionary* SharedDictionary(const DictionaryFiles& files);
