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

// Block separators as QTextCursor and toRawText report them, turned into CR LF. Sized once and
// written in place: the whole text of a large page passes through here.
QString fromDocumentBreaks(const QString& raw) {
    const qsizetype separators = raw.count(QChar::ParagraphSeparator);
    if (separators == 0)
        return raw;
    QString out(raw.size() + separators, Qt::Uninitialized);
    QChar* write = out.data();
    for (const QChar ch : raw) {
        if (ch == QChar::ParagraphSeparator) {
            *write++ = kCR;
            *write++ = kLF;
        } else {
            *write++ = ch;
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
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int, int) {
        if (m_painting == 0)
            emit change();
    });
}

QString RichTextControl::text() const {
    QString raw = document()->toRawText();
    // toRawText ends with the document's last (implicit) separator when it has one.
    if (!raw.isEmpty() && raw.back() == QChar::ParagraphSeparator &&
        raw.size() == document()->characterCount())
        raw.chop(1);
    return fromDocumentBreaks(raw);
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
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(toDocumentBreaks(text), typing);
    cursor.setPosition(0);
    setTextCursor(cursor);
}

int RichTextControl::textLength() const {
    const QTextDocument* doc = document();
    return doc->characterCount() - 1 + (doc->blockCount() - 1);
}

int RichTextControl::lineStartOffset(int block) const {
    return document()->findBlockByNumber(block).position() + block;
}

RichTextControl::Place RichTextControl::placeOf(int offset) const {
    const QTextDocument* doc = document();
    if (offset <= 0)
        return {0, 0};
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
    const bool last = !block.next().isValid();
    const int maxColumn = last ? lineLength : lineLength + 1;
    return {lo, std::min(offset - (block.position() + lo), maxColumn)};
}

int RichTextControl::toDocumentPosition(int offset) const {
    const Place place = placeOf(offset);
    const QTextBlock block = document()->findBlockByNumber(place.block);
    return block.position() + std::min(place.column, block.length() - 1);
}

int RichTextControl::toOffset(int documentPosition) const {
    const QTextBlock block = document()->findBlock(documentPosition);
    return documentPosition + std::max(0, block.blockNumber());
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
    QString out = fromDocumentBreaks(cursor.selectedText());
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
    cursor.setPosition(toDocumentPosition(std::clamp(offset, 0, textLength())));
    setTextCursor(cursor);
}

void RichTextControl::setSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = toOffset(cursor.selectionStart());
    cursor.setPosition(cursor.selectionStart());
    const int end = std::clamp(start + std::max(0, length), start, textLength());
    cursor.setPosition(toDocumentPosition(end), QTextCursor::KeepAnchor);
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
    materializeForEdit();
    QTextCursor cursor = textCursor();
    cursor.insertText(toDocumentBreaks(text));
    setTextCursor(cursor);
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
    materializeForEdit();
    QPlainTextEdit::inputMethodEvent(event);
}

void RichTextControl::insertFromMimeData(const QMimeData* source) {
    materializeForEdit();
    QPlainTextEdit::insertFromMimeData(source);
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
    int blockNumber = 0;
    int blockOffset = 0; // offset of the block's first character, a CR LF counting two
    const auto documentPosition = [&](int offset, bool isEnd) {
        const int wanted = std::clamp(offset, 0, total);
        if (wanted < blockOffset) {
            blockNumber = placeOf(wanted).block;
            block = document()->findBlockByNumber(blockNumber);
            blockOffset = block.position() + blockNumber;
        }
        for (QTextBlock next = block.next(); next.isValid(); next = block.next()) {
            const int nextOffset = blockOffset + block.length() + 1;
            if (nextOffset > wanted)
                break;
            block = next;
            ++blockNumber;
            blockOffset = nextOffset;
        }
        const int lineLength = block.length() - 1;
        const int column = wanted - blockOffset;
        // A stretch that covers either half of a CR LF paints the separator.
        const int blockPosition = blockOffset - blockNumber;
        if (isEnd)
            return blockPosition + std::min(column, lineLength) + (column > lineLength ? 1 : 0);
        return blockPosition + std::min(column, lineLength);
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
    return placeOf(std::clamp(offset, 0, textLength())).block;
}

int RichTextControl::lineIndex(int line) const {
    if (line < 0 || line >= document()->blockCount())
        return -1;
    return lineStartOffset(line);
}

int RichTextControl::lineCount() const {
    return document()->blockCount();
}

int RichTextControl::lineLength(int offset) const {
    const Place place = placeOf(std::clamp(offset, 0, textLength()));
    return document()->findBlockByNumber(place.block).length() - 1;
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
    materializeForEdit();
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
            QPlainTextEdit::keyPressEvent(&replaced);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void RichTextControl::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
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
    materializeAround(dropAt, dropAt);
    materializeForEdit();
    QPlainTextEdit::dropEvent(event);
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
