#include "markup/MarkupContext.h"

#include "markup/MarkupNames.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

// One pass from the start of the text to its end: text is skipped to the next "<", and what opens
// there (a comment, a declaration, a server block, a start or end tag, the contents of a script)
// is read to its end in one search. Where the text ends inside one of them, that is the context.

namespace {

using namespace MarkupNames;

using Names = std::initializer_list<QStringView>;

bool isOneOf(QStringView name, Names names) {
    for (const QStringView one : names)
        if (sameName(name, one))
            return true;
    return false;
}

// Contents that hold no tags, only the end tag of their own element.
const Names kRaw = {u"script", u"style", u"textarea", u"title"};
// Start tags that close an open p.
const Names kClosesP = {
    u"address", u"article", u"aside",   u"blockquote", u"center",   u"details",    u"dialog", u"dir",
    u"div",     u"dl",      u"dd",      u"dt",         u"fieldset", u"figcaption", u"figure", u"footer",
    u"form",    u"h1",      u"h2",      u"h3",         u"h4",       u"h5",         u"h6",     u"header",
    u"hgroup",  u"hr",      u"li",      u"listing",    u"main",     u"menu",       u"nav",    u"ol",
    u"p",       u"pre",     u"section", u"summary",    u"table",    u"ul",         u"xmp"};
const Names kHeadings = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};

class ContextScanner {
public:
    ContextScanner(QStringView text, bool fromStart) : m_text(text), m_fromStart(fromStart) {}

    MarkupContext run(QStringView openRaw) {
        qsizetype at = 0;
        if (!openRaw.isEmpty()) {
            m_open.push_back(openRaw);
            at = rawEnd(0, openRaw);
            if (at < 0) {
                m_context.place = MarkupPlace::Content;
                return finish();
            }
        }
        while (at < m_text.size()) {
            const qsizetype opener = m_text.indexOf(u'<', at);
            if (opener < 0)
                break;
            at = afterOpener(opener);
            if (at < 0)
                return finish();
        }
        m_context.place = MarkupPlace::Text;
        return finish();
    }

private:
    MarkupContext finish() {
        if (!m_open.empty())
            m_context.openElement = m_open.back().toString();
        return m_context;
    }

    // The text ends inside something that began at an opener.
    qsizetype endsIn(MarkupPlace place, bool startTag = false) {
        m_context.place = place;
        m_context.startTag = startTag;
        return -1;
    }

    // Past `closer`, searched from `from`; -1 with the context set when the text ends first.
    qsizetype past(qsizetype from, QStringView closer) {
        const qsizetype found = m_text.indexOf(closer, from);
        return found < 0 ? endsIn(MarkupPlace::Comment) : found + closer.size();
    }

    // Reads what the "<" at `at` opens; returns where to go on, or -1 when the text ends in it.
    qsizetype afterOpener(qsizetype at) {
        if (at + 1 >= m_text.size())
            return endsIn(MarkupPlace::Tag);
        const QStringView from = m_text.sliced(at);
        switch (m_text[at + 1].unicode()) {
        case u'!':
            if (from.startsWith(u"<!--"))
                return past(at + 2, u"-->"); // "<!-->" is an empty comment
            if (from.startsWith(u"<![CDATA["))
                return past(at + 9, u"]]>");
            return past(at + 2, u">");
        case u'?':
            return past(at + 2, u"?>");
        case u'%':
            return past(at + 2, u"%>");
        default:
            break;
        }
        const bool closing = m_text[at + 1] == u'/';
        const qsizetype nameAt = at + (closing ? 2 : 1);
        if (nameAt >= m_text.size())
            return endsIn(MarkupPlace::Tag);
        if (!isNameStart(m_text[nameAt]))
            return at + 1; // a "<" that starts no tag is text
        qsizetype nameEnd = nameAt;
        while (nameEnd < m_text.size() && isNameChar(m_text[nameEnd]))
            ++nameEnd;
        const QStringView name = m_text.sliced(nameAt, nameEnd - nameAt);
        // The tag's attributes: any quote opens a value that runs to the same quote.
        qsizetype end = nameEnd;
        for (; end < m_text.size() && m_text[end] != u'>'; ++end) {
            const QChar c = m_text[end];
            if (c == u'<')
                return end; // an unfinished tag is text, and the "<" begins anew
            if (c == u'"' || c == u'\'') {
                end = m_text.indexOf(c, end + 1);
                if (end < 0)
                    return endsIn(MarkupPlace::Value, !closing);
            }
        }
        if (end >= m_text.size())
            return endsIn(MarkupPlace::Tag, !closing);
        ++end;
        if (closing) {
            closeElement(name);
            return end;
        }
        if (isOneOf(name, kRaw)) {
            // Browsers read the contents even after "/>".
            m_open.push_back(name);
            const qsizetype close = rawEnd(end, name);
            return close < 0 ? endsIn(MarkupPlace::Content) : close;
        }
        closeImplied(name);
        if (!isVoidElement(name) && m_text[end - 2] != u'/')
            m_open.push_back(name);
        return end;
    }

