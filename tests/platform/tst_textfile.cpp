#include "editor/LineEndings.h"
#include "platform/TextFile.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <tuple>

// Rows: bytes, how they are read, the text; a text, its DOS, MAC, UNIX forms, its format (-1: none).
const QByteArray kBom("\xEF\xBB\xBF");
using Bytes = std::tuple<QByteArray, TextEncoding, QString>;
using Breaks = std::tuple<QString, QString, QString, QString, int>;

// Text files: their bytes and encodings, refusals, safe writes, and line breaks.
class TestTextFile : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    void roundTrip_data() {
        QTest::addColumn<Bytes>("row");
        const TextEncoding Utf8 = TextEncoding::Utf8, WithBom = TextEncoding::Utf8WithBom,
                           Latin1 = TextEncoding::Latin1;
        QTest::newRow("empty") << Bytes{"", Utf8, ""};
        QTest::newRow("ASCII with CR LF, LF and CR") << Bytes{"<p>\r\nx\ny\r", Utf8, "<p>\r\nx\ny\r"};
        QTest::newRow("UTF-8") << Bytes{"\xC3\xA5 \xE2\x82\xAC\xC2\xA0\xF0\x9F\x98\x80", Utf8,
                                        "\u00E5 \u20AC\u00A0\U0001F600"};
        QTest::newRow("UTF-8 with BOM") << Bytes{kBom + "<p>\xC3\xA9", WithBom, "<p>\u00E9"};
        QTest::newRow("BOM twice: the second is text")
            << Bytes{kBom + kBom + "x", WithBom, QStringLiteral("\uFEFFx")};
        QTest::newRow("Latin-1") << Bytes{"caf\xE9 \xE5\r\n", Latin1, "caf\u00E9 \u00E5\r\n"};
        QTest::newRow("BOM then invalid UTF-8") << Bytes{kBom + "\xE9", Latin1, "\u00EF\u00BB\u00BF\u00E9"};
        QTest::newRow("truncated sequence") << Bytes{"abc\xE2\x82", Latin1, "abc\u00E2\u0082"};
        QTest::newRow("overlong, C1 control") << Bytes{"\xC0\xAF\x80", Latin1, "\u00C0\u00AF\u0080"};
    }
    // Unchanged text is saved as the very same bytes, to a new file and over the one it came from.
    void roundTrip() {
        QFETCH(Bytes, row);
        const auto& [bytes, encoding, text] = row;
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
                 (written == TextEncoding::Utf8WithBom ? kBom : "") + (text + "\u20AC").toUtf8());
    }

    // Binary data, folders and files over 128 MB are refused with a reason for the user.
    void refused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL byte") << "binary.htm" << QByteArray("<p>\0</p>", 8);
        QTest::newRow("folder") << "folder" << QByteArray();
        QTest::newRow("over 128 MB") << "huge.htm" << QByteArray("<html>");
    }
    void refused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString target = env.root() + "/" + name;
        if (bytes.isEmpty())
            QVERIFY(QDir().mkpath(target));
        else
            env.writeFile(name, bytes);
        if (name == "huge.htm") // sparse: over the limit without the disk space
            QVERIFY(QFile::resize(target, kMaxTextFileBytes + 1));
        LoadedText loaded;
        QString reason;
        QVERIFY(!readTextFile(target, loaded, reason));
        QVERIFY(!reason.trimmed().isEmpty());
    }

    // A write that fails half way, as on a full disk, leaves the old file as it was, no temporary
    // file beside it, and a reason. (Tests run as root, where permissions would not stop a write.)
    // A small text fails only when its buffered bytes are flushed.
    void failedWriteKeepsOldFile_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("size");
        QTest::newRow("the write fails") << 4096 << 64 * 1024;
        QTest::newRow("only the flush fails") << 16 << 100;
    }
    void failedWriteKeepsOldFile() {
        QFETCH(int, limit);
        QFETCH(int, size);
        const QString page = env.writeFile("keep/page.htm", "<html>old</html>");
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{rlim_t(limit), saved.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &small) != 0)
            QSKIP("cannot lower the file size limit");
        TextEncoding encoding = TextEncoding::Utf8;
        QString reason;
        const bool ok = writeTextFile(page, QString(size, 'x'), encoding, reason);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!ok && !reason.trimmed().isEmpty());
        QCOMPARE(TestEnvironment::readFile(page), "<html>old</html>");
        QCOMPARE(QDir(env.root() + "/keep").entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"});
    }

    // Saving through a symbolic link writes its target and keeps the link and the permissions.
    void keepsLinkAndPermissions() {
        const QString real = env.writeFile("real/page.cgi", "old");
        const auto rwxr_xr_x = QFile::Permissions(0x7055);
        QVERIFY(QFile::setPermissions(real, rwxr_xr_x));
        const QString link = env.root() + "/links/page.cgi";
        QVERIFY(QDir().mkpath(env.root() + "/links"));
        QVERIFY(QFile::link("../real/page.cgi", link));
        TextEncoding encoding = TextEncoding::Utf8;
        QString reason;
        QVERIFY2(writeTextFile(link, "new", encoding, reason), qPrintable(reason));
        QCOMPARE(QFileInfo(link).symLinkTarget(), QFileInfo(real).absoluteFilePath());
        QCOMPARE(TestEnvironment::readFile(real), "new");
        // Qt reports the user bits as well as the owner bits; compare the others.
        QCOMPARE(QFileInfo(real).permissions() & 0x7077, rwxr_xr_x);
    }

    void lineBreaks_data() {
        QTest::addColumn<Breaks>("row");
        const int Dos = int(SaveFormat::Dos), Unix = int(SaveFormat::Unix), Mac = int(SaveFormat::Mac);
        QTest::newRow("lone CR") << Breaks{"\r", "\r\n", "\r", "\n", Mac};
        QTest::newRow("LF CR is two breaks") << Breaks{"\n\r", "\r\n\r\n", "\r\r", "\n\n", Unix};
        QTest::newRow("mixed") << Breaks{"a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd", "a\rb\rc\rd", "a\nb\nc\nd", Dos};
        QTest::newRow("CR CR LF") << Breaks{"a\r\r\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb", Dos};
        QTest::newRow("CR LF LF") << Breaks{"a\r\n\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb", Dos};
        QTest::newRow("LF wins over CR") << Breaks{"a\rb\nc", "a\r\nb\r\nc", "a\rb\rc", "a\nb\nc", Unix};
        QTest::newRow("only LFs") << Breaks{"\na\nb\n\n", "\r\na\r\nb\r\n\r\n", "\ra\rb\r\r", "\na\nb\n\n",
                                            Unix};
        QTest::newRow("no breaks") << Breaks{"abc", "abc", "abc", "abc", -1};
        QTest::newRow("empty") << Breaks{"", "", "", "", -1};
    }
    void lineBreaks() {
        QFETCH(Breaks, row);
        const auto& [input, crlf, cr, lf, detected] = row;
        QCOMPARE(NormalizeToCrLf(input), crlf);
        QCOMPARE(NormalizeToCrLf(crlf), crlf); // normalising twice changes nothing more
        QCOMPARE(ConvertToCr(input), cr);
        QCOMPARE(ConvertToLf(input), lf);
        const std::optional<SaveFormat> found = DetectLineBreaks(input);
        QCOMPARE(found ? int(*found) : -1, detected);
    }
};

QTEST_APPLESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
