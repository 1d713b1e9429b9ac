// The document window's keys: the editor's own shortcuts, completion, and the typing aids of a
// coloured document.

#include "editor/Colorizer.h"
#include "editor/DocumentHost.h"
#include "editor/TagCompletion.h"
#include "editor/TypingAids.h"
#include "editor/frmNotepad.h"
#include "markup/Indentation.h"
#include "markup/MarkupContext.h"
#include "platform/KeyCodes.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>

#include <vector>

namespace {

// The blanks and tabs that begin the cursor's line, as far as the cursor.
QString indentAtCursor(const RichTextControl& text) {
    const int cursor = text.selStart();
    const int lineStart = text.lineIndex(text.lineFromChar(cursor));
    return LeadingBlanks(text.textRange(lineStart, cursor - lineStart));
}

// Indents or outdents the lines the selection touches, as one step of the history, and keeps them
// selected. The lines change in one edit: edited one by one, every shorter line would make the
// view measure all lines again for the widest. The text between the indentations keeps its
// colours; new indentation takes the colour of where it lands.
void shiftSelectedLines(frmNotepad& window, bool outdent) {
    RichTextControl& text = *window.txtRich;
    const Settings& settings = window.host().settings();
    const int start = text.selStart();
    const int length = text.selLength();
    const int base = text.lineIndex(text.lineFromChar(start));
    const int end = text.lineIndex(text.lineFromChar(start + length)) + text.lineLength(start + length);
    const QString lines = text.textRange(base, end - base);
    const LineShift shift =
        outdent ? OutdentLines(lines, start - base, length, settings.Indent, settings.TabWidth)
                : IndentLines(lines, start - base, length, settings.Indent);
    if (shift.pieces.empty())
        return;
    // The whole lines are replaced (Undo recolours what it puts back, which needs whole tags), the
    // kept text painted in its old colours afterwards.
    const auto to = static_cast<int>(lines.size());
    const ColorRoles roles = window.colorRoles();
    std::vector<ColorSpan> spans;
    const auto addColor = [&spans](int at, int count, ColorValue color) {
        if (!spans.empty() && spans.back().color == color && spans.back().start + spans.back().length == at)
            spans.back().length += count;
        else if (count > 0)
            spans.push_back(ColorSpan{at, count, color});
    };
    int kept = 0; // the next old offset whose colour is read
    int moved = 0;
    for (const IndentPiece& piece : shift.pieces) {
        for (; kept < piece.at; ++kept)
            addColor(base + kept + moved, 1, text.colorAt(base + kept));
        addColor(base + piece.at + moved, static_cast<int>(piece.inserted.size()),
                 window.usesColors() ? TypingColor(text, roles, base + piece.at) : roles.text);
        kept = piece.at + piece.removed;
        moved += static_cast<int>(piece.inserted.size()) - piece.removed;
    }
    for (; kept < to; ++kept)
        addColor(base + kept + moved, 1, text.colorAt(base + kept));
    // Undo gives back the selection as it was, not the lines.
    window.undoHistory().AddUndo(lines, shift.text, base, start, length);
    text.select(base, to);
    text.setSelText(shift.text);
    text.paintSpans(spans);
    text.select(base + shift.selectionStart, shift.selectionLength);
}

// The aids for markup only in a file that holds markup, by its extension; an untitled document is
// taken to be of the default format, the one it is first saved in.
TypingAidOptions typingAidOptions(const frmNotepad& window) {
    const Settings& settings = window.host().settings();
    const QString path = window.host().documents().DocumentSlots[window.slot()].PathCaption;
    TypingAidOptions options;
    options.markup = HoldsMarkup(path.isEmpty() ? QString(settings.DefaultFormat).remove(QLatin1Char('.'))
                                                : QFileInfo(path).suffix());
    options.closeTags = settings.CloseTags;
    return options;
}

} // namespace

