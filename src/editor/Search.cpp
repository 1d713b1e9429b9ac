#include "editor/Search.h"

#include "editor/SearchState.h"
#include "markup/LineEndings.h"
#include "markup/SearchPattern.h"
#include "platform/RichTextControl.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <climits>
#include <optional>

namespace {

constexpr int kHistoryLines = 40;
constexpr qint64 kHistoryChunk = 64 * 1024;

} // namespace

qsizetype FindMatch(QStringView text, QStringView find, qsizetype from, bool downward, bool matchCase) {
    const SearchPattern pattern(find.toString(), {matchCase});
    return (downward ? pattern.findNext(text, from) : pattern.findPrevious(text, from)).start;
}

QString ReplaceAllText(const QString& text, const QString& find, const QString& replacement, bool matchCase,
                       int* count, std::vector<ReplacedPiece>* pieces) {
    return ReplaceAllText(text, SearchPattern(find, {matchCase}), replacement, count, pieces);
}

QString ReplaceAllText(const QString& text, const SearchPattern& pattern, const QString& replacement,
                       int* count, std::vector<ReplacedPiece>* pieces) {
    if (!pieces)
        return pattern.replaceAll(text, replacement, count);
    pieces->clear();
    // Pieces taking more memory than the text itself serve nobody (the undo step keeps the whole
    // text then): past that they are dropped, and no more are collected.
    const std::size_t most = std::size_t(text.size()) * sizeof(QChar) / sizeof(ReplacedPiece);
    bool dropped = false;
    return pattern.replaceAll(
        text, replacement, count,
        [&](qsizetype at, qsizetype removed, qsizetype inserted) {
            if (dropped)
                return;
            if (pieces->size() >= most) {
                dropped = true;
                *pieces = {};
                return;
            }
            pieces->push_back({int(at), int(removed), int(inserted)});
        },
        // Sized once when the count is known first: a list grown by doubling holds up to twice what
        // it needs, and more while it moves, at the moment a large Replace All peaks.
        [&](qsizetype replacements) {
            if (std::size_t(replacements) <= most)
                pieces->reserve(std::size_t(replacements));
        });
}

size_t StretchHash(QStringView text) {
    size_t hash = 0;
    for (qsizetype at = 0; at < text.size(); at += kStretchHashPiece)
        hash = qHash(text.mid(at, kStretchHashPiece), hash);
    return hash;
}

namespace {

bool holdsBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool holdsSurrogate(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.isSurrogate(); });
}

// The plan for a plain find text read from the document a piece at a time; nothing when the text
// must be read whole: a pattern, whole words, line breaks in the find text or the replacement
// (they could join or part a CR LF), characters the document keeps as stand-ins, surrogates in the
// find text (their case is told with the character before), a match unlike the find text (its
// removed text would have to be kept), or more matches than pieces are worth keeping.
std::optional<ReplaceAllPlan> planInPieces(const RichTextControl& control, bool selectedOnly,
                                           const SearchState& state, const QString& replacement) {
    const QString& find = state.findText;
    if (state.regex || state.wholeWord || find.isEmpty() || holdsBreak(find) || holdsBreak(replacement) ||
        holdsSurrogate(find) || TextForDocument(replacement) != replacement)
        return std::nullopt;
    ReplaceAllPlan plan;
    plan.start = selectedOnly ? control.selStart() : 0;
    const int length = selectedOnly ? control.selLength() : control.textLength();
    const Qt::CaseSensitivity cs = state.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype most =
        qsizetype(length) * qsizetype(sizeof(QChar)) / qsizetype(2 * sizeof(ReplacedPiece));
    // Searched in a window of the pieces read: a match may begin in the last find-length - 1
    // characters of a piece and end in the next, so those are kept; the rest is passed on.
    // Counted first; when the text changes, read again to build the replaced text.
    const auto scan = [&](bool build) {
        QString window;
        qsizetype windowStart = 0; // where window[0] lies in the stretch
        for (int at = 0; at < length; at += kStretchHashPiece) {
            const QString piece =
                control.textRange(plan.start + at, std::min(kStretchHashPiece, length - at));
            if (build)
                plan.searchedHash = qHash(piece, plan.searchedHash);
            window += piece;
            qsizetype from = 0;
            for (qsizetype found = window.indexOf(find, 0, cs); found >= 0;
                 found = window.indexOf(find, from, cs)) {
                if (!build && (QStringView(window).mid(found, find.size()) != find || ++plan.count > most))
                    return false;
                if (build) {
                    plan.replaced.append(QStringView(window).mid(from, found - from));
                    plan.replaced.append(replacement);
                    plan.pieces.push_back(
                        {int(windowStart + found), int(find.size()), int(replacement.size())});
                }
                from = found + find.size();
            }
            const bool last = at + kStretchHashPiece >= length;
            const qsizetype passed = last ? window.size() : std::max(from, window.size() - (find.size() - 1));
            if (build)
                plan.replaced.append(QStringView(window).mid(from, passed - from));
            window.remove(0, passed);
            windowStart += passed;
        }
        return true;
    };
    if (!scan(false))
        return std::nullopt;
    plan.readInPieces = true;
    plan.searchedLength = length;
    plan.removedText = find;
    plan.changes = plan.count > 0 && replacement != find;
    if (!plan.changes)
        return plan;
    plan.replaced.reserve(length + qsizetype(plan.count) * (replacement.size() - find.size()));
    plan.pieces.reserve(std::size_t(plan.count));
    scan(true);
    return plan;
}

} // namespace

