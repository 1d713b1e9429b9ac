#include "markup/LinkScan.h"

#include "markup/MarkupNames.h"

#include <QVarLengthArray>

// The page is read once from its start, as a browser's tokenizer reads it, but only as far as links
// need: a start tag's attributes are read with their places (a quoted value may hold ">"), end tags
// are read past the same way, and comments, "<!...>" declarations, CDATA sections and the contents
// of script, style, textarea, title, xmp, iframe, noembed and noframes hold no tags (noscript's
// contents are links for readers without scripts, so they are read). Style contents and style
// attributes are read as CSS for their url() values. Server code is skipped as a whole wherever it
// stands, as the server reads it first; a value that holds some is not taken, since only the server
// knows what it becomes.

namespace {

using namespace MarkupNames;

// Lines and columns of offsets asked for in increasing order, the text read once over all.
class PlaceCounter {
public:
    explicit PlaceCounter(QStringView text) : m_text(text) {}

    TextPlace at(qsizetype offset) {
        if (offset < m_at) // never asked so, but a place must not come out wrong if it were
            *this = PlaceCounter(m_text);
        for (; m_at < offset; ++m_at) {
            const QChar c = m_text[m_at];
            if (c == u'\n' || (c == u'\r' && (m_at + 1 == m_text.size() || m_text[m_at + 1] != u'\n'))) {
                ++m_line;
                m_lineStart = m_at + 1;
            }
        }
        return {m_line, int(offset - m_lineStart + 1)};
    }

private:
    QStringView m_text;
    qsizetype m_at = 0, m_lineStart = 0;
    int m_line = 1;
};

struct Attribute {
    QStringView name;
    qsizetype valueStart = -1, valueEnd = -1; // no value: -1
    bool serverCode = false;                  // the value holds server code
};

// How a value's text becomes the reference it says.
enum class Reading {
    Attribute,    // character references decoded
    AttributeCss, // the same, then the quotes of a CSS string written as "&quot;" dropped
    Raw,          // as it stands (style contents)
};

// A character of a CSS name, which "url(" must not end: "myurl(" is a function of its own.
bool isCssNameChar(QChar c) {
    return c.unicode() >= 0x80 || isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' ||
           c == u'\\';
}

class LinkScanner {
public:
    explicit LinkScanner(QStringView text) : m_text(text), m_places(text) {}

    PageLinks run() {
        const qsizetype size = m_text.size();
        for (qsizetype k = 0; (k = m_text.indexOf(u'<', k)) >= 0 && k + 1 < size;) {
            const QChar next = m_text[k + 1];
            const QStringView rest = m_text.sliced(k);
            if (next == u'?' || next == u'%') {
                // An XML declaration is the only "<?" that is no server code in these pages.
                if (!rest.startsWith(u"<?xml") || rest.size() < 6 || !isSpace(rest[5]))
                    m_links.serverCode = true;
                k = serverCodeEnd(k);
            } else if (rest.startsWith(u"<!--")) {
                k = skipPast(k + 4, u"-->");
            } else if (rest.startsWith(u"<![CDATA[")) {
                k = skipPast(k + 9, u"]]>");
            } else if (isNameStart(next)) {
                k = startTag(k);
            } else if (next == u'/' && k + 2 < size && isNameStart(m_text[k + 2])) {
                k = readTag(nameEnd(k + 2));
            } else if (next == u'/' || next == u'!') {
                k = skipPast(k + 2, u">");
            } else {
                ++k;
            }
            if (k < 0) // a tag the text ends in: the browser drops it and nothing follows
                break;
        }
        return std::move(m_links);
    }

private:
    bool serverCodeAt(qsizetype at) const {
        return at + 1 < m_text.size() && m_text[at] == u'<' &&
               (m_text[at + 1] == u'?' || m_text[at + 1] == u'%');
    }
    // From the "<" of server code: the place after its "?>" or "%>", or the text's end.
    qsizetype serverCodeEnd(qsizetype at) const {
        const qsizetype close = m_text.indexOf(m_text[at + 1] == u'?' ? u"?>" : u"%>", at + 2);
        return close < 0 ? m_text.size() : close + 2;
    }
    qsizetype skipPast(qsizetype from, QStringView closer) const {
        const qsizetype found = m_text.indexOf(closer, from);
        return found < 0 ? m_text.size() : found + closer.size();
    }
    qsizetype skipBlanks(qsizetype from) const {
        while (from < m_text.size() && isSpace(m_text[from]))
            ++from;
        return from;
    }
    qsizetype nameEnd(qsizetype from) const {
        while (from < m_text.size() && !isSpace(m_text[from]) && m_text[from] != u'/' && m_text[from] != u'>')
            ++from;
        return from;
    }

