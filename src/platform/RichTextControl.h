#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>
#include <vector>

class LinePainter;
class QPrinter;

// A colour as the editor stores it: red + 256 * green + 65536 * blue.
using ColorValue = int;

QColor colorFromValue(ColorValue value);
ColorValue valueFromColor(const QColor& color);

// One stretch of text to paint in one colour, in the control's offsets.
struct ColorSpan {
    int start = 0;
    int length = 0;
    ColorValue color = 0;
};

// The document window's text control. It presents the editor's text model on top of
// QPlainTextEdit: every line break reads as CR LF and counts two characters, offsets are
// 0-based, and each character carries one foreground colour. QTextDocument keeps one
// separator per block, so offsets are converted through block numbers (logarithmic per call).
class RichTextControl : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RichTextControl(QWidget* parent = nullptr);

    // Whole text with CR LF breaks; setText accepts any break style and takes the typing colour.
    QString text() const;
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
    // Whole lines painted in one colour keep their colours as runs beside the document (the
    // fast way for large stretches); switched off, every colour is a character format.
    void setLineRunsEnabled(bool enabled) { m_lineRunsEnabled = enabled; }
    // Lines longer than this are shown in pieces of a quarter of it, each laid out on its own:
    // a single layout of a line of megabytes would be redone on every keystroke. The breaks
    // between the pieces belong to the display only. 0 shows every line whole.
    void setLongLineLimit(int limit);
    bool softBreaksConsistent() const;

    int lineFromChar(int offset) const;
    int lineIndex(int line) const;
    int lineCount() const;
    int lineLength(int offset) const;

    int toDocumentPosition(int offset) const;
    int toOffset(int documentPosition) const;

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    void setBackgroundColor(ColorValue color);
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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    struct Place {
        int block = 0;
        int column = 0; // column == line length: the CR; line length + 1: the LF
    };
    Place placeOf(int offset) const;
    int lineStartOffset(int block) const;
    // Paints stretches in order, later ones over earlier ones.
    void paintStretches(const std::vector<ColorSpan>& spans, bool wholeLinesAsRuns);
    // Paints document positions [from, to), starting in `block`: lines that keep their colours as
    // runs get them there; a line covered whole takes one run when `wholeLinesAsRuns`; other
    // lines get character formats.
    void paintDocumentRange(QTextCursor& cursor, LinePainter& painter, QTextBlock block, int from, int to,
                            ColorValue color, bool wholeLinesAsRuns);
    // Turns a line's colour runs back into character formats (before its text is edited).
    void materialize(const QTextBlock& block);
    void materializeAround(int from, int to);
    void materializeForEdit();
    // Hands the colour runs of the lines on screen to their layouts.
    void showLineColors();

    QString m_tag;
    // Breaks between the pieces of long lines: document positions of separators that are not
    // part of the text, ascending.
    int softBreaksBefore(int position) const;
    bool isSoftBreak(int position) const;
    // Reads the piece breaks back from the lines' marks.
    void rebuildSoftBreaks();
    // The same after one edit, from the document's report of it.
    void updateSoftBreaks();
    // Before an edit of the text by the control or its user; afterEdit closes it.
    void beginEdit();
    // After an edit from `from` to the cursor (which inserted line breaks, or not): the marks
    // put right, long lines cut.
    void afterEdit(int from, bool insertedBreaks);
    // The document's text from `documentStart`, its separators turned into CR LF or dropped.
    QString withLineBreaks(const QString& raw, int documentStart) const;
    // Lines (LF-separated) with their long lines cut into pieces; the cuts' positions, counted
    // from `documentStart`, are appended to `breaks`.
    // Where a line longer than the limit is cut into pieces (indices into the line).
    std::vector<qsizetype> pieceCuts(QStringView line) const;
    QString splitForDisplay(const QString& lines, int documentStart, std::vector<int>& breaks) const;
    void splitLongLines(int from, int to);
    void handleKey(QKeyEvent* event);
    void baseKeyPress(QKeyEvent* event);
    void stepOverSoftBreak(QKeyEvent* event);
    void moveSelectionTo(int offset, bool move);
    int cursorPlace(int position) const;
    void normalizeCursor();

    std::vector<int> m_softBreaks;
    struct TextChange {
        int from;
        int removed;
        int added;
    };
    // The text changes reported since the edit began.
    std::vector<TextChange> m_changes;
    int m_trackedEdits = 0;
    int m_longLineLimit = 2000;
    bool m_hasSoftBreaks = false;
    int m_painting = 0;
    bool m_lineRunsEnabled = true;

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
