#include "platform/RichTextControl.h"

#include "platform/KeyCodes.h"

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
