#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// The blanks and tabs that begin `line`: what Return carries over to the line it opens. Given the
// line's text before the cursor, a cursor inside that indentation carries only what lies before it.
QString LeadingBlanks(QStringView line);

// One line's indentation changed: at offset `at`, `removed` characters taken out and `inserted`
// put in their place.
struct IndentPiece {
    int at = 0;
    int removed = 0;
    QString inserted;
};

// The lines a selection touches, indented or outdented. The lines' text runs from the start of the
// line where the selection starts to the end of the line where it ends, with CR LF breaks; offsets
// are offsets of it. A last line that the selection reaches only at its start is not touched.
struct LineShift {
    std::vector<IndentPiece> pieces; // the lines that change, in order; offsets before the change
    QString text;                    // the lines afterwards
    // The selection afterwards, on the same text: a place inside removed indentation goes to the
    // line's start, and one at a line's start stays there (the new indentation is selected too).
    int selectionStart = 0;
    int selectionLength = 0;
};

// Puts `indent` before every touched line.
LineShift IndentLines(QStringView lines, int selectionStart, int selectionLength, const QString& indent);
// Takes one step of indentation from every touched line: the `indent` text where the line begins
// with it, else a tab, else up to `indent`'s width in spaces (a tab in it `tabWidth` columns wide).
// A line with none of these stays as it is.
LineShift OutdentLines(QStringView lines, int selectionStart, int selectionLength, const QString& indent,
                       int tabWidth);
