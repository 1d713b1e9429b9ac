#include "markup/TagMatch.h"

#include "markup/MarkupNames.h"

#include <QFileInfo>
#include <algorithm>
#include <unordered_map>
#include <vector>

// How a window is read: one pass from its start lists its tags and the code stretches (script and
// style contents) and skips comments, declarations and server blocks; a second pass pairs the tags
// with a stack. A window seldom starts at the document's start, so it may start inside a server
// block or a script: a "?>" or "%>" met outside any block, or an end tag of script, style, textarea
// or title met outside its contents, tells that the window began inside one, and all found before it
// is dropped. A "-->" tells nothing: pages show it as text (arrows, samples of program output), so a
// window starting inside a comment reads the comment as markup up to its end.
// Every search moves forward or remembers its failure, so a window is read a bounded number of times.

namespace {

using namespace MarkupNames;

// The windows the reader versions try, each way from the cursor.
constexpr int kReaches[] = {8192, 65536, kMatchReach};

// The same for names that sameName finds equal (and seldom for others).
size_t nameKey(QStringView name) {
    size_t key = 14695981039346656037ULL;
    for (const QChar c : name) {
        const char16_t unit = c.unicode() >= 0x80      ? c.toCaseFolded().unicode()
                              : c >= u'A' && c <= u'Z' ? char16_t(c.unicode() | 0x20)
                                                       : c.unicode();
        key = (key ^ unit) * 1099511628211ULL;
    }
    return key;
}
template <size_t N> bool isOneOf(QStringView name, const QStringView (&names)[N]) {
    return std::any_of(std::begin(names), std::end(names),
                       [name](QStringView one) { return sameName(name, one); });
}

bool isVoid(QStringView name) {
    return isVoidElement(name);
}

// Elements whose contents are text, not tags; script and style contents are code as well.
enum class Raw { None, Text, Style, Script };
Raw rawKind(QStringView name) {
    static const QStringView kScript = u"script", kStyle = u"style", kText[] = {u"textarea", u"title"};
    if (name.size() < 5 || name.size() > 8)
        return Raw::None;
    if (sameName(name, kScript))
        return Raw::Script;
    if (sameName(name, kStyle))
        return Raw::Style;
    return isOneOf(name, kText) ? Raw::Text : Raw::None;
}

struct Tag {
    int start = 0; // at "<", in the window
    int end = 0;   // after ">"
    QStringView name;
    bool closing = false;
    bool single = false; // void or closed with "/>": an element of its own
    int partner = -1;    // index in the list
    bool open = false;   // a start tag still open at the window's end
    // A pairing a wider window could change: an end tag whose start tag may lie before the window
    // came while this was open.
    bool uncertain = false;
};

struct CodeStretch {
    int start = 0;
    int end = 0;
    SourceKind kind = SourceKind::Script;
    bool clippedStart = false; // it may begin before the window
    bool clippedEnd = false;   // it may go on after the window
};

struct Markup {
    std::vector<Tag> tags;
    std::vector<CodeStretch> code;
};

class MarkupScanner {
public:
    explicit MarkupScanner(const TextWindow& window)
        : m_text(window.text), m_size(window.text.size()), m_midDocument(!window.atDocumentStart()),
          m_clippedEnd(!window.atDocumentEnd()) {}

    Markup scan() {
        qsizetype i = 0;
        while (i < m_size) {
            const QChar c = m_text[i];
            if (c == u'>') {
                if (m_midDocument && closesOuterBlock(i))
                    restart(i + 1, Raw::None);
                ++i;
            } else if (c != u'<' || i + 1 >= m_size) {
                ++i;
            } else {
                i = afterOpener(i);
            }
        }
        pairTags();
        return std::move(m_out);
    }

private:
    // "?>" or "%>" ending at `at`.
    bool closesOuterBlock(qsizetype at) const {
        const QChar before = at >= 1 ? m_text[at - 1] : QChar();
        return before == u'?' || before == u'%';
    }

    // All before `at` lay inside a block that began before the window.
    void restart(qsizetype at, Raw raw) {
        m_out.tags.clear();
        m_out.code.clear();
        if (raw == Raw::Script || raw == Raw::Style)
            m_out.code.push_back({0, int(at), codeKind(raw), true, false});
    }

