#include "markup/TagCase.h"

#include <QStringView>

// How the three commands read a page, in one pass from its start:
// - A text without "<" or without ">" holds no tag and comes back as it is.
// - A document type declaration at the very start (the first 10 characters, upper-cased, are
//   "<!DOCTYPE ") runs to the first ">". Case changes leave it; RemoveTags drops it together with
//   one CR LF directly after it.
// - "<!-" opens a comment that runs to the first "->" starting after the "<!-": "<!-->" is an empty
//   comment, while "<!->" does not close itself. Comments are never changed.
// - "<%" and "<?" open server blocks closed by the first "%>" / "?>" starting after the opener
//   ("<%>" does not close itself). Case changes leave them; RemoveTags drops them whole.
// - Any other "<", and an opener whose closer never comes, starts a tag. The tag ends at the first
//   ">" outside double quotes, unless a quote is still open at the next "<" or at the end of the
//   text: then it ends at the first ">" after its "<". A "<" with no ">" after it ends the scan and
//   the rest stays as it is. A "<" meant as less-than thus starts a tag up to the next ">".
// - Case changes convert a tag except its closed double-quoted values (quotes included). A quote
//   left open at the tag's end (only when the tag ended at its first ">") quotes nothing, so the
//   rest of the tag is converted while the values closed before it keep their case.
// - One UTF-16 unit becomes one unit, so a case change keeps every offset of the text.
//
// Every search only moves forward: the searches that can fail (a comment's "->", a server block's
// closer, a tag's end by the quote rule) remember their answer, so that many openers without a
// closer do not search the same stretch of text again and again. The whole page is read a bounded
// number of times, whatever it holds.

namespace {

enum class Action { Lower, Upper, Remove };

// The case of one UTF-16 unit. Only mappings that give one unit are taken, surrogates stay, and a
// Latin-1 character stays Latin-1: "ß" has no single capital, and the capitals of "ÿ" and "µ" lie
// outside Latin-1, which a page written in a single-byte encoding could not hold.
char16_t caseOf(char16_t unit, bool upper) {
    if (unit < 0x80) {
        if (upper)
            return unit >= u'a' && unit <= u'z' ? char16_t(unit - 0x20) : unit;
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 0x20) : unit;
    }
    if (QChar::isSurrogate(unit))
        return unit;
    const char32_t mapped = upper ? QChar::toUpper(char32_t(unit)) : QChar::toLower(char32_t(unit));
    if (mapped > 0xFFFF || QChar::isSurrogate(mapped) || (unit < 0x100 && mapped >= 0x100))
        return unit;
    return char16_t(mapped);
}

bool startsWithDoctype(QStringView text) {
    static constexpr char16_t kDoctype[] = u"<!DOCTYPE ";
    if (text.size() < 10)
        return false;
    for (qsizetype i = 0; i < 10; ++i) {
        if (caseOf(text[i].unicode(), true) != kDoctype[i])
            return false;
    }
    return true;
}

// The first place of `marker` at or after `from`, asked with `from` never decreasing. An earlier
// answer that still lies at or after `from`, or an earlier "nowhere", is the answer again.
class MarkerFinder {
public:
    MarkerFinder(QStringView text, QStringView marker) : m_text(text), m_marker(marker) {}

    qsizetype next(qsizetype from) {
        if (m_searchedFrom < 0 || m_searchedFrom > from || (m_found >= 0 && m_found < from)) {
            m_found = m_text.indexOf(m_marker, from);
            m_searchedFrom = from;
        }
        return m_found;
    }

private:
    QStringView m_text;
    QStringView m_marker;
    qsizetype m_searchedFrom = -1;
    qsizetype m_found = -1;
};

// Where the tag starting at a "<" ends. Tags are asked for in text order.
//
// Scanning from a "<", quotes toggle; the scan stops at a ">" outside quotes (the tag's end) or at
// a "<" inside quotes (the quote rule fails and the first ">" is the end). Every "<" the scan
// passes lies outside quotes, so the same number of quotes, modulo 2, lies before it as before
// the "<" the scan started from: a scan from there would see the same quoted stretches and stop
// at the same place. The stop is therefore reused for every later "<" before it, and a new scan
// only ever starts beyond the last stop.
class TagEndFinder {
public:
    explicit TagEndFinder(QStringView text) : m_text(text), m_firstClose(text, u">") {}

