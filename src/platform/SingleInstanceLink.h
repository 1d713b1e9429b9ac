#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

class QLocalSocket;

// The per-user channel between a running editor and a second start. The second start hands
// over its list of paths and ends; the running one receives the list as one message.
// Only connections from the same user are accepted; malformed or oversized messages are dropped.
class SingleInstanceLink : public QObject {
    Q_OBJECT
public:
    explicit SingleInstanceLink(QString name = defaultName(), QObject* parent = nullptr);

    // True when another instance is listening and confirmed the list; this start should then end.
    // The wait is long enough for a running instance that is busy opening a large file.
    bool handOver(const QStringList& paths, int timeoutMs = 10000);
    // Starts listening as the running instance, replacing a stale channel left by a crash;
    // false while another live instance holds the channel.
    bool listen();
    QString name() const { return m_name; }

    // A socket in the user's private runtime folder.
    static QString defaultName();
    // The message for a list of paths, and the list back from a message (nullopt-like: ok false).
    static QByteArray encode(const QStringList& paths);
    static QStringList decode(const QByteArray& message, bool* ok);
    static constexpr int kMaxMessageBytes = 1 << 20;

signals:
    void pathsReceived(const QStringList& paths);

private:
    void acceptConnection();
    void readFrom(QLocalSocket* socket);

    QString m_name;
    QLocalServer m_server;
};
