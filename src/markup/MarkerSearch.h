#pragma once

#include "platform/CharacterSearch.h"

#include <QStringView>

// Where `marker` begins in `text` at or after `from`, or -1. The text is searched for the
// marker's character at `anchor`, and the rest is compared where it is found: QString's search
// for a marker of two or more characters weighs every character it passes. The anchor is best the
// marker's rarest character in a page.
inline qsizetype IndexOfMarker(QStringView text, QStringView marker, qsizetype from, qsizetype anchor = 0) {
    Q_ASSERT(anchor >= 0 && anchor < marker.size());
    const char16_t character = marker.utf16()[anchor];
    for (qsizetype at = IndexOfCharacter(text, character, from + anchor); at >= 0;
         at = IndexOfCharacter(text, character, at + 1)) {
        const qsizetype start = at - anchor;
        if (start + marker.size() > text.size())
            continue;
        qsizetype same = 0;
        while (same < marker.size() && text.utf16()[start + same] == marker.utf16()[same])
            ++same;
        if (same == marker.size())
            return start;
    }
    return -1;
}
