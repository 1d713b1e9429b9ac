#include "editor/SearchState.h"

#include "editor/Search.h"
#include "platform/RichTextControl.h"

#include <algorithm>

QString FindInText(RichTextControl& control, SearchState& state) {
    // The last match is still selected: the search moves past it.
    int same = control.selStart() == state.lastPosition && control.selLength() == state.findText.size() &&
                       control.selLength() > 0
                   ? 1
                   : 0;
    if (state.restart) {
        state.lastPosition = state.startPosition;
        same = 0;
        control.setSelStart(state.startPosition);
    }
    const int total = control.textLength();
    const int base = std::clamp(state.baseOffset, 0, total);
    const int length =
        state.searchedLength < 0 ? total - base : std::clamp(state.searchedLength, 0, total - base);
    const QString searched = base == 0 && length == total ? control.text() : control.textRange(base, length);
    const int from = std::max(0, state.lastPosition - base + (state.downward ? same : 0));
    const qsizetype match = FindMatch(searched, state.findText, from, state.downward, state.matchCase);
    if (match < 0) {
        state.restart = true;
        return QStringLiteral("Unable to find \"") + state.findText + QLatin1Char('"');
    }
    control.select(base + static_cast<int>(match), static_cast<int>(state.findText.size()));
    control.viewport()->update();
    state.lastPosition = control.selStart();
    state.restart = false;
    return QString();
}
