#include "editor/Colorizer.h"

#include "markup/MarkerSearch.h"
#include "platform/Log.h"

#include <QLatin1String>
#include <algorithm>
#include <limits>
#include <utility>

namespace {

// First occurrence of a fixed marker at or after a position. The scan asks for the same markers
// pass after pass with rising positions; remembering the last answer keeps the whole scan
// linear, where a fresh search each pass would rescan to the end of the text whenever the
// marker no longer occurs.
class ForwardSearch {
public:
    // The marker is searched for by its character at `anchor`, best its rarest in a page: the "!"
    // of "<!-" and the "-" of "->" stand far less often than angle brackets.
    ForwardSearch(const QString& text, QStringView marker, qsizetype anchor = 0)
        : m_text(text), m_marker(marker), m_anchor(anchor) {}

    qsizetype at(qsizetype from) {
        const bool answerStillValid =
            m_searchedFrom >= 0 && from >= m_searchedFrom && (m_found < 0 || m_found >= from);
        if (!answerStillValid) {
            m_searchedFrom = from;
            m_found = IndexOfMarker(m_text, m_marker, from, m_anchor);
        }
        return m_found;
    }

private:
    const QString& m_text;
    QStringView m_marker;
    qsizetype m_anchor; // the place in the marker of the character searched for
    qsizetype m_searchedFrom = -1;
    qsizetype m_found = -1;
};

// Paints stretches one over the other, later paints winning, and keeps the result as an
// ascending list of non-overlapping spans. The scan paints almost always at or near the end
// of what it has painted so far, so each paint touches only the last few spans.
class SpanLayers {
public:
    void paint(int start, int end, ColorValue color) {
        if (end <= start)
            return;
        // Nearly every paint lies over the last span alone, or after it.
        if (!m_spans.empty() && m_spans.back().start <= start) {
            const ColorSpan last = m_spans.back();
            if (endOf(last) > start) {
                m_spans.pop_back();
                if (last.start < start)
                    append({last.start, start - last.start, last.color});
            }
            append({start, end - start, color});
            if (endOf(last) > end)
                append({end, endOf(last) - end, last.color});
            return;
        }
        std::size_t first = m_spans.size();
        while (first > 0 && endOf(m_spans[first - 1]) > start)
            --first;
        m_after.clear();
        bool hasHead = false;
        ColorSpan head;
        for (std::size_t i = first; i < m_spans.size(); ++i) {
            const ColorSpan& old = m_spans[i];
            if (old.start < start) {
                head = {old.start, start - old.start, old.color};
                hasHead = true;
            }
            if (endOf(old) > end) {
                const int from = std::max(old.start, end);
                m_after.push_back({from, endOf(old) - from, old.color});
            }
        }
        m_spans.resize(first);
        if (hasHead)
            append(head);
        append({start, end - start, color});
        for (const ColorSpan& rest : m_after)
            append(rest);
    }

    // Room for `count` spans at once: growing a list of hundreds of thousands step by step copies
    // it each time into fresh memory, and room not written to takes none.
    void reserve(std::size_t count) { m_spans.reserve(count); }
    std::vector<ColorSpan> take() { return std::move(m_spans); }

private:
    static int endOf(const ColorSpan& span) { return span.start + span.length; }

    // Joins a span to the previous one when they touch and share a colour, so that painting
    // fewer, longer stretches gives the same result.
    void append(const ColorSpan& span) {
        if (!m_spans.empty() && m_spans.back().color == span.color && endOf(m_spans.back()) == span.start)
            m_spans.back().length += span.length;
        else
            m_spans.push_back(span);
    }

