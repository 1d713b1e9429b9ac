#include "markup/SearchPattern.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

namespace {

// Every line break of the searched text is a CR LF; a lone CR or LF counts as one too.
const QString kNewlines = QStringLiteral("(*ANYCRLF)");
const QString kWordBefore = QStringLiteral("(?<![\\p{L}\\p{N}_])(?:");
const QString kWordAfter = QStringLiteral(")(?![\\p{L}\\p{N}_])");

bool isWordCharacter(char32_t c) {
    return c == U'_' || QChar::isLetterOrNumber(c);
}

QString invalidPattern(const QRegularExpression& regex) {
    return QCoreApplication::translate("SearchPattern",
                                       "The search pattern is not valid: %1 at character %2.")
        .arg(regex.errorString(), QString::number(regex.patternErrorOffset() + 1));
}

bool insidePair(QStringView text, qsizetype at) {
    return at > 0 && at < text.size() && text[at - 1] == u'\r' && text[at] == u'\n';
}

bool wordBefore(QStringView text, qsizetype at) {
    if (at <= 0 || at > text.size())
        return false;
    const QChar c = text[at - 1];
    if (c.isLowSurrogate() && at >= 2 && text[at - 2].isHighSurrogate())
        return isWordCharacter(QChar::surrogateToUcs4(text[at - 2], c));
    return isWordCharacter(c.unicode());
}

bool wordAt(QStringView text, qsizetype at) {
    if (at < 0 || at >= text.size())
        return false;
    const QChar c = text[at];
    if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return isWordCharacter(QChar::surrogateToUcs4(c, text[at + 1]));
    return isWordCharacter(c.unicode());
}

// PCRE makes sure that a subject is sound UTF-16 on every match, from the offset to the end: a
// search that matches many times in a large text would check it over and over. Patterns therefore
// search a subject checked once here and matched unchecked; a text holding lone surrogates is
// searched as a copy with U+FFFD in their place, which keeps every offset.
QStringView soundSubject(QStringView text, QString& copy) {
    if (text.isValidUtf16())
        return text;
    copy = text.toString();
    for (qsizetype i = 0; i < copy.size(); ++i) {
        if (copy[i].isHighSurrogate() && i + 1 < copy.size() && copy[i + 1].isLowSurrogate())
            ++i;
        else if (copy[i].isSurrogate())
            copy[i] = QChar::ReplacementCharacter;
    }
    return copy;
}

QStringList capturesOf(const QRegularExpressionMatch& match, int groups) {
    QStringList captures;
    captures.reserve(groups + 1);
    for (int group = 0; group <= groups; ++group)
        captures << match.captured(group);
    return captures;
}

} // namespace

SearchPattern::SearchPattern(const QString& find, const SearchOptions& options)
    : m_find(find), m_options(options), m_checkWords(options.wholeWord && !options.regex) {
    if (!options.regex || find.isEmpty())
        return;
    QRegularExpression::PatternOptions flags =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    m_regex.setPatternOptions(flags);
    m_regex.setPattern(kNewlines + (options.wholeWord ? kWordBefore + find + kWordAfter : find));
    if (m_regex.isValid())
        return;
    // The pattern as typed says what is wrong with it, at offsets of the typed text.
    const QRegularExpression typed(find, flags);
    if (!typed.isValid()) {
        m_error = invalidPattern(typed);
        return;
    }
    // A valid pattern that cannot stand inside the whole-word group (an unended "\Q" or comment,
    // a leading "(*...)"): words are checked after matching instead.
    m_regex.setPattern(kNewlines + find);
    m_checkWords = options.wholeWord;
    if (!m_regex.isValid())
        m_error = invalidPattern(m_regex);
}

PatternMatch SearchPattern::accepted(QStringView text, qsizetype at, qsizetype length) const {
    if (m_checkWords && (wordBefore(text, at) || wordAt(text, at + length)))
        return {};
    if (insidePair(text, at)) {
        if (length == 0)
            return {};
        --at;
        ++length;
    }
    if (insidePair(text, at + length))
        ++length;
    return {at, length, {}};
}

