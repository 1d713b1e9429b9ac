#include "editor/SearchState.h"

#include "platform/RichTextControl.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace {

// The stretch the state's search runs over: [base, base + length) of the control's text.
std::pair<int, int> searchedStretch(const RichTextControl& control, const SearchState& state) {
    const int total = control.textLength();
    const int base = std::clamp(state.baseOffset, 0, total);
    const int length =
        state.searchedLength < 0 ? total - base : std::clamp(state.searchedLength, 0, total - base);
    return {base, length};
}

QString stretchText(const RichTextControl& control, int base, int length) {
    return base == 0 && length == control.textLength() ? control.text() : control.textRange(base, length);
}

} // namespace

QString FindInText(RichTextControl& control, SearchState& state) {
    const SearchPattern pattern(state.findText, state.options());
    if (!pattern.isValid()) {
        state.restart = true;
        return pattern.errorMessage();
    }
    // The last match is still selected: the search moves past it.
    int same = control.selStart() == state.lastPosition && control.selLength() == state.lastLength ? 1 : 0;
    if (state.restart) {
        state.lastPosition = state.startPosition;
        same = 0;
        control.setSelStart(state.startPosition);
    }
    const auto [base, length] = searchedStretch(control, state);
    const QString searched = stretchText(control, base, length);
    const int from = std::max(0, state.lastPosition - base + (state.downward ? same : 0));
    const PatternMatch match =
        state.downward ? pattern.findNext(searched, from) : pattern.findPrevious(searched, from);
    if (!match.found()) {
        state.restart = true;
        return QCoreApplication::translate("SearchState", "Unable to find \"%1\"").arg(state.findText);
    }
    control.select(base + static_cast<int>(match.start), static_cast<int>(match.length));
    control.viewport()->update();
    state.lastPosition = control.selStart();
    state.lastLength = static_cast<int>(match.length);
    state.restart = false;
    return QString();
}

PatternMatch SelectedMatch(const RichTextControl& control, const SearchState& state,
                           const SearchPattern& pattern) {
    const int start = control.selStart();
    const int selected = control.selLength();
    if (selected == 0 && (state.restart || start != state.lastPosition || state.lastLength != 0))
        return {};
    auto [base, length] = searchedStretch(control, state);
    if (start < base || start + selected > base + length) {
        base = 0;
        length = control.textLength();
    }
    // Plain text needs only the selection and a character or two around it (whole words, a
    // character outside the basic plane); a pattern may look anywhere.
    if (!pattern.options().regex) {
        const int from = std::max(base, start - 2);
        length = std::min(base + length, start + selected + 2) - from;
        base = from;
    }
    PatternMatch match = pattern.matchAt(stretchText(control, base, length), start - base);
    if (match.length != selected)
        return {};
    match.start += base;
    return match;
}
