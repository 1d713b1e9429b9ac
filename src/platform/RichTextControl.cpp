#include "platform/RichTextControl.h"

#include "platform/UiHelpers.h"

#include <QAbstractTextDocumentLayout>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>

namespace {

bool containsBreak(const QString& text) {
    return text.contains(QChar(13)) || text.contains(QChar(10)) || text.contains(QChar::ParagraphSeparator);
}

} // namespace

RichTextControl::RichTextControl(QWidget* parent)
    : QPlainTextEdit(parent), m_pieces(*document()), m_offsets(*document(), m_pieces),
      m_colors(*document(), m_painting) {
    // The editor keeps its own undo buffer; Qt's would also record every colour change.
    document()->setUndoRedoEnabled(false);
    // Setting the mode gives the empty document the viewport's width now. The lines never wrap, so
    // that width is never passed on again (see resizeEvent).
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        if (m_painting != 0 || m_replacingWhole)
            return;
        reportChange(from, removed, added);
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &RichTextControl::cursorMoved);
    applyTabStops();
}

QString RichTextControl::text() const {
    return m_offsets.text();
}

QString RichTextControl::textAtOnce() const {
    return m_offsets.textAtOnce();
}

void RichTextControl::setText(const QString& text) {
    // The typing colour comes from the character formats around the cursor.
    materializeForEdit();
    const QTextCharFormat typing = textCursor().charFormat();
    const std::vector<int> cuts = m_pieces.cutsForDisplay(text);
    m_pieces.beginEdit();
    QTextCursor cursor = replaceDocument(text, typing, cuts);
    m_pieces.markWholeText(cuts);
    cursor.setPosition(0);
    setTextCursor(cursor);
}

QTextCursor RichTextControl::replaceDocument(const QString& text, const QTextCharFormat& format,
                                             const std::vector<int>& cuts) {
    // QTextDocument adds every inserted text to one buffer and lets go of removed text only when
    // that buffer happens to be nearly full: the whole text replaced through a selection would keep
    // the old text beside the new, for good (a large page's Replace All or reload doubled what the
    // text takes). Cleared first, the document lets the old text go before the new one comes.
    const int removed = document()->characterCount() - 1;
    // No line keeps the colour runs of the old text.
    m_colors.forgetAll();
    m_replacingWhole = true;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    document()->clear();
    cursor.setPosition(0);
    // The document takes CR LF, lone CR and lone LF each as one separator. The long lines are cut
    // once the text is in: a text with the cuts made would be one more copy of it all.
    cursor.insertText(text, format);
    for (const int cut : cuts) {
        cursor.setPosition(cut);
        cursor.insertText(QStringLiteral("\n"), format);
    }
    if (!cuts.empty())
        cursor.movePosition(QTextCursor::End);
    cursor.endEditBlock();
    m_replacingWhole = false;
    // Reported as one change, as a replacement of a selection is.
    reportChange(0, removed, document()->characterCount() - 1);
    return cursor;
}

int RichTextControl::textLength() const {
    return m_offsets.length();
}

void RichTextControl::beginEdit() {
    materializeForEdit();
    m_pieces.beginEdit();
}

void RichTextControl::afterEdit(int from, bool insertedBreaks) {
    const int at = textCursor().position();
    m_pieces.afterEdit(from, at, insertedBreaks);
    cutLongLines(std::min(from, at), std::max(from, at));
    reportObserved();
}

void RichTextControl::cutLongLines(int from, int to) {
    const std::vector<QTextBlock> lines = m_pieces.longLinesBetween(from, to);
    if (lines.empty())
        return;
    ++m_painting;
    for (const QTextBlock& line : lines)
        m_colors.materialize(line);
    m_pieces.cut(lines);
    --m_painting;
}

int RichTextControl::toDocumentPosition(int offset) const {
    return m_offsets.toPosition(offset);
}

int RichTextControl::toOffset(int documentPosition) const {
    return m_offsets.toOffset(documentPosition);
}

