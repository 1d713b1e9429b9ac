#pragma once

#include "platform/RichTextControl.h"

// The control's text with its selection in brackets, or a bar at the cursor: one string that
// shows what a test expects of both.
inline QString render(const RichTextControl& control) {
    const int start = control.selStart();
    const int end = start + control.selLength();
    return start == end ? control.text().insert(start, '|')
                        : control.text().insert(end, ']').insert(start, '[');
}

// The other way: the text a rendered string shows, and the selection its marks show, put in place.
inline QString unmarked(const QString& marked) {
    return QString(marked).remove('[').remove(']').remove('|');
}
inline void selectMarked(RichTextControl& control, const QString& marked) {
    const int start = int(marked.contains('[') ? marked.indexOf('[') : marked.indexOf('|'));
    control.select(start, marked.contains('[') ? int(marked.indexOf(']')) - start - 1 : 0);
}

// Every character's colour, to compare with the same text coloured afresh.
inline QList<ColorValue> colors(const RichTextControl& control) {
    QList<ColorValue> all;
    for (int i = 0; i < control.textLength(); ++i)
        all << control.colorAt(i);
    return all;
}
