#include "editor/Spelling.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace {

// Ignore All lasts until the program ends, in every window.
QSet<QString>& ignoredWords() {
    static QSet<QString> words;
    return words;
}

// The words of words.txt as it stands; none when it is missing or cannot be read.
QStringList readOwnWords(const QString& path) {
    QByteArray bytes;
    QString reason;
    QStringList words;
    if (!PathExists(path) || !ReadRegularFile(path, kMaxDataFileBytes, bytes, reason, Links::Refuse))
        return words;
    for (const QString& line : SplitLines(QString::fromUtf8(bytes)))
        if (!line.trimmed().isEmpty())
            words << line.trimmed();
    return words;
}

} // namespace

SpellingService::SpellingService(QString programFolder, QObject* parent)
    : QObject(parent), m_folder(std::move(programFolder)) {
    m_files = InstalledDictionaries();
    for (const DictionaryFiles& files : m_files)
        m_names << files.name;
}

QString SpellingService::wordsPath() const {
    return m_folder + QStringLiteral("/words.txt");
}

void SpellingService::setPreferredLanguage(const QString& name) {
    if (name == m_preferred)
        return;
    const QString before = defaultDictionary();
    m_preferred = name;
    m_byTag.clear();
    if (defaultDictionary() != before)
        emit dictionariesChanged();
}

void SpellingService::refresh() {
    std::vector<DictionaryFiles> files = InstalledDictionaries();
    QStringList names;
    for (const DictionaryFiles& one : files)
        names << one.name;
    if (names == m_names)
        return;
    m_files = std::move(files);
    m_names = names;
    m_byTag.clear();
    emit dictionariesChanged();
}

QString SpellingService::defaultDictionary() const {
    if (m_names.contains(m_preferred))
        return m_preferred;
    QString name = DictionaryForLanguage(QLocale::system().name(), m_names);
    if (name.isEmpty() && m_names.contains(QStringLiteral("en_US")))
        name = QStringLiteral("en_US");
    return name.isEmpty() ? m_names.value(0) : name;
}

SpellDictionary* SpellingService::dictionaryFor(const QString& tag) {
    if (const auto known = m_byTag.constFind(tag); known != m_byTag.cend())
        return *known;
    QString name = tag.isEmpty() ? QString() : DictionaryForLanguage(tag, m_names);
    if (name.isEmpty())
        name = defaultDictionary();
    SpellDictionary* dictionary = nullptr;
    for (const DictionaryFiles& files : m_files)
        if (files.name == name)
            dictionary = SharedDictionary(files);
    m_byTag.insert(tag, dictionary);
    return dictionary;
}

bool SpellingService::listed(const QSet<QString>& words, QStringView word) {
    if (words.isEmpty())
        return false;
    if (words.contains(QString::fromRawData(word.data(), word.size())))
        return true;
    // "Quillora" at a sentence's start is the word "quillora" added in lower case.
    return !word.isEmpty() && word.at(0).isUpper() &&
           words.contains(word.at(0).toLower() + word.mid(1).toString());
}

void SpellingService::loadOwnWords() {
    if (m_ownLoaded)
        return;
    m_ownLoaded = true;
    const QStringList words = readOwnWords(wordsPath());
    m_own = QSet<QString>(words.cbegin(), words.cend());
}

bool SpellingService::isCorrect(QStringView word, SpellDictionary& dictionary) {
    loadOwnWords();
    return dictionary.isCorrect(word) || listed(m_own, word) || listed(ignoredWords(), word);
}

QStringList SpellingService::suggestions(const QString& word, SpellDictionary& dictionary) {
    return dictionary.suggestions(word, kMostSuggestions);
}

bool SpellingService::addWord(const QString& word, QString& reason) {
    loadOwnWords();
    if (word.isEmpty() || word.contains(QLatin1Char('\r')) || word.contains(QLatin1Char('\n'))) {
        reason = QCoreApplication::translate("Spelling", "\"%1\" is not a word to add.").arg(word);
        return false;
    }
    // Words another window or program added meanwhile are kept: the file is read again first.
    QStringList words = readOwnWords(wordsPath());
    if (!words.contains(word)) {
        words << word;
        QDir().mkpath(m_folder);
        if (!writeTextFile(wordsPath(), words.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
                           TextEncoding::Utf8, reason, nullptr, Links::Refuse))
            return false;
    }
    m_own = QSet<QString>(words.cbegin(), words.cend());
    emit wordAccepted(word);
    return true;
}

void SpellingService::ignoreWord(const QString& word) {
    ignoredWords().insert(word);
    emit wordAccepted(word);
}

#include "moc_Spelling.cpp"
