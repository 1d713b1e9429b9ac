#include "platform/TextFile.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(TextEncoding)

namespace {
// Lowers the largest file size this process may write, so that a save fails half way, as on a
// full disk. Tests run as root, where folder permissions would not stop a write.
struct FileSizeLimit {
    rlimit saved{};
    bool active = false;
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};
} // namespace

class TestTextFile : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void roundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("text");
        const QByteArray bom("\xEF\xBB\xBF");
        const auto row = [](const char* name, const QByteArray& bytes, TextEncoding encoding,
                            const QString& text) { QTest::newRow(name) << bytes << encoding << text; };
        const TextEncoding Utf8 = TextEncoding::Utf8, WithBom = TextEncoding::Utf8WithBom,
                           Latin1 = TextEncoding::Latin1;
        row("empty", "", Utf8, "");
        row("ASCII with CR LF, LF and CR", "<p>\r\nx\ny\r", Utf8, "<p>\r\nx\ny\r");
        row("UTF-8, nbsp and non-BMP", "\xC3\xA5 \xE2\x82\xAC\xC2\xA0\xF0\x9F\x98\x80", Utf8,
            QStringLiteral("\u00E5 \u20AC\u00A0\U0001F600"));
        row("UTF-8 with BOM", bom + "<html>\xC3\xA9", WithBom, QStringLiteral("<html>\u00E9"));
        row("BOM only", bom, WithBom, "");
        row("BOM twice: the second is text", bom + bom + "x", WithBom, QStringLiteral("\uFEFFx"));
        row("Latin-1", "caf\xE9 \xE5\r\n", Latin1, QStringLiteral("caf\u00E9 \u00E5\r\n"));
        row("BOM then invalid UTF-8", bom + "\xE9", Latin1, QStringLiteral("\u00EF\u00BB\u00BF\u00E9"));
        row("truncated sequence at the end", "abc\xE2\x82", Latin1, QStringLiteral("abc\u00E2\u0082"));
        row("overlong encoding", "\xC0\xAF", Latin1, QStringLiteral("\u00C0\u00AF"));
        row("encoded surrogate", "\xED\xA0\x80", Latin1, QStringLiteral("\u00ED\u00A0\u0080"));
        row("C1 controls and DEL", "\x7F\x80\x9F", Latin1, QStringLiteral("\u007F\u0080\u009F"));
    }
    // Opening and saving unchanged text gives back the very same bytes, to a new file and over
    // the file it came from.
    void roundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        QFETCH(QString, text);
        const QString original = env.writeFile("in.htm", bytes);
        LoadedText loaded;
        QString reason;
        QVERIFY2(readTextFile(original, loaded, reason), qPrintable(reason));
        QCOMPARE(loaded.text, text);
        QCOMPARE(loaded.encoding, encoding);
        for (const QString& target : {env.root() + "/out.htm", original}) {
            TextEncoding written = loaded.encoding;
            QVERIFY2(writeTextFile(target, loaded.text, written, reason), qPrintable(reason));
            QCOMPARE(written, encoding);
            QCOMPARE(TestEnvironment::readFile(target), bytes);
        }
        // Text gaining a character Latin-1 cannot hold is written as UTF-8, never with "?".
        TextEncoding written = encoding;
        QVERIFY(writeTextFile(original, text + "\u20AC", written, reason));
        QCOMPARE(written, encoding == TextEncoding::Latin1 ? TextEncoding::Utf8 : encoding);
        QCOMPARE(TestEnvironment::readFile(original),
                 (written == TextEncoding::Utf8WithBom ? "\xEF\xBB\xBF" : "") + (text + "\u20AC").toUtf8());
    }

    void refused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // written unless empty
        QTest::newRow("NUL byte") << "binary.htm" << QByteArray("<p>\0</p>", 8);
        QTest::newRow("UTF-16") << "utf16.htm" << QByteArray("\xFF\xFEh\0i\0", 6);
        QTest::newRow("missing file") << "missing.htm" << QByteArray();
        QTest::newRow("folder") << "folder" << QByteArray();
        QTest::newRow("over 128 MB") << "huge.htm" << QByteArray("<html>");
    }
    // Refused with a reason for the user, and no text.
    void refused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString target = env.root() + "/" + name;
        if (!bytes.isEmpty())
            env.writeFile(name, bytes);
        if (name == "folder")
            QVERIFY(QDir().mkpath(target));
        if (name == "huge.htm") // sparse: over the limit without the disk space
            QVERIFY(QFile::resize(target, kMaxTextFileBytes + 1));
        LoadedText loaded;
        QString reason;
        QVERIFY(!readTextFile(target, loaded, reason));
        QVERIFY(!reason.trimmed().isEmpty());
        QVERIFY(loaded.text.isEmpty());
    }

    // A write that fails half way, as on a full disk, leaves the old file as it was, no temporary
    // file beside it, and a reason.
    void failedWriteKeepsOldFile() {
        const QByteArray old("<html>old contents</html>\r\n");
        const QString page = env.writeFile("keep/page.htm", old);
        bool ok = true;
        QString reason;
        {
            FileSizeLimit limit(4096);
            if (!limit.active)
                QSKIP("cannot lower the file size limit");
            TextEncoding encoding = TextEncoding::Utf8;
            ok = writeTextFile(page, QString(64 * 1024, 'x'), encoding, reason);
        }
        QVERIFY(!ok);
        QVERIFY(!reason.trimmed().isEmpty());
        QCOMPARE(TestEnvironment::readFile(page), old);
        QCOMPARE(QDir(env.root() + "/keep").entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"});
    }

    // Saving through a symbolic link writes its target and keeps the link and the permissions.
    void keepsLinkAndPermissions() {
        const QString real = env.writeFile("real/page.cgi", "old");
        const auto rwxr_xr_x = QFile::Permissions(0x7055);
        QVERIFY(QFile::setPermissions(real, rwxr_xr_x));
        QVERIFY(QDir().mkpath(env.root() + "/links"));
        const QString link = env.root() + "/links/page.cgi";
        QVERIFY(QFile::link("../real/page.cgi", link));
        TextEncoding encoding = TextEncoding::Utf8;
        QString reason;
        QVERIFY2(writeTextFile(link, "new", encoding, reason), qPrintable(reason));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), QFileInfo(real).absoluteFilePath());
        QCOMPARE(TestEnvironment::readFile(real), "new");
        // Qt reports the user bits as well as the owner bits; compare the others.
        QCOMPARE(QFileInfo(real).permissions() & 0x7077, rwxr_xr_x);
    }
};

QTEST_APPLESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
