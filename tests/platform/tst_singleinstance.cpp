#include "platform/SingleInstanceLink.h"
#include "support/TestEnvironment.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {
// A blocking hand-over on a thread of its own, while this thread's event loop serves the link.
bool handOver(const QString& name, const QStringList& paths, int timeoutMs = 3000) {
    std::atomic<bool> done{false};
    bool result = false;
    std::thread thread([&] {
        result = SingleInstanceLink(name).handOver(paths, timeoutMs);
        done = true;
    });
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, 30000);
    thread.join();
    return finished && result;
}

// Leaves a socket file nobody listens on, as a crashed instance does (moved before its server closes).
bool leaveStaleSocket(const QString& path) {
    QLocalServer crashed;
    return crashed.listen(path + ".live") && QFile::rename(path + ".live", path);
}

enum Outcome { Confirmed, HungUp, LeftEarly };
// What a client writes, the list received, and how the exchange ends.
using Client = std::tuple<QByteArrayList, QStringList, Outcome>;

// The files a started program lists as opened, oldest first: its recent files, read from its
// settings in the test's folders (it is given the test's environment).
QStringList opened(const TestEnvironment& env) {
    QSettings settings(env.root() + "/config/Quillora/Quillora.conf", QSettings::IniFormat);
    QStringList files;
    for (int k = 1; k <= 4; ++k)
        if (const QString file = settings.value(QString("RecentFiles/RecentFile%1").arg(k)).toString();
            !file.isEmpty())
            files.prepend(file);
    return files;
}
} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QString channel() const { return env.root() + "/link.sock"; }

