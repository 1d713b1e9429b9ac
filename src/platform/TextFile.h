#pragma once

#include <QString>
#include <QStringList>
#include <climits>

// How a file's bytes became text, so that saving writes them back the same way.
enum class TextEncoding { Utf8, Utf8WithBom, Latin1 };

struct LoadedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

// Files larger than this are refused: the editor keeps the whole text, its layout and its
// colours in memory, several times the file's size.
constexpr qint64 kMaxTextFileBytes = 128LL * 1024 * 1024;

// Reads a whole file. Valid UTF-8 (with or without byte-order mark) is read as UTF-8, anything
// else as Latin-1, so every byte maps to one character and can be written back unchanged.
// Files with NUL bytes (binary data) and oversized files are refused. On failure returns false
// and sets `reason` to a sentence for the user.
bool readTextFile(const QString& path, LoadedText& out, QString& reason);

// Writes the text atomically: a temporary file is renamed over the target, so a failed write
// leaves the old file intact. Latin-1 text holding characters Latin-1 cannot store is written
// as UTF-8 instead, and `encoding` is updated to say so.
bool writeTextFile(const QString& path, const QString& text, TextEncoding& encoding, QString& reason);

// The first `limit` lines of `text`, split at CR LF, lone CR and lone LF; a break at the very end
// starts no further line.
QStringList SplitLines(const QString& text, int limit = INT_MAX);
