// Matching tags and brackets in the document window: the pair marked, Go to Matching Tag, Select Element.

#include "editor/DocumentMatch.h"

#include "editor/DocumentHost.h"
#include "editor/DocumentTable.h"
#include "editor/frmNotepad.h"
#include "markup/TagMatch.h"
#include "platform/RichTextControl.h"

#include <QTimer>

namespace {

TextReader readerOf(const RichTextControl& text) {
    return [&text](int start, int length) { return text.textRange(start, length); };
}

SourceKind kindOf(const frmNotepad& window) {
    return SourceKindOf(window.host().documents().DocumentSlots[window.slot()].PathCaption);
}

// The cursor's offset, where the selection's moving end is.
int cursorOffset(const RichTextControl& text) {
    return text.toOffset(text.textCursor().position());
}

using Marks = std::vector<std::pair<int, int>>;

// The marks for the cursor: the tag and its partner, a lone tag without one, a bracket pair; none
// while text is selected.
Marks marksAt(const frmNotepad& window) {
    const RichTextControl& text = *window.txtRich;
    if (text.textCursor().hasSelection())
        return {};
    const MatchResult match =
        MatchAround(readerOf(text), text.textLength(), cursorOffset(text), kindOf(window));
    Marks marks;
    if (match.kind == MatchResult::Tag || (match.kind == MatchResult::Bracket && match.partner.valid()))
        marks.emplace_back(match.own.start, match.own.length);
    if (match.partner.valid())
        marks.emplace_back(match.partner.start, match.partner.length);
    return marks;
}

// The watch's timer, found by name, carries whether the marking is switched off.
const char* const kWatchName = "matchingTags";
const char* const kOffProperty = "matchingTagsOff";

bool isOff(const QTimer& timer) {
    return timer.property(kOffProperty).toBool();
}

} // namespace

void WatchMatchingTags(frmNotepad& window) {
    auto* timer = new QTimer(&window);
    timer->setObjectName(QLatin1String(kWatchName));
    timer->setSingleShot(true);
    timer->setInterval(0);
    auto shown = std::make_shared<Marks>();
    const auto look = [timer] {
        if (!isOff(*timer))
            timer->start();
    };
    QObject::connect(window.txtRich, &QPlainTextEdit::cursorPositionChanged, timer, look);
    // An edit after the cursor leaves it in place but moves the partner.
    QObject::connect(window.txtRich, &RichTextControl::change, timer, look);
    QObject::connect(timer, &QTimer::timeout, &window, [&window, timer, shown] {
        Marks marks = isOff(*timer) ? Marks() : marksAt(window);
        if (marks == *shown)
            return;
        *shown = std::move(marks);
        window.txtRich->setMatchHighlights(*shown);
    });
}

void SetMatchingTagsShown(frmNotepad& window, bool shown) {
    auto* timer = window.findChild<QTimer*>(QLatin1String(kWatchName), Qt::FindDirectChildrenOnly);
    Q_ASSERT(timer);
    if (!timer)
        return;
    timer->setProperty(kOffProperty, !shown);
    timer->start(); // marks the pair at the cursor now, or clears the marks shown
}

void frmNotepad::mnuMatchTag_Click() {
    const MatchResult match =
        MatchAround(readerOf(*txtRich), txtRich->textLength(), cursorOffset(*txtRich), kindOf(*this));
    if (match.partner.valid())
        txtRich->select(match.partner.start, 0);
}

void frmNotepad::mnuSelectElement_Click() {
    if (kindOf(*this) != SourceKind::Markup) // a style sheet or a script has no elements
        return;
    const TextSpan element = EnclosingElement(readerOf(*txtRich), txtRich->textLength(), txtRich->selStart(),
                                              txtRich->selLength());
    if (element.valid())
        txtRich->select(element.start, element.length);
}
