#pragma once

#include <QKeySequence>
#include <QTest>

// Keys as the X window system delivers them: each key event carries the text the keyboard gives
// it. Delete arrives with "\x7f", Backspace "\b", Return "\r", Escape "\x1b", Tab "\t", Ctrl with a
// letter the codes 1 to 26; a US keyboard's Shift gives the upper case and the shifted symbols. A
// key sent without its text hides faults that every user meets.

// Shows a window and waits until it is active, so that keys reach it as a person's would.
inline bool shownActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The text X gives `key` with `modifiers` on a US layout.
inline QString WindowSystemText(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(key - Qt::Key_A + 1));
    switch (key) {
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Tab: // Shift+Tab comes as Backtab, with no text
        return QStringLiteral("\t");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Delete:
        return QStringLiteral("\x7f");
    default:
        break;
    }
    if (ctrl && key == Qt::Key_Space)
        return QString(); // NUL, which Qt drops
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(shift ? key : key - Qt::Key_A + 'a'));
    static const QString unshifted = QStringLiteral("`1234567890-=[]\\;',./");
    static const QString shifted = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?");
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) {
        const QChar c(key);
        const qsizetype base = unshifted.indexOf(c);
        return shift && base >= 0 ? QString(shifted.at(base)) : QString(c);
    }
    // Latin-1 letters (a Swedish layout's ö, å, ä): lower case unless shifted.
    if (key >= 0xC0 && key <= 0xFF) {
        const QChar c(key);
        return QString(shift ? c.toUpper() : c.toLower());
    }
    return QString(); // cursor, function and modifier keys type nothing
}

// Presses and releases a key with a text, shortcuts first as the application delivers them.
inline void pressAndRelease(QWidget* target, Qt::Key key, const QString& text,
                            Qt::KeyboardModifiers modifiers) {
    QTest::sendKeyEvent(QTest::Press, target, key, text, modifiers);
    QTest::sendKeyEvent(QTest::Release, target, key, text, modifiers);
}

// A key with the text the window system gives it.
inline void sendKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    pressAndRelease(target, key, WindowSystemText(key, modifiers), modifiers);
}

// Types a string of characters, each with the key and Shift a US keyboard gives it. A character
// beyond the first 65,536 (an emoji) comes as one event whose text is its surrogate pair.
inline void typeText(QWidget* target, const QString& text) {
    static const QString shifted = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size()) {
            pressAndRelease(target, Qt::Key_unknown, text.mid(i++, 2), Qt::NoModifier);
            continue;
        }
        const bool upper = c.isUpper() || shifted.contains(c);
        const auto key = Qt::Key(c.isLetter() ? c.toUpper().unicode() : c.unicode());
        pressAndRelease(target, key, QString(c), upper ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

// Keys as a person types them: characters, and {Ctrl+Return}, {Delete} and the like for the others.
inline void typeKeys(QWidget* target, const QString& keys) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const qsizetype close = keys.indexOf('}', i);
        if (keys.at(i) == '{' && close > i) {
            const QKeyCombination key = QKeySequence::fromString(keys.mid(i + 1, close - i - 1))[0];
            sendKey(target, key.key(), key.keyboardModifiers());
            i = close;
        } else {
            typeText(target, keys.mid(i, 1));
        }
    }
}
