#include "markup/Indentation.h"

#include <functional>

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The starts of the touched lines: every line that begins before the selection's end, and the
// first line always (an empty selection at its start touches it).
std::vector<int> touchedLineStarts(QStringView lines, int selectionEnd) {
    std::vector<int> starts{0};
    for (qsizetype at = lines.indexOf(u"\r\n"); at >= 0 && at + 2 < selectionEnd;
         at = lines.indexOf(u"\r\n", at + 2))
        starts.push_back(static_cast<int>(at + 2));
    return starts;
}

// Where `position` lands once the pieces are applied.
int placeAfter(const std::vector<IndentPiece>& pieces, int position) {
    int delta = 0;
    for (const IndentPiece& piece : pieces) {
        if (piece.at > position)
            break;
        if (position == piece.at || position < piece.at + piece.removed)
            return piece.at + delta;
        delta += static_cast<int>(piece.inserted.size()) - piece.removed;
    }
    return position + delta;
}

// Applies `change` (the piece for the line that starts at an offset, if the line changes) to every
// touched line.
LineShift shiftLines(QStringView lines, int selectionStart, int selectionLength,
                     const std::function<IndentPiece(QStringView line, int at)>& change) {
    const int selectionEnd = selectionStart + selectionLength;
    Q_ASSERT(selectionStart >= 0 && selectionLength >= 0 && selectionEnd <= lines.size());
    LineShift shift;
    qsizetype copied = 0;
    for (const int start : touchedLineStarts(lines, selectionEnd)) {
        qsizetype end = lines.indexOf(u"\r\n", start);
        if (end < 0)
            end = lines.size();
        IndentPiece piece = change(lines.sliced(start, end - start), start);
        if (piece.removed == 0 && piece.inserted.isEmpty())
            continue;
        shift.text += lines.sliced(copied, start - copied);
        shift.text += piece.inserted;
        copied = start + piece.removed;
        shift.pieces.push_back(std::move(piece));
    }
    shift.text += lines.sliced(copied);
    shift.selectionStart = placeAfter(shift.pieces, selectionStart);
    shift.selectionLength = placeAfter(shift.pieces, selectionEnd) - shift.selectionStart;
    return shift;
}

} // namespace

QString LeadingBlanks(QStringView line) {
    qsizetype count = 0;
    while (count < line.size() && isBlank(line[count]))
        ++count;
    return line.first(count).toString();
}

LineShift IndentLines(QStringView lines, int selectionStart, int selectionLength, const QString& indent) {
    return shiftLines(lines, selectionStart, selectionLength, [&indent](QStringView, int at) {
        return IndentPiece{at, 0, indent};
    });
}

LineShift OutdentLines(QStringView lines, int selectionStart, int selectionLength, const QString& indent,
                       int tabWidth) {
    Q_ASSERT(tabWidth > 0);
    int width = 0;
    for (const QChar c : indent)
        width += c == QLatin1Char('\t') ? tabWidth : 1;
    return shiftLines(lines, selectionStart, selectionLength, [&](QStringView line, int at) {
        if (!indent.isEmpty() && line.startsWith(indent))
            return IndentPiece{at, static_cast<int>(indent.size()), {}};
        if (line.startsWith(QLatin1Char('\t')))
            return IndentPiece{at, 1, {}};
        int spaces = 0;
        while (spaces < width && spaces < line.size() && line[spaces] == QLatin1Char(' '))
            ++spaces;
        return IndentPiece{at, spaces, {}};
    });
}