    // Reads a tag's attributes from after its name into m_attributes; returns the place after its
    // ">", or -1 when the text ends inside the tag.
    qsizetype readTag(qsizetype k) {
        m_attributes.clear();
        const qsizetype size = m_text.size();
        while (k < size) {
            const QChar c = m_text[k];
            if (c == u'>')
                return k + 1;
            if (isSpace(c) || c == u'/') {
                ++k;
                continue;
            }
            if (serverCodeAt(k)) {
                m_links.serverCode = true;
                k = serverCodeEnd(k);
                continue;
            }
            Attribute attribute;
            const qsizetype nameStart = k++; // a first "=" belongs to the name
            while (k < size && !isSpace(m_text[k]) && m_text[k] != u'/' && m_text[k] != u'>' &&
                   m_text[k] != u'=' && !serverCodeAt(k))
                ++k;
            attribute.name = m_text.sliced(nameStart, k - nameStart);
            if (const qsizetype equals = skipBlanks(k); equals < size && m_text[equals] == u'=') {
                k = skipBlanks(equals + 1);
                const QChar quote = k < size ? m_text[k] : QChar();
                const bool quoted = quote == u'"' || quote == u'\'';
                if (quoted)
                    ++k;
                attribute.valueStart = k;
                for (; k < size; ++k) {
                    if (serverCodeAt(k)) {
                        m_links.serverCode = attribute.serverCode = true;
                        k = serverCodeEnd(k) - 1;
                    } else if (quoted ? m_text[k] == quote : isSpace(m_text[k]) || m_text[k] == u'>') {
                        break;
                    }
                }
                if (k >= size)
                    return -1;
                attribute.valueEnd = k;
                if (quoted)
                    ++k;
            }
            m_attributes.push_back(attribute);
        }
        return -1;
    }

    // From a start tag's "<": reads it and takes its links; returns where reading goes on.
    qsizetype startTag(qsizetype at) {
        const qsizetype name = at + 1, end = nameEnd(name);
        const QStringView element = m_text.sliced(name, end - name);
        const qsizetype after = readTag(end);
        if (after < 0)
            return -1;
        takeAttributes(element);
        return contentsEnd(element, after);
    }

    void takeAttributes(QStringView element) {
        const bool anchorElement = sameName(element, u"a"), baseElement = sameName(element, u"base");
        for (qsizetype i = 0; i < m_attributes.size(); ++i) {
            const Attribute& attribute = m_attributes[i];
            const QStringView name = attribute.name;
            // The first of several attributes of one name is the one browsers keep.
            bool repeated = false;
            for (qsizetype j = 0; j < i && !repeated; ++j)
                repeated = sameName(m_attributes[j].name, name);
            if (repeated || attribute.valueStart < 0 || attribute.serverCode)
                continue;
            const qsizetype start = attribute.valueStart, end = attribute.valueEnd;
            if (sameName(name, u"id") || (anchorElement && sameName(name, u"name"))) {
                m_links.anchors.insert(DecodeCharacterReferences(m_text.sliced(start, end - start)));
            } else if (sameName(name, u"srcset")) {
                srcsetCandidates(start, end);
            } else if (sameName(name, u"style")) {
                cssUrls(start, end, Reading::AttributeCss);
            } else if (baseElement && sameName(name, u"href")) {
                if (!m_links.base)
                    m_links.base = reference(start, end, Reading::Attribute);
            } else if (isUrlAttribute(name)) {
                add(start, end, Reading::Attribute);
            }
        }
    }

    static bool isUrlAttribute(QStringView name) {
        static const QStringView kNames[] = {u"href",   u"src",  u"action",    u"background",
                                             u"poster", u"data", u"xlink:href"};
        for (const QStringView one : kNames)
            if (sameName(name, one))
                return true;
        return false;
    }

    // Where the contents after a start tag named `element`, ending at `after`, end; style contents
    // are read for their links on the way.
    qsizetype contentsEnd(QStringView element, qsizetype after) {
        static const QStringView kText[] = {u"script", u"textarea", u"title",   u"xmp",
                                            u"iframe", u"noembed",  u"noframes"};
        if (sameName(element, u"style")) {
            const qsizetype close = rawTextEnd(after, u"style");
            cssUrls(after, close, Reading::Raw);
            return close;
        }
        if (sameName(element, u"plaintext"))
            return -1;
        for (const QStringView one : kText)
            if (sameName(element, one))
                return rawTextEnd(after, one);
        return after;
    }

    // The "<" of the end tag named `element` from `from` on, or the text's end.
    qsizetype rawTextEnd(qsizetype from, QStringView element) const {
        const qsizetype size = m_text.size(), length = element.size();
        for (qsizetype k = m_text.indexOf(u"</", from); k >= 0; k = m_text.indexOf(u"</", k + 2)) {
            const qsizetype after = k + 2 + length;
            if (after <= size && sameName(m_text.sliced(k + 2, length), element) &&
                (after == size || isSpace(m_text[after]) || m_text[after] == u'/' || m_text[after] == u'>'))
                return k;
        }
        return size;
    }

