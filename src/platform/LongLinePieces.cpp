#include "platform/LongLinePieces.h"

#include "platform/CharacterSearch.h"
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// The block state of a line whose separator is a break between pieces of a long line.
constexpr int kPieceEnd = 1;
constexpr int kNoMark = -1;

bool isLineBreak(char16_t ch) {
    return ch == u'\r' || ch == u'\n' || ch == QChar::ParagraphSeparator;
}

} // namespace

int LongLinePieces::breaksBefore(int position) const {
    return static_cast<int>(std::lower_bound(m_breaks.begin(), m_breaks.end(), position) - m_breaks.begin());
}

bool LongLinePieces::isBreak(int position) const {
    return !m_breaks.empty() && std::binary_search(m_breaks.begin(), m_breaks.end(), position);
}

bool LongLinePieces::consistent() const {
    for (const int position : m_breaks) {
        if (position >= m_document.characterCount() - 1 ||
            m_document.characterAt(position) != QChar::ParagraphSeparator)
            return false;
    }
    return std::is_sorted(m_breaks.begin(), m_breaks.end());
}

std::vector<qsizetype> LongLinePieces::cutsOf(QStringView line) const {
    std::vector<qsizetype> cuts;
    if (m_limit <= 0 || line.size() <= m_limit)
        return cuts;
    const int piece = std::max(1, m_limit / 4);
    for (qsizetype at = 0; line.size() - at > piece;) {
        qsizetype cut = at + piece;
        if (line.at(cut).isLowSurrogate()) // never between the halves of a surrogate pair
            ++cut;
        cuts.push_back(cut);
        at = cut;
    }
    return cuts;
}

std::vector<int> LongLinePieces::cutsForDisplay(QStringView text) const {
    std::vector<int> cuts;
    if (m_limit <= 0 || text.size() <= m_limit)
        return cuts;
    const auto* const chars = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    // Most texts have no long line: finding that out costs one vectorised search for LFs. Only a
    // stretch between LFs longer than the limit is looked at closely, for its lines between breaks
    // of any kind.
    std::vector<qsizetype> places; // where the text is cut, ascending
    for (qsizetype lineStart = 0; lineStart <= size;) {
        qsizetype lineEnd = IndexOfCharacter(text, u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = size;
        if (lineEnd - lineStart > m_limit) {
            for (qsizetype i = lineStart, start = lineStart; i <= lineEnd; ++i) {
                if (i < lineEnd && !isLineBreak(chars[i]))
                    continue;
                for (const qsizetype cut : cutsOf(text.sliced(start, i - start)))
                    places.push_back(start + cut);
                start = i + 1;
            }
        }
        lineStart = lineEnd + 1;
    }
    // A cut's document position counts each break before it as one character (CR LF too), and
    // each cut before it.
    // Each CR is looked at once: the search for the next one stops where it is found, not at
    // the text's end for every cut of a line with none.
    cuts.reserve(places.size());
    qsizetype pairs = 0, cr = text.indexOf(QLatin1Char('\r'));
    for (const qsizetype place : places) {
        for (; cr >= 0 && cr < place; cr = text.indexOf(QLatin1Char('\r'), cr + 1))
            pairs += cr + 1 < size && chars[cr + 1] == u'\n' ? 1 : 0;
        cuts.push_back(int(place - pairs + qsizetype(cuts.size())));
    }
    return cuts;
}

void LongLinePieces::markWholeText(const std::vector<int>& cuts) {
    m_changes.clear();
    m_trackedEdits = std::max(0, m_trackedEdits - 1);
    if (m_trackedEdits == 0)
        m_changesLost = false;
    // The first line keeps its mark through a replacement of the whole text; nothing else needs
    // looking at when there were no pieces before and none now.
    if (m_breaks.empty() && cuts.empty())
        return;
    auto cut = cuts.begin();
    int position = 0;
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        position += block.length();
        const bool pieceEnd = cut != cuts.end() && *cut == position - 1;
        if (pieceEnd)
            ++cut;
        block.setUserState(pieceEnd ? kPieceEnd : kNoMark);
    }
    rebuild();
}

void LongLinePieces::rebuild() {
    m_breaks.clear();
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        if (block.userState() != kPieceEnd)
            continue;
        if (block.next().isValid())
            m_breaks.push_back(block.position() + block.length() - 1);
        else
            block.setUserState(kNoMark);
    }
}

void LongLinePieces::beginEdit() {
    // An edit within an edit (a key's handler that puts text in itself) takes the changes from
    // there on; the changes the outer one made before it are then no longer known.
    if (m_trackedEdits > 0 && !m_changes.empty())
        m_changesLost = true;
    ++m_trackedEdits;
    m_changes.clear();
}

