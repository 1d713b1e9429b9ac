#pragma once

#include "platform/Colors.h"
#include "platform/LineColorRuns.h"
#include "platform/LongLinePieces.h"
#include "platform/TextOffsets.h"

#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>
#include <functional>
#include <optional>
#include <vector>

class LineNumberGutter;
class QPrinter;

// A change of the text that the control made by itself (a key binding of the editor widget, an
// input method, a paste or a drop), as offsets and texts.
struct TextEdit {
    int offset = 0;
    QString removed;
    QString inserted;
    int cursorBefore = 0; // the selection start before the change
    bool hadSelection = false;
    bool typed = false; // from the keyboard or an input method, rather than pasted or dropped
    // An input method began composing over the selection: what it commits replaces the selection.
    bool composing = false;
    bool known = true; // false: the change reached too far to be told exactly
};

// The document window's text control. It presents the editor's text model on top of
// QPlainTextEdit: every line break reads as CR LF and counts two characters, offsets are
// 0-based, and each character carries one foreground colour. Three parts keep that model: the
// offsets (TextOffsets), the colours of lines kept as runs (LineColorRuns) and the pieces long
// lines are shown in (LongLinePieces); this class ties them to the widget, its keys and its edits.
class RichTextControl : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RichTextControl(QWidget* parent = nullptr);

    // Whole text with CR LF breaks; setText accepts any break style and takes the typing colour.
    QString text() const;
    // The same read in one piece: several times quicker for a large text, but with a second whole
    // copy of it held while it is read.
    QString textAtOnce() const;
    void setText(const QString& text);
    int textLength() const;
    // Characters [start, start + length) of text(), clipped to the text.
    QString textRange(int start, int length) const;
    QChar charAt(int offset) const;

    int selStart() const;
    void setSelStart(int offset);
    int selLength() const;
    void setSelLength(int length);
    void select(int start, int length);
    QString selText() const;
    // Replaces the selection; the text takes the typing colour and the cursor ends after it.
    void setSelText(const QString& text);

    // At a collapsed selection: reads the colour of the character before the cursor and
    // writes the typing colour. Over a selection: reads its first character, paints it all.
    ColorValue selColor() const;
    void setSelColor(ColorValue color);
    ColorValue colorAt(int offset) const;
    // Paints without touching the selection; a batch is applied in one edit block.
    void paint(int start, int length, ColorValue color);
    void paintSpans(const std::vector<ColorSpan>& spans);
    // Colours the whole text from ascending, non-overlapping spans that cover it, as a scan of the
    // whole text gives them; every line keeps its colours as runs. A character no span covers
    // takes the colour of the span before it.
    void setColors(const std::vector<ColorSpan>& spans);
    // Whole lines painted in one colour keep their colours as runs beside the document (the
    // fast way for large stretches); switched off, every colour is a character format.
    void setLineRunsEnabled(bool enabled) { m_lineRunsEnabled = enabled; }
    // Lines longer than this are shown in pieces of a quarter of it, each laid out on its own:
    // a single layout of a line of megabytes would be redone on every keystroke. The breaks
    // between the pieces belong to the display only. 0 shows every line whole.
    void setLongLineLimit(int limit) { m_pieces.setLimit(limit); }
    bool softBreaksConsistent() const { return m_pieces.consistent(); }

    int lineFromChar(int offset) const;
    int lineIndex(int line) const;
    int lineCount() const;
    int lineLength(int offset) const;

    int toDocumentPosition(int offset) const;
    int toOffset(int documentPosition) const;

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    void setBackgroundColor(ColorValue color);
    // The view: tab stops every `characters` widths of a space of the font, the line numbers in a
    // gutter on the left, the cursor's line on a faint background.
    void setTabWidth(int characters);
    void setLineNumbersVisible(bool visible);
    void setCurrentLineHighlighted(bool highlighted);
    // Marks stretches (offset, length) of text() with a background, such as a tag and its
    // partner; an empty list clears them.
    void setMatchHighlights(const std::vector<std::pair<int, int>>& ranges);
    // Wavy underlines (misspelt words) under stretches (offset, length) of text(), drawn over the
    // painted text and no part of the document: its characters, colours, modified state and undo
    // history stay as they are. Each time the text is painted, `source(from, to)` gives those
    // among the offsets [from, to) on screen. An empty function draws none.
    using UnderlineSource = std::function<std::vector<std::pair<int, int>>(int from, int to)>;
    void setUnderlineSource(UnderlineSource source);
    // The offsets [from, to) of the rows of text on screen (the pieces of a long line shown, not all
    // of it), to the end of the last row's line break.
    std::pair<int, int> shownOffsets() const;
    int tabWidth() const { return m_tabWidth; }
    // The gutter's width, 0 while the line numbers are hidden.
    int gutterWidth() const;
    const LineNumberGutter* lineNumberGutter() const { return m_gutter; }
    // The rows of text on screen, top to bottom: where each lies in the viewport, the line of the
    // text it shows (0-based, as lineFromChar counts) and whether it starts that line (a later
    // piece of a long line does not).
    struct ShownRow {
        QRectF rect;
        int line = 0;
        bool startsLine = true;
    };
    std::vector<ShownRow> shownRows() const;
    // The line of the text the cursor is on.
    int cursorLine() const;
    // What of the viewport is marked as the cursor's line (every piece of a long line on
    // screen); empty while the marking is off or the line is off screen.
    QRect currentLineBand() const;
    // Prints the whole text, or only the selected part when selectionOnly is set.
    void printTo(QPrinter* printer, bool selectionOnly);

    // What pasting and dropping insert, and what copying and dragging take: as plain text, with
    // only the text's own line breaks.
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

    // Maps a Qt key to the key codes the editor's handlers use (Tab 9, Enter 13, arrows 37-40...).
    static int keyCodeOf(int qtKey);