    std::vector<ColorSpan> m_spans;
    std::vector<ColorSpan> m_after;
};

bool readModified(const DocumentStateHooks& hooks) {
    return hooks.isModified ? hooks.isModified() : false;
}

// Colouring changes no text; if the document had no unsaved changes before, it has none after.
void restoreIfWasClean(bool wasModified, const DocumentStateHooks& hooks) {
    if (!wasModified && hooks.restoreCleanState)
        hooks.restoreCleanState();
}

// Colours read this close to a stretch: before the first character and of the character after
// the last. The cursor cannot go past the end of the text, so there the colour read is that of
// the text's last character.
ColorValue colorBeforeCursor(const RichTextControl& control, int cursor) {
    const int clamped = std::clamp(cursor, 0, control.textLength());
    return control.colorAt(clamped - 1);
}

// A short stretch that already carries the colour is left alone: painting it again would change
// nothing but would make the control lay out its line once more.
constexpr int kLongestStretchWorthChecking = 32;

bool alreadyColored(const RichTextControl& control, int start, int length, ColorValue color) {
    if (length > kLongestStretchWorthChecking)
        return false;
    for (int offset = start; offset < start + length; ++offset) {
        if (control.colorAt(offset) != color)
            return false;
    }
    return true;
}

// A tag with quoted values reads as tag, value, tag...; painting the tag whole and then its
// values over it gives the same colours with one paint fewer per value. Rewrites the spans in
// place into painting order (never more of them) and sizes the list to fit.
void layerValuesOverTags(std::vector<ColorSpan>& spans, const ColorRoles& roles) {
    const auto inTag = [&roles](const ColorSpan& span) {
        return span.color == roles.tag || span.color == roles.value;
    };
    std::vector<ColorSpan> values;
    std::size_t write = 0;
    std::size_t first = 0;
    while (first < spans.size()) {
        std::size_t last = first;
        bool hasTag = spans[first].color == roles.tag;
        if (inTag(spans[first])) {
            while (last + 1 < spans.size() && inTag(spans[last + 1]) &&
                   spans[last + 1].start == spans[last].start + spans[last].length) {
                ++last;
                hasTag = hasTag || spans[last].color == roles.tag;
            }
        }
        if (last > first && hasTag) {
            // The run's values are set aside first: the whole tag may land where one of them was.
            values.clear();
            for (std::size_t i = first; i <= last; ++i) {
                if (spans[i].color != roles.tag)
                    values.push_back(spans[i]);
            }
            const int start = spans[first].start;
            const int end = spans[last].start + spans[last].length;
            spans[write++] = {start, end - start, roles.tag};
            for (const ColorSpan& value : values)
                spans[write++] = value;
        } else {
            for (std::size_t i = first; i <= last; ++i)
                spans[write++] = spans[i];
        }
        first = last + 1;
    }
    spans.resize(write);
    spans.shrink_to_fit();
}

} // namespace

