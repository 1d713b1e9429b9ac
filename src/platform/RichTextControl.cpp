#include "platform/RichTextControl.h"

#include "platform/UiHelpers.h"

#include <QAbstractTextDocumentLayout>
#include <QDropEvent>
#include <QMimeData>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

namespace {

bool containsBreak(const QString& text) {
    return text.contains(QChar(13)) || text.contains(QChar(10)) || text.contains(QChar::ParagraphSeparator);
}

// The block state of a line whose separator is a break between pieces of a long line.
constexpr int kSoftEnd = 1;
constexpr QChar kCR(13);
constexpr QChar kLF(10);

// QTextDocument wants one separator per line; CR LF, lone CR and lone LF each make one.
QString toDocumentBreaks(const QString& text) {
    if (!text.contains(kCR))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == kCR) {
            out.append(kLF);
            if (i + 1 < text.size() && text.at(i + 1) == kLF)
                ++i;
        } else {
            out.append(ch);
        }
    }
    return out;
}

} // namespace

// The colours of a line kept as runs beside the document rather than as character formats.
// Painting many lines this way costs a fraction of splitting the document's fragments for every
// coloured stretch. The runs reach the screen as the line layout's formats, and they become
// character formats again before the line's text is edited, so edits carry colours as usual.
class LineColors : public QTextBlockUserData {
public:
    // Ascending, without gaps, covering the whole block: its text and its line break.
    std::vector<ColorSpan> runs;
    // Whether the runs are the layout's formats at the moment.
    bool shown = false;

    ColorValue colorAt(int column) const {
        auto after = std::upper_bound(runs.begin(), runs.end(), column,
                                      [](int wanted, const ColorSpan& run) { return wanted < run.start; });
        return after == runs.begin() ? runs.front().color : std::prev(after)->color;
    }
};

namespace {

LineColors* lineColorsOf(const QTextBlock& block) {
    return static_cast<LineColors*>(block.userData());
}

// The end of a block for painting: its line break included, except after the last line.
int paintableEnd(const QTextBlock& block) {
    return block.position() + block.length() - (block.next().isValid() ? 0 : 1);
}

QTextCharFormat foregroundFormat(ColorValue color) {
    QTextCharFormat format;
    format.setForeground(colorFromValue(color));
    return format;
}

} // namespace

// Paints runs of one line through a colour per character, then folds them back into runs.
class LinePainter {
public:
    void paint(LineColors* line, int length, int from, int to, ColorValue color) {
        if (line != m_line) {
            flush();
            m_line = line;
            m_colors.assign(static_cast<std::size_t>(length), 0);
            for (const ColorSpan& run : line->runs) {
                const int end = std::min(length, run.start + run.length);
                std::fill(m_colors.begin() + std::min(run.start, end), m_colors.begin() + end, run.color);
            }
        }
        std::fill(m_colors.begin() + from, m_colors.begin() + to, color);
    }

    void flush() {
        if (!m_line)
            return;
        std::vector<ColorSpan>& runs = m_line->runs;
        runs.clear();
        for (int i = 0; i < static_cast<int>(m_colors.size()); ++i) {
            if (runs.empty() || runs.back().color != m_colors[i])
                runs.push_back({i, 1, m_colors[i]});
            else
                ++runs.back().length;
        }
        m_line->shown = false;
        m_line = nullptr;
        m_colors.clear();
    }

    ~LinePainter() { flush(); }

private:
    LineColors* m_line = nullptr;
    std::vector<ColorValue> m_colors;
};

QColor colorFromValue(ColorValue value) {
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

ColorValue valueFromColor(const QColor& color) {
    return color.red() + 256 * color.green() + 65536 * color.blue();
}

RichTextControl::RichTextControl(QWidget* parent) : QPlainTextEdit(parent) {
    // The editor keeps its own undo buffer; Qt's would also record every colour change.
    document()->setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        if (m_painting != 0)
            return;
        if (m_trackedEdits > 0)
            m_changes.push_back({from, removed, added});
        else if (m_hasSoftBreaks)
            rebuildSoftBreaks(); // a change from outside the control's own edits
        emit change();
    });
}

QString RichTextControl::text() const {
    QString raw = document()->toRawText();
    // toRawText ends with the document's last (implicit) separator when it has one.
    if (!raw.isEmpty() && raw.back() == QChar::ParagraphSeparator &&
        raw.size() == document()->characterCount())
        raw.chop(1);
    return withLineBreaks(raw, 0);
}

