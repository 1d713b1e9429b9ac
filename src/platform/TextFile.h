#pragma once

#include <QString>
#include <QStringList>
#include <climits>

class QFile;
class QFileDevice;

// How a file's bytes became text, so that saving writes them back the same way.
enum class TextEncoding { Utf8, Utf8WithBom, Latin1, Windows1252, Iso8859_15, Utf16LE, Utf16BE };

// A file's state when it was last read or written, to tell later whether another program has
// changed it since.
struct FileStamp {
    bool exists = false;
    bool link = false; // the path itself was a symbolic link
    qint64 size = -1;
    qint64 modified = 0; // milliseconds since the epoch
    size_t hash = 0;     // of the bytes
    // The file reached (through a link, where the path is one): another file put in its place
    // has another pair.
    quint64 device = 0;
    quint64 inode = 0;
};
// A hash of a file's bytes, to tell within a session whether they changed. With a seed, Qt hashes
// with the processor's AES instructions where it has them, several times faster than SipHash,
// which it uses without one.
size_t ContentHash(const QByteArray& bytes);

// The state of the file on disk now, its bytes hashed only when `bytes` is given.
FileStamp StampOf(const QString& path, const QByteArray* bytes = nullptr);
// Whether the file on disk still holds what `known` records: equal size and time, or when either
// differs (a touch, a copy of the same bytes) equal contents.
// `known` takes the new time when only the time changed.
bool StillAsStamped(const QString& path, FileStamp& known);

struct LoadedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    FileStamp stamp;
};

// Files larger than this are refused: the editor keeps the whole text, its layout and its
// colours in memory, several times the file's size.
constexpr qint64 kMaxTextFileBytes = 128LL * 1024 * 1024;
// What a document may take in memory, by the estimate below: a file of millions of short lines
// costs far more than its size says.
constexpr qint64 kMaxDocumentMemory = 2LL * 1024 * 1024 * 1024;
// The memory a text takes in a document window: its characters (two bytes each, and as much again
// for what is drawn) and, for each line, what the text control keeps beside it (some 110 bytes for
// an empty line, some 240 for a line with tags and text, measured by bench_lines).
qint64 EstimatedDocumentMemory(const QString& text);

// Files the program keeps for itself (its data files, histories) are a few MB at most.
constexpr qint64 kMaxDataFileBytes = 4LL * 1024 * 1024;
// Pictures (skins, pictures for tags and image maps): the picture reader's own allocation limit
// bounds what it decodes.
constexpr qint64 kMaxPictureBytes = 256LL * 1024 * 1024;

// Whether a symbolic link is followed to its file. The program's own files are never read
// through a link: one put in their place would lead the program to read what it never wrote.
enum class Links { Follow, Refuse };

// The one way the program opens a file to read: only a regular file of at most `limit` bytes is
// opened, and `file` is then open on it (read further with care: it may still grow). Anything
// else is refused before it is opened, as ReadRegularFile says.
bool OpenRegularFile(const QString& path, qint64 limit, QFile& file, QString& reason,
                     Links links = Links::Follow);

// Reads a whole regular file, at most `limit` bytes. Anything else is refused before it is
// opened: a named pipe would block the reader until another program writes to it, and a device
// such as /dev/zero never ends. The file is opened without blocking and checked again once open,
// and reading stops as soon as more than `limit` bytes came, so a file that grows while it is
// read, or whose size says nothing (/proc), cannot exhaust memory. On failure returns false and sets
// `reason`: a whole sentence that names the file for a refusal, or the system's reason.
bool ReadRegularFile(const QString& path, qint64 limit, QByteArray& bytes, QString& reason,
                     Links links = Links::Follow);

// Reads a whole text file (through ReadRegularFile, up to kMaxTextFileBytes). UTF-16 with a
// byte-order mark is read as such; valid UTF-8 (with or without byte-order mark) as UTF-8;
// anything else with the single-byte table the page declares (windows-1252, ISO-8859-15) or as
// Latin-1, so every byte maps to one character and can be written back unchanged. Files with NUL
// bytes (binary data) are refused too.
bool readTextFile(const QString& path, LoadedText& out, QString& reason, Links links = Links::Follow);
// The text of a file's `bytes` as readTextFile decodes it (UTF-16 or UTF-8 by their marks, else
// UTF-8, else the declared or a single-byte charset), with its encoding; false, and why (naming
// `path`), for binary data.
bool DecodeTextFile(const QString& path, const QByteArray& bytes, QString& text, TextEncoding& encoding,
                    QString& reason);

// Whether a file the user may open can also be written by them (as they are, not as root would
// be for another user). A file in a folder they cannot write is saved in place (see writeTextFile).
bool IsWritableFile(const QString& path);

// Writes the text atomically: a temporary file is renamed over the target, so a failed write
// leaves the old file intact and `reason` gives the system's reason. A symbolic link (or a chain
// of them) is written through to its final target, which is created when it does not exist; the
// link stays; with Links::Refuse whatever is at `path` is replaced, a link too, and nothing it
// leads to is written. The new file keeps the old one's mode, and its owner, group and extended
// attributes (access control lists among them) where the user may set them. With a
// `backupFolder`, a file with several names (hard links), or one in a folder that takes no new
// file, is written in place instead, after a copy of it in that folder (removed once done). Text
// its encoding cannot hold is never written another way: the write fails and `reason` says which
// character (see FirstUnencodable). `written`, when given, receives the new file's stamp.
bool writeTextFile(const QString& path, const QString& text, TextEncoding encoding, QString& reason,
                   FileStamp* written = nullptr, Links links = Links::Follow,
                   const QString& backupFolder = QString());

// The system's reason for the last failure on `file`: the device's own text, or the C library's
// text for `errorNumber` (errno just after the failure) when the device has none.
QString FailureReason(const QFileDevice& file, int errorNumber);

// The first `limit` lines of `text`, split at CR LF, lone CR and lone LF; a break at the very end
// starts no further line.
QStringList SplitLines(const QString& text, int limit = INT_MAX);
