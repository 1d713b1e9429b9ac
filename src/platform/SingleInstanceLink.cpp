#include "platform/SingleInstanceLink.h"

#include "platform/Log.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace {
const QByteArray kMagic("QUILLORA-PATHS\n");
constexpr int kHeaderBytes = 15 + 4; // magic, then the payload length as a 32-bit big-endian number
constexpr char kAck = '!';

constexpr int kLockWaitMs = 10000;
constexpr int kProbeMs = 500;
constexpr int kUnfinishedMs = 10000; // a client that never completes its message is dropped then

// A file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : m_fd(other.release()) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// The address of the socket file `name`; false when the name is too long for one.
bool socketAddress(const QString& name, sockaddr_un& address) {
    const QByteArray path = QFile::encodeName(name);
    std::memset(&address, 0, sizeof(address));
    if (path.isEmpty() || static_cast<size_t>(path.size()) >= sizeof(address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

// The user id of the process at the other end of a local socket, or -1 when unknown.
long peerUid(int socket) {
#ifdef SO_PEERCRED
    struct ucred credentials {};
    socklen_t size = sizeof(credentials);
    if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0)
        return static_cast<long>(credentials.uid);
#else
    Q_UNUSED(socket);
#endif
    return -1;
}

// Blocking calls on `socket` (connecting, sending, receiving) give up when `deadline` passes.
void limitTo(int socket, const QDeadlineTimer& deadline) {
    const qint64 ms = std::max<qint64>(1, deadline.remainingTime());
    const timeval limit{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000 * 1000)};
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
}

// A blocking socket connected to the channel `address` within the deadline, or none.
Descriptor connectTo(const sockaddr_un& address, const QDeadlineTimer& deadline) {
    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return socket;
    limitTo(socket.get(), deadline);
    // A full queue of waiting connections makes this wait, as long as the limit allows.
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        socket.reset();
    return socket;
}

// All of `bytes` sent within the deadline; false when the other end went or the time ran out.
bool sendAll(int socket, const QByteArray& bytes, const QDeadlineTimer& deadline) {
    for (qsizetype sent = 0; sent < bytes.size();) {
        limitTo(socket, deadline);
        const ssize_t n =
            ::send(socket, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR && !deadline.hasExpired())
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// Takes the lock on the open file `fd`, waiting for another holder up to a limit.
bool lockWithin(int fd, int limitMs) {
    const QDeadlineTimer deadline(limitMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}
} // namespace

// One accepted connection of a second start: what it sent so far, until its list is whole.
class SingleInstanceLink::Connection : public QObject {
public:
    Connection(int socket, QObject* parent)
        : QObject(parent), m_socket(socket), m_readable(socket, QSocketNotifier::Read) {}
    int socket() const { return m_socket.get(); }
    QSocketNotifier& readable() { return m_readable; }
    QByteArray buffer;

private:
    Descriptor m_socket;
    QSocketNotifier m_readable; // declared after the socket: it goes first
};

SingleInstanceLink::SingleInstanceLink(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

SingleInstanceLink::~SingleInstanceLink() {
    if (m_listener < 0)
        return;
    delete m_listening;
    ::close(m_listener);
    // The channel goes with the instance: a later start need not find it stale first.
    ::unlink(QFile::encodeName(m_name).constData());
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
    sockaddr_un address;
    if (m_name.isEmpty() || !socketAddress(m_name, address))
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    const Descriptor socket = connectTo(address, deadline);
    // The paths go to this user's editor or nowhere: a listener of another user gets nothing.
    if (!socket.valid() || peerUid(socket.get()) != static_cast<long>(getuid()))
        return false;
    if (!sendAll(socket.get(), encode(paths), deadline))
        return false;
    // Only the running instance's confirmation means the list is in: a message it dropped
    // (malformed, oversized) or never read must not let this start end with the files unopened.
    char answer = 0;
    ssize_t n = -1;
    do {
        limitTo(socket.get(), deadline);
        n = ::recv(socket.get(), &answer, 1, 0);
    } while (n < 0 && errno == EINTR && !deadline.hasExpired());
    return n == 1 && answer == kAck;
}

bool SingleInstanceLink::listen() {
    sockaddr_un address;
    if (m_name.isEmpty() || m_listener >= 0 || !socketAddress(m_name, address))
        return false;
    // Two starts at once take turns here: the second then finds the first one listening. The lock
    // goes with the file's closing, so a crash leaves none behind.
    const Descriptor turn(::open(QFile::encodeName(m_name + QStringLiteral(".lock")).constData(),
                                 O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!turn.valid() || !lockWithin(turn.get(), kLockWaitMs))
        return false;
    // The channel of a live instance stays its own (listening would replace its socket file);
    // only one left behind by a crash is replaced.
    if (connectTo(address, QDeadlineTimer(kProbeMs)).valid())
        return false;
    const QByteArray path = QFile::encodeName(m_name);
    ::unlink(path.constData());
    Descriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener.valid() ||
        ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(path.constData(), 0600) != 0 || ::listen(listener.get(), kMaxWaiting) != 0) {
        qCWarning(lcQuillora, "cannot listen on %s: %s", path.constData(), std::strerror(errno));
        return false;
    }
    m_listener = listener.release();
    m_listening = new QSocketNotifier(m_listener, QSocketNotifier::Read, this);
    connect(m_listening, &QSocketNotifier::activated, this, &SingleInstanceLink::acceptConnections);
    return true;
}

void SingleInstanceLink::acceptConnections() {
    for (;;) {
        Descriptor socket(::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!socket.valid()) {
            if (errno == EINTR || errno == ECONNABORTED) // a client that gave up waiting
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                qCWarning(lcQuillora, "cannot accept a second start's files: %s", std::strerror(errno));
            return; // none waiting, or none to be had now
        }
        const long uid = peerUid(socket.get());
        // Another user's connection, or one more than may wait at once, is closed at once.
        if ((uid >= 0 && uid != static_cast<long>(getuid())) || m_waiting >= kMaxWaiting)
            continue;
        ++m_waiting;
        auto* connection = new Connection(socket.release(), this);
        connect(connection, &QObject::destroyed, this, [this] { --m_waiting; });
        const auto close = [connection] {
            connection->readable().setEnabled(false);
            connection->deleteLater();
        };
        QTimer::singleShot(kUnfinishedMs, connection, close);
        connect(&connection->readable(), &QSocketNotifier::activated, connection, [this, connection, close] {
            QStringList paths;
            if (!readFrom(*connection, paths))
                close();
            // Opening the files may run the event loop: the connection is done with by then.
            if (!paths.isEmpty())
                emit pathsReceived(paths);
        });
    }
}

bool SingleInstanceLink::readFrom(Connection& connection, QStringList& paths) {
    QByteArray& buffer = connection.buffer;
    bool ended = false; // the other end has gone, or will send no more
    for (;;) {
        char chunk[16384];
        const ssize_t n = ::recv(connection.socket(), chunk, sizeof(chunk), 0);
        if (n > 0) {
            buffer.append(chunk, n);
            if (buffer.size() > kHeaderBytes + kMaxMessageBytes)
                break; // too much: dropped below
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }
    if (buffer.size() >= kMagic.size() && !buffer.startsWith(kMagic))
        return false;
    if (buffer.size() < kHeaderBytes)
        return !ended;
    const quint32 length = qFromBigEndian<quint32>(buffer.constData() + kMagic.size());
    if (length > static_cast<quint32>(kMaxMessageBytes) ||
        buffer.size() > kHeaderBytes + static_cast<qsizetype>(length))
        return false;
    if (buffer.size() < kHeaderBytes + static_cast<qsizetype>(length))
        return !ended;
    bool ok = false;
    paths = decode(std::exchange(buffer, QByteArray()), &ok);
    if (ok)
        ::send(connection.socket(), &kAck, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    else
        paths.clear();
    return false; // done: the connection closes
}

#include "moc_SingleInstanceLink.cpp"
