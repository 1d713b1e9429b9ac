#pragma once

#include <QString>

// One hexadecimal digit for n, clamped to 0..15: "0".."9", "a".."f".
QChar HexDigit(int n);
// "#rrggbb" in lower case, each component two digits (its value / 16 and % 16 through HexDigit).
// A component outside 0..255 is clamped first, so every code names the colour nearest to it.
QString RGBToHex(int red, int green, int blue);
// The value of the first character as a hexadecimal digit; any other character (or none) is 0.
int HexValue(const QString& digit);

// A colour box typed into: its text after a digit key, and where the cursor goes.
struct DigitResult {
    QString text;
    int cursor = 0;
    bool changed = false;
};

// The rules of the picker's component boxes for a typed digit, the box holding `text` with the
// cursor at `cursor` and `selectionLength` characters selected from `selectionStart`:
// 1. part selected: the selection becomes the digit; over 255 -> "255"; cursor = old selection start + 1.
// 2. 3 characters already: nothing (changed = false).
// 3. 2 characters, cursor between them: first, digit, second.
// 4. cursor not at the start: text + digit; cursor one to the right.
// 5. cursor at the start: a "0" counts as empty; digit + text; cursor behind the first character.
// In 3-5 the value is read as a whole number, clamped to 0..255, and written without leading zeros.
// In 3-5 the cursor goes behind the typed digit, moved left by the leading zeros dropped, or to
// the end when the value was clamped; it always stays inside the new text. A character that is
// not a digit changes nothing; a cursor or selection outside the text is taken as the nearest
// place in it.
DigitResult ApplyDigit(const QString& text, int cursor, int selectionStart, int selectionLength, QChar digit);