void frmNotepad::txtRich_KeyDown(int& keyCode, int shift) {
    // Moving the cursor ends the typed and deleted runs.
    if (KeyCode::movesCursor(keyCode))
        m_history->recordPending();
    const Settings& settings = m_host.settings();
    const bool ctrl = shift == ModifierBit::Ctrl;
    const auto insertTyped = [this](const QString& text) {
        // A selection the key replaces goes with the typed run, so one Undo gives it back.
        if (txtRich->selLength() > 0) {
            m_history->typedOver(txtRich->selStart(), txtRich->selText());
            txtRich->setSelText(QString());
        }
        m_history->typedAt(txtRich->selStart(), text);
        txtRich->setSelText(text);
    };
    switch (keyCode) {
    case KeyCode::Insert: // overwrite mode is never switched on
        break;
    case KeyCode::Tab: {
        const int start = txtRich->selStart();
        const bool manyLines =
            txtRich->lineFromChar(start) != txtRich->lineFromChar(start + txtRich->selLength());
        if (shift == ModifierBit::Shift)
            shiftSelectedLines(*this, true);
        else if (manyLines && shift == 0)
            shiftSelectedLines(*this, false);
        else
            ReplaceSelection(ctrl ? QStringLiteral("\t") : settings.Indent);
        break;
    }
    case KeyCode::Return:
        if (shift == (ModifierBit::Ctrl | ModifierBit::Alt))
            colorInserted(ReplaceSelection(QStringLiteral("<P>")), 3);
        else if (ctrl)
            colorInserted(ReplaceSelection(QStringLiteral("<BR>")), 4);
        else
            insertTyped(QStringLiteral("\r\n") +
                        (settings.AutoIndent ? indentAtCursor(*txtRich) : QString()));
        break;
    default:
        if (const std::optional<QString> entity = KeyEntity(keyCode, shift)) {
            insertTyped(*entity);
            break;
        }
        // Ctrl+Shift+Z redoes as Ctrl+R and Ctrl+Y do.
        const bool redoKey =
            keyCode == KeyCode::letter('Z') && shift == (ModifierBit::Ctrl | ModifierBit::Shift);
        if (!ctrl && !redoKey)
            return;
        switch (keyCode) {
        case KeyCode::Space:
            completeTagName();
            break;
        case KeyCode::letter('G'):
            goTo();
            break;
        case KeyCode::letter('R'):
        case KeyCode::letter('Y'):
            if (mnuRedo->isEnabled())
                mnuRedo_Click();
            break;
        case KeyCode::letter('V'):
            pasteFromKeyboard();
            break;
        case KeyCode::letter('X'):
            if (txtRich->selLength() > 0) {
                // With nothing selected the clipboard keeps what it holds.
                QApplication::clipboard()->setText(txtRich->selText());
                ReplaceSelection(QString());
            }
            break;
        case KeyCode::letter('Z'):
            if (redoKey && mnuRedo->isEnabled())
                mnuRedo_Click();
            else if (!redoKey && mnuUndo->isEnabled())
                mnuUndo_Click();
            break;
        default:
            return;
        }
    }
    keyCode = 0;
}

void frmNotepad::completeTagName() {
    // The attribute list is read when first needed and again only after it has changed on disk; a
    // style sheet or a script has no start tags to complete attributes in.
    const std::optional<CompletionEdit> completion =
        CompleteTagName(*txtRich, m_host.commandWords(),
                        typingAidOptions(*this).markup
                            ? LoadedAttributeTable(m_host.programFolder() + QStringLiteral("/attributes.txt"))
                            : AttributeTable());
    if (!completion)
        return;
    txtRich->select(completion->start, completion->length);
    ReplaceSelection(completion->text);
    txtRich->select(completion->selectStart, completion->selectLength);
}

void frmNotepad::pasteFromKeyboard() {
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    const int start = ReplaceSelection(text);
    colorInserted(start, txtRich->selStart() - start);
}

void frmNotepad::txtRich_KeyPress(int& charCode) {
    // The control reports printable characters only: keys that type nothing never get here.
    Q_ASSERT(charCode >= 32);
    if (!m_host.settings().UseColors)
        return;
    QString replaced;
    if (txtRich->selLength() > 0) {
        // The keystroke's typed run takes the selection out, so one Undo gives it back.
        replaced = txtRich->selText();
        m_history->typedOver(txtRich->selStart(), replaced);
        txtRich->setSelText(QString());
    }
    // A typed character takes the colour of where it lands: inside a tag, a value or a comment.
    txtRich->setSelColor(TypingColor(*txtRich, colorRoles(), txtRich->selStart()));
    if (ApplyTypingAid(*txtRich, *m_history, colorRoles(), QChar(charCode), replaced,
                       typingAidOptions(*this)))
        charCode = 0;
}