void RichTextControl::setText(const QString& text) {
    // The typing colour comes from the character formats around the cursor.
    materializeForEdit();
    const QTextCharFormat typing = textCursor().charFormat();
    // Lines that survive the replacement must not keep the colour runs of their old text.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (const LineColors* line = lineColorsOf(block)) {
            if (line->shown)
                block.layout()->setFormats({});
            block.setUserData(nullptr);
        }
    }
    std::vector<int> breaks;
    const QString lines = splitForDisplay(toDocumentBreaks(text), 0, breaks);
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    ++m_trackedEdits;
    cursor.insertText(lines, typing);
    --m_trackedEdits;
    m_changes.clear();
    if (m_hasSoftBreaks || !breaks.empty()) {
        auto soft = breaks.begin();
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            const int end = block.position() + block.length() - 1;
            const bool pieceBreak = soft != breaks.end() && *soft == end;
            if (pieceBreak)
                ++soft;
            block.setUserState(pieceBreak ? kSoftEnd : -1);
        }
        m_hasSoftBreaks = !breaks.empty();
        rebuildSoftBreaks();
    }
    cursor.setPosition(0);
    setTextCursor(cursor);
}

int RichTextControl::textLength() const {
    const QTextDocument* doc = document();
    return doc->characterCount() - 1 + (doc->blockCount() - 1) - 2 * static_cast<int>(m_softBreaks.size());
}

int RichTextControl::softBreaksBefore(int position) const {
    return static_cast<int>(std::lower_bound(m_softBreaks.begin(), m_softBreaks.end(), position) -
                            m_softBreaks.begin());
}

bool RichTextControl::isSoftBreak(int position) const {
    return !m_softBreaks.empty() && std::binary_search(m_softBreaks.begin(), m_softBreaks.end(), position);
}

void RichTextControl::rebuildSoftBreaks() {
    m_softBreaks.clear();
    if (!m_hasSoftBreaks)
        return;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block.userState() != kSoftEnd)
            continue;
        if (block.next().isValid())
            m_softBreaks.push_back(block.position() + block.length() - 1);
        else
            block.setUserState(-1);
    }
    m_hasSoftBreaks = !m_softBreaks.empty();
}

void RichTextControl::updateSoftBreaks() {
    if (m_changes.size() != 1) {
        rebuildSoftBreaks();
        return;
    }
    // One change, reported as a stretch at least as large as what changed: breaks before it stay,
    // breaks after it move with the text, and the lines inside it are read again.
    const TextChange change = m_changes.front();
    std::vector<int> kept;
    kept.reserve(m_softBreaks.size() + 8);
    auto after = m_softBreaks.begin();
    for (; after != m_softBreaks.end() && *after < change.from; ++after)
        kept.push_back(*after);
    const int end = change.from + change.added;
    QTextBlock block = document()->findBlock(change.from);
    for (; block.isValid(); block = block.next()) {
        const int separator = block.position() + block.length() - 1;
        if (separator >= end) // from there on the separators are the old ones, moved
            break;
        if (block.userState() == kSoftEnd && block.next().isValid() && separator >= change.from)
            kept.push_back(separator);
    }
    for (; after != m_softBreaks.end(); ++after) {
        if (*after >= change.from + change.removed)
            kept.push_back(*after + change.added - change.removed);
    }
    m_softBreaks.swap(kept);
    m_hasSoftBreaks = !m_softBreaks.empty();
}

void RichTextControl::beginEdit() {
    materializeForEdit();
    ++m_trackedEdits;
    m_changes.clear();
}

void RichTextControl::afterEdit(int from, bool insertedBreaks) {
    const int at = textCursor().position();
    if (m_hasSoftBreaks) {
        // A line whose separator is a break between pieces carries a mark (its block state).
        // When separators are inserted into a line, the document leaves that mark on the first
        // of the new lines; it belongs to the last, whose separator is the old one. The breaks
        // typed or pasted in between are real.
        const QTextBlock first = document()->findBlock(std::min(from, at));
        QTextBlock last = document()->findBlock(std::max(from, at));
        if (insertedBreaks && first != last) {
            last.setUserState(first.userState());
            for (QTextBlock block = first; block != last; block = block.next())
                block.setUserState(-1);
        }
        updateSoftBreaks();
    }
    m_changes.clear();
    m_trackedEdits = std::max(0, m_trackedEdits - 1);
    splitLongLines(std::min(from, at), std::max(from, at));
}