PatternMatch SearchPattern::nextMatch(QStringView text, qsizetype from, bool withCaptures) const {
    if (!isValid() || m_find.isEmpty())
        return {};
    const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (from = std::max<qsizetype>(from, 0); from <= text.size(); ++from) {
        if (insidePair(text, from))
            ++from;
        qsizetype at = -1;
        qsizetype length = m_find.size();
        QRegularExpressionMatch found;
        if (m_options.regex) {
            found = m_regex.match(text, from, QRegularExpression::NormalMatch,
                                  QRegularExpression::DontCheckSubjectStringMatchOption);
            if (!found.hasMatch())
                return {};
            at = found.capturedStart();
            length = found.capturedLength();
        } else {
            at = text.indexOf(m_find, from, cs);
            if (at < 0)
                return {};
        }
        PatternMatch match = accepted(text, at, length);
        if (match.found()) {
            if (withCaptures && m_options.regex)
                match.captures = capturesOf(found, m_regex.captureCount());
            return match;
        }
        from = at; // passed over: the search goes on one character further
    }
    return {};
}

PatternMatch SearchPattern::findNext(QStringView text, qsizetype from) const {
    QString copy;
    return nextMatch(m_options.regex ? soundSubject(text, copy) : text, from, true);
}

PatternMatch SearchPattern::findPrevious(QStringView text, qsizetype before) const {
    before = std::min(before, text.size());
    if (before <= 0 || !isValid() || m_find.isEmpty())
        return {};
    if (!m_options.regex) {
        const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        // A match beginning at the LF of a pair starts at its CR, before `before`.
        qsizetype from =
            std::min(insidePair(text, before) ? before : before - 1, text.size() - m_find.size());
        for (; from >= 0; --from) {
            const qsizetype at = text.lastIndexOf(m_find, from, cs);
            if (at < 0)
                return {};
            const PatternMatch match = accepted(text, at, m_find.size());
            if (match.found())
                return match;
            from = at;
        }
        return {};
    }
    // Patterns search forward only. Hopping from match to match, each search going on where the
    // last match ended, reaches the last such match starting before `before`; nothing starts
    // between its end and `before`, so a later start can only lie inside it.
    QString copy;
    text = soundSubject(text, copy);
    PatternMatch best;
    for (PatternMatch match = nextMatch(text, 0, false); match.found() && match.start < before;
         match = nextMatch(text, match.start + std::max<qsizetype>(match.length, 1), false))
        best = match;
    if (!best.found())
        return {};
    for (PatternMatch match = nextMatch(text, best.start + 1, false); match.found() && match.start < before;
         match = nextMatch(text, match.start + 1, false))
        best = match;
    return anchoredMatch(text, best.start);
}

PatternMatch SearchPattern::matchAt(QStringView text, qsizetype at) const {
    QString copy;
    return anchoredMatch(m_options.regex ? soundSubject(text, copy) : text, at);
}

PatternMatch SearchPattern::anchoredMatch(QStringView text, qsizetype at) const {
    if (!isValid() || m_find.isEmpty() || at < 0 || at > text.size())
        return {};
    const auto anchored = [&](qsizetype raw) -> PatternMatch {
        if (!m_options.regex) {
            const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
            return text.sliced(raw).startsWith(m_find, cs) ? accepted(text, raw, m_find.size())
                                                           : PatternMatch();
        }
        const QRegularExpressionMatch found =
            m_regex.match(text, raw, QRegularExpression::NormalMatch,
                          QRegularExpression::AnchorAtOffsetMatchOption |
                              QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!found.hasMatch())
            return {};
        PatternMatch match = accepted(text, raw, found.capturedLength());
        if (match.found())
            match.captures = capturesOf(found, m_regex.captureCount());
        return match;
    };
    PatternMatch match = anchored(at);
    if (!match.found() && insidePair(text, at + 1))
        match = anchored(at + 1);
    return match.start == at ? match : PatternMatch();
}

