#include "markup/SourceMap.h"

#include "markup/MarkupNames.h"
#include "markup/TagMatch.h"

#include <QLatin1StringView>
#include <QRegularExpression>
#include <algorithm>
#include <iterator>

// The page is read as the preview engine's tokenizer reads it, so that an attribute goes only
// where the engine sees a start tag, and the copy reads as the page does:
// - "<" and an ASCII letter open a tag, whose name runs to a blank, "/" or ">" (the engine's rule:
//   "<a"b>" is one name, and an attribute put after "a" would make another element of it). A tag
//   ends at a ">" outside the quoted values, where a quote opens a value only after "=".
// - End tags are read the same way (their quoted values may hold ">"); "</" and anything else,
//   "<?" and "<!" (but for comments and "<![CDATA[") are skipped to the next ">".
// - After a script, style, textarea, title, xmp, iframe, noembed, noframes or noscript start tag,
//   all up to its end tag is text ("plaintext" to the end); in a script, "<!--" and "<script" make
//   a "</script>" end nothing until the "-->", as old pages writing scripts from scripts rely on.
// - Server code is read as the server reads it: from "<?" or "<%" to the first "?>" or "%>",
//   whatever the markup around it. No tag in it, or whose name reaches it, gets an attribute, so
//   the copy changes no line of a program, while the engine's own reading goes on around it.
// Every search moves forward, so the page is read about once, however large.

namespace {

using namespace MarkupNames;

// Whether `name` is the lower-case `lower` with any case of ASCII letters. The engine compares
// ASCII letters only, so that "noſcript" is no noscript, while Unicode case folding would say it is.
bool sameAscii(QStringView name, QStringView lower) {
    if (name.size() != lower.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i)
        if ((name[i].unicode() | 0x20) != lower[i].unicode())
            return false;
    return true;
}

// Whether `lower` stands at `at` followed by a blank, "/" or ">", as a raw text's end tag names it.
bool nameAt(QStringView text, qsizetype at, QStringView lower) {
    const qsizetype after = at + lower.size();
    if (after >= text.size())
        return false;
    const QChar c = text[after];
    return (isSpace(c) || c == u'/' || c == u'>') && sameAscii(text.sliced(at, lower.size()), lower);
}

bool endTagAt(QStringView text, qsizetype at, QStringView lower) {
    return text.sliced(at).startsWith(u"</") && nameAt(text, at + 2, lower);
}

qsizetype skipPast(QStringView text, qsizetype from, QStringView closer) {
    const qsizetype found = text.indexOf(closer, from);
    return found < 0 ? text.size() : found + closer.size();
}

qsizetype nameEnd(QStringView text, qsizetype from) {
    while (from < text.size() && !isSpace(text[from]) && text[from] != u'/' && text[from] != u'>')
        ++from;
    return from;
}

// From a tag's name on: the place after its ">", or -1 when the text ends inside the tag.
qsizetype tagEnd(QStringView text, qsizetype from) {
    // Between attributes (or after "/"), in a name (or after it), after "=", in an unquoted value.
    enum class At { Gap, Name, Value, Unquoted } state = At::Gap;
    for (qsizetype k = from; k < text.size(); ++k) {
        const QChar c = text[k];
        if (c == u'>')
            return k + 1;
        const bool blank = isSpace(c);
        if (state == At::Value && (c == u'"' || c == u'\'')) {
            k = text.indexOf(c, k + 1);
            if (k < 0)
                return -1;
            state = At::Gap;
        } else if (state == At::Value || state == At::Unquoted) {
            state = blank ? (state == At::Value ? At::Value : At::Gap) : At::Unquoted;
        } else if (c == u'/') {
            state = At::Gap;
        } else if (!blank || state == At::Name) {
            // "=" starts a name between attributes, and leads to a value after one.
            state = c == u'=' && state == At::Name ? At::Value : At::Name;
        }
    }
    return -1;
}

// From "<!--": the place after the comment, "-->" or "--!>" ending it ("<!-->" and "<!--->" too).
qsizetype commentEnd(QStringView text, qsizetype at) {
    const QStringView rest = text.sliced(at + 4);
    if (rest.startsWith(u'>') || rest.startsWith(u"->"))
        return at + 5 + (rest[0] == u'-');
    for (qsizetype k = text.indexOf(u"--", at + 4); k >= 0; k = text.indexOf(u"--", k + 1)) {
        const QStringView after = text.sliced(k + 2);
        if (after.startsWith(u'>') || after.startsWith(u"!>"))
            return k + 3 + (after[0] == u'!');
    }
    return text.size();
}

// Where a script's contents from `from` end: at the "<" of its end tag, or the text's end.
qsizetype scriptEnd(QStringView text, qsizetype from) {
    static constexpr QStringView kScript = u"script";
    enum { Plain, Escaped, DoublyEscaped } state = Plain;
    for (qsizetype k = from; k < text.size(); ++k) {
        if (state == Plain && (k = text.indexOf(u'<', k)) < 0)
            break;
        const QStringView rest = text.sliced(k);
        if (state != Plain && rest.startsWith(u"-->")) {
            state = Plain;
            k += 2;
        } else if (state == Plain && rest.startsWith(u"<!--")) {
            state = Escaped;
            ++k; // its own dashes may end it: "<!-->"
        } else if (endTagAt(text, k, kScript)) {
            if (state != DoublyEscaped)
                return k;
            state = Escaped;
        } else if (state == Escaped && rest.startsWith(u'<') && nameAt(text, k + 1, kScript)) {
            state = DoublyEscaped;
        }
    }
    return text.size();
}

// Where the contents after the start tag named `name` (ending at `end`) end.
qsizetype contentsEnd(QStringView text, qsizetype end, QStringView name) {
    static constexpr QStringView kText[] = {u"style",  u"textarea", u"title",    u"xmp",
                                            u"iframe", u"noembed",  u"noframes", u"noscript"};
    if (name.size() < 3 || name.size() > 9)
        return end;
    if (sameAscii(name, u"script"))
        return scriptEnd(text, end);
    if (sameAscii(name, u"plaintext"))
        return text.size();
    for (const QStringView one : kText) {
        if (!sameAscii(name, one))
            continue;
        for (qsizetype k = text.indexOf(u"</", end); k >= 0; k = text.indexOf(u"</", k + 2))
            if (endTagAt(text, k, one))
                return k;
        return text.size();
    }
    return end;
}

// The server code of the page, asked about places in increasing order.
class ServerCode {
public:
    explicit ServerCode(QStringView text) : m_text(text) {}

