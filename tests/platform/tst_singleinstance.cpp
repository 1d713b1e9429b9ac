#include "platform/SingleInstanceLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

const QByteArray kMagic("QUILLORA-PATHS\n");

QByteArray header(quint32 length) {
    char bytes[4];
    qToBigEndian<quint32>(length, bytes);
    return kMagic + QByteArray(bytes, 4);
}

// Runs a blocking hand-over on its own thread while this thread's event loop serves the link.
class HandOver {
public:
    HandOver(const QString& name, const QStringList& paths, int timeoutMs = 3000)
        : m_thread([this, name, paths, timeoutMs] {
              SingleInstanceLink client(name);
              m_result = client.handOver(paths, timeoutMs);
              m_done = true;
          }) {}
    ~HandOver() { wait(); }
    // Spins the event loop until the hand-over returns, then gives its result.
    bool wait() {
        if (m_thread.joinable()) {
            QTest::qWaitFor([this] { return m_done.load(); }, 30000);
            m_thread.join();
        }
        return m_result;
    }

private:
    std::atomic<bool> m_done{false};
    bool m_result = false;
    std::thread m_thread;
};

// Ends a started program whatever happens to the test.
struct ProcessGuard {
    QList<QProcess*> processes;
    ~ProcessGuard() {
        for (QProcess* process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
            delete process;
        }
    }
    QProcess* make() {
        processes << new QProcess;
        return processes.last();
    }
};

// Leaves a socket file nobody listens on, as an instance that crashed does.
bool leaveStaleSocket(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= int(sizeof(address.sun_path)))
        return false;
    memcpy(address.sun_path, name.constData(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

QStringList reportLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void decodeRejects_data();
    void decodeRejects();
    void receivesHandedOverList_data();
    void receivesHandedOverList();
    void handOverWithoutListener();
    void handOverUnconfirmed_data();
    void handOverUnconfirmed();
    void badClientsAreDropped_data();
    void badClientsAreDropped();
    void messageInPieces();
    void listenReplacesStaleChannel();
    void listenKeepsLiveChannel();
    void secondStartHandsOver();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString channel() const { return m_dir->filePath(QStringLiteral("link.sock")); }
};

void TestSingleInstance::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSingleInstance::roundTrip_data() {
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("empty list") << QStringList{};
    QTest::newRow("one path") << QStringList{QStringLiteral("/home/u/index.htm")};
    QTest::newRow("blanks and quotes") << QStringList{QStringLiteral("/home/u/my page \"new\".htm"),
                                                      QStringLiteral("/tmp/it's here/a b.html")};
    QTest::newRow("non-ASCII") << QStringList{QStringLiteral("/home/\u00E5sa/r\u00E4ksm\u00F6rg\u00E5s.htm"),
                                              QStringLiteral("/tmp/\u65E5\u672C/\U0001F600.htm")};
    QTest::newRow("separators of other systems")
        << QStringList{QStringLiteral("/a;b|c\n d\r\t.htm"), QStringLiteral("C:\\x\\y.htm")};
    QTest::newRow("keeps order and duplicates")
        << QStringList{QStringLiteral("/b"), QStringLiteral("/a"), QStringLiteral("/b")};
}

void TestSingleInstance::roundTrip() {
    QFETCH(QStringList, paths);
    bool ok = false;
    QCOMPARE(SingleInstanceLink::decode(SingleInstanceLink::encode(paths), &ok), paths);
    QVERIFY(ok);
}

void TestSingleInstance::decodeRejects_data() {
    QTest::addColumn<QByteArray>("message");
    const QByteArray good = SingleInstanceLink::encode({QStringLiteral("/a.htm"), QStringLiteral("/b.htm")});
    QTest::newRow("wrong magic") << QByteArray("QUILLORA-PATHX\n") + good.mid(kMagic.size());
    QTest::newRow("no magic") << good.mid(kMagic.size());
    QTest::newRow("length too large") << header(100) + "/a.htm";
    QTest::newRow("length too small") << header(2) + "/a.htm";
    QTest::newRow("truncated payload") << good.left(good.size() - 1);
    QTest::newRow("truncated header") << good.left(kMagic.size() + 2);
    QTest::newRow("magic only") << kMagic;
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("trailing bytes") << good + "x";
    QTest::newRow("invalid UTF-8") << header(3) + "\xFF\xFE/";
    const int over = SingleInstanceLink::kMaxMessageBytes + 1;
    QTest::newRow("oversized") << header(over) + QByteArray(over, 'a');
    QTest::newRow("oversized length, short payload") << header(0xFFFFFFFFu) + "/a";
}

void TestSingleInstance::decodeRejects() {
    QFETCH(QByteArray, message);
    bool ok = true;
    QVERIFY(SingleInstanceLink::decode(message, &ok).isEmpty());
    QVERIFY(!ok);
}

void TestSingleInstance::receivesHandedOverList_data() {
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("two files") << QStringList{QStringLiteral("/tmp/a b.htm"),
                                              QStringLiteral("/tmp/\u00F6.html")};
    QTest::newRow("near the size limit") << QStringList{
        QString(SingleInstanceLink::kMaxMessageBytes - 10, QLatin1Char('x')), QStringLiteral("/y")};
}

void TestSingleInstance::receivesHandedOverList() {
    QFETCH(QStringList, paths);
    SingleInstanceLink server(channel());
    QVERIFY(server.listen());
    QSignalSpy received(&server, &SingleInstanceLink::pathsReceived);
    HandOver client(channel(), paths);
    QVERIFY(client.wait());
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.first().first().toStringList(), paths);
}