QString RichTextControl::withLineBreaks(const QString& raw, int documentStart) const {
    QString out;
    out.reserve(raw.size() + raw.size() / 16);
    auto soft = std::lower_bound(m_softBreaks.begin(), m_softBreaks.end(), documentStart);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar ch = raw.at(i);
        if (ch != QChar::ParagraphSeparator) {
            out.append(ch);
            continue;
        }
        const int position = documentStart + static_cast<int>(i);
        while (soft != m_softBreaks.end() && *soft < position)
            ++soft;
        if (soft != m_softBreaks.end() && *soft == position)
            continue; // a break of the display only, not of the text
        out.append(kCR);
        out.append(kLF);
    }
    return out;
}

bool RichTextControl::softBreaksConsistent() const {
    for (const int position : m_softBreaks) {
        if (position >= document()->characterCount() - 1 ||
            document()->characterAt(position) != QChar::ParagraphSeparator)
            return false;
    }
    return std::is_sorted(m_softBreaks.begin(), m_softBreaks.end());
}

void RichTextControl::setLongLineLimit(int limit) {
    m_longLineLimit = std::max(0, limit);
}

std::vector<qsizetype> RichTextControl::pieceCuts(QStringView line) const {
    std::vector<qsizetype> cuts;
    if (m_longLineLimit <= 0 || line.size() <= m_longLineLimit)
        return cuts;
    const int piece = std::max(1, m_longLineLimit / 4);
    for (qsizetype at = 0; line.size() - at > piece;) {
        qsizetype cut = at + piece;
        if (line.at(cut).isLowSurrogate()) // never between the halves of a surrogate pair
            ++cut;
        cuts.push_back(cut);
        at = cut;
    }
    return cuts;
}

QString RichTextControl::splitForDisplay(const QString& lines, int documentStart,
                                         std::vector<int>& breaks) const {
    if (m_longLineLimit <= 0 || lines.size() <= m_longLineLimit)
        return lines;
    QString out;
    out.reserve(lines.size() + lines.size() / std::max(1, m_longLineLimit / 4) + 1);
    qsizetype lineStart = 0;
    while (lineStart <= lines.size()) {
        qsizetype lineEnd = lines.indexOf(kLF, lineStart);
        if (lineEnd < 0)
            lineEnd = lines.size();
        const QStringView line = QStringView(lines).mid(lineStart, lineEnd - lineStart);
        qsizetype at = 0;
        for (const qsizetype cut : pieceCuts(line)) {
            out.append(line.mid(at, cut - at));
            breaks.push_back(documentStart + static_cast<int>(out.size()));
            out.append(kLF);
            at = cut;
        }
        out.append(line.mid(at));
        if (lineEnd < lines.size())
            out.append(kLF);
        lineStart = lineEnd + 1;
    }
    return out;
}

void RichTextControl::splitLongLines(int from, int to) {
    if (m_longLineLimit <= 0)
        return;
    QTextDocument* doc = document();
    std::vector<QTextBlock> longLines;
    const QTextBlock last = doc->findBlock(to);
    for (QTextBlock block = doc->findBlock(from); block.isValid(); block = block.next()) {
        if (block.length() - 1 > m_longLineLimit)
            longLines.push_back(block);
        if (block == last)
            break;
    }
    if (longLines.empty())
        return;
    ++m_painting;
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    // From the last line back, so the positions of the earlier ones stay as they are.
    for (auto it = longLines.rbegin(); it != longLines.rend(); ++it) {
        materialize(*it);
        const int start = it->position();
        const std::vector<qsizetype> cuts = pieceCuts(it->text());
        for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
            // The break goes before the character at the cut; later cuts are already made.
            cursor.setPosition(start + static_cast<int>(*cut));
            cursor.insertBlock();
            // The new separator is a piece break; the old one now ends the second part.
            QTextBlock second = cursor.block();
            QTextBlock first = second.previous();
            second.setUserState(first.userState());
            first.setUserState(kSoftEnd);
        }
    }
    cursor.endEditBlock();
    --m_painting;
    m_hasSoftBreaks = true;
    rebuildSoftBreaks();
}