    static SourceKind codeKind(Raw raw) {
        return raw == Raw::Style ? SourceKind::StyleSheet : SourceKind::Script;
    }

    qsizetype skipPast(qsizetype from, QStringView closer) const {
        const qsizetype found = m_text.indexOf(closer, from);
        return found < 0 ? m_size : found + closer.size();
    }

    // Reads what starts with the "<" at `at`; returns where to go on.
    qsizetype afterOpener(qsizetype at) {
        const QChar next = m_text[at + 1];
        if (next == u'!') {
            if (m_text.sliced(at).startsWith(u"<!--"))
                return skipPast(at + 4, u"-->");
            if (m_text.sliced(at).startsWith(u"<![CDATA["))
                return skipPast(at + 9, u"]]>");
            return skipPast(at + 2, u">");
        }
        if (next == u'?')
            return skipPast(at + 2, u"?>");
        if (next == u'%')
            return skipPast(at + 2, u"%>");
        const bool closing = next == u'/';
        const qsizetype nameAt = at + (closing ? 2 : 1);
        if (nameAt >= m_size || !isNameStart(m_text[nameAt]))
            return at + 1;
        qsizetype nameEnd = nameAt;
        while (nameEnd < m_size && isNameChar(m_text[nameEnd]))
            ++nameEnd;
        bool selfClosing = false;
        qsizetype resume = nameEnd;
        const qsizetype end = tagEnd(nameEnd, &selfClosing, &resume);
        if (end < 0) // an unfinished tag is text, and does not swallow the tag after it
            return resume;
        Tag tag;
        tag.start = int(at);
        tag.end = int(end);
        tag.name = m_text.sliced(nameAt, nameEnd - nameAt);
        tag.closing = closing;
        // Script, style, textarea and title have contents even after "/>", as browsers read them.
        const Raw raw = rawKind(tag.name);
        selfClosing = selfClosing && raw == Raw::None;
        tag.single = !closing && (selfClosing || isVoid(tag.name));
        if (closing && raw != Raw::None && at != m_rawEnd && m_midDocument)
            restart(at, raw);
        m_out.tags.push_back(tag);
        if (closing || selfClosing || raw == Raw::None)
            return end;
        const qsizetype close = rawEnd(end, tag.name);
        const qsizetype contentEnd = close < 0 ? m_size : close;
        if (raw != Raw::Text)
            m_out.code.push_back(
                {int(end), int(contentEnd), codeKind(raw), false, close < 0 && m_clippedEnd});
        m_rawEnd = close;
        return contentEnd;
    }

    // After a tag's name: the place after its ">", or -1 when a "<" or the window's end comes first
    // (`resume` then tells where to read on). A quote after "=" opens a value that may hold both.
    qsizetype tagEnd(qsizetype from, bool* selfClosing, qsizetype* resume) {
        bool afterEquals = false;
        for (qsizetype k = from; k < m_size; ++k) {
            const QChar c = m_text[k];
            if (c == u'>') {
                *selfClosing = m_text[k - 1] == u'/';
                return k + 1;
            }
            if (c == u'<') {
                *resume = k;
                return -1;
            }
            if ((c == u'"' || c == u'\'') && afterEquals) {
                qsizetype& missing = c == u'"' ? m_noDoubleFrom : m_noSingleFrom;
                const qsizetype close = k < missing ? m_text.indexOf(c, k + 1) : -1;
                if (close < 0) {
                    missing = std::min(missing, k);
                    return -1;
                }
                k = close;
                afterEquals = false;
            } else if (c == u'=') {
                afterEquals = true;
            } else if (!isSpace(c)) {
                afterEquals = false;
            }
        }
        return -1;
    }

    // Where the end tag of a raw element named `name` starts, from `from`; -1 when none follows.
    qsizetype rawEnd(qsizetype from, QStringView name) const {
        for (qsizetype k = m_text.indexOf(u"</", from); k >= 0; k = m_text.indexOf(u"</", k + 2)) {
            const qsizetype after = k + 2 + name.size();
            if (after <= m_size && sameName(m_text.sliced(k + 2, name.size()), name) &&
                (after == m_size || isSpace(m_text[after]) || m_text[after] == u'/' || m_text[after] == u'>'))
                return k;
        }
        return -1;
    }