ReplaceAllPlan PlanReplaceAll(const RichTextControl& control, bool selectedOnly, const SearchState& state,
                              const QString& replacement) {
    if (std::optional<ReplaceAllPlan> inPieces = planInPieces(control, selectedOnly, state, replacement))
        return std::move(*inPieces);
    ReplaceAllPlan plan;
    plan.start = selectedOnly ? control.selStart() : 0;
    plan.searched = selectedOnly ? control.selText() : control.text();
    const QString replaced = ReplaceAllText(plan.searched, SearchPattern(state.findText, state.options()),
                                            replacement, &plan.count, &plan.pieces);
    if (plan.count == 0)
        return plan;
    plan.replaced = TextForDocument(replaced);
    // A line break completed outside the matches (a lone CR left over) moves the text after it.
    if (plan.replaced.size() != replaced.size())
        plan.pieces.clear();
    std::size_t kept = 0;
    qsizetype shift = 0;
    for (const ReplacedPiece& piece : plan.pieces) {
        const QStringView was = QStringView(plan.searched).mid(piece.at, piece.removed);
        const QStringView now = QStringView(plan.replaced).mid(piece.at + shift, piece.inserted);
        shift += piece.inserted - piece.removed;
        if (was != now)
            plan.pieces[kept++] = piece;
    }
    plan.changes = kept > 0 || (plan.pieces.empty() && plan.replaced != plan.searched);
    plan.pieces.resize(kept);
    return plan;
}

int GoToNumber(const QString& box) {
    qsizetype i = 0;
    while (i < box.size() && (box.at(i) == QLatin1Char(' ') || box.at(i) == QLatin1Char('\t')))
        ++i;
    qint64 number = 0;
    for (; i < box.size() && box.at(i) >= QLatin1Char('0') && box.at(i) <= QLatin1Char('9'); ++i) {
        number = number * 10 + (box.at(i).unicode() - '0');
        if (number >= INT_MAX)
            return INT_MAX; // further digits only make it larger
    }
    return int(number);
}

int GoToOffset(const RichTextControl& control, int line, int character) {
    line = std::max(line, 1);
    character = std::max(character, 1);
    if (line > control.lineCount())
        return control.textLength();
    const int start = control.lineIndex(line - 1);
    // The column is clamped before it is added, so a huge character number cannot overflow.
    return start + std::min(character - 1, control.lineLength(start));
}

QStringList ReadSearchHistory(const QString& path) {
    QFile file;
    QString reason;
    if (!OpenRegularFile(path, kMaxDataFileBytes, file, reason, Links::Refuse))
        return {};
    // Read in chunks and only until 40 lines are complete, so that a large file costs no more
    // than its first lines. The decoder keeps a UTF-8 sequence split between chunks whole.
    QStringDecoder decoder(QStringDecoder::Utf8);
    QStringList lines;
    QString pending; // text after the last complete line
    qsizetype lineStart = 0;
    qsizetype scan = 0; // where the search for the next break goes on
    bool atEnd = false;
    // No further than a history can be long, even when the file grows meanwhile.
    for (qint64 read = 0; !atEnd && lines.size() < kHistoryLines && read <= kMaxDataFileBytes;) {
        const QByteArray bytes = file.read(kHistoryChunk);
        if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
            return {};
        atEnd = bytes.isEmpty();
        read += bytes.size();
        pending.remove(0, lineStart);
        scan -= lineStart;
        lineStart = 0;
        pending += decoder(bytes);
        for (; scan < pending.size() && lines.size() < kHistoryLines; ++scan) {
            const QChar c = pending.at(scan);
            if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
                continue;
            const bool last = scan + 1 == pending.size();
            if (c == QLatin1Char('\r') && last && !atEnd)
                break; // the LF of a CR LF may open the next chunk
            lines.append(pending.sliced(lineStart, scan - lineStart));
            if (c == QLatin1Char('\r') && !last && pending.at(scan + 1) == QLatin1Char('\n'))
                ++scan;
            lineStart = scan + 1;
        }
    }
    // A last line without a break of its own; a break at the very end starts no further line.
    if (lines.size() < kHistoryLines && lineStart < pending.size())
        lines.append(pending.sliced(lineStart));
    return lines;
}

bool WriteSearchHistory(const QString& path, const QStringList& entries) {
    QString text;
    for (const QString& entry : entries) {
        // An entry holding a line break would read back as several entries, so it is not kept.
        if (entry.isEmpty() || entry.contains(QLatin1Char('\r')) || entry.contains(QLatin1Char('\n')))
            continue;
        text += entry;
        text += QLatin1String("\r\n");
    }
    // Nothing to keep (every written entry takes at least 3 characters): the file stays as it is
    // rather than losing a history that was stored before.
    if (text.size() <= 2)
        return true;
    QString reason;
    return writeTextFile(path, text, TextEncoding::Utf8, reason);
}
