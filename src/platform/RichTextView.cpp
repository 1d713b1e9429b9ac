// The view of the text control beyond the text: tab stops, line numbers, marked lines and stretches,
// wavy underlines.

#include "platform/LineNumberGutter.h"
#include "platform/Log.h"
#include "platform/RichTextControl.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextBlock>
#include <QWheelEvent>
#include <algorithm>

namespace {
// One notch of a common mouse wheel, in eighths of a degree.
constexpr int kWheelStep = 120;

// A wave along y from x `from` to `to`, as spelling checkers mark words.
void drawWave(QPainter& painter, qreal from, qreal to, qreal y) {
    constexpr qreal kHalfPeriod = 2, kAmplitude = 1;
    QPainterPath wave(QPointF(from, y + kAmplitude));
    bool up = true;
    for (qreal x = from; x < to; x += kHalfPeriod, up = !up)
        wave.lineTo(std::min(x + kHalfPeriod, to), y + (up ? -kAmplitude : kAmplitude));
    painter.drawPath(wave);
}
} // namespace

int RichTextControl::lineOfBlock(const QTextBlock& block) const {
    // Every block before this one ends a line, but those ending in a break between pieces.
    return block.blockNumber() - m_pieces.breaksBefore(block.position());
}

int RichTextControl::cursorLine() const {
    return lineOfBlock(textCursor().block());
}

std::vector<RichTextControl::ShownRow> RichTextControl::shownRows() const {
    std::vector<ShownRow> rows;
    QTextBlock block = firstVisibleBlock();
    if (!block.isValid())
        return rows;
    // Only the blocks on screen are read, each line number from the one above: the cost does
    // not grow with the text.
    int line = lineOfBlock(block);
    bool startsLine = block.position() == 0 || !m_pieces.isBreak(block.position() - 1);
    const qreal width = viewport()->width();
    const qreal bottom = viewport()->height();
    for (qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
         block.isValid() && top <= bottom; block = block.next()) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible())
            rows.push_back({QRectF(0, top, width, height), line, startsLine});
        top += height;
        startsLine = !m_pieces.isBreak(block.position() + block.length() - 1);
        line += startsLine ? 1 : 0;
    }
    return rows;
}

QRect RichTextControl::currentLineBand() const {
    if (!m_highlightLine)
        return {};
    const int line = cursorLine();
    QRectF band;
    for (const ShownRow& row : shownRows())
        if (row.line == line)
            band |= row.rect;
    return band.toAlignedRect();
}

QColor RichTextControl::currentLineColor() const {
    const QColor base = palette().color(QPalette::Base);
    const QColor tint = palette().color(QPalette::Highlight);
    // A highlight colour close to the background would leave the line unmarked.
    return blendColors(base, readableOn(base, tint), 0.15);
}

QColor RichTextControl::matchColor() const {
    const QColor base = palette().color(QPalette::Base);
    return blendColors(base, readableOn(base, palette().color(QPalette::Highlight)), 0.4);
}

void RichTextControl::paintCurrentLine(const QRect& area) {
    if (!m_highlightLine)
        return;
    // Under the text: QPlainTextEdit draws the lines over the background without filling it.
    const QRect band = currentLineBand() & area;
    if (!band.isEmpty())
        QPainter(viewport()).fillRect(band, currentLineColor());
    m_shownCursorLine = cursorLine();
}

void RichTextControl::cursorMoved() {
    if (!m_highlightLine && !m_lineNumbers)
        return;
    const int line = cursorLine();
    if (line == m_shownCursorLine)
        return;
    // Only the rows of the line left and of the line reached; an edit that moved them repaints
    // them itself.
    QRectF changed;
    for (const ShownRow& row : shownRows())
        if (row.line == line || row.line == m_shownCursorLine)
            changed |= row.rect;
    const QRect rows = changed.toAlignedRect();
    if (m_highlightLine)
        viewport()->update(rows);
    if (m_gutter && m_lineNumbers)
        m_gutter->update(0, rows.top(), m_gutter->width(), rows.height());
    m_shownCursorLine = line;
}

void RichTextControl::setTabWidth(int characters) {
    Q_ASSERT(characters >= 1 && characters <= 16);
    m_tabWidth = std::clamp(characters, 1, 16);
    applyTabStops();
}

