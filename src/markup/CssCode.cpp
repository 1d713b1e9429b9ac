#include "markup/CssCode.h"

#include "platform/TextFile.h"

#include <QRegularExpression>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool IsBreakOrTab(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t');
}

// Every run of line breaks and tabs becomes one blank, so words on two lines stay two words.
QString Flatten(const QString& text) {
    QString flat;
    flat.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (!IsBreakOrTab(text.at(i))) {
            flat += text.at(i);
            continue;
        }
        flat += QLatin1Char(' ');
        while (i + 1 < text.size() && IsBreakOrTab(text.at(i + 1)))
            ++i;
    }
    return flat;
}

// The lines worth offering: trimmed, without blank lines and "<--" lines.
bool Offered(const QString& line) {
    return !line.isEmpty() && !line.startsWith(QStringLiteral("<--"));
}

// Where the item starting at `from` ends: the index of its closing ";", or -1 when none follows.
// With `nested`, a ";" inside quotes or parentheses does not close it; `open` then tells whether
// the text ended inside them.
int ItemEnd(const QString& text, int from, bool nested, bool* open = nullptr) {
    QChar quote;
    int depth = 0;
    for (int i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!nested) {
            if (c == QLatin1Char(';'))
                return i;
            continue;
        }
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')') && depth > 0) {
            --depth;
        } else if (c == QLatin1Char(';') && depth == 0) {
            return i;
        }
    }
    if (open)
        *open = !quote.isNull() || depth > 0;
    return -1;
}

} // namespace

CssVocabulary ParseCssVocabulary(const QString& text) {
    static const QStringList markers{QStringLiteral("<-- Properties: -->"), QStringLiteral("<-- Values: -->"),
                                     QStringLiteral("<-- Units: -->"), QStringLiteral("<-- End -->")};
    CssVocabulary vocabulary;
    QStringList* sections[] = {&vocabulary.commands, &vocabulary.properties, &vocabulary.values,
                               &vocabulary.units};
    const QStringList lines = SplitLines(text);
    int section = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line == markers.at(section)) {
            if (++section == markers.size())
                break;
            continue;
        }
        if (Offered(line))
            sections[section]->append(line);
    }
    return vocabulary;
}

QStringList ParseValueList(const QString& text) {
    QStringList values;
    for (const QString& line : SplitLines(text))
        if (Offered(line.trimmed()))
            values << line.trimmed();
    return values;
}

bool IsPropertyFileName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9-]+$"));
    return pattern.match(name).hasMatch();
}

QStringList ReadPropertyValues(const QString& folder, const QString& property) {
    if (!IsPropertyFileName(property))
        return {};
    for (const QString& name : {property, property.toLower()}) {
        LoadedText loaded;
        QString reason;
        if (readTextFile(folder + QLatin1Char('/') + name + QStringLiteral(".txt"), loaded, reason,
                         Links::Refuse))
            return ParseValueList(loaded.text);
    }
    return {};
}

CssVocabulary ReadCssVocabulary(const QString& path) {
    LoadedText loaded;
    QString reason;
    if (!readTextFile(path, loaded, reason, Links::Refuse))
        return {};
    return ParseCssVocabulary(loaded.text);
}

QStringList SplitProperties(const QString& properties) {
    QStringList items;
    int at = 0;
    const int size = static_cast<int>(properties.size());
    while (at < size) {
        while (at < size && properties.at(at).isSpace())
            ++at;
        if (at >= size)
            break;
        bool open = false;
        int end = ItemEnd(properties, at, true, &open);
        // A quote or parenthesis that never closes cannot hold the rest of the text: then the
        // plain ";" ends the item.
        if (end < 0 && open)
            end = ItemEnd(properties, at, false);
        QString item = end < 0 ? properties.mid(at) : properties.mid(at, end - at + 1);
        at = end < 0 ? size : end + 1;
        if (end < 0) {
            while (!item.isEmpty() && item.back().isSpace())
                item.chop(1);
            item += QLatin1Char(';');
        }
        if (item != QStringLiteral(";"))
            items << item;
    }
    return items;
}