std::vector<ColorSpan> ComputeColorSpans(const QString& scanned, int base, int length,
                                         const ColorRoles& roles) {
    if (!scanned.contains(u'<') || !scanned.contains(u'>'))
        return {};

    const qsizetype size = scanned.size();
    SpanLayers layers;
    // A page has a span for some eleven characters (tags, their values and the text between):
    // room for one in eight seldom needs to grow.
    layers.reserve(std::size_t(size / 8) + 16);
    const auto paint = [&](qsizetype from, qsizetype to, ColorValue color) {
        layers.paint(base + static_cast<int>(from), base + static_cast<int>(to), color);
    };
    paint(0, std::min<qsizetype>(std::max(0, length), size), roles.text);

    ForwardSearch commentOpen(scanned, u"<!-", 1);
    ForwardSearch commentClose(scanned, u"->");
    ForwardSearch tagClose(scanned, u">");
    ForwardSearch percentClose(scanned, u"%>");
    ForwardSearch questionClose(scanned, u"?>");
    ForwardSearch quoteSearch(scanned, u"\"");

    // The quoted values of the last tag painted are painted just before the next paint, and only
    // as far as they can still be seen: when that paint is another tag that starts inside this one
    // (a "<" before its ">"), it covers the rest of this tag up to the same ">". So a run of "<"
    // before a distant ">" reads each character once instead of once for every "<" before it, and
    // every paint still comes in the order the rules give.
    qsizetype pendingOpen = -1;
    qsizetype pendingEnd = -1;
    const auto paintValues = [&](qsizetype limit) {
        if (pendingOpen < 0)
            return;
        const qsizetype stop = std::min(limit, pendingEnd + 1);
        const QStringView tag = QStringView(scanned).first(stop);
        qsizetype valueStart = -1;
        for (qsizetype i = IndexOfCharacter(tag, u'"', pendingOpen); i >= 0;
             i = IndexOfCharacter(tag, u'"', i + 1)) {
            if (valueStart < 0) {
                valueStart = i;
            } else {
                paint(valueStart, i + 1, roles.value);
                valueStart = -1;
            }
        }
        // A value still open where the next tag begins is one when its closing quote comes
        // before this tag's ">"; from there on the next tag paints.
        if (valueStart >= 0 && stop <= pendingEnd) {
            const qsizetype closing = quoteSearch.at(stop);
            if (closing >= 0 && closing <= pendingEnd)
                paint(valueStart, stop, roles.value);
        }
        pendingOpen = -1;
    };
    constexpr qsizetype kAll = std::numeric_limits<qsizetype>::max();

    qsizetype scanFrom = 0;
    for (;;) {
        qsizetype open = IndexOfCharacter(scanned, u'<', scanFrom);
        if (open < 0)
            break;

        // A run of comments. The first one counts only when the first "->" from here lies after
        // its "<": an arrow written earlier in plain text makes it a tag instead.
        qsizetype comment = commentOpen.at(scanFrom);
        qsizetype commentEnd = commentClose.at(scanFrom);
        if (comment >= 0 && commentEnd >= 0 && comment <= open && open < commentEnd) {
            paintValues(kAll);
            paint(open, commentEnd + 2, roles.comment);
            qsizetype runFrom = commentEnd + 2;
            for (;;) {
                comment = commentOpen.at(runFrom);
                open = IndexOfCharacter(scanned, u'<', runFrom);
                if (comment < 0 || comment > open)
                    break;
                commentEnd = commentClose.at(comment);
                if (commentEnd < 0) {
                    // An unterminated comment is coloured as a tag below.
                    open = comment;
                    break;
                }
                paint(comment, commentEnd + 2, roles.comment);
                runFrom = commentEnd;
            }
        }
        if (open < 0)
            break;

        const QChar second = open + 1 < size ? scanned.at(open + 1) : QChar();
        if (second == QLatin1Char('%') || second == QLatin1Char('?')) {
            ForwardSearch& close = second == QLatin1Char('%') ? percentClose : questionClose;
            const qsizetype blockEnd = close.at(open + 1);
            if (blockEnd >= 0) {
                paintValues(kAll);
                paint(open, blockEnd + 2, roles.comment);
                open = blockEnd;
            }
        } else if (second != QLatin1Char(' ')) {
            const qsizetype tagEnd = tagClose.at(open);
            if (tagEnd < 0)
                break;
            paintValues(open);
            paint(open, tagEnd + 1, roles.tag);
            pendingOpen = open;
            pendingEnd = tagEnd;
        }
        // After a tag the scan goes on just after its "<", so a "<" inside a tag opens another.
        scanFrom = open + 1;
    }
    paintValues(kAll);
    return layers.take();
}

namespace {

// ColorizeRange, telling whether it painted anything.
// `wholeText`, when given, is the control's whole text; it is scanned and let go.
bool colorizeStretch(RichTextControl& control, const ColorRoles& roles, int start, int length,
                     const DocumentStateHooks& hooks, QString* wholeText = nullptr) {
    const bool wasModified = readModified(hooks);
    const int cursor = control.selStart();
    const int total = control.textLength();
    const int base = std::max(start, 1) - 1;
    const int stretch = std::clamp(length == 0 ? total : length, 0, std::max(0, total - base));
    bool painted = false;
    {
        const PaintBatch batch(control);
        // The scanned copy of the text is let go before painting, which is when memory peaks.
        // Reading the whole text in one piece is the cheaper way when the stretch is all of it.
        const bool whole = base == 0 && stretch >= total;
        Q_ASSERT(!wholeText || (whole && wholeText->size() == total));
        std::vector<ColorSpan> spans = ComputeColorSpans(wholeText ? std::exchange(*wholeText, QString())
                                                         : whole   ? control.text()
                                                                   : control.textRange(base, stretch + 1),
                                                         base, stretch, roles);
        if (!spans.empty() && whole) {
            // The scan covers the whole text: its spans become the lines' colours as they are.
            control.setColors(spans);
            painted = true;
        } else if (!spans.empty()) {
            // One stroke of text colour over the stretch, then only the other colours: fewer,
            // cheaper paints than one per text span, with the same result.
            control.paint(base, stretch, roles.text);
            // The character after the stretch is not covered by that stroke.
            const int stretchEnd = base + stretch;
            spans.erase(std::remove_if(spans.begin(), spans.end(),
                                       [&](const ColorSpan& span) {
                                           return span.color == roles.text &&
                                                  span.start + span.length <= stretchEnd;
                                       }),
                        spans.end());
            // Painting makes the document grow; the spans give back what they no longer need first.
            layerValuesOverTags(spans, roles);
            control.paintSpans(spans);
            painted = true;
        }
    }
    // Without "<" and ">" in the scanned text nothing is touched, not even the cursor.
    if (!painted)
        return false;
    control.setSelStart(cursor);
    control.setSelColor(roles.text);
    restoreIfWasClean(wasModified, hooks);
    return true;
}

} // namespace

