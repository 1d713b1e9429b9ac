#include "editor/SpellDictionary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <hunspell.hxx>
#include <map>

namespace {

QStringList& chosenFolders() {
    static QStringList folders;
    return folders;
}

// Hunspell's names of encodings (an affix file's SET) as Qt's converters know them.
QString converterName(const QString& set) {
    const QString name = set.trimmed();
    if (name.compare(QLatin1String("microsoft-cp1251"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("windows-1251");
    if (name.startsWith(QLatin1String("ISO8859"), Qt::CaseInsensitive))
        return QStringLiteral("ISO-8859") + name.mid(7);
    return name;
}

// Hunspell reads no longer word; such a text is no word of a dictionary.
constexpr int kLongestWord = 100;
// Answers kept per dictionary before they are forgotten and asked again.
constexpr size_t kMostAnswers = 500000;

} // namespace

QStringList DictionaryFolders() {
    if (!chosenFolders().isEmpty())
        return chosenFolders();
    QStringList folders = qEnvironmentVariable("DICPATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    folders << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell/dicts")
            << QStringLiteral("/usr/share/myspell");
    return folders;
}

void SetDictionaryFolders(const QStringList& folders) {
    chosenFolders() = folders;
}

std::vector<DictionaryFiles> InstalledDictionaries() {
    std::map<QString, DictionaryFiles> found; // by name, in order
    for (const QString& folder : DictionaryFolders()) {
        const QDir dir(folder);
        for (const QFileInfo& words :
             dir.entryInfoList({QStringLiteral("*.dic")}, QDir::Files | QDir::Readable)) {
            const QString name = words.completeBaseName();
            const QFileInfo affix(dir.filePath(name + QStringLiteral(".aff")));
            // Hyphenation patterns share the suffix; they have no affix file beside them.
            if (found.count(name) || !affix.isFile() || !affix.isReadable() ||
                name.startsWith(QLatin1String("hyph_")))
                continue;
            found[name] = {name, affix.absoluteFilePath(), words.absoluteFilePath()};
        }
    }
    std::vector<DictionaryFiles> all;
    for (auto& [name, files] : found)
        all.push_back(std::move(files));
    return all;
}

QString DictionaryForLanguage(const QString& tag, const QStringList& names) {
    const QStringList parts =
        tag.trimmed().replace(QLatin1Char('-'), QLatin1Char('_')).split(QLatin1Char('_'));
    const QString language = parts.value(0).toLower();
    if (language.isEmpty())
        return {};
    const auto named = [&names](const QString& name) {
        for (const QString& one : names)
            if (one.compare(name, Qt::CaseInsensitive) == 0)
                return one;
        return QString();
    };
    QString chosen;
    if (parts.size() > 1)
        chosen = named(language + QLatin1Char('_') + parts.at(1));
    if (chosen.isEmpty())
        chosen = named(language + QLatin1Char('_') +
                       (language == QLatin1String("en") ? QStringLiteral("US") : language));
    if (chosen.isEmpty())
        chosen = named(language);
    for (const QString& one : names)
        if (chosen.isEmpty() && one.startsWith(language + QLatin1Char('_'), Qt::CaseInsensitive))
            chosen = one;
    return chosen;
}

QString MissingDictionaryMessage() {
    return QCoreApplication::translate(
        "Spelling", "No spelling dictionary is installed, so nothing is checked.\r\n\r\n"
                    "Debian's dictionary packages bring them, one for each language: hunspell-en-us, "
                    "hunspell-en-gb, hunspell-de-de, hunspell-fr, ... (apt install hunspell-en-us; "
                    "all of them are named hunspell-*).");
}

SpellDictionary::SpellDictionary(const QString& name, std::unique_ptr<Hunspell> hunspell)
    : m_name(name), m_hunspell(std::move(hunspell)) {
    const QString set = converterName(QString::fromStdString(m_hunspell->get_dict_encoding()));
    m_utf8 = set.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0 || set.isEmpty();
    if (!m_utf8) {
        m_encoder = QStringEncoder(set.toLatin1().constData());
        m_decoder = QStringDecoder(set.toLatin1().constData());
    }
}

SpellDictionary::~SpellDictionary() = default;

std::unique_ptr<SpellDictionary> SpellDictionary::load(const DictionaryFiles& files, QString* reason) {
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return nullptr;
    };
    for (const QString& path : {files.affix, files.words}) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            return fail(
                QCoreApplication::translate("Spelling", "The dictionary file %1 cannot be read.").arg(path));
    }
    auto hunspell = std::make_unique<Hunspell>(QFile::encodeName(files.affix).constData(),
                                               QFile::encodeName(files.words).constData());
    std::unique_ptr<SpellDictionary> dictionary(new SpellDictionary(files.name, std::move(hunspell)));
    if (!dictionary->m_utf8 && (!dictionary->m_encoder.isValid() || !dictionary->m_decoder.isValid()))
        return fail(QCoreApplication::translate(
                        "Spelling", "The dictionary %1 is written in %2, which this program cannot read.")
                        .arg(files.name, dictionary->encoding()));
    return dictionary;
}

QString SpellDictionary::encoding() const {
    return QString::fromStdString(m_hunspell->get_dict_encoding());
}

std::optional<std::string> SpellDictionary::encode(const QString& word) {
    if (m_utf8)
        return word.toStdString();
    m_encoder.resetState();
    const QByteArray bytes = m_encoder.encode(word);
    // A character the encoding has no byte for comes out as a stand-in: such a word is in no
    // word list of this dictionary, and must not be taken for the word the stand-in spells.
    if (m_encoder.hasError() || decode(bytes.toStdString()) != word)
        return std::nullopt;
    return bytes.toStdString();
}

QString SpellDictionary::decode(const std::string& bytes) {
    if (m_utf8)
        return QString::fromStdString(bytes);
    m_decoder.resetState();
    return m_decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

bool SpellDictionary::isCorrect(QStringView view) {
    // Most words of a page were asked before: they are looked up in place, without a copy.
    if (const std::optional<bool> known = m_answers.find(view))
        return *known;
    const QString word = view.toString();
    const auto spell = [this](const QString& text) {
        const std::optional<std::string> bytes = encode(text);
        return bytes && m_hunspell->spell(*bytes);
    };
    bool correct = word.size() <= kLongestWord && spell(word);
    // A typographic apostrophe reads as the plain one where the dictionary knows only that.
    if (!correct && word.contains(QChar(0x2019)))
        correct = spell(QString(word).replace(QChar(0x2019), QLatin1Char('\'')));
    if (m_answers.size() >= kMostAnswers)
        m_answers.clear();
    m_answers.insert(word, correct);
    return correct;
}

QStringList SpellDictionary::suggestions(const QString& word, int limit) {
    const std::optional<std::string> bytes = encode(word.size() <= kLongestWord ? word : QString());
    QStringList offered;
    if (!bytes || bytes->empty())
        return offered;
    for (const std::string& one : m_hunspell->suggest(*bytes)) {
        if (offered.size() >= limit)
            break;
        const QString suggestion = decode(one);
        if (!suggestion.isEmpty() && !offered.contains(suggestion))
            offered << suggestion;
    }
    return offered;
}

SpellDictionary* SharedDictionary(const DictionaryFiles& files) {
    Q_ASSERT(!QCoreApplication::instance() ||
             QThread::currentThread() == QCoreApplication::instance()->thread());
    // By the files reached, so that names linked to one dictionary (de_BE, de_LU) load it once.
    static std::map<QString, std::unique_ptr<SpellDictionary>> loaded;
    const QString key = QFileInfo(files.affix).canonicalFilePath() + QLatin1Char('|') +
                        QFileInfo(files.words).canonicalFilePath();
    auto found = loaded.find(key);
    if (found == loaded.end())
        found = loaded.emplace(key, SpellDictionary::load(files)).first;
    return found->second.get();
}