QString JoinProperties(const QStringList& items) {
    return items.join(QLatin1Char(' '));
}

QString PropertyName(const QString& item) {
    const int colon = static_cast<int>(item.indexOf(QLatin1Char(':')));
    QString name = colon < 0 ? item : item.left(colon);
    if (colon < 0 && name.endsWith(QLatin1Char(';')))
        name.chop(1);
    return name.trimmed();
}

QString PropertyValue(const QString& item) {
    const int colon = static_cast<int>(item.indexOf(QLatin1Char(':')));
    if (colon < 0)
        return QString();
    QString value = item.mid(colon + 1);
    if (value.endsWith(QLatin1Char(';')))
        value.chop(1);
    return value.trimmed();
}

QList<CssRule> ReadCssRules(const QString& text, qsizetype* rulesEnd) {
    QList<CssRule> rules;
    int from = 0;
    if (rulesEnd)
        *rulesEnd = text.size();
    for (;;) {
        const int open = static_cast<int>(text.indexOf(QLatin1Char('{'), from));
        if (open < 0) {
            if (rulesEnd)
                *rulesEnd = from;
            break;
        }
        const int close = static_cast<int>(text.indexOf(QLatin1Char('}'), open + 1));
        CssRule rule;
        rule.command = Flatten(text.mid(from, open - from)).trimmed();
        const QString properties = close < 0 ? text.mid(open + 1) : text.mid(open + 1, close - open - 1);
        rule.properties = JoinProperties(SplitProperties(Flatten(properties)));
        rules << rule;
        if (close < 0)
            break;
        from = close + 1;
    }
    return rules;
}

StyleSelection ReadStyleSelection(const QString& selected) {
    StyleSelection result;
    QString block = selected;
    const int open = static_cast<int>(block.indexOf(QStringLiteral("<STYLE"), 0, Qt::CaseInsensitive));
    const int end = open < 0 ? -1 : static_cast<int>(block.indexOf(QLatin1Char('>'), open));
    if (end >= 0) {
        result.before = block.left(open);
        block = block.mid(end + 1);
    }
    const int close = static_cast<int>(block.indexOf(QStringLiteral("</STYLE>"), 0, Qt::CaseInsensitive));
    if (close >= 0) {
        result.after = block.mid(close + 8);
        block.truncate(close);
        result.rules = ReadCssRules(block);
        return result;
    }
    // Without a "</STYLE>", the text after the last rule is no rule: it is kept, not dropped.
    qsizetype rulesEnd = 0;
    result.rules = ReadCssRules(block, &rulesEnd);
    result.after = block.mid(rulesEnd);
    return result;
}

QString BuildCss(const QList<CssRule>& rules, CssLayout layout, bool external, const QString& indent) {
    QString text;
    if (!external)
        text += QStringLiteral("<STYLE TYPE=\"text/css\">") + kCrLf;
    int last = static_cast<int>(rules.size()) - 1;
    while (last >= 0 && rules.at(last).isEmpty())
        --last;
    for (int i = 0; i <= last; ++i) {
        const CssRule& rule = rules.at(i);
        if (rule.isEmpty())
            continue;
        if (layout == CssLayout::OneRow) {
            text += rule.command + indent + QLatin1Char('{') + rule.properties + QLatin1Char('}') + kCrLf;
            continue;
        }
        text += rule.command + indent + QLatin1Char('{') + kCrLf;
        for (const QString& item : SplitProperties(rule.properties))
            text += indent + item + kCrLf;
        text += indent + QLatin1Char('}') + kCrLf;
        if (i != last)
            text += kCrLf;
    }
    if (!external)
        text += QStringLiteral("</STYLE>") + kCrLf;
    return text;
}

QString CssUrl(const QString& reference) {
    QString encoded;
    for (const QChar c : reference) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('(') || c == QLatin1Char(')') ||
            c == QLatin1Char('\'') || c == QLatin1Char('"'))
            encoded += QLatin1Char('%') + QString::number(c.unicode(), 16).toUpper().rightJustified(2, '0');
        else
            encoded += c;
    }
    return QStringLiteral("url(") + encoded + QLatin1Char(')');
}
