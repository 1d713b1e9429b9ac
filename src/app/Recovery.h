#pragma once

#include "markup/Journal.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

class DocumentHost;
class frmNotepad;

// This process.
JournalOwner CurrentProcess();
// The start time of a running process (clock ticks since boot); -1 when it has ended.
qint64 ProcessStartTime(qint64 pid);
bool IsRunning(const JournalOwner& owner);

// Writes atomically with owner-only permissions, making the folder (owner-only) when missing.
bool WriteJournal(const QString& file, const JournalEntry& entry, QString& reason);

// Keeps the unsaved documents of this process in journals in the program folder's "recovery"
// folder, so that a crash loses at most the last interval's typing, and offers the journals of
// ended processes at start-up. The text is copied on the interface thread (a shared QString) and
// written by one worker thread, which also does the removals, in the order they were asked for.
class RecoveryJournal : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 10000;

    RecoveryJournal(DocumentHost& host, QObject* parent);
    // Waits for the worker and removes the journals still left: the program ends normally.
    ~RecoveryJournal() override;

    QString folder() const { return m_folder; }
    // Starts the interval timer.
    void start();
    // Journals every modified document changed since its last journal; removes the journals of
    // documents no longer modified. Returns once the texts are copied; the worker writes them.
    void journalNow();
    // Blocks until the worker has done everything asked so far.
    void waitForWrites();
    // The journals of ended processes: one question to recover them (or delete them); journals
    // that cannot be read are kept and named.
    void offerRecovery();

private:
    struct Tracked {
        int number = 0;
        bool dirty = true;
        bool written = false;
        SaveFormat format = SaveFormat::Dos;
        TextEncoding encoding = TextEncoding::Utf8;
    };
    Tracked& track(frmNotepad* window);
    void removeJournal(QObject* window);
    void reportFailure(const QString& reason);

    DocumentHost& m_host;
    QString m_folder;
    JournalOwner m_owner;
    QTimer m_timer;
    QThreadPool m_worker;
    QHash<QObject*, Tracked> m_tracked;
    int m_lastNumber = 0;
    bool m_failureReported = false;
};