int RichTextControl::lineStartOffset(int block) const {
    const int position = document()->findBlockByNumber(block).position();
    return position + block - 2 * softBreaksBefore(position);
}

RichTextControl::Place RichTextControl::placeOf(int offset) const {
    const QTextDocument* doc = document();
    offset = std::max(0, offset);
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (lineStartOffset(mid) <= offset)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int lineLength = block.length() - 1;
    // A piece of a long line ends without a break of its own: the next piece goes on from there.
    const bool endsInBreak = block.next().isValid() && !isSoftBreak(block.position() + lineLength);
    const int maxColumn = endsInBreak ? lineLength + 1 : lineLength;
    return {lo, std::min(offset - lineStartOffset(lo), maxColumn)};
}

int RichTextControl::toDocumentPosition(int offset) const {
    const Place place = placeOf(offset);
    const QTextBlock block = document()->findBlockByNumber(place.block);
    return block.position() + std::min(place.column, block.length() - 1);
}

int RichTextControl::toOffset(int documentPosition) const {
    const QTextBlock block = document()->findBlock(documentPosition);
    return documentPosition + std::max(0, block.blockNumber()) - 2 * softBreaksBefore(documentPosition);
}

QString RichTextControl::textRange(int start, int length) const {
    const int total = textLength();
    // Clip [start, start + length) as a whole, so a stretch starting before the text loses its
    // part before offset 0 instead of being moved there.
    const int end = std::clamp(start + std::max(0, length), 0, total);
    start = std::clamp(start, 0, end);
    if (end == start)
        return {};
    const QTextDocument* doc = document();
    const Place a = placeOf(start);
    const Place b = placeOf(end);
    const QTextBlock blockA = doc->findBlockByNumber(a.block);
    const QTextBlock blockB = doc->findBlockByNumber(b.block);
    const int lineA = blockA.length() - 1;
    const int lineB = blockB.length() - 1;
    const bool dropFirst = a.column == lineA + 1; // starts between CR and LF
    const bool dropLast = b.column == lineB + 1;  // ends between CR and LF
    const int docA = blockA.position() + std::min(a.column, lineA);
    const int docB = blockB.position() + std::min(b.column, lineB) + (dropLast ? 1 : 0);
    QTextCursor cursor(const_cast<QTextDocument*>(doc));
    cursor.setPosition(docA);
    cursor.setPosition(docB, QTextCursor::KeepAnchor);
    QString out = withLineBreaks(cursor.selectedText(), docA);
    if (dropFirst && !out.isEmpty())
        out.remove(0, 1);
    if (dropLast && !out.isEmpty())
        out.chop(1);
    return out;
}

QChar RichTextControl::charAt(int offset) const {
    if (offset < 0 || offset >= textLength())
        return {};
    const Place place = placeOf(offset);
    const QTextBlock block = document()->findBlockByNumber(place.block);
    const int lineLength = block.length() - 1;
    if (place.column < lineLength)
        return document()->characterAt(block.position() + place.column);
    return place.column == lineLength ? kCR : kLF;
}

int RichTextControl::selStart() const {
    return toOffset(textCursor().selectionStart());
}

int RichTextControl::selLength() const {
    const QTextCursor cursor = textCursor();
    return toOffset(cursor.selectionEnd()) - toOffset(cursor.selectionStart());
}

void RichTextControl::setSelStart(int offset) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(cursorPlace(toDocumentPosition(std::clamp(offset, 0, textLength()))));
    setTextCursor(cursor);
}