    // The candidates of a srcset, as browsers split it: a URL runs to a blank (commas at its end
    // are separators), and its descriptors to the next comma outside parentheses.
    void srcsetCandidates(qsizetype k, qsizetype end) {
        while (k < end) {
            while (k < end && (isSpace(m_text[k]) || m_text[k] == u','))
                ++k;
            const qsizetype url = k;
            while (k < end && !isSpace(m_text[k]))
                ++k;
            qsizetype urlEnd = k;
            if (urlEnd > url && m_text[urlEnd - 1] == u',') {
                while (urlEnd > url && m_text[urlEnd - 1] == u',')
                    --urlEnd;
            } else {
                for (bool inParentheses = false; k < end && (inParentheses || m_text[k] != u','); ++k)
                    if (m_text[k] == u'(' || m_text[k] == u')')
                        inParentheses = m_text[k] == u'(';
            }
            add(url, urlEnd, Reading::Attribute);
        }
    }

    // The url() values of CSS in [k, end), comments and strings skipped.
    void cssUrls(qsizetype k, qsizetype end, Reading reading) {
        while (k < end) {
            const QChar c = m_text[k];
            if (c == u'/' && k + 1 < end && m_text[k + 1] == u'*') {
                const qsizetype close = m_text.indexOf(u"*/", k + 2);
                k = close < 0 || close >= end ? end : close + 2;
            } else if (c == u'"' || c == u'\'') {
                k = stringEnd(k, end);
            } else if ((c == u'u' || c == u'U') && k + 4 <= end && sameName(m_text.sliced(k, 3), u"url") &&
                       m_text[k + 3] == u'(' && (k == 0 || !isCssNameChar(m_text[k - 1]))) {
                const qsizetype value = skipBlanks(k + 4);
                if (value < end && (m_text[value] == u'"' || m_text[value] == u'\'')) {
                    k = stringEnd(value, end);
                    add(value + 1, std::max(value + 1, k - 1), reading);
                } else {
                    const qsizetype close = m_text.indexOf(u')', value);
                    k = close < 0 || close >= end ? end : close;
                    add(std::min(value, k), k, reading);
                }
            } else {
                ++k;
            }
        }
    }

    // From a CSS string's opening quote: the place after its closing one (escapes skipped), or `end`.
    qsizetype stringEnd(qsizetype k, qsizetype end) const {
        const QChar quote = m_text[k];
        for (++k; k < end; ++k) {
            if (m_text[k] == u'\\')
                ++k;
            else if (m_text[k] == quote)
                return k + 1;
        }
        return end;
    }

    std::optional<PageReference> reference(qsizetype start, qsizetype end, Reading reading) {
        while (start < end && isSpace(m_text[start]))
            ++start;
        while (end > start && isSpace(m_text[end - 1]))
            --end;
        const QStringView written = m_text.sliced(start, end - start);
        QString value = reading == Reading::Raw ? written.toString() : DecodeCharacterReferences(written);
        value = value.trimmed();
        if (reading == Reading::AttributeCss && value.size() >= 2 &&
            (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
            value = value.sliced(1, value.size() - 2).trimmed();
        if (value.isEmpty()) // the page itself: nothing to check
            return std::nullopt;
        return PageReference{written.toString(), std::move(value), m_places.at(start), m_places.at(end)};
    }

    void add(qsizetype start, qsizetype end, Reading reading) {
        if (std::optional<PageReference> found = reference(start, end, reading))
            m_links.references.push_back(std::move(*found));
    }

    QStringView m_text;
    PlaceCounter m_places;
    PageLinks m_links;
    QVarLengthArray<Attribute, 16> m_attributes;
};

// The character a reference names, or nothing. `name` is between "&" and ";".
std::optional<char32_t> referencedCharacter(QStringView name) {
    if (name.startsWith(u'#')) {
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const QStringView digits = name.sliced(hex ? 2 : 1);
        bool ok = false;
        const uint code = digits.isEmpty() || digits[0] == u'+' || digits[0] == u'-'
                              ? 0
                              : digits.toUInt(&ok, hex ? 16 : 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        return char32_t(code);
    }
    static const struct {
        QStringView name;
        char32_t code;
    } kNamed[] = {{u"amp", U'&'},  {u"lt", U'<'},    {u"gt", U'>'},
                  {u"quot", U'"'}, {u"apos", U'\''}, {u"nbsp", 0xA0}};
    for (const auto& one : kNamed)
        if (name == one.name)
            return one.code;
    return std::nullopt;
}

} // namespace

PageLinks ScanPageLinks(QStringView text) {
    return LinkScanner(text).run();
}

QString DecodeCharacterReferences(QStringView text) {
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;
    for (; amp >= 0; amp = text.indexOf(u'&', amp + 1)) {
        const qsizetype semicolon = text.indexOf(u';', amp + 1);
        // The longest reference these values use: "&#x10FFFF;".
        if (semicolon < 0 || semicolon - amp > 10)
            continue;
        const std::optional<char32_t> character =
            referencedCharacter(text.sliced(amp + 1, semicolon - amp - 1));
        if (!character)
            continue;
        out.append(text.sliced(copied, amp - copied));
        const char32_t code = *character;
        out.append(QStringView(QChar::fromUcs4(code)));
        copied = semicolon + 1;
        amp = semicolon;
    }
    out.append(text.sliced(copied));
    return out;
}
