#pragma once

#include <QObject>
#include <QStringList>

class QSocketNotifier;

// The per-user channel between a running editor and a second start. The second start hands
// over its list of paths and ends; the running one receives the list as one message.
// Both ends make sure the other is the same user: the running one accepts only this user's
// connections, and a second start sends nothing to a listener of another user. Malformed or
// oversized messages are dropped, and only so many connections wait at once.
class SingleInstanceLink : public QObject {
    Q_OBJECT
public:
    explicit SingleInstanceLink(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstanceLink() override;
    SingleInstanceLink(const SingleInstanceLink&) = delete;
    SingleInstanceLink& operator=(const SingleInstanceLink&) = delete;

    // True when another instance is listening and confirmed the list; this start should then end.
    // The wait is long enough for a running instance that is busy opening a large file.
    bool handOver(const QStringList& paths, int timeoutMs = 10000);
    // Starts listening as the running instance, replacing a stale channel left by a crash;
    // false while another live instance holds the channel. Two starts at once take turns, so only
    // one of them becomes the running instance.
    bool listen();
    QString name() const { return m_name; }

    // A socket in the user's private runtime folder or, without one, in a folder of the program's
    // own in the temporary folder that only this user can enter; "" when there is no such folder
    // (each start then runs on its own).
    static QString defaultName();
    // Whether `folder` is a folder (not a link to one) that this user owns and nobody else may
    // enter or change.
    static bool IsPrivateFolder(const QString& folder);
    // The message for a list of paths, and the list back from a message (nullopt-like: ok false).
    static QByteArray encode(const QStringList& paths);
    static QStringList decode(const QByteArray& message, bool* ok);
    static constexpr int kMaxMessageBytes = 1 << 20;
    static constexpr int kMaxPaths = 1000;
    static constexpr int kMaxWaiting = 16;

signals:
    void pathsReceived(const QStringList& paths);

private:
    class Connection;
    void acceptConnections();
    // Takes what a connection has sent so far; false when the connection is done with, with the
    // list in `paths` when it came whole.
    bool readFrom(Connection& connection, QStringList& paths);

    QString m_name;
    // The listening socket, a plain POSIX one: the program needs no network library to start.
    int m_listener = -1;
    QSocketNotifier* m_listening = nullptr;
    int m_waiting = 0; // connections accepted and not yet done
};