signals:
    // A text change (colour changes never raise it).
    void change();
    // Raised before the control acts on a key; a handler sets the code to 0 to swallow it.
    void keyDown(int& keyCode, int shift);
    void keyPress(int& charCode);
    void mouseUp(int button, int shift, int x, int y);
    // Files dropped on the control; the handler opens them.
    void filesDropped(const QStringList& paths);
    // Ctrl with the mouse wheel asks for the text `steps` points larger (smaller when negative);
    // the control leaves its font to its owner, which keeps the zoom in the settings.
    void zoomRequested(int steps);
    // After a change of the text the control made by itself; changes made through setText and
    // setSelText are their callers' own and are not reported.
    void edited(const TextEdit& edit);
    // With every change(): where the document changed, in the document's own positions (as
    // QTextDocument::contentsChange counts them), for those that follow stretches of the text.
    void changedAt(int position, int removed, int added);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Paints stretches in order, later ones over earlier ones.
    void paintStretches(const std::vector<ColorSpan>& spans, bool wholeLinesAsRuns);
    void materializeForEdit();
    // Hands the colour runs of the lines on screen to their layouts.
    void showLineColors();
    // Before an edit of the text by the control or its user; afterEdit closes it.
    void beginEdit();
    // After an edit from `from` to the cursor (which inserted line breaks, or not): the piece
    // marks put right, long lines cut.
    void afterEdit(int from, bool insertedBreaks);
    void cutLongLines(int from, int to);
    void handleKey(QKeyEvent* event);
    void baseKeyPress(QKeyEvent* event);
    void stepOverSoftBreak(QKeyEvent* event);
    void moveSelectionTo(int offset, bool move);
    // Tells the pieces and the listeners of a change of the text, in document positions.
    void reportChange(int from, int removed, int added);
    // The whole document replaced by `text` in `format`, an LF put in at each of `cuts` (document
    // positions, ascending) after it; the cursor returned ends after it all.
    QTextCursor replaceDocument(const QString& text, const QTextCharFormat& format,
                                const std::vector<int>& cuts = {});
    // Replaces [start, start + length) and reports it as edited.
    void replaceAndReport(int start, int length, const QString& text);
    // Runs a change made by Qt's own editing around [from, to) and keeps the text around that
    // stretch as it was; afterEdit reports what changed, once the pieces of long lines are right
    // again and the text reads as it is, found by comparing that text before and after.
    void observeChange(int from, int to, bool typed, const std::function<void()>& change,
                       bool composing = false);
    void reportObserved();
    int cursorPlace(int position) const;
    void normalizeCursor();
    // The view (RichTextView.cpp).
    int lineOfBlock(const QTextBlock& block) const;
    void applyTabStops();
    void updateGutterWidth();
    void placeGutter();
    // After the cursor moved: the marked line and the bold number follow it to another line.
    void cursorMoved();
    void paintCurrentLine(const QRect& area);
    QColor currentLineColor() const;
    QColor matchColor() const;
    void paintUnderlines();

    QString m_tag;
    // Raised while colours are changed: the document then reports changes that are none of the text.
    int m_painting = 0;
    bool m_lineRunsEnabled = true;
    bool m_observing = false;
    // A change observeChange ran, reported by afterEdit: the text [start, end) before it.
    struct Observed {
        TextEdit edit;
        QString before;
        int from = 0, start = 0, end = 0, lengthBefore = 0;
    };
    std::optional<Observed> m_observed;
    bool m_replacingWhole = false; // the document's own reports of it are replaced by one
    LongLinePieces m_pieces;
    TextOffsets m_offsets;
    LineColorRuns m_colors;
    // The view.
    LineNumberGutter* m_gutter = nullptr; // made when the numbers are first shown
    int m_tabWidth = 4;
    bool m_lineNumbers = false;
    bool m_highlightLine = false;
    int m_shownCursorLine = -1; // the line marked and numbered in bold when last painted
    int m_wheelZoom = 0;        // wheel turns towards the next zoom step, in eighths of a degree
    UnderlineSource m_underlines;

    friend class PaintBatch;
};

// Holds back layout updates and change signals while many stretches are painted; the
// document reports all changes made during the batch at once when it ends.
class PaintBatch {
public:
    explicit PaintBatch(RichTextControl& control);
    ~PaintBatch();
    PaintBatch(const PaintBatch&) = delete;
    PaintBatch& operator=(const PaintBatch&) = delete;

private:
    RichTextControl& m_control;
    bool m_updatesWereEnabled;
    QTextCursor m_editBlock;
};
