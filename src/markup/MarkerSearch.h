#pragma once

#include <QStringView>

// Where `marker` begins in `text` at or after `from`, or -1. The text is searched for the
// marker's character at `anchor` with the search for one character, which is vectorised, and the
// rest is compared where it is found: QString's search for a marker of two or more characters
// weighs every character it passes. The anchor is best the marker's rarest character in a page.
inline qsizetype IndexOfMarker(QStringView text, QStringView marker, qsizetype from, qsizetype anchor = 0) {
    Q_ASSERT(anchor >= 0 && anchor < marker.size());
    const QChar character = marker[anchor];
    for (qsizetype at = text.indexOf(character, from + anchor); at >= 0;
         at = text.indexOf(character, at + 1)) {
        const qsizetype start = at - anchor;
        if (start + marker.size() <= text.size() && text.sliced(start, marker.size()) == marker)
            return start;
    }
    return -1;
}