void TestSingleInstance::handOverWithoutListener() {
    SingleInstanceLink nobody(m_dir->filePath(QStringLiteral("nobody.sock")));
    QVERIFY(!nobody.handOver({QStringLiteral("/a.htm")}, 1000));
    // A channel left behind by a crashed instance: the file exists, nobody listens.
    QVERIFY(leaveStaleSocket(channel()));
    SingleInstanceLink stale(channel());
    QVERIFY(!stale.handOver({QStringLiteral("/a.htm")}, 1000));
}

void TestSingleInstance::handOverUnconfirmed_data() {
    QTest::addColumn<QString>("listener");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("drops the connection") << QStringLiteral("close") << QStringList{QStringLiteral("/a.htm")};
    QTest::newRow("never answers") << QStringLiteral("silent") << QStringList{QStringLiteral("/a.htm")};
    QTest::newRow("list over the size limit")
        << QStringLiteral("link")
        << QStringList{QString(SingleInstanceLink::kMaxMessageBytes + 1, QLatin1Char('x'))};
}

// A list the running instance did not confirm is not handed over: the second start must not
// end as if its files were open.
void TestSingleInstance::handOverUnconfirmed() {
    QFETCH(QString, listener);
    QFETCH(QStringList, paths);
    QLocalServer raw;
    SingleInstanceLink link(channel());
    QSignalSpy received(&link, &SingleInstanceLink::pathsReceived);
    QList<QLocalSocket*> kept;
    if (listener == QLatin1String("link")) {
        QVERIFY(link.listen());
    } else {
        QVERIFY(raw.listen(channel()));
        connect(&raw, &QLocalServer::newConnection, &raw, [&] {
            while (QLocalSocket* socket = raw.nextPendingConnection()) {
                if (listener == QLatin1String("close"))
                    socket->close();
                else
                    kept << socket;
            }
        });
    }
    HandOver client(channel(), paths, 1000);
    QVERIFY(!client.wait());
    QCOMPARE(received.count(), 0);
}

void TestSingleInstance::badClientsAreDropped_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("serverHangsUp"); // the server closes as soon as it can tell
    QTest::newRow("garbage") << QByteArray("GET / HTTP/1.0\r\n\r\n") << true;
    QTest::newRow("wrong magic, right length")
        << QByteArray("QUILLORA-PATHX\n") + QByteArray(4, '\0') << true;
    QTest::newRow("oversized length") << header(SingleInstanceLink::kMaxMessageBytes + 1) + "/a" << true;
    QTest::newRow("huge length") << header(0xFFFFFFFFu) << true;
    QTest::newRow("more than announced") << header(2) + "/a/b" << true;
    QTest::newRow("invalid UTF-8") << header(2) + "\xC3\x28" << true;
    QTest::newRow("truncated, then gone") << header(10) + "/a" << false;
    QTest::newRow("partial magic, then gone") << QByteArray("QUILL") << false;
}

// A bad client gets no signal, and the next good client is served as usual.
void TestSingleInstance::badClientsAreDropped() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, serverHangsUp);
    SingleInstanceLink server(channel());
    QVERIFY(server.listen());
    QSignalSpy received(&server, &SingleInstanceLink::pathsReceived);
    {
        QLocalSocket bad;
        bad.connectToServer(channel());
        QVERIFY(bad.waitForConnected(3000));
        bad.write(bytes);
        bad.flush();
        if (serverHangsUp) {
            QTRY_COMPARE(bad.state(), QLocalSocket::UnconnectedState);
            QCOMPARE(bad.bytesAvailable(), 0); // no confirmation
        } else {
            QTest::qWait(100);
            bad.disconnectFromServer();
        }
    }
    QTest::qWait(100);
    QCOMPARE(received.count(), 0);

    const QStringList good{QStringLiteral("/after.htm")};
    HandOver client(channel(), good);
    QVERIFY(client.wait());
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.first().first().toStringList(), good);
}

