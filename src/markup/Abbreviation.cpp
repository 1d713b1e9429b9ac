#include "markup/Abbreviation.h"

#include "platform/LoadedDataFile.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <vector>

namespace {

const QString kBreak = QStringLiteral("\r\n");
// Element nesting and groups together; deeper abbreviations are refused before they are read on.
constexpr int kMaxLevels = 100;
constexpr int kMaxRepeat = 1000;
constexpr int kDefaultLoremWords = 30;

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
bool isNameChar(QChar c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || c == u'-' || c == u'_' || c == u':';
}
bool isAttributeNameChar(QChar c) {
    return isNameChar(c) || c == u'.' || c == u'@';
}
// The characters that end an id or a class: the operators and the starts of the other parts.
bool isValueChar(QChar c) {
    return !c.isSpace() && !QStringView(u".#[]{}()>+^*!\"'<=").contains(c);
}

bool inSet(const QString& name, std::initializer_list<const char16_t*> names) {
    for (const char16_t* one : names)
        if (name == QStringView(one))
            return true;
    return false;
}
bool isVoidElement(const QString& name) {
    return inSet(name, {u"area", u"base", u"br", u"col", u"embed", u"hr", u"img", u"input", u"link", u"meta",
                        u"param", u"source", u"track", u"wbr"});
}
// Elements that sit inside a line of text; their content is kept on their line.
bool isPhrasing(const QString& name) {
    return inSet(name,
                 {u"a",      u"abbr", u"b",      u"bdi",      u"bdo",  u"br",   u"button", u"cite",  u"code",
                  u"data",   u"del",  u"dfn",    u"em",       u"i",    u"img",  u"input",  u"ins",   u"kbd",
                  u"label",  u"mark", u"output", u"q",        u"s",    u"samp", u"select", u"small", u"span",
                  u"strong", u"sub",  u"sup",    u"textarea", u"time", u"u",    u"var",    u"wbr"});
}

// The element a name-less part stands for inside `parent`. Paragraphs and headings hold text, so
// they get a span as the phrasing elements do.
QString impliedElement(const QString& parent) {
    if (inSet(parent, {u"ul", u"ol", u"menu"}))
        return QStringLiteral("li");
    if (inSet(parent, {u"table", u"tbody", u"thead", u"tfoot"}))
        return QStringLiteral("tr");
    if (parent == u"tr")
        return QStringLiteral("td");
    if (inSet(parent, {u"select", u"optgroup", u"datalist"}))
        return QStringLiteral("option");
    if (isPhrasing(parent) || inSet(parent, {u"p", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"}))
        return QStringLiteral("span");
    return QStringLiteral("div");
}

struct Attribute {
    QString name, value; // with their numbering markers
};
// The attributes an element gets unless the abbreviation gives them: the places people fill in.
std::vector<Attribute> defaultAttributes(const QString& name) {
    if (name == u"a" || name == u"base")
        return {{QStringLiteral("href"), {}}};
    if (name == u"img")
        return {{QStringLiteral("src"), {}}, {QStringLiteral("alt"), {}}};
    if (name == u"link")
        return {{QStringLiteral("rel"), QStringLiteral("stylesheet")}, {QStringLiteral("href"), {}}};
    if (name == u"form")
        return {{QStringLiteral("action"), {}}};
    if (name == u"input")
        return {{QStringLiteral("type"), QStringLiteral("text")}};
    if (name == u"label")
        return {{QStringLiteral("for"), {}}};
    if (name == u"iframe")
        return {{QStringLiteral("src"), {}}};
    if (name == u"area")
        return {{QStringLiteral("href"), {}}, {QStringLiteral("alt"), {}}};
    return {};
}

// Pseudo-Latin placeholder words, made up for this program.
const char16_t* const kLoremWords[] = {
    u"arvo",  u"belin",  u"corta", u"dumen",  u"elvia", u"fasto", u"garum",  u"helis", u"istra",  u"jovet",
    u"kalda", u"lumis",  u"morat", u"nevia",  u"orsum", u"palen", u"quiro",  u"ravis", u"sotem",  u"turba",
    u"umbel", u"varo",   u"xenta", u"zelos",  u"amira", u"brevo", u"cintus", u"dolva", u"ester",  u"florin",
    u"gemma", u"hortus", u"ilex",  u"junda",  u"lirae", u"mossa", u"norvin", u"opal",  u"prista", u"quen",
    u"rutil", u"silva",  u"tamen", u"ulmo",   u"verra", u"caldo", u"mirum",  u"porta", u"serva",  u"tenix",
    u"vimo",  u"aurel",  u"bosca", u"crenum", u"delto", u"fenis", u"galvo",  u"lenta", u"molvis", u"pendra"};

struct Node {
    enum Kind { Element, Text, Group, Skeleton, Lorem };
    Kind kind = Element;
    int position = 0; // 0-based, in the abbreviation
    QString name;     // "" for an element its parent implies
    std::vector<Attribute> attributes;
    int repeat = 1;
    bool repeated = false; // has its own "*N": "$" counts its copies
    QString text;          // of a text
    qint64 words = kDefaultLoremWords;
    std::vector<Node> children;
    // Worked out before writing: whether the node sits inside a line of text, and whether its
    // children all do (then they are written on its line).
    bool isInline = false;
    bool inlineContent = true;
};

// "$" markers: a run of "$" is the number of the nearest repeat, padded to the run's length;
// "@-" counts down, "@N" starts at N. `escapes`: "\$" is a dollar sign.
QString numbered(QStringView text, int index, int count, bool escapes) {
    if (!text.contains(u'$'))
        return text.toString();
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (escapes && c == u'\\' && i + 1 < text.size() && text.at(i + 1) == u'$') {
            out += u'$';
            i += 2;
            continue;
        }
        if (c != u'$') {
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i < text.size() && text.at(i) == u'$')
            ++run, ++i;
        bool down = false;
        qint64 base = 1;
        if (i + 1 < text.size() && text.at(i) == u'@' &&
            (text.at(i + 1) == u'-' || isAsciiDigit(text.at(i + 1)))) {
            ++i;
            if (text.at(i) == u'-')
                down = true, ++i;
            qsizetype digits = 0;
            qint64 start = 0;
            while (i < text.size() && isAsciiDigit(text.at(i)) && digits < 9)
                start = start * 10 + text.at(i).digitValue(), ++i, ++digits;
            if (digits > 0)
                base = start;
        }
        const qint64 number = down ? base + (count - 1 - index) : base + index;
        out += QStringLiteral("%1").arg(number, int(qMin<qsizetype>(run, kMaxExpansionLength)), 10,
                                        QLatin1Char('0'));
    }
    return out;
}

QString escapedText(QString text) {
    return text.replace(u'<', QLatin1String("&lt;")).replace(u'>', QLatin1String("&gt;"));
}
QString escapedValue(QString value) {
    return value.replace(u'"', QLatin1String("&quot;"));
}

class Parser {
public:
    explicit Parser(QStringView text) : m_s(text) {}

    bool parse(std::vector<Node>& roots) {
        if (!parseSequence(roots, 0, false))
            return false;
        Q_ASSERT(m_i == m_s.size());
        return true;
    }

    QString error;
    int errorPosition = 0;

private:
    bool fail(const QString& message, qsizetype at) {
        errorPosition = int(at) + 1;
        error = QCoreApplication::translate("Abbreviation", "%1 at character %2.")
                    .arg(message, QString::number(errorPosition));
        return false;
    }
    bool atEnd() const { return m_i >= m_s.size(); }
    QChar peek(qsizetype ahead = 0) const { return m_i + ahead < m_s.size() ? m_s.at(m_i + ahead) : QChar(); }
    bool unexpected() {
        return fail(QCoreApplication::translate("Abbreviation", "Unexpected '%1'").arg(peek()), m_i);
    }

    bool parseSequence(std::vector<Node>& out, int level, bool inGroup) {
        Node root;
        // The open elements: children go to the last; their addresses stay valid because only
        // the last one's children grow.
        std::vector<Node*> open{&root};
        QChar after; // the operator before the next part
        for (;;) {
            const int depth = level + int(open.size()) - 1;
            if (!parseItem(*open.back(), depth, after))
                return false;
            if (atEnd())
                break;
            const QChar c = peek();
            Node& last = open.back()->children.back();
            if (c == u'>') {
                if (last.kind == Node::Group)
                    return fail(QCoreApplication::translate("Abbreviation", "A group cannot have children"),
                                m_i);
                if (last.kind == Node::Text || last.kind == Node::Lorem)
                    return fail(QCoreApplication::translate("Abbreviation", "Text cannot hold elements"),
                                m_i);
                if (depth + 1 >= kMaxLevels)
                    return fail(QCoreApplication::translate("Abbreviation", "Nesting deeper than %1 levels")
                                    .arg(kMaxLevels),
                                m_i);
                open.push_back(&last);
                ++m_i;
            } else if (c == u'+') {
                ++m_i;
            } else if (c == u'^') {
                while (peek() == u'^') {
                    if (open.size() > 1)
                        open.pop_back();
                    ++m_i;
                }
            } else if (c == u')' && inGroup) {
                break;
            } else {
                return unexpected();
            }
            after = c;
        }
        out = std::move(root.children);
        return true;
    }

    bool expectedElement(QChar after) {
        if (!atEnd() && !QStringView(u">+^)*").contains(peek()))
            return unexpected();
        if (after.isNull())
            return fail(QCoreApplication::translate("Abbreviation", "Expected an element"), m_i);
        return fail(QCoreApplication::translate("Abbreviation", "Expected an element after '%1'").arg(after),
                    m_i);
    }

    bool parseItem(Node& parent, int depth, QChar after) {
        const qsizetype start = m_i;
        Node node;
        node.position = int(start);
        if (peek() == u'(') {
            if (depth + 1 >= kMaxLevels)
                return fail(QCoreApplication::translate("Abbreviation", "Nesting deeper than %1 levels")
                                .arg(kMaxLevels),
                            m_i);
            node.kind = Node::Group;
            ++m_i;
            if (!parseSequence(node.children, depth + 1, true))
                return false;
            if (peek() != u')')
                return fail(QCoreApplication::translate("Abbreviation", "Unclosed '('"), start);
            ++m_i;
            if (!parseRepeat(node))
                return false;
        } else if (peek() == u'!') {
            node.kind = Node::Skeleton;
            ++m_i;
        } else {
            if (isAsciiLetter(peek()) && !readNumbered(isNameChar, node.name))
                return false;
            bool hasText = false;
            for (bool more = true; more && !atEnd();) {
                const QChar c = peek();
                if (c == u'#' || c == u'.') {
                    ++m_i;
                    QString value;
                    if (!readNumbered(isValueChar, value))
                        return false;
                    if (value.isEmpty())
                        return fail(
                            QCoreApplication::translate("Abbreviation", "Expected a name after '%1'").arg(c),
                            m_i);
                    addAttribute(node, c == u'#' ? QStringLiteral("id") : QStringLiteral("class"), value);
                } else if (c == u'[') {
                    if (!parseAttributes(node))
                        return false;
                } else if (c == u'{') {
                    if (!parseText(node.text))
                        return false;
                    hasText = true;
                } else {
                    more = false;
                }
            }
            if (m_i == start)
                return expectedElement(after);
            static const QRegularExpression lorem(QStringLiteral("^lorem(\\d*)$"));
            const QRegularExpressionMatch match = lorem.match(node.name);
            if (node.name.isEmpty() && node.attributes.empty()) {
                node.kind = Node::Text;
            } else if (match.hasMatch() && node.attributes.empty() && !hasText) {
                node.kind = Node::Lorem;
                const QString digits = match.captured(1);
                // More words than fit are refused as too large when counted.
                node.words = digits.isEmpty()    ? kDefaultLoremWords
                             : digits.size() > 9 ? qint64(kMaxExpansionLength) + 1
                                                 : digits.toLongLong();
            } else if (hasText) {
                Node text;
                text.kind = Node::Text;
                text.position = node.position;
                text.text = std::move(node.text);
                node.children.push_back(std::move(text));
            }
            if (!parseRepeat(node))
                return false;
        }
        parent.children.push_back(std::move(node));
        return true;
    }

    bool parseRepeat(Node& node) {
        if (peek() != u'*')
            return true;
        ++m_i;
        const qsizetype digits = m_i;
        qint64 count = 0;
        while (isAsciiDigit(peek()) && m_i - digits < 7)
            count = count * 10 + peek().digitValue(), ++m_i;
        if (m_i == digits || count < 1 || count > kMaxRepeat || isAsciiDigit(peek()))
            return fail(QCoreApplication::translate("Abbreviation", "Expected a count from 1 to %1 after '*'")
                            .arg(kMaxRepeat),
                        digits);
        node.repeat = int(count);
        node.repeated = true;
        return true;
    }

    // An id and the classes go where they first appear; a second id replaces the first, classes add up.
    static void addAttribute(Node& node, const QString& name, const QString& value) {
        const QString key = name.toLower();
        for (Attribute& attribute : node.attributes)
            if (attribute.name.toLower() == key) {
                if (key == u"class" && !attribute.value.isEmpty() && !value.isEmpty())
                    attribute.value += u' ' + value;
                else if (key != u"class" || !value.isEmpty())
                    attribute.value = value;
                return;
            }
        node.attributes.push_back({name, value});
    }

    bool parseAttributes(Node& node) {
        const qsizetype open = m_i++;
        for (;;) {
            while (isBlank(peek()))
                ++m_i;
            if (atEnd())
                return fail(QCoreApplication::translate("Abbreviation", "Unclosed '['"), open);
            if (peek() == u']') {
                ++m_i;
                return true;
            }
            QString name, value;
            if (!readNumbered(isAttributeNameChar, name))
                return false;
            if (name.isEmpty())
                return fail(QCoreApplication::translate("Abbreviation", "Expected an attribute name"), m_i);
            if (peek() == u'=') {
                ++m_i;
                const QChar quote = peek();
                if (quote == u'"' || quote == u'\'') {
                    const qsizetype from = ++m_i;
                    const qsizetype close = m_s.indexOf(quote, from);
                    if (close < 0)
                        return fail(QCoreApplication::translate("Abbreviation", "Unclosed '%1'").arg(quote),
                                    from - 1);
                    if (!checkNumbering(from, close))
                        return false;
                    value = m_s.sliced(from, close - from).toString();
                    m_i = close + 1;
                } else {
                    const qsizetype from = m_i;
                    while (!atEnd() && !isBlank(peek()) && peek() != u']')
                        ++m_i;
                    if (!checkNumbering(from, m_i))
                        return false;
                    value = m_s.sliced(from, m_i - from).toString();
                }
            }
            if (!atEnd() && !isBlank(peek()) && peek() != u']')
                return unexpected();
            addAttribute(node, name, value);
        }
    }

    // Text in braces, which may hold braces in pairs.
    bool parseText(QString& text) {
        const qsizetype open = m_i;
        int depth = 0;
        for (; !atEnd(); ++m_i) {
            if (peek() == u'{')
                ++depth;
            else if (peek() == u'}' && --depth == 0)
                break;
        }
        if (atEnd())
            return fail(QCoreApplication::translate("Abbreviation", "Unclosed '{'"), open);
        if (!checkNumbering(open + 1, m_i))
            return false;
        text += m_s.sliced(open + 1, m_i - open - 1);
        ++m_i;
        return true;
    }

    // Reads the characters `accept` takes and "$" markers.
    bool readNumbered(bool (*accept)(QChar), QString& out) {
        while (!atEnd()) {
            if (peek() == u'$') {
                const qsizetype from = m_i;
                while (peek() == u'$')
                    ++m_i;
                if (!readModifier())
                    return false;
                out += m_s.sliced(from, m_i - from);
            } else if (accept(peek())) {
                out += peek();
                ++m_i;
            } else {
                break;
            }
        }
        return true;
    }
    // After a run of "$": "@-", "@N" or "@-N", N of at most 9 digits.
    bool readModifier() {
        if (peek() != u'@' || !(peek(1) == u'-' || isAsciiDigit(peek(1))))
            return true;
        m_i += peek(1) == u'-' ? 2 : 1;
        const qsizetype digits = m_i;
        while (isAsciiDigit(peek()))
            ++m_i;
        if (m_i - digits > 9)
            return fail(QCoreApplication::translate("Abbreviation", "Expected at most 9 digits after '@'"),
                        digits);
        return true;
    }
    // The "$" markers of text and values in [from, to).
    bool checkNumbering(qsizetype from, qsizetype to) {
        const qsizetype resume = m_i;
        for (m_i = from; m_i < to; ++m_i) {
            if (peek() == u'\\' && peek(1) == u'$') {
                ++m_i;
            } else if (peek() == u'$') {
                while (peek(1) == u'$')
                    ++m_i;
                ++m_i;
                if (!readModifier())
                    return false;
                --m_i;
            }
        }
        m_i = resume;
        return true;
    }

    QStringView m_s;
    qsizetype m_i = 0;
};

// The elements named as their first copy names them, for working out the layout: names whose
// "$" markers would change that never name a void or phrasing element.
QString elementName(const Node& node, const QString& parent) {
    return node.name.isEmpty() ? impliedElement(parent) : numbered(node.name, 0, 1, false).toLower();
}

// Marks what is inline; an element that holds content it cannot is an error.
bool annotate(std::vector<Node>& nodes, const QString& parent, QString& error, int& position) {
    for (Node& node : nodes) {
        switch (node.kind) {
        case Node::Text:
        case Node::Lorem:
            node.isInline = true;
            break;
        case Node::Skeleton:
            if (!annotate(node.children, QStringLiteral("body"), error, position))
                return false;
            break;
        case Node::Group:
            if (!annotate(node.children, parent, error, position))
                return false;
            node.isInline = std::all_of(node.children.begin(), node.children.end(),
                                        [](const Node& child) { return child.isInline; });
            break;
        case Node::Element: {
            const QString name = elementName(node, parent);
            if (isVoidElement(name) && !node.children.empty()) {
                position = node.position + 1;
                error = QCoreApplication::translate(
                            "Abbreviation", "The void element '%1' cannot hold content at character %2.")
                            .arg(name)
                            .arg(position);
                return false;
            }
            if (!annotate(node.children, name, error, position))
                return false;
            node.inlineContent = std::all_of(node.children.begin(), node.children.end(),
                                             [](const Node& child) { return child.isInline; });
            node.isInline = isPhrasing(name) && node.inlineContent;
            break;
        }
        }
    }
    return true;
}

// How many elements, texts and words the nodes make, each repeated `factor` times; stops counting
// past the limit.
qint64 countParts(const std::vector<Node>& nodes, qint64 factor) {
    qint64 total = 0;
    for (const Node& node : nodes) {
        const qint64 copies = factor * node.repeat;
        total += node.kind == Node::Lorem ? copies * qMax<qint64>(node.words, 1) : copies;
        if (total > kMaxExpansionLength)
            return total;
        total += countParts(node.children, copies);
        if (total > kMaxExpansionLength)
            return total;
    }
    return total;
}

struct Numbering {
    int index = 0, count = 1;
};

class Writer {
public:
    explicit Writer(const AbbreviationContext& context) : m_context(context) {}

    // Writes the top-level nodes: on one line when all are inline, else one a line.
    bool writeTop(const std::vector<Node>& roots) {
        const bool oneLine =
            std::all_of(roots.begin(), roots.end(), [](const Node& node) { return node.isInline; });
        bool first = true;
        const QString parent = m_context.parent.toLower();
        return forEach(roots, Numbering(), [&](const Node& node, Numbering numbering) {
            if (!first && !oneLine)
                newline(0);
            first = false;
            return write(node, parent, 0, numbering);
        });
    }

    QString out;
    bool tooLarge = false;

private:
    void newline(int level) {
        out += kBreak;
        out += m_context.lineIndent;
        for (int i = 0; i < level; ++i)
            out += m_context.indent;
    }
    bool room() {
        tooLarge = tooLarge || out.size() > kMaxExpansionLength;
        return !tooLarge;
    }

    // Calls `each` for every copy of the nodes, groups opened, with the numbering "$" takes there:
    // a node's own repeat, else the one it inherits.
    template <typename Each>
    bool forEach(const std::vector<Node>& nodes, Numbering inherited, const Each& each) {
        for (const Node& node : nodes)
            for (int i = 0; i < node.repeat; ++i) {
                const Numbering numbering = node.repeated ? Numbering{i, node.repeat} : inherited;
                if (!(node.kind == Node::Group ? forEach(node.children, numbering, each)
                                               : each(node, numbering)))
                    return false;
            }
        return true;
    }

    bool write(const Node& node, const QString& parent, int level, Numbering numbering) {
        switch (node.kind) {
        case Node::Text:
            out += escapedText(numbered(node.text, numbering.index, numbering.count, true));
            break;
        case Node::Lorem:
            writeLorem(node, numbering);
            break;
        case Node::Skeleton:
            writeSkeleton(node, level, numbering);
            break;
        case Node::Element:
            writeElement(node, parent, level, numbering);
            break;
        case Node::Group:
            Q_UNREACHABLE();
        }
        return room();
    }

    // Children each on a line of their own, one level deeper, or all on the parent's line.
    bool writeChildren(const Node& node, const QString& name, int level, Numbering numbering, bool oneLine) {
        return forEach(node.children, numbering, [&](const Node& child, Numbering inner) {
            if (!oneLine)
                newline(level + 1);
            return write(child, name, level + 1, inner);
        });
    }

    void writeElement(const Node& node, const QString& parent, int level, Numbering numbering) {
        const QString name = node.name.isEmpty()
                                 ? impliedElement(parent)
                                 : numbered(node.name, numbering.index, numbering.count, false).toLower();
        std::vector<Attribute> attributes = defaultAttributes(name);
        for (const Attribute& given : node.attributes) {
            Attribute attribute{numbered(given.name, numbering.index, numbering.count, false).toLower(),
                                numbered(given.value, numbering.index, numbering.count, true)};
            const auto same = std::find_if(attributes.begin(), attributes.end(),
                                           [&](const Attribute& a) { return a.name == attribute.name; });
            if (same != attributes.end())
                same->value = std::move(attribute.value);
            else
                attributes.push_back(std::move(attribute));
        }
        out += u'<' + name;
        for (const Attribute& attribute : attributes)
            out += u' ' + attribute.name + QLatin1String("=\"") + escapedValue(attribute.value) + u'"';
        out += u'>';
        if (isVoidElement(name))
            return;
        if (!node.children.empty()) {
            if (!writeChildren(node, name, level, numbering, node.inlineContent))
                return;
            if (!node.inlineContent)
                newline(level);
        }
        out += QLatin1String("</") + name + u'>';
    }

    void writeSkeleton(const Node& node, int level, Numbering numbering) {
        out += QLatin1String("<!DOCTYPE html>");
        const auto line = [this](int at, QLatin1String text) {
            newline(at);
            out += text;
        };
        line(level, QLatin1String("<html lang=\"en\">"));
        line(level, QLatin1String("<head>"));
        line(level + 1, QLatin1String("<meta charset=\"UTF-8\">"));
        line(level + 1,
             QLatin1String("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"));
        line(level + 1, QLatin1String("<title></title>"));
        line(level, QLatin1String("</head>"));
        line(level, QLatin1String("<body>"));
        if (node.children.empty())
            newline(level + 1); // an empty line to write the page in
        else if (!writeChildren(node, QStringLiteral("body"), level, numbering, false))
            return;
        line(level, QLatin1String("</body>"));
        line(level, QLatin1String("</html>"));
    }

    // Sentences of 5 to 10 words, each copy of the abbreviation with words of its own.
    void writeLorem(const Node& node, Numbering numbering) {
        constexpr quint32 kWordCount = sizeof(kLoremWords) / sizeof(kLoremWords[0]);
        quint32 state = quint32(node.position) * 2654435761u + quint32(numbering.index) * 40503u + 12345u;
        const auto next = [&state] {
            state = state * 1664525u + 1013904223u;
            return state >> 8;
        };
        qint64 sentenceLeft = 0;
        for (qint64 word = 0; word < node.words; ++word) {
            if (word > 0)
                out += u' ';
            QString text = QString::fromUtf16(kLoremWords[next() % kWordCount]);
            if (sentenceLeft == 0) {
                sentenceLeft = 5 + next() % 6;
                text[0] = text[0].toUpper();
            }
            out += text;
            if (--sentenceLeft == 0 || word + 1 == node.words)
                out += u'.';
            if ((word & 255) == 0 && !room())
                return;
        }
    }

    const AbbreviationContext& m_context;
};

Expansion failure(const QString& message, int position) {
    Expansion expansion;
    expansion.error = message;
    expansion.errorPosition = position;
    return expansion;
}
Expansion tooLarge() {
    Expansion expansion =
        failure(QCoreApplication::translate("Abbreviation", "The expansion would be larger than 1 MB."), 0);
    expansion.tooLarge = true;
    return expansion;
}

Expansion expandMarkup(QStringView abbreviation, const AbbreviationContext& context) {
    Parser parser(abbreviation);
    std::vector<Node> roots;
    if (!parser.parse(roots))
        return failure(parser.error, parser.errorPosition);
    QString error;
    int position = 0;
    if (!annotate(roots, context.parent.toLower(), error, position))
        return failure(error, position);
    if (countParts(roots, 1) > kMaxExpansionLength)
        return tooLarge();
    Writer writer(context);
    writer.writeTop(roots);
    if (writer.tooLarge || writer.out.size() > kMaxExpansionLength)
        return tooLarge();
    Expansion expansion;
    expansion.text = std::move(writer.out);
    const int place = EditPoint(expansion.text, -1, true);
    expansion.cursor = place < 0 ? int(expansion.text.size()) : place;
    return expansion;
}

// The units a number of a style abbreviation may be typed with, in one letter.
QString unitOf(QStringView typed) {
    if (typed == u"p" || typed == u"%")
        return QStringLiteral("%");
    if (typed == u"e")
        return QStringLiteral("em");
    if (typed == u"r")
        return QStringLiteral("rem");
    if (typed == u"x")
        return QStringLiteral("ex");
    return typed.size() > 1 ? typed.toString().toLower() : QString();
}

// One declaration from `part` (at `offset` in the abbreviation): its text, and where its empty
// value is (-1 when it has none).
bool expandDeclaration(QStringView part, int offset, const StyleAbbreviations& table, QString& out,
                       int& emptyAt, QString& error, int& position) {
    const auto fail = [&](const QString& message, qsizetype at) {
        position = offset + int(at) + 1;
        error = QCoreApplication::translate("Abbreviation", "%1 at character %2.")
                    .arg(message, QString::number(position));
        return false;
    };
    qsizetype i = 0;
    while (i < part.size() && isAsciiLetter(part.at(i)))
        ++i;
    if (i == 0)
        return fail(QCoreApplication::translate("Abbreviation", "Expected a style abbreviation"), 0);
    const QStringView name = part.first(i);
    const QString declaration = table.declaration(name);
    if (declaration.isEmpty())
        return fail(QCoreApplication::translate("Abbreviation", "Unknown style abbreviation '%1'").arg(name),
                    0);
    QStringView rest = part.sliced(i);
    const bool important = rest.endsWith(u'!');
    if (important)
        rest.chop(1);

    // The values typed; those typed without a unit take the line's.
    struct Value {
        QString text;
        bool lineUnit = false;
    };
    std::vector<Value> values;
    if (rest.startsWith(u'#')) {
        const QStringView hex = rest.sliced(1);
        const bool allHex = !hex.isEmpty() && std::all_of(hex.begin(), hex.end(), [](QChar c) {
            return isAsciiDigit(c) || (c.toLower() >= u'a' && c.toLower() <= u'f');
        });
        if (!allHex || !QList<qsizetype>{1, 2, 3, 4, 6, 8}.contains(hex.size()))
            return fail(QCoreApplication::translate("Abbreviation",
                                                    "Expected 1, 2, 3, 4, 6 or 8 hex digits after '#'"),
                        i + 1);
        const int copies = hex.size() == 1 ? 6 : hex.size() == 2 ? 3 : 1;
        values.push_back({u'#' + hex.toString().repeated(copies).toLower()});
    } else {
        for (qsizetype j = 0; j < rest.size();) {
            if (!values.empty()) {
                if (rest.at(j) != u'-')
                    return fail(
                        QCoreApplication::translate("Abbreviation", "Unexpected '%1'").arg(rest.at(j)),
                        i + j);
                ++j;
            }
            const qsizetype from = j;
            if (j < rest.size() && rest.at(j) == u'-')
                ++j;
            const qsizetype digits = j;
            bool zero = true;
            while (j < rest.size() && (isAsciiDigit(rest.at(j)) || rest.at(j) == u'.')) {
                zero = zero && (rest.at(j) == u'0' || rest.at(j) == u'.');
                ++j;
            }
            const QStringView number = rest.sliced(digits, j - digits);
            if (number.isEmpty() || number.count(u'.') > 1 || number == u".")
                return fail(QCoreApplication::translate("Abbreviation", "Expected a number"), i + digits);
            const qsizetype unitFrom = j;
            if (j < rest.size() && rest.at(j) == u'%')
                ++j;
            else
                while (j < rest.size() && isAsciiLetter(rest.at(j)))
                    ++j;
            const QStringView typedUnit = rest.sliced(unitFrom, j - unitFrom);
            const QString unit = unitOf(typedUnit);
            if (!typedUnit.isEmpty() && unit.isEmpty())
                return fail(QCoreApplication::translate("Abbreviation", "Unknown unit '%1'").arg(typedUnit),
                            i + unitFrom);
            if (typedUnit.isEmpty() && zero)
                values.push_back({QStringLiteral("0")}); // a zero needs no unit
            else
                values.push_back({rest.sliced(from, unitFrom - from).toString() + unit, typedUnit.isEmpty()});
        }
    }

    const qsizetype marker = declaration.indexOf(u'$');
    if (marker < 0 && !values.empty())
        return fail(QCoreApplication::translate("Abbreviation", "'%1' takes no value").arg(name), i);
    QString text = declaration;
    emptyAt = -1;
    if (marker >= 0) {
        qsizetype unitEnd = marker + 1;
        while (unitEnd < text.size() && (isAsciiLetter(text.at(unitEnd)) || text.at(unitEnd) == u'%'))
            ++unitEnd;
        const QString lineUnit = text.mid(marker + 1, unitEnd - marker - 1);
        QStringList written;
        for (const Value& value : values)
            written << value.text + (value.lineUnit ? lineUnit : QString());
        text.replace(marker, unitEnd - marker, written.join(u' '));
        if (values.empty())
            emptyAt = int(marker);
    }
    if (important) {
        const qsizetype end = text.endsWith(u';') ? text.size() - 1 : text.size();
        text.insert(end, QLatin1String(" !important"));
    }
    out = text;
    return true;
}

Expansion expandStyle(QStringView abbreviation, const AbbreviationContext& context) {
    if (!context.styles || context.styles->isEmpty())
        return failure(QCoreApplication::translate(
                           "Abbreviation", "No style abbreviations: abbreviations.txt is missing or empty."),
                       0);
    const QString separator =
        context.mode == AbbreviationMode::StyleAttribute ? QStringLiteral(" ") : kBreak + context.lineIndent;
    Expansion expansion;
    expansion.cursor = -1;
    qsizetype from = 0;
    for (;;) {
        qsizetype plus = abbreviation.indexOf(u'+', from);
        if (plus < 0)
            plus = abbreviation.size();
        QString declaration, error;
        int emptyAt = -1, position = 0;
        if (!expandDeclaration(abbreviation.sliced(from, plus - from), int(from), *context.styles,
                               declaration, emptyAt, error, position))
            return failure(error, position);
        if (from > 0)
            expansion.text += separator;
        if (emptyAt >= 0 && expansion.cursor < 0)
            expansion.cursor = int(expansion.text.size()) + emptyAt;
        expansion.text += declaration;
        if (expansion.text.size() > kMaxExpansionLength)
            return tooLarge();
        if (plus == abbreviation.size())
            break;
        from = plus + 1;
    }
    if (expansion.cursor < 0)
        expansion.cursor = int(expansion.text.size());
    return expansion;
}

bool isStyleChar(QChar c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || QStringView(u".-#!+%").contains(c);
}

} // namespace

StyleAbbreviations StyleAbbreviations::parse(const QString& text) {
    StyleAbbreviations table;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QStringView name = line.first(equals).trimmed();
        const QStringView declaration = line.sliced(equals + 1).trimmed();
        if (name.isEmpty() || declaration.isEmpty() ||
            !std::all_of(name.begin(), name.end(), [](QChar c) { return isAsciiLetter(c); }))
            continue;
        table.m_lines.insert(name.toString().toLower(), declaration.toString());
    }
    return table;
}

QString StyleAbbreviations::declaration(QStringView name) const {
    return m_lines.value(name.toString().toLower());
}

const StyleAbbreviations& LoadedStyleAbbreviations(const QString& path) {
    return LoadedDataFile<StyleAbbreviations>(path);
}

Expansion ExpandAbbreviation(QStringView abbreviation, const AbbreviationContext& context) {
    return context.mode == AbbreviationMode::Markup ? expandMarkup(abbreviation, context)
                                                    : expandStyle(abbreviation, context);
}

int AbbreviationStart(QStringView line, int cursor, AbbreviationMode mode) {
    Q_ASSERT(cursor >= 0 && cursor <= line.size());
    if (mode != AbbreviationMode::Markup) {
        int start = cursor;
        while (start > 0 && isStyleChar(line.at(start - 1)))
            --start;
        return start;
    }
    // Which ">" close a tag: read from the line's start, quoted values passed over.
    std::vector<bool> closesTag(size_t(cursor), false);
    bool inTag = false;
    QChar quote;
    for (int i = 0; i < cursor; ++i) {
        const QChar c = line.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (inTag) {
            if (c == u'"' || c == u'\'')
                quote = c;
            else if (c == u'>')
                closesTag[size_t(i)] = true, inTag = false;
        } else if (c == u'<' && i + 1 < cursor &&
                   (isAsciiLetter(line.at(i + 1)) || QStringView(u"/!?").contains(line.at(i + 1)))) {
            inTag = true;
        }
    }
    int braces = 0, brackets = 0;
    for (int i = cursor - 1; i >= 0; --i) {
        const QChar c = line.at(i);
        if (braces > 0) {
            braces += c == u'}' ? 1 : c == u'{' ? -1 : 0;
        } else if (brackets > 0) {
            brackets += c == u']' ? 1 : c == u'[' ? -1 : 0;
        } else if (c == u'}') {
            braces = 1;
        } else if (c == u']') {
            brackets = 1;
        } else if (isBlank(c) || c == u'{' || c == u'[' || (c == u'>' && closesTag[size_t(i)])) {
            return i + 1;
        }
    }
    return 0;
}

bool InStyleAttribute(QStringView before) {
    for (qsizetype i = before.size() - 1; i >= 0; --i) {
        if (before.at(i) != u'"' && before.at(i) != u'\'')
            continue;
        qsizetype j = i;
        while (j > 0 && before.at(j - 1).isSpace())
            --j;
        if (j == 0 || before.at(j - 1) != u'=')
            continue;
        --j;
        while (j > 0 && before.at(j - 1).isSpace())
            --j;
        const qsizetype end = j;
        while (j > 0 && isAttributeNameChar(before.at(j - 1)))
            --j;
        return before.sliced(j, end - j).compare(u"style", Qt::CaseInsensitive) == 0;
    }
    return false;
}

namespace {
bool isEditPoint(QStringView text, qsizetype i) {
    const qsizetype size = text.size();
    if (i >= 2 && i < size && text.at(i) == u'"' && text.at(i - 1) == u'"' && text.at(i - 2) == u'=')
        return true;
    if (i >= 1 && text.at(i - 1) == u'>' && text.sliced(i).startsWith(u"</")) {
        // Only after a start tag: "</b></p>" and "<br/></p>" hold no empty element.
        const qsizetype open = text.first(i - 1).lastIndexOf(u'<');
        return open >= 0 && open + 1 < i && isAsciiLetter(text.at(open + 1)) && text.at(i - 2) != u'/';
    }
    if (i < size && text.at(i) != u'\r' && text.at(i) != u'\n')
        return false;
    if (i < size && text.at(i) == u'\n' && i > 0 && text.at(i - 1) == u'\r')
        return false; // the line ends at its CR
    qsizetype j = i;
    while (j > 0 && isBlank(text.at(j - 1)))
        --j;
    return j == 0 || text.at(j - 1) == u'\n' || text.at(j - 1) == u'\r';
}
} // namespace

int EditPoint(QStringView text, int from, bool forward) {
    if (forward) {
        for (qsizetype i = qMax(from + 1, 0); i <= text.size(); ++i)
            if (isEditPoint(text, i))
                return int(i);
    } else {
        for (qsizetype i = qMin<qsizetype>(from - 1, text.size()); i >= 0; --i)
            if (isEditPoint(text, i))
                return int(i);
    }
    return -1;
}