QString RichTextControl::textRange(int start, int length) const {
    return m_offsets.range(start, length);
}

QChar RichTextControl::charAt(int offset) const {
    return m_offsets.charAt(offset);
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

void RichTextControl::reportChange(int from, int removed, int added) {
    m_pieces.documentChanged(from, removed, added);
    emit change();
    emit changedAt(from, removed, added);
}

void RichTextControl::setSelText(const QString& text) {
    beginEdit();
    QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart();
    const int documentEnd = document()->characterCount() - 1;
    // The document takes CR LF, lone CR and lone LF each as one separator.
    if (from == 0 && cursor.selectionEnd() == documentEnd && documentEnd > 0) {
        QTextCharFormat format = cursor.charFormat(); // as insertText takes it
        format.clearProperty(QTextFormat::ObjectType);
        cursor = replaceDocument(text, format);
    } else {
        cursor.insertText(text);
    }
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
    const TextOffsets::Place place = m_offsets.placeOf(offset);
    const QTextBlock block = doc->findBlockByNumber(place.block);
    const int lineLength = block.length() - 1;
    if (const std::optional<ColorValue> run =
            LineColorRuns::colorAt(block, std::min(place.column, lineLength)))
        return *run;
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

void RichTextControl::materializeForEdit() {
    const QTextCursor cursor = textCursor();
    m_colors.materializeAround(cursor.selectionStart(), cursor.selectionEnd());
}

void RichTextControl::showLineColors() {
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    const qreal bottom = viewport()->height();
    std::vector<QTextBlock> onScreen;
    for (; block.isValid() && top <= bottom; block = block.next()) {
        onScreen.push_back(block);
        top += blockBoundingRect(block).height();
    }
    m_colors.show(onScreen);
}

void RichTextControl::paintEvent(QPaintEvent* event) {
    showLineColors();
    paintCurrentLine(event->rect());
    QPlainTextEdit::paintEvent(event);
    paintUnderlines();
}

void RichTextControl::inputMethodEvent(QInputMethodEvent* event) {
    beginEdit();
    const int from = textCursor().selectionStart();
    // Composition starting over a selection takes the selection out before anything is committed.
    const bool composing =
        selLength() > 0 && event->commitString().isEmpty() && !event->preeditString().isEmpty();
    observeChange(
        selStart(), selStart() + selLength(), true, [&] { QPlainTextEdit::inputMethodEvent(event); },
        composing);
    afterEdit(from, containsBreak(event->commitString()));
}

void RichTextControl::observeChange(int from, int to, bool typed, const std::function<void()>& change,
                                    bool composing) {
    if (m_observing) { // a change within one already watched is part of it
        change();
        return;
    }
    reportObserved(); // one not closed by afterEdit yet is told first
    // Qt's own edits stay within the lines of [from, to): a character, a word, a line's rest, or
    // the break before or after them. The lines around are read with them, two each side, so that
    // a break taken out beside an empty line still has unchanged text on both sides. A change that
    // reaches past them is reported as not known exactly.
    constexpr int kLinesAround = 2;
    Observed observed;
    observed.lengthBefore = textLength();
    QTextBlock first = document()->findBlock(toDocumentPosition(from));
    for (int i = 0; i < kLinesAround && first.previous().isValid(); ++i)
        first = first.previous();
    QTextBlock last = document()->findBlock(toDocumentPosition(to));
    for (int i = 0; i < kLinesAround && last.next().isValid(); ++i)
        last = last.next();
    observed.from = from;
    observed.start = toOffset(first.position());
    observed.end = last.next().isValid() ? toOffset(last.next().position()) : observed.lengthBefore;
    Q_ASSERT(observed.start <= from && to <= observed.end);
    observed.edit.cursorBefore = selStart();
    observed.edit.hadSelection = selLength() > 0;
    observed.edit.typed = typed;
    observed.edit.composing = composing;
    observed.before = textRange(observed.start, observed.end - observed.start);
    m_observing = true;
    change();
    m_observing = false;
    m_observed = std::move(observed);
}

void RichTextControl::reportObserved() {
    if (!m_observed)
        return;
    Observed observed = std::move(*m_observed);
    m_observed.reset();
    const QString& before = observed.before;
    const int grown = textLength() - observed.lengthBefore;
    const QString after = textRange(observed.start, observed.end - observed.start + grown);
    if (before == after)
        return;
    // The text before `from` and before the cursor's new place is unchanged, so an insertion or
    // a deletion is placed at the cursor, not at an equal character beside it.
    const qsizetype shorter = std::min(before.size(), after.size());
    const qsizetype prefixLimit =
        std::clamp<qsizetype>(std::min(observed.from, selStart()) - observed.start, 0, shorter);
    qsizetype prefix = 0;
    while (prefix < prefixLimit && before.at(prefix) == after.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    TextEdit& edit = observed.edit;
    edit.offset = observed.start + static_cast<int>(prefix);
    edit.removed = before.mid(prefix, before.size() - prefix - suffix);
    edit.inserted = after.mid(prefix, after.size() - prefix - suffix);
    edit.known = (prefix > 0 || observed.start == 0) && (suffix > 0 || observed.end == observed.lengthBefore);
    emit edited(edit);
}

void RichTextControl::replaceAndReport(int start, int length, const QString& text) {
    select(start, length);
    TextEdit edit;
    edit.offset = start;
    edit.removed = selText();
    edit.inserted = text;
    edit.cursorBefore = start;
    edit.hadSelection = length > 0;
    setSelText(text);
    if (!edit.removed.isEmpty() || !edit.inserted.isEmpty())
        emit edited(edit);
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
    observeChange(selStart(), selStart() + selLength(), false,
                  [&] { QPlainTextEdit::insertFromMimeData(source); });
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
    TextOffsets::Walker walker(m_offsets);
    for (const ColorSpan& span : spans) {
        if (span.length <= 0)
            continue;
        const int from = walker.start(span.start);
        const QTextBlock first = walker.block();
        const int to = walker.end(span.start + span.length);
        if (to > from)
            m_colors.paint(cursor, first, from, to, span.color, wholeLinesAsRuns);
    }
    m_colors.flush();
    cursor.endEditBlock();
    --m_painting;
    viewport()->update();
}

void RichTextControl::setColors(const std::vector<ColorSpan>& spans) {
    if (spans.empty())
        return;
    if (!m_lineRunsEnabled) {
        paintSpans(spans);
        return;
    }
    // The spans are read once, in step with the lines: each line's runs are cut straight from
    // them, with no colour per character and no cursor.
    auto span = spans.begin();
    ColorValue current = span->color;
    std::vector<ColorSpan> runs;
    const auto addRun = [&runs](int column, int length, ColorValue color) {
        if (length <= 0)
            return;
        if (!runs.empty() && runs.back().color == color && runs.back().start + runs.back().length == column)
            runs.back().length += length;
        else
            runs.push_back({column, length, color});
    };
    // Offsets [from, to) onto the line's columns from `column` on.
    const auto cover = [&](int from, int to, int column) {
        while (from < to) {
            while (span != spans.end() && span->start + span->length <= from) {
                current = span->color;
                ++span;
            }
            const bool covered = span != spans.end() && span->start <= from;
            if (covered)
                current = span->color;
            const int stop = span == spans.end() ? to
                             : covered           ? std::min(to, span->start + span->length)
                                                 : std::min(to, span->start);
            addRun(column, stop - from, current);
            column += stop - from;
            from = stop;
        }
    };
    const std::vector<int>& pieceBreaks = m_pieces.breaks();
    auto pieceBreak = pieceBreaks.begin();
    int offset = 0;   // of the line's first character
    int position = 0; // the same in the document
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const int lineLength = block.length() - 1;
        const int separator = position + lineLength;
        while (pieceBreak != pieceBreaks.end() && *pieceBreak < separator)
            ++pieceBreak;
        const bool endsInBreak =
            block.next().isValid() && (pieceBreak == pieceBreaks.end() || *pieceBreak != separator);
        runs.clear();
        cover(offset, offset + lineLength, 0);
        // A CR LF takes the colour of its LF, the last one painted over it; a piece break or the
        // end of the text that of the character before.
        if (endsInBreak)
            cover(offset + lineLength + 1, offset + lineLength + 2, lineLength);
        else
            addRun(lineLength, 1, current);
        LineColorRuns::setRuns(block, runs);
        offset += lineLength + (endsInBreak ? 2 : 0);
        position += block.length();
    }
    viewport()->update();
}

int RichTextControl::lineFromChar(int offset) const {
    return m_offsets.lineOf(offset);
}

int RichTextControl::lineIndex(int line) const {
    return m_offsets.lineStart(line);
}

int RichTextControl::lineCount() const {
    return m_offsets.lineCount();
}

int RichTextControl::lineLength(int offset) const {
    return m_offsets.lineLength(offset);
}

void RichTextControl::setBackgroundColor(ColorValue color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, colorFromValue(color));
    setPalette(pal);
}

void RichTextControl::printTo(QPrinter* printer, bool selectionOnly) {
    // The printed copy takes the colours from the character formats.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        m_colors.materialize(block);
    if (!selectionOnly || !textCursor().hasSelection()) {
        print(printer);
        return;
    }
    QTextDocument part;
    part.setDefaultFont(font());
    QTextCursor(&part).insertFragment(textCursor().selection());
    part.print(printer);
}

void RichTextControl::resizeEvent(QResizeEvent* event) {
    // The lines never wrap, so a new width changes no line's layout and the document keeps the
    // width the empty document was given. Yet the base class lays the whole document out anew for
    // a new width, making a layout object for every line: hundreds of bytes a line kept for good
    // (25 MiB for a page of 100,000 lines shown once, its text put in before the window was). Only
    // the height is passed on as changed.
    if (lineWrapMode() == NoWrap && event->oldSize().width() != event->size().width()) {
        QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
        QPlainTextEdit::resizeEvent(&sameWidth);
    } else {
        QPlainTextEdit::resizeEvent(event);
    }
    placeGutter();
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
    // Qt's own drags start from the viewport.
    if (event->source() == this || event->source() == viewport()) {
        // Text moved within the document is moved here, so the breaks between pieces of long
        // lines follow exactly and a move of any distance is reported as one change.
        moveSelectionTo(toOffset(dropAt), event->dropAction() == Qt::MoveAction);
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    m_colors.materializeAround(dropAt, dropAt);
    beginEdit();
    const int from = std::min(dropAt, textCursor().selectionStart());
    observeChange(toOffset(dropAt), toOffset(dropAt), false, [&] { QPlainTextEdit::dropEvent(event); });
    afterEdit(from, event->mimeData() && containsBreak(event->mimeData()->text()));
}

void RichTextControl::moveSelectionTo(int offset, bool move) {
    const int start = selStart();
    const int length = selLength();
    if (length == 0 || (offset >= start && offset <= start + length))
        return;
    const QString moved = selText();
    if (!move) {
        replaceAndReport(offset, 0, moved);
        return;
    }
    // Reported as one change of the stretch from the first place to the last, which one Undo
    // takes back whole; the later place is edited first, so the earlier offset stays valid.
    const int from = std::min(start, offset);
    const int to = std::max(start + length, offset);
    TextEdit edit;
    edit.offset = from;
    edit.removed = textRange(from, to - from);
    edit.cursorBefore = start;
    edit.hadSelection = true;
    const auto replace = [this](int at, int count, const QString& text) {
        select(at, count);
        setSelText(text);
    };
    if (offset > start) {
        replace(offset, 0, moved);
        replace(start, length, QString());
    } else {
        replace(start, length, QString());
        replace(offset, 0, moved);
    }
    edit.inserted = textRange(from, to - from);
    emit edited(edit);
    select(offset > start ? offset - length : offset, length);
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

#include "moc_RichTextControl.cpp"
