#pragma once

#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <vector>

class QTextDocument;

// The pieces long lines are shown in. Qt lays out a line as one unit, and a line of megabytes (a
// minified page) would be laid out again on every keystroke; so a line longer than the limit is
// cut into pieces of a quarter of it, each a block of its own.
//
// Invariant: breaks() lists, ascending, the document positions of the separators that end a piece
// rather than a line. Each is the separator of a block marked as a piece's end, never of the last
// block, and every marked block but the last is listed. These separators belong to the display
// only: the text, its offsets and line numbers, the clipboard and the file never see them.
class LongLinePieces {
public:
    explicit LongLinePieces(QTextDocument& document) : m_document(document) {}

    // 0 shows every line whole.
    void setLimit(int limit) { m_limit = std::max(0, limit); }
    const std::vector<int>& breaks() const { return m_breaks; }
    bool empty() const { return m_breaks.empty(); }
    int breaksBefore(int position) const;
    bool isBreak(int position) const;
    bool consistent() const;

    // Text about to replace the whole document (CR LF, CR or LF breaks) has its long lines cut:
    // the document positions, ascending, where an LF is put into the document after the text.
    // Each counts the cuts before it. None when no line is long.
    std::vector<int> cutsForDisplay(QStringView text) const;
    // After the whole document was replaced and cut there: marks the lines ending in a cut.
    void markWholeText(const std::vector<int>& cuts);

    // The document reports every change; changes inside an edit of the control's own are kept
    // until afterEdit, any other change makes the breaks be read again from the marks.
    void beginEdit();
    void documentChanged(int from, int removed, int added);
    // After an edit from document position `from` to `at` that inserted line breaks, or not.
    void afterEdit(int from, int at, bool insertedBreaks);

    // The long lines among the lines from document position `from` to `to`, in order.
    std::vector<QTextBlock> longLinesBetween(int from, int to) const;
    // Cuts those lines into pieces. Their colours must be character formats already.
    void cut(const std::vector<QTextBlock>& lines);

    // A change of the document: [from, from + removed) of the text before it became
    // [from, from + added).
    struct TextChange {
        int from;
        int removed;
        int added;
    };
    // Changes made one after another (each in the document the ones before it left) as one change
    // that covers them all: outside it the text is as it was.
    static TextChange merged(const std::vector<TextChange>& changes);

private:
    // Where a line longer than the limit is cut (indices into the line).
    std::vector<qsizetype> cutsOf(QStringView line) const;
    // Reads the breaks back from the lines' marks.
    void rebuild();
    // The same after one tracked edit, from the document's reports of it.
    void update();

    QTextDocument& m_document;
    std::vector<int> m_breaks;
    std::vector<TextChange> m_changes;
    int m_trackedEdits = 0;
    bool m_changesLost = false; // an inner edit began after the outer one had changed the text
    int m_limit = 2000;
};
