#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class DocumentHost;

// One document of a session: its file, where its cursor was, and whether it was the current one.
struct SessionDocument {
    QString path;
    int selStart = 0;
    bool active = false;
    bool operator==(const SessionDocument& other) const {
        return path == other.path && selStart == other.selStart && active == other.active;
    }
};

// The session as the settings store keeps it (section "Session", key "Documents"): a JSON array of
// {"path", "selStart", "active"} in window order.
QString EncodeSession(const QList<SessionDocument>& documents);
// Entries without an absolute path are dropped, a negative cursor reads as 0; a value that is no
// such array gives an empty session.
QList<SessionDocument> DecodeSession(const QString& stored);
QList<SessionDocument> StoredSession();
// The notice naming the files of a session that could not be reopened because they are gone.
QString GoneNotice(const QStringList& paths);

// Keeps the saved documents open ("RestoreSession" on) in the settings store: at a normal exit, and
// whenever the set of them or the current one changes, so that a crash or a logout leaves a recent
// list. Untitled documents are not part of a session: crash recovery keeps those.
class SessionKeeper : public QObject {
public:
    SessionKeeper(DocumentHost& host, QObject* parent);

    // Start-up without files: reopens the last session's documents with their cursors (as Open does)
    // and makes the one that was current current again; files gone since are named in the notice
    // bar of the first window. One new document when nothing is reopened.
    void openLastSession();
    // The program ends normally: the documents as they are now, and nothing more while they close.
    void recordAtExit();
    // The saved documents open now, in window order.
    QList<SessionDocument> current() const;

private:
    void record(bool always);

    DocumentHost& m_host;
    QTimer m_timer;
    // What was last written, so that a change of cursor alone writes nothing between exits.
    QList<SessionDocument> m_written;
    bool m_ended = false;
};