void ColorizeRange(RichTextControl& control, const ColorRoles& roles, int start, int length,
                   const DocumentStateHooks& hooks) {
    colorizeStretch(control, roles, start, length, hooks);
}

void ColorizeWholeText(RichTextControl& control, const ColorRoles& roles, QString text,
                       const DocumentStateHooks& hooks) {
    // A text of another length is not the control's: the control's own is read then.
    const bool same = text.size() == control.textLength();
    if (!same) {
        qCWarning(lcQuillora) << "colouring: the text given is not the document's; it is read again";
        text = QString();
    }
    colorizeStretch(control, roles, 0, 0, hooks, same ? &text : nullptr);
}

namespace {

// How RecolorChange treats a stretch: paint it in one colour, or colour it afresh.
struct RecolorPlan {
    bool rescan = false;
    ColorValue fill = 0;
};

// What the rules ask of a stretch's text: its first and last characters other than blanks
// (spaces, tabs and line breaks; null when there are none) and whether it holds "<" or ">". Read a
// piece at a time, so a stretch of megabytes (Replace All over a large page) is never copied whole.
struct StretchShape {
    QChar first, last;
    bool hasAngle = false;
};

StretchShape shapeOf(const RichTextControl& control, int start, int length) {
    constexpr int kPiece = 64 * 1024;
    const auto isBlank = [](QChar ch) {
        return ch == QLatin1Char(' ') || ch == QLatin1Char('\t') || ch == QLatin1Char('\n') ||
               ch == QLatin1Char('\r');
    };
    const int end = std::clamp(start + std::max(0, length), 0, control.textLength());
    start = std::clamp(start, 0, end);
    StretchShape shape;
    bool firstFound = false;
    for (int at = start; at < end && !(firstFound && shape.hasAngle); at += kPiece) {
        const QString piece = control.textRange(at, std::min(kPiece, end - at));
        shape.hasAngle =
            shape.hasAngle || piece.contains(QLatin1Char('<')) || piece.contains(QLatin1Char('>'));
        for (qsizetype i = 0; i < piece.size() && !firstFound; ++i) {
            firstFound = !isBlank(piece[i]);
            shape.first = firstFound ? piece[i] : QChar();
        }
    }
    bool lastFound = !firstFound; // an all-blank stretch has no last character either
    for (int to = end; to > start && !lastFound; to -= kPiece) {
        const int from = std::max(start, to - kPiece);
        const QString piece = control.textRange(from, to - from);
        for (qsizetype i = piece.size() - 1; i >= 0 && !lastFound; --i) {
            lastFound = !isBlank(piece[i]);
            shape.last = lastFound ? piece[i] : QChar();
        }
    }
    return shape;
}

// Decides from the stretch's text and the colours of its neighbours; the first matching rule wins.
RecolorPlan planRecolor(const RichTextControl& control, const ColorRoles& roles, int start, int length) {
    const int end = start + length;
    const StretchShape shape = control.selLength() > 0
                                   ? shapeOf(control, control.selStart(), control.selLength())
                                   : shapeOf(control, start, length);
    if (shape.first == QLatin1Char('<') && shape.last == QLatin1Char('>'))
        return {true, roles.text};
    const bool hasAngle = shape.hasAngle;

    ColorValue before = start == 0 ? roles.text : colorBeforeCursor(control, start);
    ColorValue after = colorBeforeCursor(control, end + 1);
    const QChar charBefore = control.charAt(start - 1);
    const QChar charAfter = control.charAt(end);
    if (start > 0) {
        if (before != after && charBefore == QLatin1Char('>'))
            before = roles.text;
        if (charBefore == QLatin1Char('"') && control.charAt(end - 2) == QLatin1Char('"') &&
            before == roles.tag && after == roles.tag) {
            before = roles.value;
            after = roles.value;
        }
    }
    if (before != after && charAfter == QLatin1Char('<'))
        after = roles.text;
    if (start > 2 && control.textRange(start - 3, 2) == QLatin1String("->"))
        before = roles.text;
    if (control.textRange(end, 3) == QLatin1String("<!-"))
        after = roles.text;

    if (before == roles.comment && after == roles.comment)
        return {false, roles.comment};
    if (before == roles.value && after == roles.value)
        return {false, roles.value};
    if (!hasAngle && before == roles.text && after == roles.text)
        return {false, roles.text};
    if (before == roles.tag && after == roles.tag) {
        const bool betweenTags = charBefore == QLatin1Char('>') && charAfter == QLatin1Char('<') && !hasAngle;
        return {false, betweenTags ? roles.text : roles.tag};
    }
    if ((before == roles.tag && after == roles.value) || (before == roles.value && after == roles.tag))
        return {false, roles.tag};
    return {true, roles.text};
}

} // namespace