QString SearchPattern::replacementFor(const PatternMatch& match, const QString& replacement) const {
    return m_options.regex ? ExpandReplacement(replacement, match.captures) : replacement;
}

QString SearchPattern::replaceAllPlain(const QString& text, const QString& replacement, int* count,
                                       const ReplacedFn& replaced, const CountedFn& counted) const {
    const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QStringView source(text);
    // The matches are counted first so that the result is allocated once, at its final size: a
    // page of megabytes with hundreds of thousands of matches is then copied exactly once.
    qsizetype matches = 0;
    if (!m_find.isEmpty()) {
        for (qsizetype at = source.indexOf(m_find, 0, cs); at >= 0;
             at = source.indexOf(m_find, at + m_find.size(), cs))
            ++matches;
    }
    if (count)
        *count = int(std::min<qsizetype>(matches, INT_MAX));
    if (matches == 0)
        return text;
    if (counted)
        counted(matches);
    QString result;
    result.reserve(text.size() + matches * (replacement.size() - m_find.size()));
    qsizetype from = 0;
    for (qsizetype at = source.indexOf(m_find, 0, cs); at >= 0; at = source.indexOf(m_find, from, cs)) {
        result.append(source.sliced(from, at - from));
        result.append(replacement);
        if (replaced)
            replaced(at, m_find.size(), replacement.size());
        from = at + m_find.size();
    }
    result.append(source.sliced(from));
    return result;
}

QString SearchPattern::replaceAll(const QString& text, const QString& replacement, int* count,
                                  const ReplacedFn& replaced, const CountedFn& counted) const {
    // Plain text that cannot meet a line break halfway has no matches to pass over: the quick way.
    if (!m_options.regex && !m_checkWords && !m_find.startsWith(u'\n') && !m_find.endsWith(u'\r'))
        return replaceAllPlain(text, replacement, count, replaced, counted);
    const bool expands = m_options.regex && (replacement.contains(u'\\') || replacement.contains(u'$'));
    QString copy;
    const QStringView subject = m_options.regex ? soundSubject(text, copy) : QStringView(text);
    QString result;
    qsizetype copied = 0;
    qsizetype matches = 0;
    for (PatternMatch match = nextMatch(subject, 0, expands); match.found();) {
        Q_ASSERT(match.start >= copied);
        result.append(QStringView(text).sliced(copied, match.start - copied));
        const qsizetype before = result.size();
        result.append(expands ? ExpandReplacement(replacement, match.captures) : replacement);
        if (replaced)
            replaced(match.start, match.length, result.size() - before);
        copied = match.end();
        ++matches;
        // After an empty match the search moves on one character, so that none is met twice.
        match = nextMatch(subject, match.end() + (match.length == 0 ? 1 : 0), expands);
    }
    if (count)
        *count = int(std::min<qsizetype>(matches, INT_MAX));
    if (matches == 0)
        return text;
    result.append(QStringView(text).sliced(copied));
    return result;
}

QString ExpandReplacement(QStringView replacement, const QStringList& captures) {
    QString expanded;
    expanded.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        const QChar next = i + 1 < replacement.size() ? replacement[i + 1] : QChar();
        if ((c == u'\\' || c == u'$') && next >= u'0' && next <= u'9') {
            const int group = next.unicode() - u'0';
            if (group < captures.size()) {
                expanded += captures.at(group);
                ++i;
                continue;
            }
        } else if (c == u'\\') {
            const QString escaped = next == u'n'    ? QStringLiteral("\r\n")
                                    : next == u't'  ? QStringLiteral("\t")
                                    : next == u'\\' ? QStringLiteral("\\")
                                    : next == u'$'  ? QStringLiteral("$")
                                                    : QString();
            if (!escaped.isEmpty()) {
                expanded += escaped;
                ++i;
                continue;
            }
        }
        expanded += c;
    }
    return expanded;
}