    // Pairs each end tag with the innermost start tag of its name still open, closing all opened
    // after that one. The open start tags are found by name through keys, so that end tags without
    // a start tag cost no search through all that is open.
    void pairTags() {
        std::vector<int> open;                                  // the start tags still open, outermost first
        std::vector<size_t> keys;                               // the key of each of them
        std::unordered_map<size_t, std::vector<int>> openByKey; // places in `open`, innermost last
        int lastStray = -1;
        std::vector<Tag>& tags = m_out.tags;
        for (int k = 0; k < int(tags.size()); ++k) {
            Tag& tag = tags[k];
            if (tag.single)
                continue;
            const size_t key = nameKey(tag.name);
            if (!tag.closing) {
                openByKey[key].push_back(int(open.size()));
                open.push_back(k);
                keys.push_back(key);
                continue;
            }
            int place = -1;
            if (const auto same = openByKey.find(key); same != openByKey.end()) {
                const auto found = std::find_if(same->second.rbegin(), same->second.rend(), [&](int at) {
                    return sameName(tags[open[at]].name, tag.name);
                });
                place = found == same->second.rend() ? -1 : *found;
            }
            if (place < 0) {
                // Its start tag may lie before the window, and would then close all opened since.
                if (m_midDocument)
                    lastStray = k;
                continue;
            }
            const int opener = open[place];
            tag.partner = opener;
            tags[opener].partner = k;
            tag.uncertain = tags[opener].uncertain = lastStray > opener;
            while (int(open.size()) > place) {
                std::vector<int>& places = openByKey[keys.back()];
                Q_ASSERT(!places.empty() && places.back() == int(open.size()) - 1);
                places.pop_back();
                keys.pop_back();
                open.pop_back();
            }
        }
        for (const int opener : open)
            tags[opener].open = true;
    }

