#include "platform/SingleInstanceLink.h"
#include "support/TestEnvironment.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <thread>
#include <tuple>

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
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
