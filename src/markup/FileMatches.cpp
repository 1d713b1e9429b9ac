#include "markup/FileMatches.h"

#include <algorithm>

namespace {

// How much of a long line is shown around a match.
constexpr qsizetype kContextBefore = 60;
constexpr qsizetype kContextAfter = 160;
const QChar kCut(0x2026); // "…"

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// Moves a cut off the second half of a surrogate pair, so that no half character is shown.
qsizetype wholeCharacterAt(QStringView text, qsizetype at, qsizetype direction) {
    if (at > 0 && at < text.size() && text[at].isLowSurrogate() && text[at - 1].isHighSurrogate())
        at += direction;
    return at;
}

} // namespace

std::vector<LineMatch> FindLineMatches(const QString& text, const SearchPattern& pattern, qsizetype limit,
                                       qsizetype* count) {
    std::vector<LineMatch> matches;
    qsizetype total = 0;
    const QStringView view(text);
    const char16_t* data = reinterpret_cast<const char16_t*>(text.constData());
    // The line of the last match placed, and the LF that ends it: matches come in order, so the
    // text is searched for LFs once, however many matches share a long line.
    int line = 1;
    qsizetype lineStart = 0;
    qsizetype nextLf = view.indexOf(u'\n');
    const auto place = [&](qsizetype at, qsizetype length) {
        ++total;
        if (qsizetype(matches.size()) >= limit)
            return;
        while (nextLf >= 0 && nextLf < at) {
            ++line;
            lineStart = nextLf + 1;
            nextLf = view.indexOf(u'\n', lineStart);
        }
        qsizetype lineEnd = nextLf < 0 ? view.size() : nextLf;
        if (lineEnd > lineStart && data[lineEnd - 1] == u'\r')
            --lineEnd;
        lineEnd = std::max(lineEnd, at); // a match that begins at its line's CR
        LineMatch match;
        match.line = line;
        match.column = int(at - lineStart + 1);
        match.length = int(length);
        qsizetype from = lineStart;
        while (from < at && isBlank(data[from]))
            ++from;
        const bool cutBefore = at - from > kContextBefore;
        if (cutBefore)
            from = wholeCharacterAt(view, at - kContextBefore, 1);
        const qsizetype markEnd = std::min(at + length, lineEnd);
        qsizetype to = lineEnd;
        const bool cutAfter = lineEnd - markEnd > kContextAfter;
        if (cutAfter)
            to = wholeCharacterAt(view, markEnd + kContextAfter, -1);
        match.lineText.reserve(to - from + 2);
        if (cutBefore)
            match.lineText += kCut;
        match.lineText += view.sliced(from, to - from);
        if (cutAfter)
            match.lineText += kCut;
        match.markStart = int(at - from + (cutBefore ? 1 : 0));
        match.markLength = int(markEnd - at);
        matches.push_back(std::move(match));
    };
    if (pattern.options().regex) {
        // A pattern's own walk through the text checks it once; findNext would check it from each
        // match to the end. Replace All's walk finds the matches exactly as it replaces them; the
        // text it builds on the way is not wanted.
        pattern.replaceAll(text, QString(), nullptr,
                           [&](qsizetype at, qsizetype removed, qsizetype) { place(at, removed); });
    } else {
        // The matches one after another, each searched for after the end of the last, as Replace
        // All finds them.
        for (PatternMatch match = pattern.findNext(view, 0); match.found();
             match = pattern.findNext(view, match.end() + (match.length == 0 ? 1 : 0)))
            place(match.start, match.length);
    }
    if (count)
        *count = total;
    return matches;
}

namespace {

// Walks a text and its CR LF form side by side: each break of the original is one character (a
// lone CR or LF) or two (CR LF), and always two in the CR LF form.
struct BreakWalk {
    const QString& original;
    qsizetype inOriginal = 0;
    qsizetype inNormal = 0;

    // Goes on to `normalAt` in the CR LF form (never inside a pair there); returns where that is in
    // the original.
    qsizetype to(qsizetype normalAt) {
        const char16_t* data = reinterpret_cast<const char16_t*>(original.constData());
        const qsizetype size = original.size();
        while (inNormal < normalAt && inOriginal < size) {
            const char16_t c = data[inOriginal];
            if (c == u'\r' && inOriginal + 1 < size && data[inOriginal + 1] == u'\n') {
                inOriginal += 2;
                inNormal += 2;
            } else if (c == u'\r' || c == u'\n') {
                inOriginal += 1;
                inNormal += 2;
            } else {
                ++inOriginal;
                ++inNormal;
            }
        }
        return inOriginal;
    }
};

} // namespace

QString ReplaceKeepingBreaks(const QString& original, const SearchPattern& pattern,
                             const QString& replacement, SaveFormat breaks, int* count) {
    const QString normal = NormalizeToCrLf(original);
    struct Piece {
        qsizetype at, removed, inserted;
    };
    std::vector<Piece> pieces;
    int matches = 0;
    const QString replaced = pattern.replaceAll(normal, replacement, &matches,
                                                [&](qsizetype at, qsizetype removed, qsizetype inserted) {
                                                    pieces.push_back({at, removed, inserted});
                                                });
    if (count)
        *count = matches;
    if (matches == 0)
        return original;
    QString result;
    result.reserve(original.size() + (replaced.size() - normal.size()) + qsizetype(pieces.size()));
    BreakWalk walk{original};
    qsizetype shift = 0; // where a position of the CR LF form lies in `replaced`: so much further
    for (const Piece& piece : pieces) {
        const qsizetype kept = walk.inOriginal;
        result += QStringView(original).sliced(kept, walk.to(piece.at) - kept);
        walk.to(piece.at + piece.removed);
        const QString inserted = replaced.sliced(piece.at + shift, piece.inserted);
        shift += piece.inserted - piece.removed;
        result += ConvertForSave(NormalizeToCrLf(inserted), breaks);
    }
    result += QStringView(original).sliced(walk.inOriginal);
    return result;
}
