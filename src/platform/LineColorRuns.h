#pragma once

#include "platform/Colors.h"

#include <QTextBlock>
#include <optional>
#include <vector>

class QTextCursor;
class QTextDocument;

// The colours of lines kept as runs beside the document instead of character formats: splitting
// the document's fragments for every coloured stretch of a large page costs many times more than
// loading its text. The runs reach the screen as the line layouts' formats.
//
// Invariant: a line with runs has them ascending, without gaps, covering its text and its
// separator, and while it has them its character formats do not count. Before Qt edits a line's
// text, its runs become character formats again (materialize), so edits carry colours as usual.
class LineColorRuns {
public:
    // `quiet` is raised around the format changes made here: they are no changes of the text.
    LineColorRuns(QTextDocument& document, int& quiet);
    ~LineColorRuns();
    LineColorRuns(const LineColorRuns&) = delete;
    LineColorRuns& operator=(const LineColorRuns&) = delete;

    // The colour of a column of a line that has runs.
    static std::optional<ColorValue> colorAt(const QTextBlock& block, int column);
    // The runs of a line, replacing its colours; they must cover block.length() columns.
    static void setRuns(QTextBlock block, const std::vector<ColorSpan>& runs);

    // Paints document positions [from, to), starting in `block`: lines that have runs get the
    // colour there; a line covered whole takes one run when `wholeLinesAsRuns`; other lines get
    // character formats through `cursor`. Call flush() after a series of paints.
    void paint(QTextCursor& cursor, QTextBlock block, int from, int to, ColorValue color,
               bool wholeLinesAsRuns);
    void flush();

    // Turns a line's runs into character formats.
    void materialize(const QTextBlock& block);
    // The same for the lines an edit of positions [from, to) changes: those at its ends and their
    // neighbours.
    void materializeAround(int from, int to);
    // Drops the runs of every line (before the whole text is replaced).
    void forgetAll();
    // Hands the runs of these lines to their layouts, where they are not there yet.
    void show(const std::vector<QTextBlock>& lines);

private:
    class LinePainter;

    QTextDocument& m_document;
    int& m_quiet;
    std::unique_ptr<LinePainter> m_painter;
};
