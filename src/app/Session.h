#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class DocumentHost;
class QEvent;

// One document of a session: its file, where its cursor was, whether it was the current one, and
// whether a preview was shown beside its text, with the text's share of the width (0: half each).
struct SessionDocument {
    QString path;
    int selStart = 0;
    bool active = false;
    bool preview = false;
    double previewShare = 0;
    bool operator==(const SessionDocument& other) const {
        return path == other.path && selStart == other.selStart && active == other.active &&
               preview == other.preview && previewShare == other.previewShare;
    }
};

// The session as the settings store keeps it (section "Session", key "Documents"): a JSON array of
// {"path", "selStart", "active", "preview", "previewShare"} in window order. "active" is there for
// the current document only, "preview" and "previewShare" while a preview is shown.
QString EncodeSession(const QList<SessionDocument>& documents);
// Entries without an absolute path are dropped, a negative cursor reads as 0; a value that is no
// such array gives an empty session. An entry without a preview has a share of 0, and a share that
// is no number strictly between 0 and 1 reads as 0.
QList<SessionDocument> DecodeSession(const QString& stored);
QList<SessionDocument> StoredSession();
// The notice naming the files of a session that could not be reopened because they are gone.
QString GoneNotice(const QStringList& paths);

// Keeps the saved documents open ("RestoreSession" on) in the settings store: at a normal exit, and
// whenever the set of them, the current one or a preview beside one (shown, closed, its divider
// moved) changes, so that a crash or a logout leaves a recent list. Untitled documents are not part
// of a session: crash recovery keeps those.
class SessionKeeper : public QObject {
public:
    SessionKeeper(DocumentHost& host, QObject* parent);

    // Start-up without files: reopens the last session's documents with their cursors (as Open does)
    // and their previews beside them, and makes the one that was current current again; files gone
    // since are named in the notice bar of the first window. One new document when nothing is
    // reopened. A style sheet's or a script's preview comes back only when a page that uses it is
    // known already: otherwise showing it would only tell the user that none is.
    void openLastSession();
    // The program ends normally: the documents as they are now, and nothing more while they close.
    void recordAtExit();
    // The saved documents open now, in window order.
    QList<SessionDocument> current() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void record(bool always);
    // A change that may alter the session: it is written once changes pause.
    void scheduleRecord();
    // Follows the previews of document windows not followed yet.
    void watchWindows();

    DocumentHost& m_host;
    QTimer m_timer;
    // What was last written, so that a change of cursor alone writes nothing between exits.
    QList<SessionDocument> m_written;
    bool m_ended = false;
};
