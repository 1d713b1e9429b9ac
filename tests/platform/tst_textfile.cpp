#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(TextEncoding)

namespace {

QString writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot prepare %s", qPrintable(path));
    return path;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Lowers the largest file size this process may write, so that a save fails half way, as on a
// full disk. Tests run as root, where folder permissions would not stop a write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void refusesOversizedFile();
    void latin1GainingWideCharacters_data();
    void latin1GainingWideCharacters();
    void failedOpenReportsReason();
    void failedWriteKeepsOldFile();
    void writesThroughSymbolicLink_data();
    void writesThroughSymbolicLink();
    void keepsPermissions_data();
    void keepsPermissions();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
};

void TestTextFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestTextFile::roundTrip_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("text");
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("empty") << QByteArray() << TextEncoding::Utf8 << QString();
    QTest::newRow("ASCII with CR LF and lone LF")
        << QByteArray("<p>\r\nx\ny\r") << TextEncoding::Utf8 << QStringLiteral("<p>\r\nx\ny\r");
    QTest::newRow("UTF-8") << QByteArray("\xC3\xA5\xC3\xA4\xC3\xB6 \xE2\x82\xAC") << TextEncoding::Utf8
                           << QStringLiteral("\u00E5\u00E4\u00F6 \u20AC");
    QTest::newRow("UTF-8 nbsp and non-BMP") << QByteArray("a\xC2\xA0\xF0\x9F\x98\x80") << TextEncoding::Utf8
                                            << QStringLiteral("a\u00A0\U0001F600");
    QTest::newRow("UTF-8 with BOM") << bom + "<html>\xC3\xA9" << TextEncoding::Utf8WithBom
                                    << QStringLiteral("<html>\u00E9");
    QTest::newRow("BOM only") << bom << TextEncoding::Utf8WithBom << QString();
    QTest::newRow("BOM twice") << bom + bom + "x" << TextEncoding::Utf8WithBom << QStringLiteral("\uFEFFx");
    QTest::newRow("BOM inside the text")
        << QByteArray("a") + bom + "b" << TextEncoding::Utf8 << QStringLiteral("a\uFEFFb");
    QTest::newRow("Latin-1") << QByteArray("caf\xE9 \xE5\xE4\xF6\r\n") << TextEncoding::Latin1
                             << QStringLiteral("caf\u00E9 \u00E5\u00E4\u00F6\r\n");
    QTest::newRow("Latin-1 nbsp") << QByteArray("a\xA0z") << TextEncoding::Latin1
                                  << QStringLiteral("a\u00A0z");
    QTest::newRow("BOM then invalid UTF-8")
        << bom + "\xE9" << TextEncoding::Latin1 << QStringLiteral("\u00EF\u00BB\u00BF\u00E9");
    QTest::newRow("truncated sequence at the end")
        << QByteArray("abc\xE2\x82") << TextEncoding::Latin1 << QStringLiteral("abc\u00E2\u0082");
    QTest::newRow("overlong encoding")
        << QByteArray("\xC0\xAF") << TextEncoding::Latin1 << QStringLiteral("\u00C0\u00AF");
    QTest::newRow("encoded surrogate")
        << QByteArray("\xED\xA0\x80") << TextEncoding::Latin1 << QStringLiteral("\u00ED\u00A0\u0080");
    QTest::newRow("C1 controls and DEL")
        << QByteArray("\x7F\x80\x9F") << TextEncoding::Latin1 << QStringLiteral("\u007F\u0080\u009F");
}

// Opening and saving unchanged text must give back the very same bytes.
void TestTextFile::roundTrip() {
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, text);
    const QString original = writeBytes(path("in.htm"), bytes);
    LoadedText loaded;
    QString reason;
    QVERIFY2(readTextFile(original, loaded, reason), qPrintable(reason));
    QCOMPARE(loaded.text, text);
    QCOMPARE(loaded.encoding, encoding);

    TextEncoding written = loaded.encoding;
    QVERIFY2(writeTextFile(path("out.htm"), loaded.text, written, reason), qPrintable(reason));
    QCOMPARE(written, encoding);
    QCOMPARE(readBytes(path("out.htm")), bytes);
    // Saving over the file it came from as well.
    QVERIFY2(writeTextFile(original, loaded.text, written, reason), qPrintable(reason));
    QCOMPARE(readBytes(original), bytes);
}

void TestTextFile::refused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // written to the name unless it is a folder or missing
    QTest::newRow("NUL byte") << QStringLiteral("binary.htm") << QByteArray("<p>\0</p>", 8);
    QTest::newRow("NUL at the end") << QStringLiteral("end.htm") << QByteArray("abc\0", 4);
    QTest::newRow("UTF-16") << QStringLiteral("utf16.htm") << QByteArray("\xFF\xFEh\0i\0", 6);
    QTest::newRow("missing file") << QStringLiteral("missing.htm") << QByteArray();
    QTest::newRow("folder") << QStringLiteral("folder") << QByteArray();
}

void TestTextFile::refused() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString target = path(name);
    if (name == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(target));
    else if (!bytes.isEmpty())
        writeBytes(target, bytes);
    LoadedText loaded;
    QString reason;
    QVERIFY(!readTextFile(target, loaded, reason));
    QVERIFY(!reason.trimmed().isEmpty());
    QVERIFY(loaded.text.isEmpty());
}

