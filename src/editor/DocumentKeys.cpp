// The document window's keys: the editor's own shortcuts, completion, and the typing aids of a
// coloured document.

#include "editor/DocumentHost.h"
#include "editor/TagCompletion.h"
#include "editor/TypingAids.h"
#include "editor/frmNotepad.h"
#include "platform/KeyCodes.h"
#include "platform/RichTextControl.h"

#include <QApplication>
#include <QClipboard>

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
    case KeyCode::Tab:
        ReplaceSelection(ctrl ? QStringLiteral("\t") : settings.Indent);
        break;
    case KeyCode::Return:
        if (shift == (ModifierBit::Ctrl | ModifierBit::Alt))
            colorInserted(ReplaceSelection(QStringLiteral("<P>")), 3);
        else if (ctrl)
            colorInserted(ReplaceSelection(QStringLiteral("<BR>")), 4);
        else
            insertTyped(QStringLiteral("\r\n"));
        break;
    default:
        if (const std::optional<QString> entity = KeyEntity(keyCode, shift)) {
            insertTyped(*entity);
            break;
        }
        if (!ctrl)
            return;
        switch (keyCode) {
        case KeyCode::Space:
            completeTagName();
            break;
        case KeyCode::letter('G'):
            goTo();
            break;
        case KeyCode::letter('R'):
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
            if (mnuUndo->isEnabled())
                mnuUndo_Click();
            break;
        default:
            return;
        }
    }
    keyCode = 0;
}

void frmNotepad::completeTagName() {
    const std::optional<CompletionEdit> completion = CompleteTagName(*txtRich, m_host.commandWords());
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
    if (ApplyTypingAid(*txtRich, *m_history, colorRoles(), QChar(charCode), replaced))
        charCode = 0;
}