    // Where the end tag of the raw element `name` starts, from `from`; -1 when none follows.
    qsizetype rawEnd(qsizetype from, QStringView name) const {
        for (qsizetype k = m_text.indexOf(u"</", from); k >= 0; k = m_text.indexOf(u"</", k + 2)) {
            const qsizetype after = k + 2 + name.size();
            if (after <= m_text.size() && sameName(m_text.sliced(k + 2, name.size()), name) &&
                (after == m_text.size() || isSpace(m_text[after]) || m_text[after] == u'/' ||
                 m_text[after] == u'>'))
                return k;
        }
        return -1;
    }

    void closeElement(QStringView name) {
        for (auto k = m_open.size(); k-- > 0;) {
            if (sameName(m_open[k], name)) {
                m_open.resize(k);
                return;
            }
        }
        // Its start tag lies before the window, so it closes all that the window opened; at the
        // document's start an end tag with nothing to close is ignored, as browsers ignore it.
        if (!m_fromStart)
            m_open.clear();
    }

    // Closes the innermost open element named in `closes` and those inside it, unless an element
    // named in `stops` comes first.
    void closeInnermost(Names closes, Names stops) {
        for (auto k = m_open.size(); k-- > 0;) {
            if (isOneOf(m_open[k], closes)) {
                m_open.resize(k);
                return;
            }
            if (isOneOf(m_open[k], stops))
                return;
        }
    }

    // The elements a start tag of `name` closes without end tags.
    void closeImplied(QStringView name) {
        if (name.size() > 10)
            return;
        if (isOneOf(name, {u"li"}))
            closeInnermost({u"li"}, {u"ul", u"ol", u"menu", u"dir", u"table"});
        else if (isOneOf(name, {u"dt", u"dd"}))
            closeInnermost({u"dt", u"dd"}, {u"dl", u"table"});
        else if (isOneOf(name, {u"tr"}))
            closeInnermost({u"tr"}, {u"table", u"thead", u"tbody", u"tfoot"});
        else if (isOneOf(name, {u"td", u"th"}))
            closeInnermost({u"td", u"th"}, {u"tr", u"table"});
        else if (isOneOf(name, {u"thead", u"tbody", u"tfoot"}))
            closeInnermost({u"thead", u"tbody", u"tfoot"}, {u"table"});
        else if (isOneOf(name, {u"option", u"optgroup"}) && !m_open.empty() &&
                 isOneOf(m_open.back(), {u"option"}))
            m_open.pop_back();
        if (isOneOf(name, kHeadings) && !m_open.empty() && isOneOf(m_open.back(), kHeadings))
            m_open.pop_back();
        if (isOneOf(name, kClosesP))
            closeInnermost({u"p"}, {u"table", u"td", u"th", u"caption", u"button", u"object", u"applet",
                                    u"marquee", u"template", u"html", u"body"});
    }

    QStringView m_text;
    bool m_fromStart;
    std::vector<QStringView> m_open; // the open elements, outermost first
    MarkupContext m_context;
};

} // namespace

MarkupContext MarkupContextAtEnd(QStringView before, bool fromStart, QStringView openRaw) {
    return ContextScanner(before, fromStart).run(openRaw);
}

int ContextWindowStart(int offset) {
    return std::max(0, (offset - kContextWindow) / kContextStep * kContextStep);
}

QString RawElementAt(const ContextReader& read, int offset) {
    const int from = std::max(0, offset - kRawReach);
    const MarkupContext context = MarkupContextAtEnd(read(from, offset - from), from == 0);
    return context.place == MarkupPlace::Content ? context.openElement : QString();
}

MarkupContext MarkupContextAt(const ContextReader& read, int offset, bool openElement,
                              const std::function<QString(int)>& rawAt) {
    int from = ContextWindowStart(offset);
    QString before = read(from, offset - from);
    MarkupContext context = MarkupContextAtEnd(before, from == 0, from > 0 ? rawAt(from) : QString());
    // The place is the window's; wider ones only look further back for the open element. Any
    // script they begin in and that is still open has ended before the window.
    while (openElement && context.openElement.isEmpty() && from > 0 && offset - from < kContextReach) {
        const int wider = std::max({0, offset - kContextReach, offset - 4 * (offset - from)});
        before.prepend(read(wider, from - wider));
        from = wider;
        context.openElement = MarkupContextAtEnd(before, from == 0).openElement;
    }
    return context;
}

bool HoldsMarkup(const QString& extension) {
    static const Names kNotMarkup = {u"css", u"js", u"mjs", u"cjs",  u"json",
                                     u"pl",  u"pm", u"cgi", u"java", u"txt"};
    return !isOneOf(extension, kNotMarkup);
}