void RichTextControl::setSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = toOffset(cursor.selectionStart());
    cursor.setPosition(cursor.selectionStart());
    const int end = std::clamp(start + std::max(0, length), start, textLength());
    cursor.setPosition(cursorPlace(toDocumentPosition(end)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichTextControl::select(int start, int length) {
    setSelStart(start);
    setSelLength(length);
}

QString RichTextControl::selText() const {
    return textRange(selStart(), selLength());
}

void RichTextControl::setSelText(const QString& text) {
    beginEdit();
    QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart();
    cursor.insertText(toDocumentBreaks(text));
    setTextCursor(cursor);
    afterEdit(from, containsBreak(text));
}

ColorValue RichTextControl::selColor() const {
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        return colorAt(selStart());
    const int offset = selStart();
    if (offset == 0) {
        // Read from the character formats, which the line's colour runs may stand in for.
        const_cast<RichTextControl*>(this)->materializeForEdit();
        const QTextCharFormat format = textCursor().charFormat();
        return format.hasProperty(QTextFormat::ForegroundBrush) ? valueFromColor(format.foreground().color())
                                                                : valueFromColor(palette().text().color());
    }
    return colorAt(offset - 1);
}

void RichTextControl::setSelColor(ColorValue color) {
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        QTextCharFormat format = cursor.charFormat();
        format.setForeground(colorFromValue(color));
        setCurrentCharFormat(format);
        return;
    }
    paint(selStart(), selLength(), color);
}

ColorValue RichTextControl::colorAt(int offset) const {
    const ColorValue fallback = valueFromColor(palette().text().color());
    if (offset < 0 || offset >= textLength())
        return fallback;
    const QTextDocument* doc = document();
    const Place place = placeOf(offset);
    const QTextBlock block = doc->findBlockByNumber(place.block);
    const int lineLength = block.length() - 1;
    if (const LineColors* line = lineColorsOf(block))
        return line->colorAt(std::min(place.column, lineLength));
    QTextCharFormat format;
    if (place.column < lineLength) {
        // A cursor just after a character reports that character's format.
        QTextCursor cursor(const_cast<QTextDocument*>(doc));
        cursor.setPosition(block.position() + place.column + 1);
        format = cursor.charFormat();
    } else {
        // The separator that ends a line is the format a block reports for itself.
        const QTextBlock next = block.next();
        if (!next.isValid())
            return fallback;
        format = next.charFormat();
    }
    return format.hasProperty(QTextFormat::ForegroundBrush) ? valueFromColor(format.foreground().color())
                                                            : fallback;
}

void RichTextControl::paint(int start, int length, ColorValue color) {
    paintStretches({ColorSpan{start, length, color}}, m_lineRunsEnabled);
}

void RichTextControl::paintDocumentRange(QTextCursor& cursor, LinePainter& painter, QTextBlock block,
                                         int from, int to, ColorValue color, bool wholeLinesAsRuns) {
    for (; block.isValid() && from < to; block = block.next()) {
        const int blockStart = block.position();
        const int blockEnd = paintableEnd(block);
        const int pieceEnd = std::min(to, blockEnd);
        if (pieceEnd <= from) {
            if (blockEnd >= to)
                break;
            continue;
        }
        LineColors* line = lineColorsOf(block);
        if (wholeLinesAsRuns && from == blockStart && pieceEnd == blockEnd) {
            // A whole line takes one run; its character formats no longer count.
            if (!line) {
                line = new LineColors;
                block.setUserData(line);
            }
            painter.flush();
            line->runs.assign(1, ColorSpan{0, block.length(), color});
            line->shown = false;
        } else if (line) {
            painter.paint(line, block.length(), from - blockStart, pieceEnd - blockStart, color);
        } else {
            if (cursor.position() == from)
                cursor.clearSelection();
            else
                cursor.setPosition(from);
            cursor.setPosition(pieceEnd, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(foregroundFormat(color));
        }
        from = pieceEnd;
    }
}

void RichTextControl::materialize(const QTextBlock& block) {
    LineColors* line = lineColorsOf(block);
    if (!line)
        return;
    ++m_painting;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    const int blockStart = block.position();
    const int blockEnd = paintableEnd(block);
    for (const ColorSpan& run : line->runs) {
        const int from = blockStart + run.start;
        const int to = std::min(blockEnd, from + run.length);
        if (to <= from)
            continue;
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        cursor.setCharFormat(foregroundFormat(run.color));
    }
    if (line->shown)
        block.layout()->setFormats({});
    QTextBlock(block).setUserData(nullptr);
    cursor.endEditBlock();
    --m_painting;
}

void RichTextControl::materializeAround(int from, int to) {
    QTextBlock block = document()->findBlock(from);
    if (block.previous().isValid())
        block = block.previous();
    const QTextBlock last = document()->findBlock(to);
    const QTextBlock stop = last.next().isValid() ? last.next().next() : QTextBlock();
    for (; block.isValid() && block != stop; block = block.next())
        materialize(block);
}

void RichTextControl::materializeForEdit() {
    const QTextCursor cursor = textCursor();
    materializeAround(cursor.selectionStart(), cursor.selectionEnd());
}

void RichTextControl::showLineColors() {
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    const qreal bottom = viewport()->height();
    std::vector<QTextBlock> waiting;
    for (; block.isValid() && top <= bottom; block = block.next()) {
        if (const LineColors* line = lineColorsOf(block); line && !line->shown)
            waiting.push_back(block);
        top += blockBoundingRect(block).height();
    }
    if (waiting.empty())
        return;
    ++m_painting;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const QTextBlock& waitingBlock : waiting) {
        LineColors* line = lineColorsOf(waitingBlock);
        QList<QTextLayout::FormatRange> ranges;
        ranges.reserve(static_cast<qsizetype>(line->runs.size()));
        for (const ColorSpan& run : line->runs)
            ranges.append({run.start, run.length, foregroundFormat(run.color)});
        waitingBlock.layout()->setFormats(ranges);
        line->shown = true;
    }
    cursor.endEditBlock();
    --m_painting;
}

void RichTextControl::paintEvent(QPaintEvent* event) {
    showLineColors();
    QPlainTextEdit::paintEvent(event);
}

void RichTextControl::inputMethodEvent(QInputMethodEvent* event) {
    beginEdit();
    const int from = textCursor().selectionStart();
    QPlainTextEdit::inputMethodEvent(event);
    afterEdit(from, containsBreak(event->commitString()));
}

QMimeData* RichTextControl::createMimeDataFromSelection() const {
    // The breaks between the pieces of a long line must not reach the clipboard.
    auto* data = new QMimeData;
    data->setText(selText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    return data;
}

void RichTextControl::insertFromMimeData(const QMimeData* source) {
    beginEdit();
    const int from = textCursor().selectionStart();
    QPlainTextEdit::insertFromMimeData(source);
    afterEdit(from, source && containsBreak(source->text()));
}

void RichTextControl::mousePressEvent(QMouseEvent* event) {
    // Dragging the selection away removes it from its lines.
    materializeForEdit();
    QPlainTextEdit::mousePressEvent(event);
}

void RichTextControl::paintSpans(const std::vector<ColorSpan>& spans) {
    paintStretches(spans, false);
}

void RichTextControl::paintStretches(const std::vector<ColorSpan>& spans, bool wholeLinesAsRuns) {
    if (spans.empty())
        return;
    ++m_painting;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    // Spans usually come in ascending order; then the blocks are walked forward once instead of
    // searching for the block of every span.
    const int total = textLength();
    QTextBlock block = document()->begin();
    int blockOffset = 0; // offset of the block's first character, a CR LF counting two
    const auto documentPosition = [&](int offset, bool isEnd) {
        const int wanted = std::clamp(offset, 0, total);
        if (wanted < blockOffset) {
            const int number = placeOf(wanted).block;
            block = document()->findBlockByNumber(number);
            blockOffset = lineStartOffset(number);
        }
        for (QTextBlock next = block.next(); next.isValid(); next = block.next()) {
            const int lineLength = block.length() - 1;
            const int breakLength = isSoftBreak(block.position() + lineLength) ? 0 : 2;
            const int nextOffset = blockOffset + lineLength + breakLength;
            if (nextOffset > wanted)
                break;
            block = next;
            blockOffset = nextOffset;
        }
        const int lineLength = block.length() - 1;
        const int column = wanted - blockOffset;
        // A stretch that covers either half of a CR LF paints the separator.
        if (isEnd)
            return block.position() + std::min(column, lineLength) + (column > lineLength ? 1 : 0);
        return block.position() + std::min(column, lineLength);
    };
    LinePainter painter;
    for (const ColorSpan& span : spans) {
        if (span.length <= 0)
            continue;
        const int from = documentPosition(span.start, false);
        const QTextBlock first = block;
        const int to = documentPosition(span.start + span.length, true);
        if (to > from)
            paintDocumentRange(cursor, painter, first, from, to, span.color, wholeLinesAsRuns);
    }
    painter.flush();
    cursor.endEditBlock();
    --m_painting;
    viewport()->update();
}

int RichTextControl::lineFromChar(int offset) const {
    const int block = placeOf(std::clamp(offset, 0, textLength())).block;
    return block - softBreaksBefore(document()->findBlockByNumber(block).position());
}

int RichTextControl::lineIndex(int line) const {
    if (line < 0 || line >= lineCount())
        return -1;
    // The first block whose line number reaches `line` is where that line starts.
    int lo = 0;
    int hi = document()->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (mid - softBreaksBefore(document()->findBlockByNumber(mid).position()) >= line)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lineStartOffset(lo);
}

int RichTextControl::lineCount() const {
    return document()->blockCount() - static_cast<int>(m_softBreaks.size());
}

int RichTextControl::lineLength(int offset) const {
    const Place place = placeOf(std::clamp(offset, 0, textLength()));
    QTextBlock block = document()->findBlockByNumber(place.block);
    while (block.previous().isValid() && isSoftBreak(block.position() - 1))
        block = block.previous();
    int length = block.length() - 1;
    while (block.next().isValid() && isSoftBreak(block.position() + block.length() - 1)) {
        block = block.next();
        length += block.length() - 1;
    }
    return length;
}

void RichTextControl::setBackgroundColor(ColorValue color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, colorFromValue(color));
    setPalette(pal);
}

void RichTextControl::printTo(QPrinter* printer, bool selectionOnly) {
    // The printed copy takes the colours from the character formats.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        materialize(block);
    if (!selectionOnly || !textCursor().hasSelection()) {
        print(printer);
        return;
    }
    QTextDocument part;
    part.setDefaultFont(font());
    QTextCursor(&part).insertFragment(textCursor().selection());
    part.print(printer);
}

int RichTextControl::keyCodeOf(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 65 + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 48 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Odiaeresis:
        return 192;
    case Qt::Key_Aring:
        return 221;
    case Qt::Key_Adiaeresis:
        return 222;
    case Qt::Key_Less:
    case Qt::Key_Greater:
    case Qt::Key_Bar:
        return 226;
    // Punctuation reports the key that carries it on a US layout (shifted symbols their base
    // key). Its character values would otherwise read as cursor and editing keys: "." as
    // Delete (46), "-" as Insert (45), "'" as Right (39), "{" as F12 (123).
    case Qt::Key_ParenRight:
        return 48;
    case Qt::Key_Exclam:
        return 49;
    case Qt::Key_At:
        return 50;
    case Qt::Key_NumberSign:
        return 51;
    case Qt::Key_Dollar:
        return 52;
    case Qt::Key_Percent:
        return 53;
    case Qt::Key_AsciiCircum:
        return 54;
    case Qt::Key_Ampersand:
        return 55;
    case Qt::Key_Asterisk:
        return 56;
    case Qt::Key_ParenLeft:
        return 57;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return 187;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return 189;
    case Qt::Key_Period:
        return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return 219;
    case Qt::Key_Backslash:
        return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return 222;
    default:
        return qtKey < 128 ? qtKey : 0;
    }
}