    // Whether [from, to) meets server code.
    bool meets(qsizetype from, qsizetype to) {
        while (m_end <= from)
            next();
        return m_start < to;
    }

private:
    void next() {
        const qsizetype size = m_text.size();
        qsizetype k = m_end;
        while ((k = m_text.indexOf(u'<', k)) >= 0 && k + 1 < size && m_text[k + 1] != u'?' &&
               m_text[k + 1] != u'%')
            ++k;
        if (k < 0 || k + 1 >= size) {
            m_start = size;
            m_end = size + 1;
            return;
        }
        const qsizetype close = m_text.indexOf(m_text[k + 1] == u'?' ? u"?>" : u"%>", k + 2);
        m_start = k;
        m_end = close < 0 ? size + 1 : close + 2;
    }

    QStringView m_text;
    qsizetype m_start = 0, m_end = 0; // the block last found, [m_start, m_end)
};

// Calls `visit(at, insert)` for each start tag to carry the attribute: `at` its "<", `insert`
// the end of its name.
template <typename Visit> void forEachStartTag(QStringView text, const Visit& visit) {
    ServerCode server(text);
    for (qsizetype k = 0; (k = text.indexOf(u'<', k)) >= 0 && k + 1 < text.size();) {
        const QChar next = text[k + 1];
        const bool closing = next == u'/';
        if (next == u'!' && text.sliced(k).startsWith(u"<!--")) {
            k = commentEnd(text, k);
        } else if (next == u'!' && text.sliced(k).startsWith(u"<![CDATA[")) {
            k = skipPast(text, k + 9, u"]]>");
        } else if (isNameStart(next) || (closing && k + 2 < text.size() && isNameStart(text[k + 2]))) {
            const qsizetype name = k + (closing ? 2 : 1), insert = nameEnd(text, name);
            const qsizetype end = tagEnd(text, insert);
            if (end < 0) // the engine drops a tag the text ends in, and nothing follows it
                return;
            if (!closing && !server.meets(k, insert))
                visit(k, insert);
            k = closing ? end : contentsEnd(text, end, text.sliced(name, insert - name));
        } else if (closing || next == u'!' || next == u'?') {
            k = skipPast(text, k + 2, u">");
        } else {
            ++k;
        }
    }
}

} // namespace

