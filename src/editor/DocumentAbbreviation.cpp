// Expand Abbreviation and the edit points in the document window.

#include "editor/DocumentHost.h"

#include "editor/DocumentTable.h"
#include "editor/UndoHistory.h"
#include "editor/frmNotepad.h"
#include "markup/Abbreviation.h"
#include "markup/MarkupContext.h"
#include "markup/TagMatch.h"
#include "platform/RichTextControl.h"
#include <QCoreApplication>

namespace {

// The cursor's offset, where the selection's moving end is.
int cursorOffset(const RichTextControl& text) {
    return text.toOffset(text.textCursor().position());
}

// How far before a place a style attribute's opening quote is looked for.
constexpr int kAttributeReach = 4096;

ContextReader readerOf(const RichTextControl& text) {
    return [&text](int start, int length) { return text.textRange(start, length); };
}

MarkupContext contextAt(const RichTextControl& text, int offset, bool openElement) {
    const ContextReader read = readerOf(text);
    return MarkupContextAt(read, offset, openElement,
                           [&read](int start) { return RawElementAt(read, start); });
}

// What kind of abbreviation is written before `cursor`: style declarations in a style sheet, in a
// style element's contents or in a style attribute's value; markup elsewhere.
AbbreviationMode modeAt(const frmNotepad& window, int cursor) {
    const RichTextControl& text = *window.txtRich;
    const QString path = window.host().documents().DocumentSlots[window.slot()].PathCaption;
    if (SourceKindOf(path) == SourceKind::StyleSheet)
        return AbbreviationMode::StyleSheet;
    const MarkupPlace place = contextAt(text, cursor, false).place;
    if (place == MarkupPlace::Content &&
        RawElementAt(readerOf(text), cursor).compare(QLatin1String("style"), Qt::CaseInsensitive) == 0)
        return AbbreviationMode::StyleSheet;
    if (place == MarkupPlace::Value) {
        const int from = qMax(0, cursor - kAttributeReach);
        if (InStyleAttribute(text.textRange(from, cursor - from)))
            return AbbreviationMode::StyleAttribute;
    }
    return AbbreviationMode::Markup;
}

void goToEditPoint(frmNotepad& window, bool forward) {
    RichTextControl& text = *window.txtRich;
    const int place = EditPoint(text.text(), cursorOffset(text), forward);
    if (place < 0)
        return;
    // The cursor leaves the typed run: it is recorded where it was typed.
    window.undoHistory().recordPending();
    text.select(place, 0);
}

} // namespace

void frmNotepad::mnuExpandAbbr_Click() {
    const int cursor = cursorOffset(*txtRich);
    const int lineStart = txtRich->lineIndex(txtRich->lineFromChar(cursor));
    const QString line = txtRich->textRange(lineStart, cursor - lineStart);
    const AbbreviationMode mode = modeAt(*this, cursor);
    const int start = lineStart + AbbreviationStart(line, int(line.size()), mode);
    if (start == cursor) {
        m_host.showStatusMessage(
            QCoreApplication::translate("DocumentAbbreviation", "No abbreviation before the cursor."));
        return;
    }
    AbbreviationContext context;
    context.mode = mode;
    context.indent = m_host.settings().Indent;
    qsizetype blanks = 0;
    while (blanks < line.size() && (line.at(blanks) == u' ' || line.at(blanks) == u'\t'))
        ++blanks;
    context.lineIndent = line.left(blanks);
    if (mode == AbbreviationMode::Markup) {
        const MarkupContext place = contextAt(*txtRich, start, true);
        // Elements written into a tag or a value would break it.
        if (place.place == MarkupPlace::Tag || place.place == MarkupPlace::Value) {
            m_host.showStatusMessage(QCoreApplication::translate(
                "DocumentAbbreviation", "Abbreviations are expanded between tags, not inside one."));
            return;
        }
        context.parent = place.openElement;
    } else {
        context.styles =
            &LoadedStyleAbbreviations(m_host.programFolder() + QStringLiteral("/abbreviations.txt"));
    }

    const Expansion expansion = ExpandAbbreviation(QStringView(line).sliced(start - lineStart), context);
    if (!expansion.ok()) {
        // Nothing changes: the message says why and where.
        m_host.showStatusMessage(expansion.tooLarge
                                     ? expansion.error + QCoreApplication::translate("DocumentAbbreviation",
                                                                                     " Nothing was inserted.")
                                     : expansion.error);
        return;
    }
    txtRich->select(start, cursor - start);
    InsertAtCursor(expansion.text);
    txtRich->select(start + expansion.cursor, 0);
    m_host.showStatusMessage(QString()); // an earlier message no longer applies
}

void frmNotepad::mnuNextEditPoint_Click() {
    goToEditPoint(*this, true);
}

void frmNotepad::mnuPreviousEditPoint_Click() {
    goToEditPoint(*this, false);
}
