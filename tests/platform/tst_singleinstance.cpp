#include "platform/SingleInstanceLink.h"
#include "support/DataTable.h"
#include "support/TestEnvironment.h"

#include <QtNetwork>
#include <QtTest>

#include <atomic>
#include <memory>
#include <pwd.h>
#include <thread>
#include <tuple>
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

enum Outcome { Confirmed, HungUp, LeftEarly };
// What a client writes, the list received, and how the exchange ends.
using Client = std::tuple<QByteArrayList, QStringList, Outcome>;

// The files the started programs list as opened (their recent files), oldest first; the first two,
// opened by two starts at once, in name order.
QStringList opened(const TestEnvironment& env) {
    QSettings settings(env.root() + "/config/Quillora/Quillora.conf", QSettings::IniFormat);
    QStringList files;
    for (int k = 4; k >= 1; --k)
        files << settings.value(QString("RecentFiles/RecentFile%1").arg(k)).toString();
    files.removeAll(QString());
    if (files.size() >= 2)
        std::sort(files.begin(), files.begin() + 2);
    return files;
}
} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QString channel() const { return env.root() + "/link.sock"; }

private slots:
    // A list, whole or in pieces, is confirmed and handed on; a bad message is dropped unconfirmed.
    void server_data() {
        QTest::addColumn<Client>("client");
        const auto row = [](const char* name, const QByteArrayList& pieces, const QStringList& paths = {},
                            Outcome outcome = HungUp) {
            QTest::newRow(name) << Client{pieces, paths, outcome};
        };
        const auto encode = [](const QStringList& paths) { return SingleInstanceLink::encode(paths); };
        const int max = SingleInstanceLink::kMaxMessageBytes;
        const QStringList paths{"/my \"page\".htm",       "/b", "/b", "C:\\x.htm", "/\u00E5/\U0001F600.htm",
                                "/it's a;b|c\n d\r\t.htm"};
        const QByteArray m = encode(paths);
        row("awkward characters", {m}, paths, Confirmed);
        // Cut inside the magic, inside the length and inside the payload.
        row("in pieces", {m.left(5), m.mid(5, 12), m.mid(17, 8), m.mid(25)}, paths, Confirmed);
        const QStringList big{QString(max - 10, 'x'), "/y"};
        row("near the size limit", {encode(big)}, big, Confirmed);
        row("empty list", {encode({})}, {}, Confirmed);
        QStringList most;
        for (int i = 0; i < SingleInstanceLink::kMaxPaths; ++i)
            most << QString("/%1.htm").arg(i);
        row("as many paths as a list may hold", {encode(most)}, most, Confirmed);
        // Bad messages, most made from good ones cut short, lengthened or altered.
        row("one path more", {encode(most + QStringList{"/x"})});
        row("garbage", {"GET / HTTP/1.0\r\n\r\n"});
        row("length over the limit", {encode({QString(max + 1, 'x')}).left(21)});
        row("more than announced", {encode({"/a"}) + "/b"});
        row("invalid UTF-8", {encode({"ab"}).chopped(2) + "\xC3\x28"});
        row("truncated, then gone", {encode({"/abcdefgh"}).chopped(3)}, {}, LeftEarly);
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

    // No hand-over without confirmation; another user's listener gets nothing; extra waiters are closed.
    void handOverNeedsConfirmation_data() {
        table({"listener"},
              {"nobody listens; nobody", "crashed: socket file, nobody listens; stale",
               "never answers; silent", "the running one drops a list over the size limit; link",
               "another user listens; other", "too many waiting; busy"});
    }
    void handOverNeedsConfirmation() {
        QFETCH(QString, listener);
        if (listener == "other" && ::geteuid() != 0)
            QSKIP("listening as another user needs root");
        // Another user's socket lies in a folder of theirs.
        const QString name = listener == "other" ? env.root() + "/shared/link.sock" : channel();
        QLocalServer raw;
        SingleInstanceLink link(name);
        QSignalSpy received(&link, &SingleInstanceLink::pathsReceived);
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        if (listener == "stale") { // as a crashed instance leaves it: moved before its server closes
            QLocalServer crashed;
            QVERIFY(crashed.listen(name + ".live") && QFile::rename(name + ".live", name));
        } else if (listener == "link" || listener == "busy") {
            QVERIFY(link.listen());
        } else if (listener == "silent") { // accepts the connection, never reads or answers
            QVERIFY(raw.listen(name));
        } else if (listener == "other") {
            QDir().mkpath(env.root() + "/shared");
            QFile::setPermissions(env.root(), QFile::Permissions(0x7711)); // nobody may pass through
            const AsUser nobody(env.root() + "/shared");
            QVERIFY(raw.listen(name));
        }
        for (int i = 0; listener == "busy" && i < SingleInstanceLink::kMaxWaiting; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(name);
            QVERIFY(idle.back()->waitForConnected(1000));
        }
        QTest::qWait(100); // all accepted
        const QString path = listener == "link" ? QString(SingleInstanceLink::kMaxMessageBytes + 1, 'x')
                                                : "/home/me/plans.htm";
        QVERIFY(!handOver(name, {path}, 1000));
        QCOMPARE(received.count(), 0);
        if (QLocalSocket* accepted = raw.nextPendingConnection(); accepted && listener == "other")
            QVERIFY(!accepted->waitForReadyRead(100) && accepted->readAll().isEmpty());
        // Such a start listens itself only over a crashed instance's channel; then the link serves again.
        idle.clear();
        SingleInstanceLink next(name);
        QCOMPARE(next.listen(), listener == "nobody" || listener == "stale");
        QCOMPARE(handOver(name, {"/b"}, 1000), listener != "silent" && listener != "other");
    }

    // Opening the files handed over runs the event loop (a dialog, a long file); the channel lives on.
    void receiverRunsEventLoop() {
        SingleInstanceLink link(channel() + ".loop");
        QVERIFY(link.listen());
        QStringList received;
        connect(&link, &SingleInstanceLink::pathsReceived, this, [&](const QStringList& paths) {
            received += paths;
            QTest::qWait(200);
        });
        QVERIFY(handOver(link.name(), {"/a.htm"}));
        QVERIFY(handOver(link.name(), {"/b.htm", "/c.htm"}));
        QTRY_COMPARE(received, QStringList({"/a.htm", "/b.htm", "/c.htm"}));
    }

    // The channel's folder: the runtime folder, Qt's or a private own one, never shared nor a link.
    void channelFolder_data() {
        // The folders another user has (runtime, Qt's, own), or "link": the own one is a link.
        table({"taken", "expected"},
              {"private runtime folder; ; runtime", "runtime folder of another user; runtime; Qt's",
               "Qt's folder taken too; runtime Qt's; own", "all taken; runtime Qt's own; ",
               "own folder a link; runtime Qt's link; "});
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
        const QStringList names{"runtime", "Qt's", "own"};
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
        const int found = int(names.indexOf(cell("expected")));
        QCOMPARE(name, found < 0 ? QString() : folders[found] + QString("/quillora-%1.sock").arg(uid));
        QVERIFY(found < 0 || SingleInstanceLink::IsPrivateFolder(folders[found]));
    }

    // The real program: of two starts one runs and the others hand over; all files open, in order.
    void startsMakeOneEditor() {
        const QString binary = qEnvironmentVariable("QUILLORA_BINARY");
        if (!QFileInfo(binary).isExecutable())
            QSKIP("QUILLORA_BINARY does not name the built program");
        const QStringList files{"one.htm", "two.htm", "a.htm", "sub dir/b \u00E9 \"q\".htm"};
        QStringList expected;
        for (const QString& file : files)
            expected << env.writeFile("work/" + file, "<html></html>\r\n");
        QDir::setCurrent(env.root() + "/work"); // the programs are given relative paths
        QProcess first, second;                 // killed on the way out, whatever happens
        for (QProcess* process : {&first, &second})
            process->setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(binary, files.mid(0, 1));
        second.start(binary, files.mid(1, 1));
        QTRY_VERIFY_WITH_TIMEOUT(
            first.state() == QProcess::NotRunning || second.state() == QProcess::NotRunning, 30000);
        QCOMPARE((first.state() == QProcess::NotRunning ? first : second).exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(opened(env), expected.mid(0, 2), 10000);
        QCOMPARE(QProcess::execute(binary, {}), 0);
        QCOMPARE(QProcess::execute(binary, files.mid(2)), 0);
        QTRY_COMPARE_WITH_TIMEOUT(opened(env), expected, 10000);
        QVERIFY((first.state() == QProcess::Running) != (second.state() == QProcess::Running));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
