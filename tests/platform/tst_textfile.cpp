#include "markup/LineEndings.h"
#include "platform/CharacterSearch.h"
#include "platform/Charsets.h"
#include "platform/TextFile.h"
#include "support/DataTable.h"
#include "support/TestEnvironment.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/xattr.h>
#include <tuple>
#include <unistd.h>

const QByteArray kBom("\xEF\xBB\xBF");
using Breaks = std::tuple<QString, QString, QString, QString, int>; // text; DOS, MAC, UNIX; format

QByteArray encoded(const QString& text, TextEncoding encoding) { // in a Unicode encoding, by Qt's encoders
    return QStringEncoder(encoding == TextEncoding::Utf16LE   ? QStringConverter::Utf16LE
                          : encoding == TextEncoding::Utf16BE ? QStringConverter::Utf16BE
                                                              : QStringConverter::Utf8,
                          encoding == TextEncoding::Utf8 ? QStringConverter::Flag::Default
                                                         : QStringConverter::Flag::WriteBom)
        .encode(text);
}

// Text files: their bytes and encodings, refusals, safe writes, and line breaks.
class TestTextFile : public QObject {
    Q_OBJECT
    TestEnvironment env;

private slots:
    // Bytes, encoding, text and charset declared in the first 4 KB; unchanged text saves the same bytes.
    void readAndWrite_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, const QByteArray& bytes, TextEncoding encoding,
                            const QString& text, const char* name = "") {
            QTest::newRow(tag) << bytes << encoding << text << QString(name);
        };
        const TextEncoding utf8 = TextEncoding::Utf8, bom = TextEncoding::Utf8WithBom,
                           latin1 = TextEncoding::Latin1, cp1252 = TextEncoding::Windows1252;
        row("empty", "", utf8, "");
        row("ASCII with CR LF, LF and CR", "<p>\r\nx\ny\r", utf8, "<p>\r\nx\ny\r");
        row("CR only, a long line", QByteArray(100000, 'x') + "\r\xC3\xA9\r", utf8,
            QString(100000, 'x') + "\r\u00E9\r");
        row("UTF-8", "\xC3\xA5 \xE2\x82\xAC\xC2\xA0\xF0\x9F\x98\x80", utf8, "\u00E5 \u20AC\u00A0\U0001F600");
        row("UTF-8 with BOM", kBom + "<p>\xC3\xA9", bom, "<p>\u00E9");
        row("BOM twice: the second is text", kBom + kBom + "x", bom, QStringLiteral("\uFEFFx"));
        row("Latin-1, overlong, C1 control", "caf\xE9 \xE5\r\n\xC0\xAF\x80", latin1,
            "caf\u00E9 \u00E5\r\n\u00C0\u00AF\u0080");
        row("BOM then invalid UTF-8", kBom + "\xE9", latin1, "\u00EF\u00BB\u00BF\u00E9");
        row("truncated sequence", "abc\xE2\x82", latin1, "abc\u00E2\u0082");
        const QString utf16 = "<p>\u20AC\U0001F600\uFEFF\r\n";
        row("UTF-16 LE", encoded(utf16, TextEncoding::Utf16LE), TextEncoding::Utf16LE, utf16);
        row("UTF-16 BE", encoded(utf16, TextEncoding::Utf16BE), TextEncoding::Utf16BE, utf16);
        const auto declared = [&](const char* tag, const QString& head, const char* name,
                                  const char* reference, TextEncoding encoding, bool c1Bytes = true) {
            QByteArray bytes = head.toLatin1() + "\r\n";
            for (int byte = 1; byte < 256; ++byte)
                if (c1Bytes || byte < 0x80 || byte >= 0xA0)
                    bytes += char(byte);
            QStringDecoder decoder(reference);
            if (decoder.isValid())
                row(tag, bytes, encoding, decoder.decode(bytes), name);
            else
                qWarning("%s left out: this Qt has no decoder for %s", tag, reference);
        };
        const char *const iso1 = "ISO-8859-1", *const w1252 = "windows-1252";
        declared("meta charset", "<html><META CHARSET=\"windows-1252\">", "windows-1252", w1252, cp1252);
        declared("http-equiv ISO-8859-1",
                 "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">", iso1, w1252,
                 cp1252);
        declared("http-equiv ISO-8859-15",
                 "<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=iso-8859-15'>", "iso-8859-15",
                 "ISO-8859-15", TextEncoding::Iso8859_15, false);
        declared("ISO-8859-15 with C1 bytes", "<meta charset=latin9>", "latin9", iso1, latin1);
        declared("UTF-8 that is not", "<meta charset=\"utf-8\">", "utf-8", iso1, latin1);
        declared("XML declaration", "<?xml version=\"1.0\" encoding='ISO-8859-1'?>", iso1, iso1, latin1);
        declared("first of two", "<?xml encoding=\"cp1252\"?><meta charset=utf-8>", "cp1252", w1252, cp1252);
        declared("none", "<p>charset=cp1252</p>", "", iso1, latin1);
        declared("after 4 KB", QString(4096, ' ') + "<meta charset=cp1252>", "", iso1, latin1);
    }
    void readAndWrite() {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        QFETCH(QString, text);
        const QString head = QString::fromLatin1(bytes);
        const std::optional<CharsetName> found = CharsetDeclaration(head);
        QTEST(found ? head.mid(found->start, found->length) : QString(), "name");
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
        // A character a single-byte table lacks: nothing is written (no UTF-8, no "?"), the bytes stay.
        const QString more = text + "\u0151\u20AC";
        const bool written = writeTextFile(original, more, encoding, reason);
        QCOMPARE(written, !IsSingleByte(encoding));
        QCOMPARE(TestEnvironment::readFile(original), written ? encoded(more, encoding) : bytes);
        QVERIFY2(written || reason.contains("U+0151"), qPrintable(reason));
    }

    // The first character ISO-8859-15 lacks, and references; pairs in tst_filesafety's noticesAtOpen.
    void encodingProcedures() {
        const QString text = QString("\u20AC\u00A4") + QChar(0xDC29);
        for (const qsizetype from : {0, 2}) {
            const QString tail = text.mid(from);
            const qsizetype first = FirstUnencodable(tail, TextEncoding::Iso8859_15).value_or(-1);
            QCOMPARE(CodePointLabel(CodePointAt(tail, first)) + "@" + QString::number(first),
                     from ? "U+2029@0" : "U+00A4@1");
        }
        QCOMPARE(WithCharacterReferences(text, TextEncoding::Iso8859_15), "\u20AC&#164;&#8233;");
    }

    // The system's reason: the device's own text first, else the C library's for errno.
    void failureReason() {
        QFile missing(env.root() + "/missing.htm");
        QVERIFY(!missing.open(QIODevice::ReadOnly));
        QCOMPARE(FailureReason(missing, EACCES), qt_error_string(ENOENT));
        QFile unused; // a short write leaves the device without an error of its own
        QCOMPARE(FailureReason(unused, ENOSPC), qt_error_string(ENOSPC));
    }

    // Up to the limit is read, whatever size the file gives (/proc's say 0).
    void readsNoMoreThanTheLimit() {
        constexpr qint64 limit = 1 << 20;
        QByteArray bytes;
        QString reason;
        QVERIFY2(ReadRegularFile("/proc/self/maps", limit, bytes, reason), qPrintable(reason));
        QVERIFY(bytes.contains("\n"));                 // read past the size it gave, 0
        for (const qint64 size : {limit, limit + 1}) { // a file of exactly the limit is read whole
            const QString sized = env.writeFile("sized.htm", QByteArray(size, 'x'));
            QCOMPARE(ReadRegularFile(sized, limit, bytes, reason) ? bytes.size() : -1,
                     size == limit ? limit : -1);
        }
    }

    // Binary data, files over 128 MB or unreadable, and gigabytes of lines are refused; 4 million open.
    void refused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // after the file's path; "" when the file opens
        const auto row = [](const char* tag, const char* name, const QByteArray& bytes, const char* reason) {
            QTest::newRow(tag) << QString(name) << bytes << QString(reason);
        };
        const char* const binary = " contains NUL bytes: it is binary data, not text.";
        row("NUL byte", "binary.htm", QByteArray("<p>\0</p>", 8), binary);
        row("over 128 MB", "huge.htm", "<html>", " is too large to edit: the limit is 128 MB.");
        row("UTF-16, unpaired surrogate", "u16.htm", QByteArray("\xFF\xFE\x00\xD8<\x00", 6), binary);
        row("UTF-16, U+0000", "u16.htm", QByteArray("\xFE\xFF\x00\x00\x00<", 6), binary);
        row("10 million empty lines", "lines.txt", QByteArray("\r\n").repeated(10000000),
            " has too many lines to edit: it would take about ");
        row("4 million empty lines", "lines.txt", QByteArray("\r\n").repeated(4000000), "");
        row("unreadable", "locked.htm", "<p>", qPrintable(qt_error_string(EACCES)));
    }
    void refused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString target = env.writeFile(name, bytes);
        if (name == "huge.htm") // sparse: over the limit without the disk space
            QVERIFY(QFile::resize(target, kMaxTextFileBytes + 1));
        if (name == "locked.htm")
            QFile::setPermissions(target, QFile::WriteOwner);
        LoadedText loaded;
        QString given;
        AsUser user(env.root());
        QCOMPARE(readTextFile(target, loaded, given), reason.isEmpty());
        // A refusal names the file; the system's reasons (starting with no blank) are given alone.
        QVERIFY2(reason.isEmpty() ? given.isEmpty()
                                  : given.startsWith(reason.startsWith(' ') ? target + reason : reason),
                 qPrintable(given));
    }

    // Several names or a closed folder: written in place; a failed write leaves old text, reason, no file.
    void writeOutcomes_data() {
        table({"kind"}, {"two names; links", "a folder that takes no new file; folder",
                         "two names, the write fails; links fails", "one name, the write fails; fails",
                         "an unknown encoding; unknown", "a read-only file; read-only",
                         "a read-only file in a read-only folder; read-only folder"});
    }
    void writeOutcomes() {
        QFETCH(QString, kind);
        const QString name = "inplace-" + QString(kind).replace(' ', '-');
        const QString folder = env.root() + "/" + name, backups = env.root() + "/backups-" + name;
        const QString page = env.writeFile(name + "/page.htm", "<p>old</p>"),
                      other = folder + "/other name.htm";
        const bool twoNames = kind.contains("links"), failing = kind.contains("fails"),
                   unknown = kind == "unknown", readOnly = kind.contains("read-only");
        if (twoNames)
            QVERIFY(::link(QFile::encodeName(page).constData(), QFile::encodeName(other).constData()) == 0);
        QDir().mkpath(backups);
        const quint64 inode = StampOf(page).inode;
        if (kind.contains("folder"))
            QFile::setPermissions(folder, QFile::Permissions(0x5555));
        if (readOnly)
            QFile::setPermissions(page, QFile::Permissions(0x4444));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (failing) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{rlim_t(12), saved.rlim_max};
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        }
        if (unknown)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unknown encoding"));
        QString reason;
        bool ok = false;
        { // as the program saves its documents: links are not followed
            AsUser user(env.root());
            ok = writeTextFile(page, "<p>the new text</p>", unknown ? TextEncoding(99) : TextEncoding::Utf8,
                               reason, nullptr, Links::Refuse, backups);
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        QFile::setPermissions(folder, QFile::Permissions(0x7755));
        QCOMPARE(reason, failing               ? qt_error_string(EFBIG)
                         : unknown             ? "The text cannot be saved in an unknown encoding (99)."
                         : kind == "read-only" ? "Existing file " + page + " is not writable"
                         : readOnly            ? qt_error_string(EACCES)
                                               : QString());
        const QByteArray expected = ok ? "<p>the new text</p>" : "<p>old</p>";
        QCOMPARE(ok, !failing && !unknown && !readOnly);
        for (const QString& each : twoNames ? QStringList{page, other} : QStringList{page})
            QCOMPARE(TestEnvironment::readFile(each), expected);
        QCOMPARE(StampOf(page).inode, inode);
        QCOMPARE(QDir(backups).entryList(QDir::Files), QStringList());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), twoNames ? 2 : 1);
    }

    // Saving through links writes (or creates) their file and keeps them, with mode, owner and attributes.
    void links_data() { // each link points to the next, the last to the file
        table({"chain", "exists"},
              {"a chain, no file; a.htm b.htm c.htm; ", "one link to a file; a.htm; yes"});
    }
    void links() {
        QFETCH(QString, exists);
        const QStringList links = cell("chain").split(' ');
        const QString folder = env.root() + "/links-" + QTest::currentDataTag();
        QVERIFY(QDir().mkpath(folder + "/target"));
        const QString file = folder + "/target/page.htm";
        const QByteArray native = QFile::encodeName(file);
        const bool root = ::geteuid() == 0;
        bool attributes = false;
        if (!exists.isEmpty()) {
            env.writeFile(file.mid(env.root().size() + 1), "old");
            QVERIFY(QFile::setPermissions(file, QFile::Permissions(0x7750)));
            QVERIFY(!root || ::chown(native.constData(), 65534, 65534) == 0);
            attributes = ::setxattr(native.constData(), "user.comment", "kept", 4, 0) == 0;
        }
        for (int i = 0; i < links.size(); ++i)
            QVERIFY(QFile::link(i + 1 < links.size() ? links.at(i + 1) : "target/page.htm",
                                folder + "/" + links.at(i)));
        QString reason;
        QVERIFY2(writeTextFile(folder + "/a.htm", "<p>new</p>", TextEncoding::Utf8, reason),
                 qPrintable(reason));
        QCOMPARE(TestEnvironment::readFile(file), "<p>new</p>");
        for (const QString& link : links)
            QVERIFY(QFileInfo(folder + "/" + link).isSymLink());
        const QFileInfo info(file);
        if (!exists.isEmpty()) { // mode 0750
            QCOMPARE(int(info.permissions() & 0x7077), 0x7050);
            QVERIFY(!root || (info.ownerId() == 65534 && info.groupId() == 65534));
            char value[8] = {}; // some file systems keep no attributes
            QVERIFY(!attributes || (::getxattr(native.constData(), "user.comment", value, 8) == 4 &&
                                    QByteArray(value) == "kept"));
        }
        // Told not to follow links, the writer replaces the first one and leaves its file alone.
        QVERIFY2(writeTextFile(folder + "/a.htm", "<p>own</p>", TextEncoding::Utf8, reason, nullptr,
                               Links::Refuse),
                 qPrintable(reason));
        QCOMPARE(TestEnvironment::readFile(folder + "/a.htm"), "<p>own</p>");
        QCOMPARE(TestEnvironment::readFile(file), "<p>new</p>");
    }

    void lineBreaks_data() {
        QTest::addColumn<Breaks>("row");
        const int Dos = int(SaveFormat::Dos), Unix = int(SaveFormat::Unix), Mac = int(SaveFormat::Mac);
        QTest::newRow("CR only") << Breaks{"a\rb\r", "a\r\nb\r\n", "a\rb\r", "a\nb\n", Mac};
        QTest::newRow("LF CR is two breaks") << Breaks{"\n\r", "\r\n\r\n", "\r\r", "\n\n", Unix};
        QTest::newRow("mixed") << Breaks{"a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd", "a\rb\rc\rd", "a\nb\nc\nd", Dos};
        QTest::newRow("CR CR LF") << Breaks{"a\r\r\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb", Dos};
        QTest::newRow("CR LF LF") << Breaks{"a\r\n\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb", Dos};
        QTest::newRow("LF wins over CR") << Breaks{"a\rb\nc", "a\r\nb\r\nc", "a\rb\rc", "a\nb\nc", Unix};
        QTest::newRow("only LFs") << Breaks{"\na\n\n", "\r\na\r\n\r\n", "\ra\r\r", "\na\n\n", Unix};
        const QString wide = "\u00E9\U0001F600", line(100000, QChar(0x00E9));
        QTest::newRow("no breaks, not ASCII") << Breaks{wide, wide, wide, wide, -1};
        QTest::newRow("long line") << Breaks{line + "\n\r", line + "\r\n\r\n", line + "\r\r", line + "\n\n",
                                             Unix};
        QTest::newRow("empty") << Breaks{"", "", "", "", -1};
    }
    void lineBreaks() {
        QFETCH(Breaks, row);
        const auto& [input, crlf, cr, lf, detected] = row;
        QCOMPARE(NormalizeToCrLf(input), crlf);
        QCOMPARE(NormalizeToCrLf(crlf), crlf); // normalising twice changes nothing more
        QString own = input;                   // made in place in a text no one else holds
        own.detach();
        QCOMPARE(NormalizeToCrLf(std::move(own)), crlf);
        QCOMPARE(ConvertToCr(input), cr);
        QCOMPARE(ConvertToLf(input), lf);
        const std::optional<SaveFormat> found = DetectLineBreaks(input);
        QCOMPARE(found ? int(*found) : -1, detected);
        // A document window takes memory for each line and each character.
        QCOMPARE(EstimatedDocumentMemory(input), (lf.count('\n') + 1) * 250 + input.size() * 4);
    }

    // The vectorised searches against a plain reading, at every start, in texts of every length
    // around their sixteen- and eight-character steps; the characters the text control reserves
    // are hidden and given back unchanged, and a pair's low half is left as it is.
    void characterSearches() {
        const char16_t alphabet[] = {u'a',   u'<',   u'>',   0x2028, 0x2029,
                                     0xDC29, 0xFDD0, 0xFDD1, 0xFFFF, 0xD800};
        QRandomGenerator random(90210);
        for (int round = 0; round < 400; ++round) {
            QString text;
            for (int length = round % 70; length > 0; --length) {
                text += QChar(alphabet[random.bounded(int(std::size(alphabet)))]);
                if (text.back() == QChar(0xD800))
                    text += QChar(0xDC29);
            }
            for (qsizetype from = 0; from <= text.size() + 1; ++from) {
                for (const char16_t wanted : {u'<', char16_t(0xFDD0), char16_t(0xFFFF)}) {
                    QCOMPARE(IndexOfCharacter(text, wanted, from),
                             QStringView(text).indexOf(QChar(wanted), from));
                    const qsizetype before = std::min(from, text.size());
                    QCOMPARE(LastIndexOfCharacter(text, wanted, from),
                             before == 0 ? -1 : QStringView(text).lastIndexOf(QChar(wanted), before - 1));
                }
                for (const char16_t lowest :
                     {char16_t(1), char16_t(0x2029), char16_t(0xDC29), char16_t(0xFFFF)}) {
                    qsizetype expected = from;
                    while (expected < text.size() && text.at(expected).unicode() < lowest)
                        ++expected;
                    QCOMPARE(IndexOfCharacterFrom(text, lowest, from),
                             expected < text.size() ? expected : -1);
                }
            }
            QString plain = text; // without placeholders of its own, which a file never has once read
            for (qsizetype i = 0; i < plain.size(); ++i) {
                if (plain.at(i) == QChar(0xDC29) && !(i > 0 && plain.at(i - 1) == QChar(0xD800)))
                    plain[i] = u'b';
            }
            QString hidden = plain;
            HideReservedCharacters(hidden);
            QVERIFY(!hidden.contains(QChar(0x2029)) && !hidden.contains(QChar(0xFDD0)) &&
                    !hidden.contains(QChar(0xFDD1)));
            RestoreReservedCharacters(hidden);
            QCOMPARE(hidden, plain);
        }
    }
};

QTEST_APPLESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
