#include "markup/TagDialogsCode.h"

#include "markup/Attributes.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Where the tag ends: the first ">" outside a quoted value, or the end of the text.
int tagEnd(const QString& text) {
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i;
        }
    }
    return int(text.size());
}

} // namespace

BodyFields ReadBodyTag(const QString& selection) {
    BodyFields fields;
    QString sel = selection.trimmed();
    sel.replace(kCrLf, QStringLiteral(" ")).replace(QLatin1Char('\r'), QLatin1Char(' '));
    sel.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!sel.startsWith(QStringLiteral("<BODY "), Qt::CaseInsensitive))
        return fields;
    QString rest = sel.mid(5); // from the blank behind the name
    rest.truncate(tagEnd(rest));
    fields.background = ReadAttribute(1, 0, rest, QStringLiteral("BACKGROUND="));
    fields.bgcolor = ReadAttribute(1, 0, rest, QStringLiteral("BGCOLOR="));
    fields.text = ReadAttribute(1, 0, rest, QStringLiteral("TEXT="));
    // The longer names first, so LINK= can only be the plain link colour.
    fields.alink = ReadAttribute(1, 0, rest, QStringLiteral("ALINK="));
    fields.vlink = ReadAttribute(1, 0, rest, QStringLiteral("VLINK="));
    fields.link = ReadAttribute(1, 0, rest, QStringLiteral("LINK="));
    fields.other = rest.trimmed();
    return fields;
}

std::optional<BodyTagPlace> BodyTagSpan(const QString& selection) {
    qsizetype start = 0;
    while (start < selection.size() && selection.at(start).isSpace())
        ++start;
    // The name followed by a blank or a line break, as ReadBodyTag takes it.
    const QString head = selection.mid(start, 6);
    if (!head.startsWith(QStringLiteral("<BODY"), Qt::CaseInsensitive) || head.size() < 6 ||
        !head.at(5).isSpace())
        return std::nullopt;
    const QString rest = selection.mid(start + 5);
    const int end = tagEnd(rest);
    return BodyTagPlace{start, 5 + std::min<qsizetype>(end + 1, rest.size())};
}

QString BuildBodyTag(const BodyFields& fields) {
    QString tag = QStringLiteral("<BODY") + QuotedAttribute("BACKGROUND", fields.background) +
                  QuotedAttribute("BGCOLOR", fields.bgcolor) + QuotedAttribute("TEXT", fields.text) +
                  QuotedAttribute("LINK", fields.link) + QuotedAttribute("ALINK", fields.alink) +
                  QuotedAttribute("VLINK", fields.vlink);
    const QString other = fields.other.trimmed();
    if (!other.isEmpty())
        tag += QLatin1Char(' ') + other;
    return tag + QLatin1Char('>') + kCrLf;
}

LinkFields ReadLinkSelection(const QString& selection) {
    LinkFields fields;
    fields.name = selection;
    fields.url = selection;
    fields.protocol = QStringLiteral("http://");
    const QString start = selection.left(7).toLower();
    if (start.startsWith(QStringLiteral("www."))) {
        // an address without its protocol: the web's
    } else if (start.startsWith(QStringLiteral("http://"))) {
        fields.url = selection.mid(7);
    } else if (start.startsWith(QStringLiteral("ftp://"))) {
        fields.protocol = QStringLiteral("Ftp://");
        fields.url = selection.mid(6);
    } else if (start.startsWith(QStringLiteral("mailto:"))) {
        fields.protocol = QStringLiteral("mailto:");
        fields.url = selection.mid(7);
    } else {
        fields.protocol.clear();
    }
    return fields;
}

QString BuildLinkTag(const LinkFields& fields) {
    QString tag = QStringLiteral("<A HREF=\"") + fields.protocol + fields.url + QLatin1Char('"') +
                  QuotedAttribute("TARGET", fields.target) + QLatin1Char('>');
    if (fields.usePicture)
        tag +=
            QStringLiteral("<IMG SRC=\"") + fields.picture + QStringLiteral("\" BORDER=\"0\" ALT=\"\"></A>");
    else
        tag += fields.name + QStringLiteral("</A>");
    if (fields.lineBreak)
        tag += QStringLiteral("<BR>") + kCrLf;
    return tag;
}

QString BuildListCode(bool numbered, int rows, const QString& indent) {
    const QString name = numbered ? QStringLiteral("OL") : QStringLiteral("UL");
    QString code = QLatin1Char('<') + name + QLatin1Char('>') + kCrLf;
    for (int i = 1; i <= rows; ++i)
        code += indent + QStringLiteral("<LI> Row") + QString::number(i) + QStringLiteral(" </LI>") + kCrLf;
    return code + QStringLiteral("</") + name + QLatin1Char('>') + kCrLf;
}

QString BuildFontTag(const QString& size, const QString& face, const QString& colour) {
    return QStringLiteral("<FONT") + QuotedAttribute("SIZE", size) + QuotedAttribute("FACE", face) +
           QuotedAttribute("COLOR", colour) + QLatin1Char('>');
}