void TestSingleInstance::messageInPieces() {
    SingleInstanceLink server(channel());
    QVERIFY(server.listen());
    QSignalSpy received(&server, &SingleInstanceLink::pathsReceived);
    const QStringList paths{QStringLiteral("/one.htm"), QStringLiteral("/two.htm")};
    const QByteArray message = SingleInstanceLink::encode(paths);
    QLocalSocket client;
    client.connectToServer(channel());
    QVERIFY(client.waitForConnected(3000));
    // Cut inside the magic, inside the length and inside the payload.
    for (const int cut : {5, 17, 25}) {
        const int from = cut == 5 ? 0 : (cut == 17 ? 5 : 17);
        client.write(message.mid(from, cut - from));
        client.flush();
        QTest::qWait(50);
        QCOMPARE(received.count(), 0);
    }
    client.write(message.mid(25));
    client.flush();
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.first().first().toStringList(), paths);
    QTRY_COMPARE(client.bytesAvailable(), qint64(1)); // the confirmation
}

void TestSingleInstance::listenReplacesStaleChannel() {
    // A socket file left behind by a crash must not keep the next instance from listening.
    QVERIFY(leaveStaleSocket(channel()));
    SingleInstanceLink server(channel());
    QVERIFY(server.listen());
    QSignalSpy received(&server, &SingleInstanceLink::pathsReceived);
    HandOver client(channel(), {QStringLiteral("/x.htm")});
    QVERIFY(client.wait());
    QTRY_COMPARE(received.count(), 1);
}

void TestSingleInstance::listenKeepsLiveChannel() {
    // A start that could not hand over (the running one did not confirm in time) must not take
    // the channel away from the instance that is still alive.
    SingleInstanceLink first(channel());
    QVERIFY(first.listen());
    SingleInstanceLink second(channel());
    QVERIFY(!second.listen());
    QSignalSpy received(&first, &SingleInstanceLink::pathsReceived);
    HandOver client(channel(), {QStringLiteral("/still-first.htm")});
    QVERIFY(client.wait());
    QTRY_COMPARE(received.count(), 1);
}

// The real program: a first start keeps running, later starts hand their files over and end.
void TestSingleInstance::secondStartHandsOver() {
    const QString binary = qEnvironmentVariable("QUILLORA_BINARY");
    if (binary.isEmpty() || !QFileInfo(binary).isExecutable())
        QSKIP("QUILLORA_BINARY does not name the built program");

    const QString root = m_dir->path();
    for (const char* sub : {"home", "data", "config", "cache", "runtime", "work/sub dir"})
        QVERIFY(QDir(root).mkpath(QString::fromLatin1(sub)));
    QVERIFY(QFile::setPermissions(root + "/runtime",
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    const QString work = root + "/work";
    const QStringList files{QStringLiteral("first.htm"), QStringLiteral("a.htm"),
                            QStringLiteral("sub dir/b \u00E9 \"q\".htm")};
    for (const QString& file : files) {
        QFile f(work + "/" + file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html></html>\r\n");
    }
    const QString report = root + "/report.txt";
    const QString socket = root + QStringLiteral("/runtime/quillora-%1.sock").arg(getuid());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root + "/home");
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + "/data");
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + "/config");
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root + "/cache");
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + "/runtime");
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    env.insert(QStringLiteral("QUILLORA_TEST_REPORT"), report);

    ProcessGuard guard;
    const auto start = [&](const QStringList& arguments) {
        QProcess* process = guard.make();
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(work);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->start(binary, arguments);
        return process;
    };

    QProcess* first = start({files.at(0)});
    QVERIFY2(first->waitForStarted(10000), qPrintable(first->errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket) || first->state() == QProcess::NotRunning, 30000);
    QCOMPARE(first->state(), QProcess::Running);
    QTRY_COMPARE_WITH_TIMEOUT(reportLines(report), QStringList{work + "/" + files.at(0)}, 10000);

    // A start without files has nothing to hand over, but still ends at once.
    QProcess* empty = start({});
    QVERIFY(empty->waitForFinished(30000));
    QCOMPARE(empty->exitStatus(), QProcess::NormalExit);
    QCOMPARE(empty->exitCode(), 0);

    QProcess* second = start({files.at(1), files.at(2)});
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);

    // Handed over as absolute paths, in order, and nothing from the start without files.
    const QStringList expected{work + "/" + files.at(0), work + "/" + files.at(1), work + "/" + files.at(2)};
    QTRY_COMPARE_WITH_TIMEOUT(reportLines(report), expected, 10000);
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
