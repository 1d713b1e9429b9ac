#pragma once

#include "markup/LineEndings.h"
#include "platform/TextFile.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

// The process that wrote a journal: its id and its start time, so that an id the system has
// since given to another program is not taken for a running editor.
struct JournalOwner {
    qint64 pid = 0;
    qint64 started = 0;
    bool operator==(const JournalOwner& other) const { return pid == other.pid && started == other.started; }
};

// One document's unsaved state as a journal keeps it.
struct JournalEntry {
    JournalOwner owner;
    QString path; // "" for a document never saved
    SaveFormat format = SaveFormat::Dos;
    TextEncoding encoding = TextEncoding::Utf8;
    QString text; // CR LF line breaks, as the editor holds it
};

// A header of key=value lines, an empty line, then the text as UTF-8. The header gives the
// text's length and a SHA-1 of the header's other lines and the text, so a journal that was
// truncated or altered anywhere is refused rather than half read. A journal of the first version
// (its SHA-1 of the text alone, the encoding as a number) is still read.
QByteArray EncodeJournal(const JournalEntry& entry);
// The same bytes written to `out` as the text is encoded, a slice at a time, so that a large text
// is never held a second time whole; false when a write fails.
bool WriteJournalTo(QIODevice& out, const JournalEntry& entry);
// False for anything that is not a whole, unaltered journal naming a known format and encoding.
bool DecodeJournal(const QByteArray& bytes, JournalEntry& entry);

// "<pid>-<start time>-<window number>.journal", and the owner read back from such a name.
QString JournalFileName(const JournalOwner& owner, int window);
bool JournalFileOwner(const QString& fileName, JournalOwner& owner);
