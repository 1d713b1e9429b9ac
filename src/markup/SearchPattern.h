#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

// Finding text by a find text and its options: as it is typed, or as a Perl-style pattern.
//
// The searched text has CR LF line breaks. Patterns see each line as a line: "^" and "$" match at
// every line's start and end ("$" before the CR LF), and "." matches neither CR nor LF. A match
// never splits a line break: one that begins or ends between a CR and its LF takes in the whole
// pair, and an empty match there is passed over, so that no search stops (or inserts) inside one.

struct SearchOptions {
    bool matchCase = false;
    bool regex = false;
    // The match must not be preceded or followed by a word character (a letter, digit or "_").
    bool wholeWord = false;
};

struct PatternMatch {
    qsizetype start = -1;
    qsizetype length = 0;
    // Patterns only: the text of the whole match, then of each group ("" for a group not taking part).
    QStringList captures;
    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
};

// A find text with its options, ready to search. An empty find text matches nothing.
class SearchPattern {
public:
    SearchPattern(const QString& find, const SearchOptions& options);

    // False for a pattern that does not compile; such a pattern matches nothing.
    bool isValid() const { return m_error.isEmpty(); }
    // "The search pattern is not valid: <reason> at character <n>." (n counted from 1), or "".
    const QString& errorMessage() const { return m_error; }
    const SearchOptions& options() const { return m_options; }

    // The first match starting at or after `from`.
    PatternMatch findNext(QStringView text, qsizetype from) const;
    // The match starting last before `before` (matches may overlap: it may start inside another).
    PatternMatch findPrevious(QStringView text, qsizetype before) const;
    // The match starting at `at` (or, for a match that begins at a LF, at the CR before it).
    PatternMatch matchAt(QStringView text, qsizetype at) const;
    // What a match is replaced by: for patterns `replacement` expanded (ExpandReplacement), else itself.
    QString replacementFor(const PatternMatch& match, const QString& replacement) const;

    // `text` with every match replaced, searched from the start and going on after each
    // replacement; an empty match is replaced once and the search moves on one character.
    // `count`, when given, receives the number of replacements; `replaced`, when given, is told of
    // each in turn: where it was in `text`, how many characters went and how many came.
    // `counted`, when given, is told the number of replacements before the first of them, where
    // that is known beforehand (plain text), so that their records can be sized once.
    using ReplacedFn = std::function<void(qsizetype at, qsizetype removed, qsizetype inserted)>;
    using CountedFn = std::function<void(qsizetype replacements)>;
    QString replaceAll(const QString& text, const QString& replacement, int* count = nullptr,
                       const ReplacedFn& replaced = nullptr, const CountedFn& counted = nullptr) const;

private:
    // For patterns `text` must be sound UTF-16 (it is matched unchecked).
    PatternMatch nextMatch(QStringView text, qsizetype from, bool withCaptures) const;
    PatternMatch anchoredMatch(QStringView text, qsizetype at) const;
    PatternMatch accepted(QStringView text, qsizetype at, qsizetype length) const;
    QString replaceAllPlain(const QString& text, const QString& replacement, int* count,
                            const ReplacedFn& replaced, const CountedFn& counted) const;

    QString m_find;
    SearchOptions m_options;
    QRegularExpression m_regex;
    // Whole words checked after matching, for the plain text and for the rare pattern that cannot
    // carry the check itself.
    bool m_checkWords = false;
    QString m_error;
};

// A replacement for a pattern's match: "\1".."\9" and "$1".."$9" are the groups' texts, "\0" and
// "$0" the whole match; "\n" a line break (CR LF), "\t" a tab, "\\" a backslash and "\$" a dollar.
// A reference to a group the pattern does not have, and any other backslash, stay as written.
// `captures` as in PatternMatch.
QString ExpandReplacement(QStringView replacement, const QStringList& captures);