private slots:
    // A list, whole or in pieces, is confirmed and handed on unless empty; a bad message is dropped
    // unconfirmed, and the next client is served as usual.
    void server_data() {
        QTest::addColumn<Client>("client");
        const auto encode = [](const QStringList& paths) { return SingleInstanceLink::encode(paths); };
        const int max = SingleInstanceLink::kMaxMessageBytes;
        const QStringList paths{
            "/my \"page\".htm",       "/b", "/b", "C:\\x.htm", QStringLiteral("/\u00E5/\U0001F600.htm"),
            "/it's a;b|c\n d\r\t.htm"};
        const QByteArray m = encode(paths);
        QTest::newRow("awkward characters") << Client{{m}, paths, Confirmed};
        // Cut inside the magic, inside the length and inside the payload.
        QTest::newRow("in pieces") << Client{
            {m.left(5), m.mid(5, 12), m.mid(17, 8), m.mid(25)}, paths, Confirmed};
        const QStringList big{QString(max - 10, 'x'), "/y"};
        QTest::newRow("near the size limit") << Client{{encode(big)}, big, Confirmed};
        QTest::newRow("empty list") << Client{{encode({})}, {}, Confirmed};
        QStringList most;
        for (int i = 0; i < SingleInstanceLink::kMaxPaths; ++i)
            most << QString("/%1.htm").arg(i);
        QTest::newRow("as many paths as a list may hold") << Client{{encode(most)}, most, Confirmed};
        QTest::newRow("one path more") << Client{{encode(most + QStringList{"/x"})}, {}, HungUp};
        // Bad messages, most made from good ones cut short, lengthened or altered.
        QTest::newRow("garbage") << Client{{"GET / HTTP/1.0\r\n\r\n"}, {}, HungUp};
        QTest::newRow("length over the limit")
            << Client{{encode({QString(max + 1, 'x')}).left(21)}, {}, HungUp};
        QTest::newRow("more than announced") << Client{{encode({"/a"}) + "/b"}, {}, HungUp};
        QTest::newRow("invalid UTF-8") << Client{{encode({"ab"}).chopped(2) + "\xC3\x28"}, {}, HungUp};
        QTest::newRow("truncated, then gone") << Client{{encode({"/abcdefgh"}).chopped(3)}, {}, LeftEarly};
    }
    void server() {
        QFETCH(Client, client);
        const auto& [pieces, paths, outcome] = client;
        bool ok = false;
        QCOMPARE(SingleInstanceLink::decode(pieces.join(), &ok), paths);
        QCOMPARE(ok, outcome == Confirmed);
        SingleInstanceLink server(channel());
        QVERIFY(server.listen());
        QSignalSpy received(&server, &SingleInstanceLink::pathsReceived);
        {
            QLocalSocket socket;
            socket.connectToServer(channel());
            QVERIFY(socket.waitForConnected(3000));
            for (const QByteArray& piece : pieces) {
                QCOMPARE(received.count(), 0);
                socket.write(piece);
                socket.flush();
                QTest::qWait(50);
            }
            if (outcome == Confirmed) {
                QTRY_COMPARE(socket.bytesAvailable(), 1);
                QCOMPARE(received.isEmpty() ? QStringList() : received.takeFirst().first().toStringList(),
                         paths);
            } else if (outcome == HungUp) { // as soon as the server can tell
                QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
                QCOMPARE(socket.bytesAvailable(), 0);
            }
        }
        QTest::qWait(100);
        QCOMPARE(received.count(), 0);
        QVERIFY(handOver(channel(), {"/after.htm"}));
        QTRY_COMPARE(received.count(), 1);
    }

    // An unconfirmed list is not handed over: the second start must not end as if its files were open.
    void handOverNeedsConfirmation_data() {
        QTest::addColumn<QString>("listener");
        QTest::newRow("nobody listens") << "nobody";
        QTest::newRow("crashed: socket file, nobody listens") << "stale";
        QTest::newRow("never answers") << "silent";
        QTest::newRow("the running one drops a list over the size limit") << "link";
    }
    void handOverNeedsConfirmation() {
        QFETCH(QString, listener);
        QLocalServer raw;
        SingleInstanceLink link(channel());
        QSignalSpy received(&link, &SingleInstanceLink::pathsReceived);
        if (listener == "stale")
            QVERIFY(leaveStaleSocket(channel()));
        if (listener == "link")
            QVERIFY(link.listen());
        if (listener == "silent") // accepts the connection, never reads or answers
            QVERIFY(raw.listen(channel()));
        const QString path =
            listener == "link" ? QString(SingleInstanceLink::kMaxMessageBytes + 1, 'x') : "/a";
        QVERIFY(!handOver(channel(), {path}, 1000));
        QCOMPARE(received.count(), 0);
        // Such a start listens itself, but only a crashed instance's channel is taken over.
        SingleInstanceLink next(channel());
        QCOMPARE(next.listen(), listener == "nobody" || listener == "stale");
        QCOMPARE(handOver(channel(), {"/b"}, 1000), listener != "silent");
    }

    // A second start sends nothing to a listener of another user on its channel (one who made the
    // shared folder's socket first): it runs on its own instead.
    void listenerOfAnotherUser() {
        if (::geteuid() != 0)
            QSKIP("listening as another user needs root");
        const QString shared = env.root() + "/shared";
        QDir().mkpath(shared);
        QFile::setPermissions(env.root(), QFile::Permissions(0x7711));
        QFile::setPermissions(shared, QFile::Permissions(0x7777));
        QLocalServer other;
        QVERIFY(::seteuid(65534) == 0);
        const bool listening = other.listen(shared + "/link.sock");
        QVERIFY(::seteuid(0) == 0);
        QVERIFY(listening);
        QVERIFY(!handOver(shared + "/link.sock", {"/home/me/secret plans.htm"}, 1000));
        QLocalSocket* accepted = other.nextPendingConnection();
        QTest::qWait(100);
        QCOMPARE(accepted ? accepted->readAll() : QByteArray(), QByteArray());
    }

    // The channel's folder: the runtime folder (Qt makes a private one of its own in the temporary
    // folder when the user's is not theirs), else a private folder of the program's own there,
    // never a shared one; none when that is taken or a link.
    void channelFolder_data() {
        QTest::addColumn<QString>("taken"); // the folders another user has: runtime, Qt's, own; or a link
        QTest::addColumn<QString>("expected");
        QTest::newRow("private runtime folder") << ""
                                                << "runtime";
        QTest::newRow("runtime folder of another user") << "runtime"
                                                        << "Qt's";
        QTest::newRow("Qt's folder taken too") << "runtime Qt's"
                                               << "own";
        QTest::newRow("all taken") << "runtime Qt's own"
                                   << "";
        QTest::newRow("own folder a link") << "runtime Qt's link"
                                           << "";
    }
    void channelFolder() {
        QFETCH(QString, taken);
        if (!taken.isEmpty() && ::geteuid() != 0)
            QSKIP("a folder of another user needs root");
        QTemporaryDir temp;
        const uid_t uid = ::getuid();
        const QString folders[] = {temp.path() + "/runtime",
                                   temp.path() + "/runtime-" + QString::fromLocal8Bit(getpwuid(uid)->pw_name),
                                   temp.path() + QString("/quillora-%1").arg(uid)};
        const char* const names[] = {"runtime", "Qt's", "own"};
        for (int i = 0; i < 3; ++i) {
            if (i > 0 && !taken.contains(names[i]))
                continue;
            QDir().mkpath(folders[i]);
            QFile::setPermissions(folders[i], QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            if (taken.contains(names[i]))
                QCOMPARE(::chown(QFile::encodeName(folders[i]).constData(), 65534, 65534), 0);
        }
        if (taken.contains("link"))
            QVERIFY(QFile::link(folders[0], folders[2]));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTemp = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folders[0]));
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        const QString name = SingleInstanceLink::defaultName();
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTemp);
        QFETCH(QString, expected);
        const QString socket = QString("/quillora-%1.sock").arg(uid);
        const int found = expected.isEmpty() ? -1 : int(std::find(names, names + 3, expected) - names);
        QCOMPARE(name, found < 0 ? QString() : folders[found] + socket);
        if (found >= 0)
            QVERIFY(SingleInstanceLink::IsPrivateFolder(folders[found]));
    }

    // Connections beyond those that may wait at once are closed at once; the link goes on
    // serving once the waiting ones are done.
    void waitingConnectionsAreLimited() {
        SingleInstanceLink server(channel());
        QVERIFY(server.listen());
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < SingleInstanceLink::kMaxWaiting; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(channel());
            QVERIFY(idle.back()->waitForConnected(1000));
        }
        QTest::qWait(100); // all accepted
        QLocalSocket oneMore;
        oneMore.connectToServer(channel());
        QVERIFY(oneMore.waitForConnected(1000));
        QTRY_COMPARE(oneMore.state(), QLocalSocket::UnconnectedState);
        idle.clear();
        QSignalSpy received(&server, &SingleInstanceLink::pathsReceived);
        QVERIFY(handOver(channel(), {"/after.htm"}));
        QTRY_COMPARE(received.count(), 1);
    }

    // The real program: a first start keeps running, later starts hand their files over and end.
    void secondStartHandsOver() {
        const QString binary = qEnvironmentVariable("QUILLORA_BINARY");
        if (!QFileInfo(binary).isExecutable())
            QSKIP("QUILLORA_BINARY does not name the built program");
        const QStringList files{"first.htm", "a.htm", "sub dir/b \u00E9 \"q\".htm"};
        QStringList expected;
        for (const QString& file : files)
            expected << env.writeFile("work/" + file, "<html></html>\r\n");
        QDir::setCurrent(env.root() + "/work"); // the programs are given relative paths
        QProcess first;                         // killed on the way out, whatever happens
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(binary, files.mid(0, 1));
        QTRY_COMPARE_WITH_TIMEOUT(opened(env), expected.mid(0, 1), 30000);
        // A start without files has nothing to hand over, but ends at once all the same.
        QCOMPARE(QProcess::execute(binary, {}), 0);
        QCOMPARE(QProcess::execute(binary, files.mid(1)), 0);
        // Handed over as absolute paths, in order, and nothing from the start without files.
        QTRY_COMPARE_WITH_TIMEOUT(opened(env), expected, 10000);
        QCOMPARE(first.state(), QProcess::Running);
    }

    // Two starts at the same moment: one runs, the other hands its file over and ends.
    void simultaneousStartsMakeOneEditor() {
        const QString binary = qEnvironmentVariable("QUILLORA_BINARY");
        if (!QFileInfo(binary).isExecutable())
            QSKIP("QUILLORA_BINARY does not name the built program");
        const QString one = env.writeFile("together/one.htm", "1"),
                      two = env.writeFile("together/two.htm", "2");
        QProcess first, second;
        for (QProcess* process : {&first, &second})
            process->setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(binary, {one});
        second.start(binary, {two});
        // One of them ends once its file is handed over; the other keeps both files open.
        QTRY_VERIFY_WITH_TIMEOUT(
            first.state() == QProcess::NotRunning || second.state() == QProcess::NotRunning, 30000);
        QProcess& ended = first.state() == QProcess::NotRunning ? first : second;
        QCOMPARE(ended.exitCode(), 0);
        const auto openedSet = [this] {
            const QStringList files = opened(env);
            return QSet<QString>(files.begin(), files.end());
        };
        QTRY_VERIFY_WITH_TIMEOUT(openedSet().contains(QSet<QString>{one, two}), 10000);
        QTest::qWait(500);
        QVERIFY((first.state() == QProcess::Running) != (second.state() == QProcess::Running));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