void RecolorChange(RichTextControl& control, const ColorRoles& roles, int start, int length,
                   const DocumentStateHooks& hooks) {
    const int total = control.textLength();
    start = std::clamp(start, 0, total);
    length = std::min(length, total - start);
    if (length < 1)
        return;
    const bool wasModified = readModified(hooks);

    RecolorPlan plan;
    bool painted = false;
    {
        const PaintBatch batch(control);
        plan = planRecolor(control, roles, start, length);
        if (!plan.rescan && !alreadyColored(control, start, length, plan.fill)) {
            control.paint(start, length, plan.fill);
            painted = true;
        }
    }
    if (plan.rescan) {
        // The start is 1-based here; at the first two offsets the stretch is coloured from the
        // beginning of the text.
        painted = colorizeStretch(control, roles, start >= 2 ? start + 1 : 0, length, hooks);
    }
    // When nothing was painted, a cursor already collapsed at the end of the stretch stays as it
    // is: placing it again changes nothing but makes the control measure the cursor's line.
    const bool cursorInPlace = control.selStart() == start + length && control.selLength() == 0;
    if (painted || !cursorInPlace)
        control.setSelStart(start + length);
    restoreIfWasClean(wasModified, hooks);
}

void ClearColors(RichTextControl& control, const ColorRoles& roles, int start, int length,
                 const DocumentStateHooks& hooks) {
    const bool wasModified = readModified(hooks);
    const int from = std::max(0, start);
    const int stretch = length == 0 ? control.textLength() : length;
    const int cursor = control.selStart();
    {
        const PaintBatch batch(control);
        control.paint(from, stretch, roles.text);
    }
    control.setSelStart(cursor);
    restoreIfWasClean(wasModified, hooks);
}

ColorValue TypingColor(const RichTextControl& control, const ColorRoles& roles, int cursorOffset) {
    const int total = control.textLength();
    const int at = std::clamp(cursorOffset, 0, total);
    const ColorValue before = at > 0 ? control.colorAt(at - 1) : roles.text;
    const ColorValue after = at < total ? control.colorAt(at) : roles.text;
    const bool besideComment = before == roles.comment || after == roles.comment;

    // Each rule that holds overrides the ones before it.
    ColorValue color = roles.text;
    if (before == roles.comment && after == roles.comment)
        color = roles.comment;
    if (before == roles.value && after == roles.value)
        color = roles.value;
    if (before == roles.tag && (after == roles.tag || after == roles.value))
        color = roles.tag;
    if (before == roles.value && after == roles.tag)
        color = roles.tag;
    if (at > 0 && control.charAt(at - 1) == QLatin1Char('>') && !besideComment)
        color = roles.text;
    if (control.charAt(at) == QLatin1Char('<') && !besideComment)
        color = roles.text;
    return color;
}

void ColorizeDocument(RichTextControl& control, const ColorRoles& roles, const DocumentStateHooks& hooks) {
    if (control.selLength() >= 3)
        RecolorChange(control, roles, control.selStart(), control.selLength(), hooks);
    else
        ColorizeRange(control, roles, 0, control.textLength(), hooks);
}
