#include "markup/CompletionLists.h"

#include "markup/LineEndings.h"
#include "platform/LoadedDataFile.h"
#include "platform/Log.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <optional>

namespace {

const QString kUpgradeSection = QStringLiteral("Upgrades");
const QString kOfferedKey = QStringLiteral("CommandWordsOffered");

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n') || c == QLatin1Char('\f');
}

bool isQuote(QChar c) {
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

bool isNameChar(QChar c) {
    return !isBlank(c) && !isQuote(c) && c != QLatin1Char('<') && c != QLatin1Char('>') &&
           c != QLatin1Char('/') && c != QLatin1Char('=');
}

void addOnce(QStringList& list, const QString& name) {
    if (!list.contains(name, Qt::CaseInsensitive))
        list << name;
}

// The non-blank lines of a word list, trimmed.
QStringList wordsOf(const QString& text) {
    QStringList words;
    for (const QString& line : SplitLines(text)) {
        if (!line.trimmed().isEmpty())
            words << line.trimmed();
    }
    return words;
}

// `text` with `words` added as lines, in its own breaks (LF where it has none); it keeps ending
// with a break, or without one, as it did.
QString withWordsAppended(const QString& text, const QStringList& words) {
    const std::optional<SaveFormat> format = DetectLineBreaks(text);
    const QString lineBreak = format == SaveFormat::Dos   ? QStringLiteral("\r\n")
                              : format == SaveFormat::Mac ? QStringLiteral("\r")
                                                          : QStringLiteral("\n");
    const bool endsWithBreak = text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
    return text + (endsWithBreak ? QString() : lineBreak) + words.join(lineBreak) +
           (endsWithBreak ? lineBreak : QString());
}

} // namespace

AttributeTable AttributeTable::parse(const QString& text) {
    AttributeTable table;
    for (const QString& line : SplitLines(text)) {
        QStringList names = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (names.isEmpty() || names.first().startsWith(QLatin1Char('#')))
            continue;
        const QString element = names.takeFirst().toLower();
        QStringList& list = element == QLatin1String("*") ? table.m_global : table.m_elements[element];
        for (const QString& name : std::as_const(names))
            addOnce(list, name);
    }
    return table;
}

QStringList AttributeTable::offeredIn(const QString& element) const {
    QStringList offered = m_elements.value(element.toLower());
    for (const QString& name : m_global)
        addOnce(offered, name);
    return offered;
}

const AttributeTable& LoadedAttributeTable(const QString& path) {
    return LoadedDataFile<AttributeTable>(path);
}

AttributePlace AttributePlaceAt(QStringView text, int cursor) {
    Q_ASSERT(cursor >= 0 && cursor <= text.size());
    AttributePlace place;
    const QStringView before = text.left(cursor);
    const qsizetype open = before.lastIndexOf(QLatin1Char('<'));
    if (open < 0 || before.lastIndexOf(u"<!--") > before.lastIndexOf(u"-->") || open + 1 >= text.size() ||
        !text.at(open + 1).isLetter())
        return place;
    qsizetype i = open + 1;
    while (i < text.size() && isNameChar(text.at(i)))
        ++i;
    if (cursor <= i)
        return place; // in the element's name
    place.element = text.mid(open + 1, i - open - 1).toString();

    // Through the attributes to the tag's end, noting the state at the cursor on the way.
    enum { Between, Name, AfterName, AfterEquals, Quoted, Unquoted } state = Between;
    QChar quote;
    qsizetype nameStart = -1;
    qsizetype typedStart = -1;
    const auto endName = [&](qsizetype end) {
        if (nameStart != typedStart)
            place.present << text.mid(nameStart, end - nameStart).toString().toLower();
    };
    for (;; ++i) {
        if (i == cursor) {
            place.inStartTag = true;
            if (state == Between || state == AfterName) {
                place.atName = isBlank(text.at(i - 1));
                place.start = cursor;
            } else if (state == Name) {
                place.atName =
                    isBlank(text.at(nameStart - 1)) && (i == text.size() || !isNameChar(text.at(i)));
                place.start = int(nameStart);
                place.typed = text.mid(nameStart, cursor - nameStart).toString();
                typedStart = nameStart;
            }
        }
        if (i == text.size()) {
            if (state == Name)
                endName(i);
            break;
        }
        const QChar c = text.at(i);
        if (state == Quoted) {
            if (c == quote)
                state = Between;
            continue;
        }
        if (state == Name) {
            if (isNameChar(c))
                continue;
            endName(i);
            state = AfterName;
        }
        if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            if (i < cursor)
                return AttributePlace(); // the tag ended before the cursor
            break;
        }
        if (state == Unquoted) {
            if (isBlank(c))
                state = Between;
        } else if (isBlank(c)) {
            // Blanks may stand around "=": a name followed by blanks may still get its value.
        } else if (c == QLatin1Char('=')) {
            state = state == AfterName ? AfterEquals : Between;
        } else if (isQuote(c)) {
            quote = c; // a stray quote opens a value too: nothing is offered inside quotes
            state = Quoted;
        } else if (c == QLatin1Char('/')) {
            state = Between;
        } else if (state == AfterEquals) {
            state = Unquoted;
        } else {
            nameStart = i;
            state = Name;
        }
    }
    return place;
}

void UpgradeCommandList(const QString& path, const QString& shippedPath) {
    QFile shippedFile(shippedPath);
    if (!shippedFile.open(QIODevice::ReadOnly)) {
        qCWarning(lcQuillora) << "shipped command list missing:" << shippedPath << "-"
                              << shippedFile.errorString();
        return;
    }
    const QStringList shipped = wordsOf(QString::fromUtf8(shippedFile.readAll()));
    const QStringList offered =
        SettingsStore::read(kUpgradeSection, kOfferedKey).split(' ', Qt::SkipEmptyParts);
    QStringList fresh;
    for (const QString& word : shipped) {
        Q_ASSERT(!word.contains(QLatin1Char(' '))); // the record below separates words by blanks
        if (!offered.contains(word, Qt::CaseInsensitive))
            fresh << word;
    }
    if (fresh.isEmpty())
        return;

    // Links are refused here rather than by the reader, which would log its refusal as well: the
    // list is read again right after this, and that reading logs what keeps it from being read.
    if (QFileInfo(path).isSymLink()) {
        qCWarning(lcQuillora) << "command list not brought up to date:" << path << "is a link";
        return;
    }
    LoadedText loaded;
    QString reason;
    if (!readTextFile(path, loaded, reason, Links::Follow)) {
        qCWarning(lcQuillora) << "command list not brought up to date:" << reason;
        return;
    }
    const QStringList have = wordsOf(loaded.text);
    QStringList missing;
    for (const QString& word : std::as_const(fresh))
        if (!have.contains(word, Qt::CaseInsensitive))
            missing << word;
    // An empty list is the user's choice (or no list at all): it is not filled with new words alone.
    if (!have.isEmpty() && !missing.isEmpty() &&
        !writeTextFile(path, withWordsAppended(loaded.text, missing), loaded.encoding, reason, nullptr,
                       Links::Refuse)) {
        qCWarning(lcQuillora) << "command list not brought up to date:" << reason;
        return;
    }
    SettingsStore::write(kUpgradeSection, kOfferedKey, (offered + fresh).join(QLatin1Char(' ')));
}