void TestTextFile::refusesOversizedFile() {
    // A sparse file: its size is over the limit without the disk space.
    QFile file(path("huge.htm"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write("<html>") == 6);
    QVERIFY(file.resize(kMaxTextFileBytes + 1));
    file.close();
    LoadedText loaded;
    QString reason;
    QVERIFY(!readTextFile(path("huge.htm"), loaded, reason));
    QVERIFY(!reason.trimmed().isEmpty());
    QVERIFY(loaded.text.isEmpty());
}

void TestTextFile::latin1GainingWideCharacters_data() {
    QTest::addColumn<QString>("added");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::newRow("Latin-1 letter") << QStringLiteral("\u00FF") << TextEncoding::Latin1;
    QTest::newRow("euro sign") << QStringLiteral("\u20AC") << TextEncoding::Utf8;
    QTest::newRow("non-BMP") << QStringLiteral("\U0001F600") << TextEncoding::Utf8;
}

// Characters Latin-1 cannot hold are never written as "?": the file becomes UTF-8.
void TestTextFile::latin1GainingWideCharacters() {
    QFETCH(QString, added);
    QFETCH(TextEncoding, encoding);
    LoadedText loaded;
    QString reason;
    QVERIFY(readTextFile(writeBytes(path("old.htm"), "caf\xE9"), loaded, reason));
    QCOMPARE(loaded.encoding, TextEncoding::Latin1);
    const QString text = loaded.text + added;
    TextEncoding written = loaded.encoding;
    QVERIFY2(writeTextFile(path("old.htm"), text, written, reason), qPrintable(reason));
    QCOMPARE(written, encoding);
    QCOMPARE(readBytes(path("old.htm")), encoding == TextEncoding::Latin1 ? text.toLatin1() : text.toUtf8());
    LoadedText again;
    QVERIFY(readTextFile(path("old.htm"), again, reason));
    QCOMPARE(again.text, text);
    QCOMPARE(again.encoding, encoding);
}

void TestTextFile::failedOpenReportsReason() {
    // The parent of the target is a regular file, so no file can be created there.
    const QString blocker = writeBytes(path("plain.txt"), "keep me");
    TextEncoding encoding = TextEncoding::Utf8;
    QString reason;
    QVERIFY(!writeTextFile(blocker + "/page.htm", QStringLiteral("new"), encoding, reason));
    QVERIFY(!reason.trimmed().isEmpty());
    QCOMPARE(readBytes(blocker), QByteArray("keep me"));
}

void TestTextFile::failedWriteKeepsOldFile() {
    const QByteArray old("<html>old contents</html>\r\n");
    const QString target = writeBytes(path("page.htm"), old);
    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
    bool ok = true;
    QString reason;
    {
        FileSizeLimit limit(4096);
        if (!limit.active())
            QSKIP("cannot lower the file size limit");
        TextEncoding encoding = TextEncoding::Utf8;
        ok = writeTextFile(target, QString(64 * 1024, QLatin1Char('x')), encoding, reason);
    }
    QVERIFY(!ok);
    QVERIFY(!reason.trimmed().isEmpty());
    QCOMPARE(readBytes(target), old);
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), before);
}

void TestTextFile::writesThroughSymbolicLink_data() {
    QTest::addColumn<QString>("linkName");
    QTest::addColumn<QString>("linkTarget");
    QTest::newRow("absolute target") << QStringLiteral("link.htm") << QStringLiteral("<dir>/real/page.htm");
    QTest::newRow("relative target in another folder")
        << QStringLiteral("links/page.htm") << QStringLiteral("../real/page.htm");
}

void TestTextFile::writesThroughSymbolicLink() {
    QFETCH(QString, linkName);
    QFETCH(QString, linkTarget);
    QVERIFY(QDir().mkpath(path("real")));
    QVERIFY(QDir().mkpath(QFileInfo(path(linkName)).absolutePath()));
    const QString real = writeBytes(path("real/page.htm"), "old");
    linkTarget.replace(QLatin1String("<dir>"), m_dir->path());
    QVERIFY(QFile::link(linkTarget, path(linkName)));

    TextEncoding encoding = TextEncoding::Utf8;
    QString reason;
    QVERIFY2(writeTextFile(path(linkName), QStringLiteral("new"), encoding, reason), qPrintable(reason));
    const QFileInfo link(path(linkName));
    QVERIFY(link.isSymLink());
    QCOMPARE(link.symLinkTarget(), QFileInfo(real).absoluteFilePath());
    QCOMPARE(readBytes(real), QByteArray("new"));
}

void TestTextFile::keepsPermissions_data() {
    QTest::addColumn<int>("permissions");
    QTest::newRow("owner only") << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QTest::newRow("group readable") << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadGroup);
    QTest::newRow("executable script") << int(
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
        QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
}

void TestTextFile::keepsPermissions() {
    QFETCH(int, permissions);
    const QString target = writeBytes(path("page.cgi"), "old");
    const auto wanted = QFileDevice::Permissions(permissions);
    QVERIFY(QFile::setPermissions(target, wanted));
    // Qt reports the user bits as well as the owner bits; compare what was set.
    const auto mask = QFileDevice::Permissions(0x7777) & ~QFileDevice::Permissions(0x0700);
    const auto before = QFileInfo(target).permissions() & mask;
    TextEncoding encoding = TextEncoding::Utf8;
    QString reason;
    QVERIFY2(writeTextFile(target, QStringLiteral("new"), encoding, reason), qPrintable(reason));
    QCOMPARE(readBytes(target), QByteArray("new"));
    QCOMPARE(QFileInfo(target).permissions() & mask, before);
    QCOMPARE(before, wanted);
}

QTEST_MAIN(TestTextFile)
#include "tst_textfile.moc"