void RichTextControl::keyPressEvent(QKeyEvent* event) {
    beginEdit();
    const int from = textCursor().selectionStart();
    handleKey(event);
    afterEdit(from, event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
    normalizeCursor();
}

void RichTextControl::stepOverSoftBreak(QKeyEvent* event) {
    if (m_softBreaks.empty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return;
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        return;
    // Backspace and Delete next to a break between pieces act on the character beyond it.
    int position = cursor.position();
    if (event->key() == Qt::Key_Backspace) {
        while (position > 0 && isSoftBreak(position - 1))
            --position;
    } else if (event->key() == Qt::Key_Delete) {
        while (isSoftBreak(position))
            ++position;
    }
    if (position != cursor.position()) {
        cursor.setPosition(position);
        setTextCursor(cursor);
    }
}

int RichTextControl::cursorPlace(int position) const {
    // At a break between pieces of a long line the cursor stays at the end of the earlier piece,
    // where it would be in the whole line: typing there takes the colour of the character before.
    while (position > 0 && isSoftBreak(position - 1))
        --position;
    return position;
}

void RichTextControl::normalizeCursor() {
    if (m_softBreaks.empty())
        return;
    QTextCursor cursor = textCursor();
    const int anchor = cursorPlace(cursor.anchor());
    const int position = cursorPlace(cursor.position());
    if (anchor == cursor.anchor() && position == cursor.position())
        return;
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichTextControl::baseKeyPress(QKeyEvent* event) {
    stepOverSoftBreak(event);
    const bool hadSelection = textCursor().hasSelection();
    const int before = toOffset(textCursor().position());
    QPlainTextEdit::keyPressEvent(event);
    // Left and Right pass over a break between pieces in one step, as over any character.
    const bool sideways = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    if (sideways && !hadSelection && !m_softBreaks.empty()) {
        // Empty pieces give several places with the same offset; step until the offset moves.
        for (int position = -1;
             toOffset(textCursor().position()) == before && textCursor().position() != position;) {
            position = textCursor().position();
            QPlainTextEdit::keyPressEvent(event);
        }
    }
}

void RichTextControl::handleKey(QKeyEvent* event) {
    const int shift = modifierBits(event->modifiers());
    int keyCode = keyCodeOf(event->key());
    if (keyCode != 0) {
        emit keyDown(keyCode, shift);
        if (keyCode == 0) {
            event->accept();
            return;
        }
    }
    const QString typed = event->text();
    if (typed.size() == 1) {
        int charCode = typed.at(0).unicode();
        const int original = charCode;
        emit keyPress(charCode);
        if (charCode == 0) {
            event->accept();
            return;
        }
        if (charCode != original) {
            QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(QChar(charCode)));
            baseKeyPress(&replaced);
            return;
        }
    }
    baseKeyPress(event);
}

void RichTextControl::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    normalizeCursor();
    const int shift = modifierBits(event->modifiers());
    emit mouseUp(static_cast<int>(event->button()), shift, event->position().toPoint().x(),
                 event->position().toPoint().y());
}

void RichTextControl::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFilesOf(event->mimeData()).isEmpty() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
}

