#pragma once

// The key numbers the document window's key handler hears: the desktop's classic key codes, which
// its typing aids and commands are written against (RichTextControl::keyCodeOf maps Qt's keys to
// them), and the modifier bits that come with them.
namespace KeyCode {
constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Alt = 18;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Digit0 = 48;
constexpr int LetterA = 65;
constexpr int F1 = 112;
// The punctuation keys of a US layout; on a Nordic one the keys of Ö, Å, Ä and "<".
constexpr int Semicolon = 186;
constexpr int Equal = 187;
constexpr int Comma = 188;
constexpr int Minus = 189;
constexpr int Period = 190;
constexpr int Slash = 191;
constexpr int Grave = 192; // Ö
constexpr int BracketLeft = 219;
constexpr int Backslash = 220;
constexpr int BracketRight = 221; // Å
constexpr int Apostrophe = 222;   // Ä
constexpr int LessGreater = 226;  // "<" and ">" beside the left Shift

// The code of the letter key `letter` ('A' to 'Z').
constexpr int letter(char letter) {
    return LetterA + (letter - 'A');
}
// Whether the key moves the cursor (the page and arrow keys, Home and End).
constexpr bool movesCursor(int keyCode) {
    return keyCode >= PageUp && keyCode <= Down;
}
} // namespace KeyCode

// The modifier bits of a key or mouse event, as the handlers hear them.
namespace ModifierBit {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
} // namespace ModifierBit
