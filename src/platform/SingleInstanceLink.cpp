#include "platform/SingleInstanceLink.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {
const QByteArray kMagic("QUILLORA-PATHS\n");
constexpr int kHeaderBytes = 15 + 4; // magic, then the payload length as a 32-bit big-endian number
constexpr char kAck = '!';

// The user id of the process at the other end of a local socket, or -1 when unknown.
long peerUid(const QLocalSocket* socket) {
#ifdef SO_PEERCRED
    struct ucred credentials {};
    socklen_t size = sizeof(credentials);
    if (getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials,
                   &size) == 0)
        return static_cast<long>(credentials.uid);
#else
    Q_UNUSED(socket);
#endif
    return -1;
}
} // namespace

SingleInstanceLink::SingleInstanceLink(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.setMaxPendingConnections(kMaxWaiting);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstanceLink::acceptConnection);
}

bool SingleInstanceLink::IsPrivateFolder(const QString& folder) {
    struct stat status {};
    return ::lstat(QFile::encodeName(folder).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
}

QString SingleInstanceLink::defaultName() {
    const QString socket = QStringLiteral("/quillora-%1.sock").arg(static_cast<qulonglong>(getuid()));
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && IsPrivateFolder(runtime))
        return runtime + socket;
    // The shared temporary folder itself would let another user listen in this user's place.
    const QString own =
        QDir::tempPath() + QStringLiteral("/quillora-%1").arg(static_cast<qulonglong>(getuid()));
    ::mkdir(QFile::encodeName(own).constData(), 0700); // made now, or there already
    return IsPrivateFolder(own) ? own + socket : QString();
}

QByteArray SingleInstanceLink::encode(const QStringList& paths) {
    const QByteArray payload = paths.join(QChar(0)).toUtf8();
    QByteArray message = kMagic;
    char length[4];
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), length);
    message.append(length, 4);
    message.append(payload);
    return message;
}

QStringList SingleInstanceLink::decode(const QByteArray& message, bool* ok) {
    *ok = false;
    if (message.size() < kHeaderBytes || !message.startsWith(kMagic))
        return {};
    const quint32 length = qFromBigEndian<quint32>(message.constData() + kMagic.size());
    if (length > static_cast<quint32>(kMaxMessageBytes) ||
        message.size() != kHeaderBytes + static_cast<qsizetype>(length))
        return {};
    const QByteArray payload = message.mid(kHeaderBytes);
    const QString text = QString::fromUtf8(payload);
    if (text.toUtf8() != payload) // not valid UTF-8
        return {};
    if (payload.isEmpty()) {
        *ok = true;
        return {};
    }
    QStringList paths = text.split(QChar(0));
    if (paths.size() > kMaxPaths)
        return {};
    *ok = true;
    return paths;
}

bool SingleInstanceLink::handOver(const QStringList& paths, int timeoutMs) {
    if (m_name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    // The paths go to this user's editor or nowhere: a listener of another user gets nothing.
    if (peerUid(&socket) != static_cast<long>(getuid())) {
        socket.abort();
        return false;
    }
    socket.write(encode(paths));
    socket.waitForBytesWritten(timeoutMs);
    // Only the running instance's confirmation means the list is in: a message it dropped
    // (malformed, oversized) or never read must not let this start end with the files unopened.
    if (socket.bytesAvailable() == 0)
        socket.waitForReadyRead(timeoutMs);
    const bool confirmed = socket.read(1) == QByteArray(1, kAck);
    socket.disconnectFromServer();
    return confirmed;
}

bool SingleInstanceLink::listen() {
    if (m_name.isEmpty())
        return false;
    // Two starts at once take turns here: the second then finds the first one listening.
    QLockFile turn(m_name + QStringLiteral(".lock"));
    if (!turn.tryLock(10000))
        return false;
    // The channel of a live instance stays its own (listening would replace its socket file);
    // only one left behind by a crash is replaced.
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(500)) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(m_name);
    return m_server.listen(m_name);
}

void SingleInstanceLink::acceptConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const long uid = peerUid(socket);
        // Another user's connection, or one more than may wait at once, is closed at once.
        if ((uid >= 0 && uid != static_cast<long>(getuid())) || m_waiting >= kMaxWaiting) {
            socket->abort();
            continue;
        }
        ++m_waiting;
        connect(socket, &QObject::destroyed, this, [this] { --m_waiting; });
        // A client that never completes its message is dropped after a while.
        QTimer::singleShot(10000, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void SingleInstanceLink::readFrom(QLocalSocket* socket) {
    QByteArray buffer = socket->property("buffer").toByteArray();
    buffer += socket->readAll();
    const auto drop = [socket] {
        socket->setProperty("buffer", QByteArray());
        socket->abort();
    };
    if (buffer.size() >= kMagic.size() && !buffer.startsWith(kMagic))
        return drop();
    if (buffer.size() < kHeaderBytes) {
        socket->setProperty("buffer", buffer);
        return;
    }
    const quint32 length = qFromBigEndian<quint32>(buffer.constData() + kMagic.size());
    if (length > static_cast<quint32>(kMaxMessageBytes) ||
        buffer.size() > kHeaderBytes + static_cast<qsizetype>(length))
        return drop();
    if (buffer.size() < kHeaderBytes + static_cast<qsizetype>(length)) {
        socket->setProperty("buffer", buffer);
        return;
    }
    socket->setProperty("buffer", QByteArray());
    bool ok = false;
    const QStringList paths = decode(buffer, &ok);
    if (!ok)
        return drop();
    socket->write(&kAck, 1);
    socket->flush();
    socket->disconnectFromServer();
    if (!paths.isEmpty())
        emit pathsReceived(paths);
}

#include "moc_SingleInstanceLink.cpp"
