#pragma once

#include "platform/TextFile.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The single-byte table to read a page with, from the character set its first 4 KB declare in a
// <meta charset=...> or an http-equiv Content-Type: Windows1252 for windows-1252 and ISO-8859-1
// (which browsers read as windows-1252), Iso8859_15 for ISO-8859-15. Nothing when there is no
// such declaration, or when the bytes do not fit it (C1 control bytes in an ISO-8859-15 page
// are not text: the declaration is wrong).
std::optional<TextEncoding> DeclaredCharset(const QByteArray& bytes);

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