QString WithSourceOffsets(QStringView text, int base) {
    QString copy;
    copy.reserve(text.size() + text.size() / 4 + 64);
    qsizetype copied = 0;
    forEachStartTag(text, [&](qsizetype at, qsizetype insert) {
        copy.append(text.sliced(copied, insert - copied));
        at += base;
        copy.append(u' ').append(QLatin1StringView(kSourceOffsetAttribute)).append(u"=\"");
        char16_t digits[20];
        qsizetype first = std::size(digits);
        do
            digits[--first] = char16_t(u'0' + at % 10);
        while ((at /= 10) > 0);
        copy.append(QStringView(digits + first, digits + std::size(digits))).append(u'"');
        copied = insert;
    });
    copy.append(text.sliced(copied));
    return copy;
}

std::vector<int> StartTagOffsets(QStringView text, int base) {
    std::vector<int> offsets;
    forEachStartTag(text, [&](qsizetype at, qsizetype) { offsets.push_back(int(at) + base); });
    return offsets;
}

ChangedStretch ChangedStretchOf(QStringView before, QStringView after) {
    ChangedStretch change;
    change.lengthBefore = int(before.size());
    change.lengthAfter = int(after.size());
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype start =
        std::mismatch(before.begin(), before.begin() + shorter, after.begin()).first - before.begin();
    // A tag the common start ends inside was changed: its "<" goes with the change, so that it names
    // no other element of the later text ("<a><b><c>" to "<a><c>" keeps "<a>", not "<a><").
    const qsizetype open = before.first(start).lastIndexOf(u'<');
    if (open >= 0 && !before.sliced(open, start - open).contains(u'>'))
        start = open;
    // The common end is looked for only in what the common start leaves, so the two never overlap.
    const qsizetype room = shorter - start;
    const qsizetype end =
        std::mismatch(before.rbegin(), before.rbegin() + room, after.rbegin()).first - before.rbegin();
    change.commonStart = int(start);
    change.commonEnd = int(end);
    return change;
}

namespace {

// An offset of the version of `length` in the version of `otherLength`, through their common start
// and end.
int carry(const ChangedStretch& change, int offset, int length, int otherLength) {
    if (offset < 0 || offset >= length)
        return -1;
    if (offset < change.commonStart)
        return offset;
    if (offset >= length - change.commonEnd)
        return offset - length + otherLength;
    return -1;
}

} // namespace

int OffsetAfterChange(const ChangedStretch& change, int offset) {
    return carry(change, offset, change.lengthBefore, change.lengthAfter);
}

int OffsetBeforeChange(const ChangedStretch& change, int offset) {
    return carry(change, offset, change.lengthAfter, change.lengthBefore);
}

bool PageStaysAsWritten(QStringView text) {
    static const QRegularExpression kScripted(QStringLiteral(R"(<script|\son[a-z]+\s*=|javascript:)"),
                                              QRegularExpression::CaseInsensitiveOption);
    return !kScripted.match(text).hasMatch();
}