void LongLinePieces::documentChanged(int from, int removed, int added) {
    if (m_trackedEdits > 0)
        m_changes.push_back({from, removed, added});
    else if (!m_breaks.empty())
        rebuild(); // a change from outside the control's own edits
}

LongLinePieces::TextChange LongLinePieces::merged(const std::vector<TextChange>& changes) {
    Q_ASSERT(!changes.empty());
    // Each change is reported in the document as the ones before it left it. The merged one reaches
    // from the first place any of them changed to the last, in the document before the first
    // (from + removed) and after the last (from + added).
    TextChange all = changes.front();
    for (auto next = changes.begin() + 1; next != changes.end(); ++next) {
        const int end = all.from + all.added; // now
        int newEnd = end >= next->from + next->removed ? end + next->added - next->removed
                     : end > next->from                ? next->from + next->added
                                                       : end;
        newEnd = std::max(newEnd, next->from + next->added);
        // Beyond the merged stretch the document is the old one moved by what it grew.
        const int oldEnd =
            std::max(all.from + all.removed, next->from + next->removed - (all.added - all.removed));
        const int from = std::min(all.from, next->from);
        all = {from, oldEnd - from, newEnd - from};
    }
    return all;
}

void LongLinePieces::update() {
    if (m_changesLost) {
        rebuild();
        return;
    }
    // Nothing changed, or an edit within this one changed it and put the breaks right.
    if (m_changes.empty())
        return;
    // One change (those of the edit merged), as a stretch at least as large as what changed:
    // breaks before it stay, breaks after it move with the text, and the lines inside it are read
    // again.
    const TextChange change = merged(m_changes);
    std::vector<int> kept;
    kept.reserve(m_breaks.size() + 8);
    auto after = m_breaks.begin();
    for (; after != m_breaks.end() && *after < change.from; ++after)
        kept.push_back(*after);
    const int end = change.from + change.added;
    for (QTextBlock block = m_document.findBlock(change.from); block.isValid(); block = block.next()) {
        const int separator = block.position() + block.length() - 1;
        if (separator >= end) // from there on the separators are the old ones, moved
            break;
        if (block.userState() == kPieceEnd && block.next().isValid() && separator >= change.from)
            kept.push_back(separator);
    }
    for (; after != m_breaks.end(); ++after) {
        if (*after >= change.from + change.removed)
            kept.push_back(*after + change.added - change.removed);
    }
    m_breaks.swap(kept);
}

void LongLinePieces::afterEdit(int from, int at, bool insertedBreaks) {
    if (!m_breaks.empty()) {
        // When separators are inserted into a line, the document leaves the line's mark on the
        // first of the new lines; it belongs to the last, whose separator is the old one. The
        // breaks typed or pasted in between are real.
        const QTextBlock first = m_document.findBlock(std::min(from, at));
        const QTextBlock last = m_document.findBlock(std::max(from, at));
        if (insertedBreaks && first != last) {
            QTextBlock(last).setUserState(first.userState());
            for (QTextBlock block = first; block != last; block = block.next())
                block.setUserState(kNoMark);
        }
        update();
    }
    m_changes.clear();
    m_trackedEdits = std::max(0, m_trackedEdits - 1);
    if (m_trackedEdits == 0)
        m_changesLost = false;
}

std::vector<QTextBlock> LongLinePieces::longLinesBetween(int from, int to) const {
    std::vector<QTextBlock> lines;
    if (m_limit <= 0)
        return lines;
    const QTextBlock last = m_document.findBlock(to);
    for (QTextBlock block = m_document.findBlock(from); block.isValid(); block = block.next()) {
        if (block.length() - 1 > m_limit)
            lines.push_back(block);
        if (block == last)
            break;
    }
    return lines;
}

void LongLinePieces::cut(const std::vector<QTextBlock>& lines) {
    if (lines.empty())
        return;
    QTextCursor cursor(&m_document);
    cursor.beginEditBlock();
    // From the last line back, so the positions of the earlier ones stay as they are.
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const int start = line->position();
        const std::vector<qsizetype> cuts = cutsOf(line->text());
        for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
            // The break goes before the character at the cut; later cuts are already made.
            cursor.setPosition(start + static_cast<int>(*cut));
            cursor.insertBlock();
            // The new separator ends a piece; the old one now ends the second part.
            QTextBlock second = cursor.block();
            QTextBlock first = second.previous();
            second.setUserState(first.userState());
            first.setUserState(kPieceEnd);
        }
    }
    cursor.endEditBlock();
    rebuild();
}
