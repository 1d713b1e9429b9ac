#include "platform/TextOffsets.h"

#include "platform/LongLinePieces.h"

#include <QTextDocument>
#include <algorithm>

int TextOffsets::length() const {
    return m_document.characterCount() - 1 + (m_document.blockCount() - 1) -
           2 * static_cast<int>(m_pieces.breaks().size());
}

int TextOffsets::blockStart(int blockNumber) const {
    const int position = m_document.findBlockByNumber(blockNumber).position();
    return position + blockNumber - 2 * m_pieces.breaksBefore(position);
}

TextOffsets::Place TextOffsets::placeOf(int offset) const {
    offset = std::max(0, offset);
    int lo = 0;
    int hi = m_document.blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (blockStart(mid) <= offset)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = m_document.findBlockByNumber(lo);
    const int lineLength = block.length() - 1;
    // A piece of a long line ends without a break of its own: the next piece goes on from there.
    const bool endsInBreak = block.next().isValid() && !m_pieces.isBreak(block.position() + lineLength);
    const int maxColumn = endsInBreak ? lineLength + 1 : lineLength;
    return {lo, std::min(offset - blockStart(lo), maxColumn)};
}

int TextOffsets::toPosition(int offset) const {
    const Place place = placeOf(offset);
    const QTextBlock block = m_document.findBlockByNumber(place.block);
    return block.position() + std::min(place.column, block.length() - 1);
}

int TextOffsets::toOffset(int position) const {
    const QTextBlock block = m_document.findBlock(position);
    return position + std::max(0, block.blockNumber()) - 2 * m_pieces.breaksBefore(position);
}

int TextOffsets::lineOf(int offset) const {
    const int block = placeOf(std::clamp(offset, 0, length())).block;
    return block - m_pieces.breaksBefore(m_document.findBlockByNumber(block).position());
}

int TextOffsets::lineStart(int line) const {
    if (line < 0 || line >= lineCount())
        return -1;
    // The first block whose line number reaches `line` is where that line starts.
    int lo = 0;
    int hi = m_document.blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (mid - m_pieces.breaksBefore(m_document.findBlockByNumber(mid).position()) >= line)
            hi = mid;
        else
            lo = mid + 1;
    }
    return blockStart(lo);
}

int TextOffsets::lineCount() const {
    return m_document.blockCount() - static_cast<int>(m_pieces.breaks().size());
}

int TextOffsets::lineLength(int offset) const {
    const Place place = placeOf(std::clamp(offset, 0, length()));
    QTextBlock block = m_document.findBlockByNumber(place.block);
    while (block.previous().isValid() && m_pieces.isBreak(block.position() - 1))
        block = block.previous();
    int lineLength = block.length() - 1;
    while (block.next().isValid() && m_pieces.isBreak(block.position() + block.length() - 1)) {
        block = block.next();
        lineLength += block.length() - 1;
    }
    return lineLength;
}

QString TextOffsets::withLineBreaks(QStringView raw, int position) const {
    QString out;
    out.reserve(raw.size() + raw.size() / 16 + 2);
    appendWithLineBreaks(out, raw, position);
    return out;
}

void TextOffsets::appendWithLineBreaks(QString& out, QStringView raw, int position) const {
    auto pieceBreak = std::lower_bound(m_pieces.breaks().begin(), m_pieces.breaks().end(), position);
    const auto noMoreBreaks = m_pieces.breaks().end();
    // Copied a line at a time: the search for separators is vectorised, a character at a time
    // is not.
    for (qsizetype from = 0;;) {
        const qsizetype separator = raw.indexOf(QChar::ParagraphSeparator, from);
        if (separator < 0) {
            out.append(raw.mid(from));
            return;
        }
        out.append(raw.mid(from, separator - from));
        from = separator + 1;
        const int separatorPosition = position + static_cast<int>(separator);
        while (pieceBreak != noMoreBreaks && *pieceBreak < separatorPosition)
            ++pieceBreak;
        if (pieceBreak == noMoreBreaks || *pieceBreak != separatorPosition)
            out.append(QLatin1String("\r\n"));
    }
}

QString TextOffsets::text() const {
    // Read a line at a time into a result of the final size: the document's raw text taken in one
    // piece would be a second whole copy beside the result (twice a large page's text).
    QString out;
    out.reserve(length());
    auto pieceBreak = m_pieces.breaks().begin();
    const auto noMoreBreaks = m_pieces.breaks().end();
    for (QTextBlock block = m_document.begin(); block.isValid();) {
        out.append(block.text());
        const int separator = block.position() + block.length() - 1;
        block = block.next();
        if (!block.isValid())
            break;
        while (pieceBreak != noMoreBreaks && *pieceBreak < separator)
            ++pieceBreak;
        if (pieceBreak == noMoreBreaks || *pieceBreak != separator)
            out.append(QLatin1String("\r\n"));
    }
    return out;
}