void RichTextControl::applyTabStops() {
    // Unchanged, the distance costs nothing; changed, the document is laid out again.
    setTabStopDistance(m_tabWidth * QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
}

void RichTextControl::setLineNumbersVisible(bool visible) {
    m_lineNumbers = visible;
    if (visible && !m_gutter) {
        m_gutter = new LineNumberGutter(*this);
        connect(this, &QPlainTextEdit::blockCountChanged, this, &RichTextControl::updateGutterWidth);
        connect(this, &QPlainTextEdit::updateRequest, m_gutter, [this](const QRect& rect, int dy) {
            if (dy != 0)
                m_gutter->scroll(0, dy);
            else
                m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
        });
    }
    if (m_gutter)
        m_gutter->setVisible(visible);
    updateGutterWidth();
}

void RichTextControl::setCurrentLineHighlighted(bool highlighted) {
    if (highlighted == m_highlightLine)
        return;
    m_highlightLine = highlighted;
    m_shownCursorLine = cursorLine();
    viewport()->update();
}

int RichTextControl::gutterWidth() const {
    return m_lineNumbers && m_gutter ? m_gutter->widthFor(lineCount()) : 0;
}

void RichTextControl::updateGutterWidth() {
    const int width = gutterWidth();
    if (viewportMargins().left() != width)
        setViewportMargins(width, 0, 0, 0);
    placeGutter();
}

void RichTextControl::placeGutter() {
    if (!m_gutter || !m_lineNumbers)
        return;
    const QRect text = viewport()->geometry();
    m_gutter->setGeometry(contentsRect().left(), text.top(), gutterWidth(), text.height());
}

void RichTextControl::setMatchHighlights(const std::vector<std::pair<int, int>>& ranges) {
    QList<QTextEdit::ExtraSelection> marks;
    const int length = textLength();
    for (const auto& [offset, count] : ranges) {
        const int start = std::clamp(offset, 0, length);
        const int end = std::clamp(offset + std::max(0, count), start, length);
        if (start != offset || end - start != count)
            qCWarning(lcQuillora) << "match highlight" << offset << count << "clipped to a text of" << length;
        if (end == start)
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(toDocumentPosition(start));
        mark.cursor.setPosition(toDocumentPosition(end), QTextCursor::KeepAnchor);
        mark.format.setBackground(matchColor());
        marks.push_back(mark);
    }
    setExtraSelections(marks);
}

void RichTextControl::setUnderlineSource(UnderlineSource source) {
    m_underlines = std::move(source);
    viewport()->update();
}

std::pair<int, int> RichTextControl::shownOffsets() const {
    QTextBlock block = firstVisibleBlock();
    if (!block.isValid())
        return {0, 0};
    const int from = toOffset(block.position());
    QTextBlock last = block;
    const qreal bottom = viewport()->height();
    for (qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
         block.isValid() && top <= bottom; block = block.next()) {
        last = block;
        top += blockBoundingRect(block).height();
    }
    // The last row's separator is its line's CR LF (or a break between pieces, which is none).
    return {from, std::min(textLength(), toOffset(last.position() + last.length() - 1) + 2)};
}

void RichTextControl::paintUnderlines() {
    if (!m_underlines)
        return;
    const auto [from, to] = shownOffsets();
    const std::vector<std::pair<int, int>> marks = m_underlines(from, to);
    if (marks.empty())
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(readableOn(palette().color(QPalette::Base), QColor(220, 0, 0)), 1));
    const QPointF origin = contentOffset();
    for (const auto& [offset, length] : marks) {
        const int start = toDocumentPosition(offset), end = toDocumentPosition(offset + length);
        // A mark across the break between two pieces of a long line is drawn in both.
        for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
             block = block.next()) {
            const int column = std::max(0, start - block.position());
            const int stop = std::min(end - block.position(), block.length() - 1);
            const QTextLayout* layout = block.layout();
            const QTextLine line = layout ? layout->lineForTextPosition(column) : QTextLine();
            if (stop <= column || !block.isVisible() || !line.isValid())
                continue;
            const QPointF at = blockBoundingGeometry(block).translated(origin).topLeft();
            const qreal baseline = at.y() + line.y() + line.ascent();
            drawWave(painter, at.x() + line.cursorToX(column), at.x() + line.cursorToX(stop),
                     baseline + std::max<qreal>(1.5, line.descent() / 2));
        }
    }
}

void RichTextControl::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        m_wheelZoom = 0;
        QPlainTextEdit::wheelEvent(event);
        return;
    }
    // Fine-grained wheels and touchpads send parts of a notch: they add up to a step.
    m_wheelZoom += event->angleDelta().y();
    const int steps = m_wheelZoom / kWheelStep;
    m_wheelZoom -= steps * kWheelStep;
    if (steps != 0)
        emit zoomRequested(steps);
    event->accept();
}

void RichTextControl::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyTabStops();
        if (m_gutter)
            m_gutter->fontChanged();
        updateGutterWidth();
    } else if (event->type() == QEvent::PaletteChange) {
        // The marks' colours are blends of the palette's.
        QList<QTextEdit::ExtraSelection> marks = extraSelections();
        for (QTextEdit::ExtraSelection& mark : marks)
            mark.format.setBackground(matchColor());
        if (!marks.isEmpty())
            setExtraSelections(marks);
        if (m_gutter)
            m_gutter->update();
    }
}