    QStringView m_text;
    qsizetype m_size;
    bool m_midDocument;
    bool m_clippedEnd;
    qsizetype m_rawEnd = -1; // where the end tag of the last raw contents starts
    // From where no double or single quote is left in the window.
    qsizetype m_noDoubleFrom = std::numeric_limits<qsizetype>::max();
    qsizetype m_noSingleFrom = std::numeric_limits<qsizetype>::max();
    Markup m_out;
};

bool isBracket(QChar c) {
    return c == u'(' || c == u')' || c == u'[' || c == u']' || c == u'{' || c == u'}';
}
bool isOpening(QChar c) {
    return c == u'(' || c == u'[' || c == u'{';
}
QChar partnerOf(QChar c) {
    switch (c.unicode()) {
    case u'(':
        return u')';
    case u'[':
        return u']';
    case u'{':
        return u'}';
    case u')':
        return u'(';
    case u']':
        return u'[';
    default:
        return u'{';
    }
}

// Whether a "/" after `previous` (the last character of code before it) opens a regular expression
// rather than dividing.
bool regexMayFollow(QChar previous) {
    return previous.isNull() || QStringView(u"(,=:[!&|?{};+-*%<>~^").contains(previous);
}

struct BracketAnswer {
    bool inCode = false; // the character at `at` is a bracket of the code, not of a string or comment
    int partner = -1;
    bool clipped = false;
};

// Reads the code [stretch.start, stretch.end) of `text` for the partner of the bracket at `at`.
BracketAnswer bracketPartner(QStringView text, const CodeStretch& stretch, int at) {
    BracketAnswer answer;
    const bool script = stretch.kind == SourceKind::Script;
    std::vector<int> open;
    int ownDepth = -1; // the stack's size under the bracket at `at`, once it is open
    QChar previous;
    qsizetype noRegexBefore = 0; // after a "/" that closed nothing, the rest of its line divides
    const auto lineEnd = [&](qsizetype from) {
        while (from < stretch.end && text[from] != u'\r' && text[from] != u'\n')
            ++from;
        return from;
    };
    for (qsizetype i = stretch.start; i < stretch.end; ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < stretch.end ? text[i + 1] : QChar();
        if (c == u'/' && next == u'*') {
            const qsizetype close = text.sliced(0, stretch.end).indexOf(u"*/", i + 2);
            i = close < 0 ? stretch.end : close + 1;
            continue;
        }
        if (script && c == u'/' && next == u'/') {
            i = lineEnd(i);
            continue;
        }
        if (c == u'"' || c == u'\'' || (script && c == u'`') ||
            (script && c == u'/' && i >= noRegexBefore && regexMayFollow(previous))) {
            // A string (or a regular expression) to its unescaped closer; only "`" strings and
            // escaped breaks go past the line's end, and a "/" inside [...] does not close.
            bool inClass = false;
            qsizetype k = i + 1;
            for (; k < stretch.end; ++k) {
                const QChar d = text[k];
                if (d == u'\\')
                    ++k;
                else if ((d == u'\r' || d == u'\n') && c != u'`')
                    break;
                else if (c == u'/' && (d == u'[' || d == u']'))
                    inClass = d == u'[';
                else if (d == c && !inClass)
                    break;
            }
            if (c == u'/' && (k >= stretch.end || text[k] != u'/')) {
                previous = c; // no closer on the line: a division after all
                noRegexBefore = k;
                continue;
            }
            i = k;
            previous = c;
            continue;
        }
        if (!isSpace(c))
            previous = c;
        if (!isBracket(c))
            continue;
        if (i == at)
            answer.inCode = true;
        if (isOpening(c)) {
            if (i == at)
                ownDepth = int(open.size());
            open.push_back(int(i));
        } else if (!open.empty() && text[open.back()] == partnerOf(c)) {
            if (i == at)
                answer.partner = open.back();
            open.pop_back();
            if (int(open.size()) == ownDepth)
                answer.partner = int(i);
            if (i == at || answer.partner >= 0)
                return answer;
        } else if (i == at) {
            // A closer with nothing open may close what opened before the window.
            answer.clipped = open.empty() && stretch.clippedStart;
            return answer;
        }
    }
    answer.clipped = answer.clipped || (ownDepth >= 0 && stretch.clippedEnd);
    return answer;
}

// The bracket after the cursor at `at`, else (when `before` is set) the one before it.
MatchResult bracketAt(const TextWindow& window, const CodeStretch& stretch, int at, bool before = true) {
    MatchResult result;
    for (const int place : {at, before ? at - 1 : -1}) {
        if (place < stretch.start || place >= stretch.end || !isBracket(window.text[place]))
            continue;
        const BracketAnswer answer = bracketPartner(window.text, stretch, place);
        if (!answer.inCode)
            continue;
        result.kind = MatchResult::Bracket;
        result.own = {window.start + place, 1};
        if (answer.partner >= 0)
            result.partner = {window.start + answer.partner, 1};
        result.clipped = answer.clipped;
        return result;
    }
    return result;
}

// The tag `at` is in: the one starting there, else the one it is inside or just after.
const Tag* tagAt(const std::vector<Tag>& tags, int at) {
    const auto after = std::lower_bound(tags.begin(), tags.end(), at,
                                        [](const Tag& tag, int place) { return tag.start < place; });
    if (after != tags.end() && after->start == at)
        return &*after;
    if (after != tags.begin() && std::prev(after)->end >= at)
        return &*std::prev(after);
    return nullptr;
}

TextSpan spanOf(const TextWindow& window, const Tag& tag) {
    return {window.start + tag.start, tag.end - tag.start};
}

} // namespace

SourceKind SourceKindOf(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"css")
        return SourceKind::StyleSheet;
    if (extension == u"js" || extension == u"mjs" || extension == u"cjs" || extension == u"json")
        return SourceKind::Script;
    return SourceKind::Markup;
}