QString TextOffsets::textAtOnce() const {
    return withLineBreaks(m_document.toRawText(), 0);
}

QString TextOffsets::range(int start, int length) const {
    const int total = this->length();
    // Clip [start, start + length) as a whole, so a stretch starting before the text loses its
    // part before offset 0 instead of being moved there.
    const int end = std::clamp(start + std::max(0, length), 0, total);
    start = std::clamp(start, 0, end);
    if (end == start)
        return {};
    const Place a = placeOf(start);
    const Place b = placeOf(end);
    const QTextBlock blockA = m_document.findBlockByNumber(a.block);
    const QTextBlock blockB = m_document.findBlockByNumber(b.block);
    const int lineA = blockA.length() - 1;
    const int lineB = blockB.length() - 1;
    const bool dropFirst = a.column == lineA + 1; // starts between CR and LF
    const bool dropLast = b.column == lineB + 1;  // ends between CR and LF
    const int positionA = blockA.position() + std::min(a.column, lineA);
    const int positionB = blockB.position() + std::min(b.column, lineB) + (dropLast ? 1 : 0);
    // Read from the blocks' own text, separators as U+2029: a cursor placed to select the stretch
    // would lay its lines out (shaping their text) only to find x positions that go unused.
    QString raw;
    raw.reserve(positionB - positionA);
    // Each block's position follows from the one before: asking the document costs a search.
    int position = blockA.position();
    for (QTextBlock block = blockA; block.isValid() && position < positionB;
         position += block.length(), block = block.next()) {
        Q_ASSERT(position == block.position());
        const QString line = block.text();
        const int from = std::max(positionA - position, 0);
        const int to = positionB - position;
        raw.append(QStringView(line).sliced(from, std::min(to, int(line.size())) - from));
        if (to > line.size())
            raw.append(QChar::ParagraphSeparator);
    }
    Q_ASSERT(raw.size() == positionB - positionA);
    QString out = withLineBreaks(raw, positionA);
    if (dropFirst && !out.isEmpty())
        out.remove(0, 1);
    if (dropLast && !out.isEmpty())
        out.chop(1);
    return out;
}

QChar TextOffsets::charAt(int offset) const {
    if (offset < 0 || offset >= length())
        return {};
    const Place place = placeOf(offset);
    const QTextBlock block = m_document.findBlockByNumber(place.block);
    const int lineLength = block.length() - 1;
    if (place.column < lineLength)
        return m_document.characterAt(block.position() + place.column);
    return place.column == lineLength ? QChar(13) : QChar(10);
}

namespace {
// How far ahead the walker goes line by line before it looks the place up instead.
constexpr int kWalkReach = 16 * 1024;
} // namespace

TextOffsets::Walker::Walker(const TextOffsets& offsets)
    : m_offsets(offsets), m_total(offsets.length()), m_block(offsets.m_document.begin()) {}

int TextOffsets::Walker::moveTo(int offset) {
    const int wanted = std::clamp(offset, 0, m_total);
    // Backwards, or further ahead than a short walk goes (the first place of a stretch deep in a
    // big text): found by block numbers rather than by walking every line from where the walk is.
    if (wanted < m_blockOffset || wanted - m_blockOffset > kWalkReach) {
        const int number = m_offsets.placeOf(wanted).block;
        m_block = m_offsets.m_document.findBlockByNumber(number);
        m_blockOffset = m_offsets.blockStart(number);
    }
    const LongLinePieces& pieces = m_offsets.m_pieces;
    for (QTextBlock next = m_block.next(); next.isValid(); next = m_block.next()) {
        const int lineLength = m_block.length() - 1;
        const bool pieceEnd = !pieces.empty() && pieces.isBreak(m_block.position() + lineLength);
        const int nextOffset = m_blockOffset + lineLength + (pieceEnd ? 0 : 2);
        if (nextOffset > wanted)
            break;
        m_block = next;
        m_blockOffset = nextOffset;
    }
    return wanted - m_blockOffset;
}

int TextOffsets::Walker::start(int offset) {
    const int column = moveTo(offset);
    return m_block.position() + std::min(column, m_block.length() - 1);
}

int TextOffsets::Walker::end(int offset) {
    const int column = moveTo(offset);
    const int lineLength = m_block.length() - 1;
    return m_block.position() + std::min(column, lineLength) + (column > lineLength ? 1 : 0);
}
