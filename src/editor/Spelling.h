#pragma once

#include "editor/SpellDictionary.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

// The spelling check of the whole program: which installed dictionary serves which language, the
// user's own words (words.txt in the program folder, one a line, kept for good) and the words
// ignored until the program ends. Every document window checks its text through it.
class SpellingService : public QObject {
    Q_OBJECT
public:
    static constexpr int kMostSuggestions = 8;

    explicit SpellingService(QString programFolder, QObject* parent = nullptr);

    // The dictionary chosen in the settings by name; "" (or one not installed) leaves the choice
    // to the system's language. A change has every document checked again.
    void setPreferredLanguage(const QString& name);
    // The installed dictionaries by name, as last looked for (at start and by refresh()).
    const QStringList& dictionaryNames() const { return m_names; }
    bool hasDictionaries() const { return !m_names.isEmpty(); }
    // Looks for the installed dictionaries again; a change has every document checked again.
    void refresh();
    // The dictionary for words in the language `tag` names (a lang attribute's value; "" where no
    // element names one): that language's when installed, else the one the settings chose, else the
    // system language's, else en_US, else the first there is. Null without any.
    SpellDictionary* dictionaryFor(const QString& tag);
    // Whether dictionaryFor(tag) answers at once: its dictionary is read already (or there is none).
    bool answersAtOnce(const QString& tag) const { return m_byTag.contains(tag); }
    // The dictionary the words of a page without a lang attribute are checked with.
    QString defaultDictionary() const;
    // Whether the word is correct: the user's own, ignored, or in the dictionary. A word of the
    // user's own or ignored counts with its first letter upper case too (a sentence's first word).
    bool isCorrect(QStringView word, SpellDictionary& dictionary);
    // The dictionary's suggestions for a word, best first, at most kMostSuggestions.
    QStringList suggestions(const QString& word, SpellDictionary& dictionary);
    // Adds the word to the user's own words; words.txt is written at once, atomically. False, and
    // why, when it cannot be written: the word then stays unknown.
    bool addWord(const QString& word, QString& reason);
    // The word counts as correct until the program ends.
    void ignoreWord(const QString& word);
    QString wordsPath() const;

signals:
    // A word is correct now (added or ignored): its marks go.
    void wordAccepted(const QString& word);
    // Other dictionaries serve the documents: they are checked again.
    void dictionariesChanged();

private:
    static bool listed(const QSet<QString>& words, QStringView word);
    void loadOwnWords();

    QString m_folder;
    QString m_preferred;
    QStringList m_names;
    std::vector<DictionaryFiles> m_files;
    QHash<QString, SpellDictionary*> m_byTag;
    QSet<QString> m_own;
    bool m_ownLoaded = false;
};