void RichTextControl::dragMoveEvent(QDragMoveEvent* event) {
    if (!localFilesOf(event->mimeData()).isEmpty() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    QPlainTextEdit::dragMoveEvent(event);
}

void RichTextControl::dropEvent(QDropEvent* event) {
    const QStringList files = localFilesOf(event->mimeData());
    if (!files.isEmpty()) {
        if (event->possibleActions() & Qt::CopyAction) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
            emit filesDropped(files);
        }
        return;
    }
    const int dropAt = cursorForPosition(event->position().toPoint()).position();
    if (event->source() == this && !m_softBreaks.empty()) {
        // Moving text within the document is done as two edits of its own, so each change is
        // reported at its own place and the breaks between pieces of long lines follow exactly.
        moveSelectionTo(toOffset(dropAt), event->dropAction() == Qt::MoveAction);
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    materializeAround(dropAt, dropAt);
    beginEdit();
    const int from = std::min(dropAt, textCursor().selectionStart());
    QPlainTextEdit::dropEvent(event);
    afterEdit(from, event->mimeData() && containsBreak(event->mimeData()->text()));
}

void RichTextControl::moveSelectionTo(int offset, bool move) {
    const int start = selStart();
    const int length = selLength();
    if (length == 0 || (offset >= start && offset <= start + length))
        return;
    const QString moved = selText();
    if (!move) {
        select(offset, 0);
        setSelText(moved);
        return;
    }
    // The later place first, so the earlier offset stays valid.
    if (offset > start) {
        select(offset, 0);
        setSelText(moved);
        select(start, length);
        setSelText(QString());
        select(offset - length, length);
    } else {
        select(start, length);
        setSelText(QString());
        select(offset, 0);
        setSelText(moved);
        select(offset, length);
    }
}

PaintBatch::PaintBatch(RichTextControl& control)
    : m_control(control), m_updatesWereEnabled(control.viewport()->updatesEnabled()),
      m_editBlock(control.document()) {
    m_control.viewport()->setUpdatesEnabled(false);
    ++m_control.m_painting;
    // Inside an edit block the document reports its changes, and the layout follows them, once
    // at the end; cursors placed meanwhile are not measured against a line layout either,
    // which keeps reading colours and characters cheap on very long lines.
    m_editBlock.beginEditBlock();
}

PaintBatch::~PaintBatch() {
    m_editBlock.endEditBlock();
    --m_control.m_painting;
    m_control.viewport()->setUpdatesEnabled(m_updatesWereEnabled);
    if (m_updatesWereEnabled)
        m_control.viewport()->update();
}