    // The position of the tag's ">"; -1 when no ">" follows `open`.
    qsizetype end(qsizetype open) {
        if (m_scannedFrom < 0 || m_scannedFrom > open + 1 || m_stop <= open) {
            m_stop = scan(open + 1);
            m_scannedFrom = open + 1;
        }
        if (m_stop < m_text.size() && m_text[m_stop] == u'>')
            return m_stop;
        return m_firstClose.next(open + 1);
    }

private:
    // The first ">" outside quotes or "<" inside quotes at or after `from`, counting quotes from
    // `from`; the text's size when there is neither.
    qsizetype scan(qsizetype from) const {
        bool quoted = false;
        const qsizetype size = m_text.size();
        for (qsizetype at = from; at < size; ++at) {
            const char16_t unit = m_text[at].unicode();
            if (unit == u'"')
                quoted = !quoted;
            else if (unit == (quoted ? u'<' : u'>'))
                return at;
        }
        return size;
    }

    QStringView m_text;
    MarkerFinder m_firstClose;
    qsizetype m_scannedFrom = -1;
    qsizetype m_stop = -1;
};

// Appends `tag` in the wanted case, its closed double-quoted values as they are.
void appendConverted(QString& out, QStringView tag, bool upper) {
    // With an odd number of quotes the last one has no partner and opens no value.
    const qsizetype valuesEnd = tag.count(u'"') % 2 ? tag.lastIndexOf(u'"') : tag.size();
    const qsizetype start = out.size();
    out.resize(start + tag.size()); // within the capacity reserved for the whole text
    QChar* to = out.data() + start;
    bool quoted = false;
    for (qsizetype at = 0; at < tag.size(); ++at) {
        const char16_t unit = tag[at].unicode();
        if (unit == u'"' && at < valuesEnd)
            quoted = !quoted;
        to[at] = QChar(quoted || unit == u'"' ? unit : caseOf(unit, upper));
    }
}

QString processTags(const QString& text, Action action) {
    const QStringView source(text);
    if (!source.contains(u'<') || !source.contains(u'>'))
        return text;
    const qsizetype size = source.size();
    QString out;
    out.reserve(size);

    qsizetype from = 0; // where the search for the next "<" goes on
    qsizetype kept = 0; // the start of the stretch that is kept as it is and not yet appended
    if (startsWithDoctype(source)) {
        from = source.indexOf(u'>') + 1; // there is a ">", and not among the first 10 characters
        if (action == Action::Remove) {
            if (from + 1 < size && source[from] == u'\r' && source[from + 1] == u'\n')
                from += 2;
            kept = from;
        }
    }

    MarkerFinder commentEnd(source, u"->");
    MarkerFinder percentEnd(source, u"%>");
    MarkerFinder questionEnd(source, u"?>");
    TagEndFinder tagEnd(source);
    for (;;) {
        const qsizetype open = source.indexOf(u'<', from);
        if (open < 0)
            break;
        const char16_t second = open + 1 < size ? source[open + 1].unicode() : u'\0';
        if (second == u'!' && open + 2 < size && source[open + 2] == u'-') {
            const qsizetype close = commentEnd.next(open + 3);
            if (close >= 0) {
                from = close + 2;
                continue;
            }
        } else if (second == u'%' || second == u'?') {
            const qsizetype close = (second == u'%' ? percentEnd : questionEnd).next(open + 2);
            if (close >= 0) {
                if (action == Action::Remove) {
                    out.append(source.sliced(kept, open - kept));
                    kept = close + 2;
                }
                from = close + 2;
                continue;
            }
        }
        const qsizetype close = tagEnd.end(open);
        if (close < 0)
            break;
        out.append(source.sliced(kept, open - kept));
        if (action != Action::Remove)
            appendConverted(out, source.sliced(open, close + 1 - open), action == Action::Upper);
        kept = from = close + 1;
    }
    out.append(source.sliced(kept));
    return out;
}

} // namespace

QString LowerTags(const QString& text) {
    return processTags(text, Action::Lower);
}

QString UpperTags(const QString& text) {
    return processTags(text, Action::Upper);
}

QString RemoveTags(const QString& text) {
    return processTags(text, Action::Remove);
}
