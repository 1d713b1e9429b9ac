#include "platform/RichTextControl.h"

#include "platform/KeyCodes.h"
#include "platform/UiHelpers.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

// Whether a key's text holds a control character: such a key types nothing.
bool containsControl(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

} // namespace

int RichTextControl::keyCodeOf(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return KeyCode::LetterA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return KeyCode::Digit0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return KeyCode::F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return KeyCode::Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return KeyCode::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyCode::Return;
    case Qt::Key_Shift:
        return KeyCode::Shift;
    case Qt::Key_Control:
        return KeyCode::Control;
    case Qt::Key_Alt:
        return KeyCode::Alt;
    case Qt::Key_Escape:
        return KeyCode::Escape;
    case Qt::Key_Space:
        return KeyCode::Space;
    case Qt::Key_PageUp:
        return KeyCode::PageUp;
    case Qt::Key_PageDown:
        return KeyCode::PageDown;
    case Qt::Key_End:
        return KeyCode::End;
    case Qt::Key_Home:
        return KeyCode::Home;
    case Qt::Key_Left:
        return KeyCode::Left;
    case Qt::Key_Up:
        return KeyCode::Up;
    case Qt::Key_Right:
        return KeyCode::Right;
    case Qt::Key_Down:
        return KeyCode::Down;
    case Qt::Key_Insert:
        return KeyCode::Insert;
    case Qt::Key_Delete:
        return KeyCode::Delete;
    case Qt::Key_Odiaeresis:
        return KeyCode::Grave;
    case Qt::Key_Aring:
        return KeyCode::BracketRight;
    case Qt::Key_Adiaeresis:
        return KeyCode::Apostrophe;
    case Qt::Key_Less:
    case Qt::Key_Greater:
    case Qt::Key_Bar:
        return KeyCode::LessGreater;
    // Punctuation reports the key that carries it on a US layout (shifted symbols their base
    // key). Its character values would otherwise read as cursor and editing keys: "." as
    // Delete (46), "-" as Insert (45), "'" as Right (39), "{" as F12 (123).
    case Qt::Key_ParenRight:
        return KeyCode::Digit0;
    case Qt::Key_Exclam:
        return KeyCode::Digit0 + 1;
    case Qt::Key_At:
        return KeyCode::Digit0 + 2;
    case Qt::Key_NumberSign:
        return KeyCode::Digit0 + 3;
    case Qt::Key_Dollar:
        return KeyCode::Digit0 + 4;
    case Qt::Key_Percent:
        return KeyCode::Digit0 + 5;
    case Qt::Key_AsciiCircum:
        return KeyCode::Digit0 + 6;
    case Qt::Key_Ampersand:
        return KeyCode::Digit0 + 7;
    case Qt::Key_Asterisk:
        return KeyCode::Digit0 + 8;
    case Qt::Key_ParenLeft:
        return KeyCode::Digit0 + 9;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return KeyCode::Semicolon;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return KeyCode::Equal;
    case Qt::Key_Comma:
        return KeyCode::Comma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return KeyCode::Minus;
    case Qt::Key_Period:
        return KeyCode::Period;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return KeyCode::Slash;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return KeyCode::Grave;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return KeyCode::BracketLeft;
    case Qt::Key_Backslash:
        return KeyCode::Backslash;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return KeyCode::BracketRight;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return KeyCode::Apostrophe;
    default:
        return qtKey < 128 ? qtKey : 0;
    }
}

void RichTextControl::keyPressEvent(QKeyEvent* event) {
    beginEdit();
    const int from = textCursor().selectionStart();
    handleKey(event);
    afterEdit(from, event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
    normalizeCursor();
}

void RichTextControl::stepOverSoftBreak(QKeyEvent* event) {
    if (m_pieces.empty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return;
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        return;
    // Backspace and Delete next to a break between pieces act on the character beyond it.
    int position = cursor.position();
    if (event->key() == Qt::Key_Backspace) {
        while (position > 0 && m_pieces.isBreak(position - 1))
            --position;
    } else if (event->key() == Qt::Key_Delete) {
        while (m_pieces.isBreak(position))
            ++position;
    }
    if (position != cursor.position()) {
        cursor.setPosition(position);
        setTextCursor(cursor);
        // Empty pieces may lie between: the line the key edits is the one reached here.
        materializeForEdit();
    }
}

int RichTextControl::cursorPlace(int position) const {
    // At a break between pieces of a long line the cursor stays at the end of the earlier piece,
    // where it would be in the whole line: typing there takes the colour of the character before.
    while (position > 0 && m_pieces.isBreak(position - 1))
        --position;
    return position;
}

void RichTextControl::normalizeCursor() {
    if (m_pieces.empty())
        return;
    QTextCursor cursor = textCursor();
    const int anchor = cursorPlace(cursor.anchor());
    const int position = cursorPlace(cursor.position());
    if (anchor == cursor.anchor() && position == cursor.position())
        return;
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichTextControl::baseKeyPress(QKeyEvent* event) {
    stepOverSoftBreak(event);
    const bool hadSelection = textCursor().hasSelection();
    const int before = toOffset(textCursor().position());
    observeChange(selStart(), selStart() + selLength(), true, [&] { QPlainTextEdit::keyPressEvent(event); });
    // Left and Right pass over a break between pieces in one step, as over any character.
    const bool sideways = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    if (sideways && !hadSelection && !m_pieces.empty()) {
        // Empty pieces give several places with the same offset; step until the offset moves.
        for (int position = -1;
             toOffset(textCursor().position()) == before && textCursor().position() != position;) {
            position = textCursor().position();
            QPlainTextEdit::keyPressEvent(event);
        }
    }
}

void RichTextControl::handleKey(QKeyEvent* event) {
    const int shift = modifierBits(event->modifiers());
    int keyCode = keyCodeOf(event->key());
    if (keyCode != 0) {
        emit keyDown(keyCode, shift);
        if (keyCode == 0) {
            event->accept();
            return;
        }
    }
    // The window system gives keys that type nothing a control character as their text: Delete
    // "\x7f", Escape "\x1b", Backspace "\b", Return "\r", Ctrl+letters 1 to 26. None of them is a
    // typed character: a handler of typed characters would take Delete for one that replaces the
    // selection, before the key itself deletes once more.
    const QString typed = event->text();
    if (containsControl(typed)) {
        // Only the Tab key types its tab; Ctrl+I gives the same text and types nothing.
        if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
            baseKeyPress(event);
            return;
        }
        QKeyEvent textless(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                           event->nativeVirtualKey(), event->nativeModifiers(), QString(),
                           event->isAutoRepeat(), event->count());
        baseKeyPress(&textless);
        event->setAccepted(textless.isAccepted());
        return;
    }
    if (typed.size() == 1) {
        int charCode = typed.at(0).unicode();
        const int original = charCode;
        emit keyPress(charCode);
        if (charCode == 0) {
            event->accept();
            return;
        }
        if (charCode != original) {
            QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(QChar(charCode)));
            baseKeyPress(&replaced);
            return;
        }
    }
    baseKeyPress(event);
}
