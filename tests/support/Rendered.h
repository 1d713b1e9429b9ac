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
