#include "markup/LineEndings.h"
#include "platform/Charsets.h"
#include "platform/TextFile.h"
#include "support/TestEnvironment.h"

#include <QRegularExpression>
#include <QStringEncoder>
#include <QTest>

#include <atomic>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <tuple>
#include <unistd.h>

// Rows: bytes, how they are read, the text; a text, its DOS, MAC, UNIX forms, its format (-1: none).
const QByteArray kBom("\xEF\xBB\xBF");
using Bytes = std::tuple<QByteArray, TextEncoding, QString>;
using Breaks = std::tuple<QString, QString, QString, QString, int>;

// The bytes of text in an encoding, by Qt's own encoders.
QByteArray encoded(const QString& text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf16LE:
        return "\xFF\xFE" + QStringEncoder(QStringEncoder::Utf16LE).encode(text);
    case TextEncoding::Utf16BE:
        return "\xFE\xFF" + QStringEncoder(QStringEncoder::Utf16BE).encode(text);
    case TextEncoding::Utf8WithBom:
        return kBom + text.toUtf8();
    default:
        return text.toUtf8();
    }
}

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
        const QString meta = "<meta charset=\"windows-1252\">";
        QTest::newRow("declared windows-1252")
            << Bytes{meta.toLatin1() + "\x93\x80\x96\x94\x81", TextEncoding::Windows1252,
                     meta + "\u201C\u20AC\u2013\u201D\u0081"};
        const QString equiv = "<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=ISO-8859-15'>";
        QTest::newRow("declared ISO-8859-15") << Bytes{
            equiv.toLatin1() + "\xA4\xBD\xE9", TextEncoding::Iso8859_15, equiv + "\u20AC\u0153\u00E9"};
        const QString late = "<p>" + QString(4096, 'x') + meta;
        QTest::newRow("declared after 4 KB") << Bytes{late.toLatin1() + "\x80", Latin1, late + "\u0080"};
        const QString utf16 = "<p>\u20AC\U0001F600\uFEFF\r\n";
        QTest::newRow("UTF-16 LE") << Bytes{encoded(utf16, TextEncoding::Utf16LE), TextEncoding::Utf16LE,
                                            utf16};
        QTest::newRow("UTF-16 BE") << Bytes{encoded(utf16, TextEncoding::Utf16BE), TextEncoding::Utf16BE,
                                            utf16};
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
            QVERIFY2(writeTextFile(target, loaded.text, loaded.encoding, reason), qPrintable(reason));
            QCOMPARE(TestEnvironment::readFile(target), bytes);
        }
        // Text gaining a character its single-byte table cannot hold is not written at all (never
        // as UTF-8 behind the user's back, never with "?"): the file keeps its bytes.
        const QString more = text + "\u0151\u20AC";
        const bool written = writeTextFile(original, more, encoding, reason);
        QCOMPARE(written, !IsSingleByte(encoding));
        if (written)
            QCOMPARE(TestEnvironment::readFile(original), encoded(more, encoding));
        else
            QVERIFY2(TestEnvironment::readFile(original) == bytes && reason.contains("U+0151"),
                     qPrintable(reason));
    }

    // Every byte but NUL after a declaration reads as the reference decoder reads it (the one
    // browsers use for the declared name) and is written back unchanged. A declaration the bytes
    // contradict, or one of a set without a table, falls back to Latin-1.
    void declaredCharsets_data() {
        QTest::addColumn<QString>("declared");
        QTest::addColumn<bool>("c1Bytes");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::newRow("windows-1252")
            << "windows-1252" << true << "windows-1252" << TextEncoding::Windows1252;
        QTest::newRow("ISO-8859-1") << "ISO-8859-1" << true << "windows-1252" << TextEncoding::Windows1252;
        QTest::newRow("ISO-8859-15") << "iso-8859-15" << false << "ISO-8859-15" << TextEncoding::Iso8859_15;
        QTest::newRow("ISO-8859-15 with C1 bytes")
            << "latin9" << true << "ISO-8859-1" << TextEncoding::Latin1;
        QTest::newRow("UTF-8 that is not") << "utf-8" << true << "ISO-8859-1" << TextEncoding::Latin1;
    }
    void declaredCharsets() {
        QFETCH(QString, declared);
        QFETCH(bool, c1Bytes);
        QFETCH(QString, reference);
        QFETCH(TextEncoding, encoding);
        QStringDecoder decoder(reference.toLatin1().constData());
        if (!decoder.isValid())
            QSKIP("this Qt has no reference decoder for the character set");
        const QByteArray head =
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + declared.toLatin1() +
            "\">\r\n";
        QByteArray bytes = head;
        for (int byte = 1; byte < 256; ++byte)
            if (c1Bytes || byte < 0x80 || byte >= 0xA0)
                bytes += char(byte);
        const QString path = env.writeFile("declared.htm", bytes);
        LoadedText loaded;
        QString reason;
        QVERIFY2(readTextFile(path, loaded, reason), qPrintable(reason));
        QCOMPARE(loaded.encoding, encoding);
        QCOMPARE(loaded.text, decoder.decode(bytes));
        QVERIFY2(writeTextFile(path, loaded.text, loaded.encoding, reason), qPrintable(reason));
        QCOMPARE(TestEnvironment::readFile(path), bytes);
    }

    // What saving needs to know of a text and its encoding: the first character the encoding lacks
    // (a pair counted whole, a hidden reserved character as itself), the text with references for
    // all of them, and where the text declares its character set.
    void encodingProcedures_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("first"); // "U+20AC@3", or "" when it holds the whole text
        QTest::addColumn<QString>("referenced");
        const TextEncoding latin1 = TextEncoding::Latin1, cp1252 = TextEncoding::Windows1252,
                           iso15 = TextEncoding::Iso8859_15;
        QTest::newRow("Latin-1 lacks the euro") << "ab\u00E9\u20AC" << latin1 << "U+20AC@3"
                                                << "ab\u00E9&#8364;";
        QTest::newRow("Windows-1252 has it") << "\u20AC\u201C" << cp1252 << ""
                                             << "\u20AC\u201C";
        QTest::newRow("ISO-8859-15 lacks the sign it replaced") << "\u20AC\u00A4" << iso15 << "U+00A4@1"
                                                                << "\u20AC&#164;";
        QTest::newRow("a pair is one character") << "x\U0001F600y" << cp1252 << "U+1F600@1"
                                                 << "x&#128512;y";
        QTest::newRow("a hidden paragraph separator") << QString("a") + QChar(0xDC29) << latin1 << "U+2029@1"
                                                      << "a&#8233;";
        QTest::newRow("UTF-8 holds everything") << "\u0151\U0001F600" << TextEncoding::Utf8 << ""
                                                << "\u0151\U0001F600";
    }
    void encodingProcedures() {
        QFETCH(QString, text);
        QFETCH(TextEncoding, encoding);
        const std::optional<qsizetype> first = FirstUnencodable(text, encoding);
        QTEST(first ? CodePointLabel(CodePointAt(text, *first)) + "@" + QString::number(*first) : QString(),
              "first");
        QTEST(WithCharacterReferences(text, encoding), "referenced");
    }

    void charsetDeclaration_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("declared"); // the name found, "" for none
        QTest::newRow("meta charset") << "<html><META CHARSET=\"iso-8859-15\">"
                                      << "iso-8859-15";
        QTest::newRow("http-equiv") << "<meta http-equiv=Content-Type content='text/html; charset=cp1252'>"
                                    << "cp1252";
        QTest::newRow("XML declaration") << "<?xml version=\"1.0\" encoding='ISO-8859-1'?>\r\n<a/>"
                                         << "ISO-8859-1";
        QTest::newRow("the first of two") << "<?xml encoding=\"latin1\"?><meta charset=utf-8>"
                                          << "latin1";
        QTest::newRow("none") << "<p>charset=x</p>"
                              << "";
        QTest::newRow("after 4 KB") << QString(4096, ' ') + "<meta charset=cp1252>"
                                    << "";
    }
    void charsetDeclaration() {
        QFETCH(QString, text);
        const std::optional<CharsetName> found = CharsetDeclaration(text);
        QTEST(found ? text.mid(found->start, found->length) : QString(), "declared");
    }

    // The system's reason: the device's own text first, else the C library's for errno.
    void failureReason() {
        QFile missing(env.root() + "/missing.htm");
        QVERIFY(!missing.open(QIODevice::ReadOnly));
        QCOMPARE(FailureReason(missing, EACCES), qt_error_string(ENOENT));
        QFile unused; // a short write leaves the device without an error of its own
        QCOMPARE(FailureReason(unused, ENOSPC), qt_error_string(ENOSPC));
        QCOMPARE(FailureReason(unused, 0), unused.errorString());
    }

    // No more than the limit and one byte is ever read, whatever the size the file gives: /proc's
    // files say 0 and hold more, and a file may grow while it is read.
    void readsNoMoreThanTheLimit() {
        constexpr qint64 limit = 1 << 20;
        QByteArray bytes;
        QString reason;
        QVERIFY2(ReadRegularFile("/proc/self/maps", limit, bytes, reason), qPrintable(reason));
        QVERIFY(bytes.contains("\n")); // read past the size it gave, 0
        QVERIFY(!ReadRegularFile("/proc/self/pagemap", limit, bytes, reason)); // gigabytes
        QCOMPARE(reason, "/proc/self/pagemap is too large to edit: the limit is 1 MB.");
        // A writer appends while the file is read: the reader stops at the limit either way.
        const QString growing = env.writeFile("growing.htm", QByteArray(1000, 'x'));
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            QFile file(growing);
            if (file.open(QIODevice::Append))
                for (int i = 0; i < 4096 && !stop; ++i)
                    file.write(QByteArray(4096, 'y')), file.flush();
        });
        for (int attempt = 0; attempt < 20; ++attempt) {
            bytes.clear();
            const bool read = ReadRegularFile(growing, limit, bytes, reason);
            QVERIFY(read ? bytes.size() <= limit : bytes.isEmpty());
        }
        stop = true;
        writer.join();
    }

    // Memory is bounded by lines as well as bytes: a few MB of line breaks that would take gigabytes
    // in a document window are refused before the document is built; a file of 4 million empty
    // lines still opens.
    void manyLines_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("refused");
        QTest::newRow("4 million empty lines") << 4000000 << false;
        QTest::newRow("10 million empty lines") << 10000000 << true;
    }
    void manyLines() {
        QFETCH(int, lines);
        QFETCH(bool, refused);
        const QString path = env.writeFile("lines.txt", QByteArray("\r\n").repeated(lines));
        LoadedText loaded;
        QString reason;
        QCOMPARE(!readTextFile(path, loaded, reason), refused);
        if (refused)
            QVERIFY2(reason.startsWith(path + " has too many lines to edit: it would take about "),
                     qPrintable(reason));
        QCOMPARE(EstimatedDocumentMemory("a\nb\r\nc\rd\r"), 5 * 250 + 9 * 4);
    }

    // Binary data, folders and files over 128 MB are refused with a reason for the user.
    void refused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL byte") << "binary.htm" << QByteArray("<p>\0</p>", 8);
        QTest::newRow("folder") << "folder" << QByteArray();
        QTest::newRow("over 128 MB") << "huge.htm" << QByteArray("<html>");
        QTest::newRow("UTF-16, unpaired surrogate") << "u16.htm" << QByteArray("\xFF\xFE\x00\xD8<\x00", 6);
        QTest::newRow("UTF-16, U+0000") << "u16.htm" << QByteArray("\xFE\xFF\x00\x00\x00<", 6);
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
    // file beside it, and the system's reason. (Tests run as root, where permissions would not
    // stop a write.)
    void failedWriteKeepsOldFile_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("size");
        QTest::newRow("a large text") << 4096 << 64 * 1024;
        QTest::newRow("a small text") << 16 << 100;
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
        QVERIFY(!ok);
        QCOMPARE(reason, qt_error_string(EFBIG));
        QCOMPARE(TestEnvironment::readFile(page), "<html>old</html>");
        QCOMPARE(QDir(env.root() + "/keep").entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"});
    }

    // An encoding the writer does not know (a damaged record) writes nothing, rather than an
    // empty file, and says why.
    void unknownEncodingWritesNothing() {
        const QString page = env.writeFile("unknown.htm", "<p>kept</p>");
        QString reason;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unknown encoding"));
        QVERIFY(!writeTextFile(page, "<p>new</p>", static_cast<TextEncoding>(99), reason));
        QCOMPARE(reason, "The text cannot be saved in an unknown encoding (99).");
        QCOMPARE(TestEnvironment::readFile(page), "<p>kept</p>");
    }

    // A saved file keeps what it had besides its bytes: owner and group (when allowed: the suite
    // runs as root), mode and extended attributes (access control lists are some of them).
    void keepsOwnerModeAndAttributes() {
        const QString page = env.writeFile("kept/page.htm", "<p>old</p>");
        const QByteArray native = QFile::encodeName(page);
        QVERIFY(::chmod(native.constData(), 0640) == 0);
        const bool root = ::geteuid() == 0;
        if (root)
            QVERIFY(::chown(native.constData(), 65534, 65534) == 0);
        if (::setxattr(native.constData(), "user.comment", "kept", 4, 0) != 0)
            QSKIP("this file system keeps no extended attributes");
        QString reason;
        QVERIFY2(writeTextFile(page, "<p>new</p>", TextEncoding::Utf8, reason), qPrintable(reason));
        struct stat status {};
        QVERIFY(::stat(native.constData(), &status) == 0);
        QCOMPARE(int(status.st_mode & 07777), 0640);
        if (root)
            QVERIFY(status.st_uid == 65534 && status.st_gid == 65534);
        char value[8] = {};
        QCOMPARE(int(::getxattr(native.constData(), "user.comment", value, sizeof value)), 4);
        QCOMPARE(QByteArray(value), "kept");
        QCOMPARE(TestEnvironment::readFile(page), "<p>new</p>");
    }

    // A file with several names, or a writable one in a folder that takes no new file, is written
    // in place: every name shows the new text, the file stays the same file, and the copy made
    // first is gone. A write that fails there puts the old text back.
    void writesInPlace_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("two names") << "hard link";
        QTest::newRow("a folder that takes no new file") << "folder";
        QTest::newRow("two names, the write fails") << "failing";
    }
    void writesInPlace() {
        QFETCH(QString, kind);
        const QString folder = env.root() + "/inplace-" + kind.left(4);
        const QString page = env.writeFile("inplace-" + kind.left(4) + "/page.htm", "<p>old</p>");
        const QString other = folder + "/other name.htm";
        const bool twoNames = kind != "folder";
        if (twoNames)
            QVERIFY(::link(QFile::encodeName(page).constData(), QFile::encodeName(other).constData()) == 0);
        const QString backups = env.root() + "/backups-" + kind.left(4);
        QDir().mkpath(backups);
        struct stat before {};
        ::stat(QFile::encodeName(page).constData(), &before);
        const bool asAnotherUser = kind == "folder" && ::geteuid() == 0;
        if (kind == "folder") {
            QFile::setPermissions(page, QFile::Permissions(0x6666));
            QFile::setPermissions(backups, QFile::Permissions(0x7777));
            QFile::setPermissions(folder, QFile::Permissions(0x5555));
            QFile::setPermissions(env.root(), QFile::Permissions(0x7711));
        }
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (kind == "failing") {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{rlim_t(12), saved.rlim_max};
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        }
        if (asAnotherUser)
            QVERIFY(::seteuid(65534) == 0);
        QString reason;
        const bool ok = writeTextFile(page, "<p>the new text</p>", TextEncoding::Utf8, reason, nullptr,
                                      Links::Follow, backups);
        if (asAnotherUser)
            QVERIFY(::seteuid(0) == 0);
        setrlimit(RLIMIT_FSIZE, &saved);
        QFile::setPermissions(folder, QFile::Permissions(0x7755));
        QCOMPARE(ok, kind != "failing");
        const QByteArray expected = ok ? "<p>the new text</p>" : "<p>old</p>";
        QCOMPARE(TestEnvironment::readFile(page), expected);
        if (twoNames)
            QCOMPARE(TestEnvironment::readFile(other), expected);
        struct stat after {};
        ::stat(QFile::encodeName(page).constData(), &after);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(QDir(backups).entryList(QDir::Files), QStringList());
        if (!ok)
            QCOMPARE(reason, qt_error_string(EFBIG));
    }

    // Saving through a link whose file is missing creates that file and keeps the link; so does a
    // chain of links. Saving does not make a link a file of its own.
    void danglingLinks_data() {
        QTest::addColumn<QStringList>("links"); // each pointing to the next, the last to the file
        QTest::newRow("one link") << QStringList{"a.htm"};
        QTest::newRow("a chain") << QStringList{"a.htm", "b.htm", "c.htm"};
    }
    void danglingLinks() {
        QFETCH(QStringList, links);
        const QString folder = env.root() + "/dangling-" + QString::number(links.size());
        QVERIFY(QDir().mkpath(folder + "/target"));
        const QString file = folder + "/target/page.htm";
        for (int i = 0; i < links.size(); ++i)
            QVERIFY(QFile::link(i + 1 < links.size() ? links.at(i + 1) : "target/page.htm",
                                folder + "/" + links.at(i)));
        QString reason;
        QVERIFY2(writeTextFile(folder + "/a.htm", "<p>new</p>", TextEncoding::Utf8, reason),
                 qPrintable(reason));
        QCOMPARE(TestEnvironment::readFile(file), "<p>new</p>");
        for (const QString& link : links)
            QVERIFY(QFileInfo(folder + "/" + link).isSymLink());
        // Told not to follow links, the writer replaces the first one and leaves its file alone.
        QVERIFY2(writeTextFile(folder + "/a.htm", "<p>own</p>", TextEncoding::Utf8, reason, nullptr,
                               Links::Refuse),
                 qPrintable(reason));
        QVERIFY(!QFileInfo(folder + "/a.htm").isSymLink());
        QCOMPARE(TestEnvironment::readFile(folder + "/a.htm"), "<p>own</p>");
        QCOMPARE(TestEnvironment::readFile(file), "<p>new</p>");
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