MatchResult MatchAt(const TextWindow& window, int cursor, SourceKind kind) {
    const int at = cursor - window.start;
    if (at < 0 || at > window.text.size())
        return {};
    if (kind != SourceKind::Markup)
        return bracketAt(
            window, {0, int(window.text.size()), kind, !window.atDocumentStart(), !window.atDocumentEnd()},
            at);
    const Markup markup = MarkupScanner(window).scan();
    const Tag* tag = tagAt(markup.tags, at);
    // Just after a tag's ">", a bracket after the cursor comes first: a jump from its partner lands
    // there, and the next jump goes back.
    if (!tag || tag->end == at) {
        for (const CodeStretch& stretch : markup.code) {
            if (stretch.start > at || at > stretch.end)
                continue;
            const MatchResult bracket = bracketAt(window, stretch, at, !tag);
            if (bracket.kind != MatchResult::None)
                return bracket;
        }
    }
    if (!tag)
        return {};
    MatchResult result;
    result.kind = MatchResult::Tag;
    result.own = spanOf(window, *tag);
    if (tag->partner >= 0)
        result.partner = spanOf(window, markup.tags[tag->partner]);
    result.clipped = tag->uncertain || (tag->open && !window.atDocumentEnd()) ||
                     (tag->closing && tag->partner < 0 && !window.atDocumentStart());
    return result;
}

ElementResult EnclosingElement(const TextWindow& window, int start, int length) {
    const Markup markup = MarkupScanner(window).scan();
    const int from = start - window.start;
    const int to = from + length;
    ElementResult result;
    bool uncertain = false;
    for (const Tag& tag : markup.tags) {
        if (tag.start > from)
            break;
        if (tag.closing || (!tag.single && tag.partner < 0))
            continue;
        const int end = tag.single ? tag.end : markup.tags[tag.partner].end;
        if (to <= end && end - tag.start > length &&
            (!result.element.valid() || end - tag.start <= result.element.length)) {
            result.element = {window.start + tag.start, end - tag.start};
            uncertain = tag.uncertain;
        }
    }
    result.clipped =
        result.element.valid() ? uncertain : !window.atDocumentStart() || !window.atDocumentEnd();
    return result;
}

namespace {

// The text around a place, read through a reader and widened on request without reading again what
// it holds already.
class GrowingWindow {
public:
    GrowingWindow(const TextReader& read, int total) : m_read(read), m_total(total) {}

    void cover(int from, int to) {
        from = std::max(0, from);
        to = std::min(m_total, to);
        if (!m_started) {
            m_text = m_read(from, to - from);
            m_from = from;
            m_to = to;
            m_started = true;
        }
        if (from < m_from)
            m_text.prepend(m_read(from, m_from - from));
        if (to > m_to)
            m_text.append(m_read(m_to, to - m_to));
        m_from = std::min(m_from, from);
        m_to = std::max(m_to, to);
        Q_ASSERT(m_text.size() == m_to - m_from);
    }
    TextWindow window() const { return {m_text, m_from, m_total}; }
    bool whole() const { return m_from == 0 && m_to == m_total; }
    QChar at(int offset) const { return m_text.at(offset - m_from); }

private:
    const TextReader& m_read;
    int m_total;
    bool m_started = false;
    QString m_text;
    int m_from = 0, m_to = 0;
};

} // namespace

MatchResult MatchAround(const TextReader& read, int total, int cursor, SourceKind kind) {
    GrowingWindow text(read, total);
    int before = kReaches[0], after = kReaches[0];
    text.cover(cursor - before, cursor + after);
    MatchResult result = MatchAt(text.window(), cursor, kind);
    for (size_t step = 1; step < std::size(kReaches) && result.clipped && !text.whole(); ++step) {
        // A start tag or an opening bracket looks for its partner after it, the others before.
        const QChar second = result.kind == MatchResult::Tag ? text.at(result.own.start + 1) : QChar();
        const bool forward =
            result.kind == MatchResult::Tag ? second != u'/' : isOpening(text.at(result.own.start));
        (forward ? after : before) = kReaches[step];
        text.cover(cursor - before, cursor + after);
        result = MatchAt(text.window(), cursor, kind);
    }
    return result;
}

TextSpan EnclosingElement(const TextReader& read, int total, int start, int length) {
    GrowingWindow text(read, total);
    ElementResult result;
    for (const int reach : kReaches) {
        text.cover(start - reach, start + length + reach);
        result = EnclosingElement(text.window(), start, length);
        if (!result.clipped || text.whole())
            break;
    }
    return result.element;
}