namespace {

// Elements whose contents a fragment does not read as the page does: the page's frame, where text
// moves elsewhere or starts the body; table parts and "select", whose stray text is moved out; and
// those whose contents are text.
bool contentsPatchable(QStringView name) {
    static constexpr QStringView kWhole[] = {
        u"html",   u"head",     u"body",     u"table",    u"thead",    u"tbody",    u"tfoot",    u"tr",
        u"select", u"colgroup", u"frameset", u"template", u"script",   u"style",    u"textarea", u"title",
        u"xmp",    u"iframe",   u"noembed",  u"noframes", u"noscript", u"plaintext"};
    return std::none_of(std::begin(kWhole), std::end(kWhole),
                        [name](QStringView whole) { return sameAscii(name, whole); });
}

// Whether the contents hold what a fragment may read otherwise than the page: comments and
// declarations (an edit beside one may move its end), server code, or an element whose contents
// are text (unclosed, it would run past the contents in the page).
bool holdsUnpatchable(QStringView contents) {
    if (contents.contains(u"<!") || contents.contains(u"<?") || contents.contains(u"<%"))
        return true;
    bool found = false;
    forEachStartTag(contents, [&](qsizetype at, qsizetype insert) {
        found = found || !contentsPatchable(contents.sliced(at + 1, insert - at - 1));
    });
    return found;
}

// Whether the whole of `text`, read for start tags, has one at `element` and holds `inside` (and no
// other) within [from, to).
bool sameTagsWithin(QStringView text, int element, int from, int to, const std::vector<int>& inside) {
    const std::vector<int> all = StartTagOffsets(text);
    const auto first = std::lower_bound(all.begin(), all.end(), from);
    const auto last = std::lower_bound(first, all.end(), to);
    return std::binary_search(all.begin(), first, element) &&
           std::equal(first, last, inside.begin(), inside.end());
}

// An element whose contents hold a change: its start tag, and its contents [open, close).
struct Holder {
    int start = -1;
    qsizetype open = 0, close = 0;
    QString name; // in lower case
};

// The elements of `after` whose contents hold the change, innermost first, at most `levels` of
// them. Void and self-closed elements, and those whose end tag this reading does not see, hold none.
std::vector<Holder> holdersOf(QStringView after, const ChangedStretch& change, int levels) {
    const int start = change.commonStart;
    const int endAfter = change.lengthAfter - change.commonEnd;
    const TextReader read = [after](int from, int length) { return after.sliced(from, length).toString(); };
    std::vector<Holder> holders;
    TextSpan element{start, endAfter - start};
    // The edit may touch the start or end tag of the innermost element: then its parent holds it.
    for (int tries = 0; tries < levels + 3 && int(holders.size()) < levels; ++tries) {
        element = EnclosingElement(read, int(after.size()), element.start, element.length);
        if (!element.valid())
            break;
        const qsizetype nameFrom = element.start + 1, nameTo = nameEnd(after, nameFrom);
        Holder holder{element.start, tagEnd(after, nameTo), after.first(element.end()).lastIndexOf(u"</"),
                      after.sliced(nameFrom, nameTo - nameFrom).toString().toLower()};
        if (holder.open >= 0 && holder.close >= holder.open && endTagAt(after, holder.close, holder.name) &&
            holder.open <= start && holder.close >= endAfter)
            holders.push_back(std::move(holder));
    }
    return holders;
}

} // namespace

std::vector<int> ElementsHoldingChange(QStringView after, const ChangedStretch& change, int levels) {
    std::vector<int> starts;
    for (const Holder& holder : holdersOf(after, change, levels))
        starts.push_back(holder.start);
    return starts;
}

std::optional<ContentsPatch> ContentsPatchOf(QStringView before, QStringView after,
                                             const ChangedStretch& change) {
    const int start = change.commonStart;
    const int endBefore = change.lengthBefore - change.commonEnd;
    const int endAfter = change.lengthAfter - change.commonEnd;
    Q_ASSERT(start <= endBefore && start <= endAfter);
    if (start == endBefore && start == endAfter)
        return std::nullopt;
    // Only text changed: every tag stands as it did, moved or not.
    for (const QStringView part :
         {before.sliced(start, endBefore - start), after.sliced(start, endAfter - start)})
        if (part.contains(u'<') || part.contains(u'>'))
            return std::nullopt;

    const std::vector<Holder> holders = holdersOf(after, change, 1);
    if (holders.empty())
        return std::nullopt;
    const Holder& element = holders.front();
    const int open = int(element.open), close = int(element.close);
    if (!contentsPatchable(element.name))
        return std::nullopt;
    const int delta = change.lengthAfter - change.lengthBefore;
    const QStringView oldContents = before.sliced(open, close - delta - open);
    const QStringView newContents = after.sliced(open, close - open);
    if (holdsUnpatchable(oldContents) || holdsUnpatchable(newContents))
        return std::nullopt;
    ContentsPatch patch;
    patch.elementAt = element.start;
    patch.tagsBefore = StartTagOffsets(oldContents, open);
    patch.tagsAfter = StartTagOffsets(newContents, open);
    // The element is one the whole page's reading sees, with the same start tags inside it:
    // where the reading of the tags around disagrees, the page is loaded again.
    if (!sameTagsWithin(before, patch.elementAt, open, close - delta, patch.tagsBefore) ||
        !sameTagsWithin(after, patch.elementAt, open, close, patch.tagsAfter))
        return std::nullopt;
    patch.contents = WithSourceOffsets(newContents, open);
    // The page drops a line break right after "<pre>" or "<listing>"; a fragment keeps it.
    if (element.name == u"pre" || element.name == u"listing") {
        if (patch.contents.startsWith(u"\r\n"))
            patch.contents.remove(0, 2);
        else if (patch.contents.startsWith(u'\n') || patch.contents.startsWith(u'\r'))
            patch.contents.remove(0, 1);
    }
    patch.movedFrom = endBefore;
    patch.movedBy = delta;
    return patch;
}
