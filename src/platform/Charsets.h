#pragma once

#include "platform/TextFile.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The single-byte table to read a page with, from the character set its first 4 KB declare in a
// <meta charset=...>, an http-equiv Content-Type or an XML declaration: Windows1252 for
// windows-1252 and for ISO-8859-1 in a page (which browsers read as windows-1252), Latin1 for
// ISO-8859-1 in an XML declaration, Iso8859_15 for ISO-8859-15. Nothing when there is no
// such declaration, or when the bytes do not fit it (C1 control bytes in an ISO-8859-15 page
// are not text: the declaration is wrong).
std::optional<TextEncoding> DeclaredCharset(const QByteArray& bytes);

// Where the text declares its character set in its first 4 KB: the offset and length of the
// name in a <meta charset=...>, an http-equiv Content-Type or an XML declaration's encoding,
// whichever comes first. Nothing when there is none.
struct CharsetName {
    qsizetype start = 0;
    qsizetype length = 0;
    bool xml = false; // in an XML declaration, where ISO-8859-1 means Latin-1 itself
};
std::optional<CharsetName> CharsetDeclaration(const QString& text);

// How the user knows an encoding: "UTF-8", "Windows-1252", "Latin-1"...
QString EncodingName(TextEncoding encoding);
// Whether each character is one byte, from one of the tables below.
bool IsSingleByte(TextEncoding encoding);
// The index of the first character of a document's text (as read, reserved characters hidden)
// that the encoding has no byte for; nothing when it can hold the whole text.
std::optional<qsizetype> FirstUnencodable(const QString& text, TextEncoding encoding);
// The character at `at` of a document's text, a surrogate pair taken whole and a hidden
// reserved character as the one it stands for.
char32_t CodePointAt(const QString& text, qsizetype at);
// "U+20AC": at least four upper-case hexadecimal digits.
QString CodePointLabel(char32_t codePoint);
// The text with each character the encoding cannot hold written as a decimal character
// reference ("&#8364;"), which every HTML and XML reader turns back into the character.
QString WithCharacterReferences(const QString& text, TextEncoding encoding);

// Single-byte encodings (Latin1, Windows1252, Iso8859_15): every byte is one character. The five
// bytes windows-1252 leaves undefined are read as the C1 controls of the same number, so every
// file is read and written back unchanged.
QString DecodeSingleByte(const QByteArray& bytes, TextEncoding encoding);
// False when the text holds a character the encoding has no byte for.
bool EncodeSingleByte(const QString& text, TextEncoding encoding, QByteArray& out);

// UTF-16 with a byte-order mark. Decoding fails (false) without the mark, on an odd number of
// bytes or on a surrogate without its partner.
bool DecodeUtf16(const QByteArray& bytes, TextEncoding& encoding, QString& text);
// The mark and the text in the encoding's byte order.
QByteArray EncodeUtf16(const QString& text, TextEncoding encoding);

// The text control takes U+2029, U+FDD0 and U+FDD1 for line and frame breaks of its own. Read
// text has them replaced by unpaired low surrogates (U+DC29, U+DCD0, U+DCD1), which no valid
// file's text contains, and text to be written has them put back.
void HideReservedCharacters(QString& text);
void RestoreReservedCharacters(QString& text);
