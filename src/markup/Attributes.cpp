#include "markup/Attributes.h"

namespace {

bool isBlank(QChar c) {
    return c.isSpace();
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

// The 0-based position of the first attribute named `name` at or after `from` and before `end`,
// or -1: names begin at `from`, after a blank or right after a quoted value's closing quote.
int findAttributeName(const QString& text, const QString& name, int from, int end) {
    QChar openQuote;
    bool atAttributeStart = true;
    for (int i = from; i < end; ++i) {
        const QChar c = text.at(i);
        if (!openQuote.isNull()) {
            if (c == openQuote) {
                openQuote = QChar();
                atAttributeStart = true;
            }
            continue;
        }
        if (atAttributeStart && QStringView(text).mid(i).startsWith(name, Qt::CaseInsensitive))
            return i;
        if (isQuote(c))
            openQuote = c;
        atAttributeStart = isBlank(c);
    }
    return -1;
}

} // namespace

QString ReadAttribute(int start, int limit, QString& text, const QString& name) {
    if (name.isEmpty())
        return QString();
    const int end = limit <= 0 ? int(text.size()) : qMin(limit, int(text.size()));
    const int nameAt = findAttributeName(text, name, qMax(start, 1) - 1, end);
    if (nameAt < 0)
        return QString();

    int valueAt = nameAt + int(name.size());
    QChar quote = name.endsWith(u'"') ? QChar(u'"') : QChar();
    if (quote.isNull() && valueAt < text.size() && isQuote(text.at(valueAt)))
        quote = text.at(valueAt++);

    int valueEnd = valueAt; // one past the value's last character
    int cutEnd = valueAt;   // one past what is cut out with it (a closing quote too)
    if (!quote.isNull()) {
        const int closing = text.indexOf(quote, valueAt);
        if (closing >= 0) {
            valueEnd = closing;
            cutEnd = closing + 1;
        } else {
            const int tagEnd = text.indexOf(u'>', valueAt);
            valueEnd = cutEnd = tagEnd >= 0 ? tagEnd : int(text.size());
        }
    } else {
        // A quote ends it too: cut out with the value, a quote would turn what follows inside out
        // for the next reading (quoted text read as attributes, attributes as quoted text).
        while (valueEnd < text.size() && !isBlank(text.at(valueEnd)) && text.at(valueEnd) != u'>' &&
               !isQuote(text.at(valueEnd)))
            ++valueEnd;
        cutEnd = valueEnd;
    }
    if (valueEnd <= valueAt || valueEnd > end)
        return QString();

    const QString value = text.mid(valueAt, valueEnd - valueAt);
    int cutStart = nameAt;
    if (quote.isNull() && cutStart > 0 && isBlank(text.at(cutStart - 1)))
        --cutStart;
    // What stood on either side stays apart: joined, two pieces of text would read as one value
    // ("a"b" from a="1"X="2"b"), which is nowhere in the tag.
    const bool joins = cutStart > 0 && cutEnd < text.size() && !isBlank(text.at(cutStart - 1)) &&
                       !isBlank(text.at(cutEnd)) && text.at(cutEnd) != u'>';
    text.replace(cutStart, cutEnd - cutStart, joins ? QStringLiteral(" ") : QString());
    return value;
}

QString QuotedAttribute(const char* name, const QString& value) {
    if (value.isEmpty())
        return {};
    const QLatin1String key(name);
    QString attribute;
    attribute.reserve(key.size() + value.size() + 4);
    attribute += u' ';
    attribute += key;
    attribute += QLatin1String("=\"");
    attribute += value;
    attribute += u'"';
    return attribute;
}
