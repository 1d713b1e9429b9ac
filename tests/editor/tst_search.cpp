#include "editor/Search.h"
#include "platform/RichTextControl.h"

#include <QtTest>
#include <climits>

using Strings = QStringList;

class TestSearch : public QObject {
    Q_OBJECT

private slots:
    void findMatch_data() {
        for (const char* column : {"text", "find"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<bool>("downward");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<qsizetype>("expected");
        const auto row = [](const char* name, const char* text, const char* find, qsizetype from, bool down,
                            bool matchCase, qsizetype expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(find) << from << down
                                << matchCase << expected;
        };
        row("down from the start", "one two one", "one", 0, true, true, 0);
        row("down from inside a match skips it", "one two one", "one", 1, true, true, 8);
        row("down from a match's start finds it", "one two one", "one", 8, true, true, 8);
        row("up from the end", "one two one", "one", 11, false, true, 8);
        row("up: only matches starting before from", "one two one", "one", 8, false, true, 0);
        row("up from the end finds the last character", "abcx", "x", 4, false, true, 3);
        row("overlapping, down from 0", "aaa", "aa", 0, true, true, 0);
        row("overlapping, down from 1", "aaa", "aa", 1, true, true, 1);
        row("overlapping, up from the end", "aaa", "aa", 3, false, true, 1);
        row("case off", "<Table>", "TABLE", 0, true, false, 1);
        row("case off, up", "<Table>", "TABLE", 7, false, false, 1);
        row("case on", "<Table>", "TABLE", 0, true, true, -1);
        row("sharp s is not SS", "straße", "SS", 0, true, false, -1);
        row("SS is not sharp s", "STRASSE", "ß", 7, false, false, -1);
        row("offsets after a sharp s are the text's", "ß x", "X", 0, true, false, 2);
        row("empty find, down", "abc", "", 0, true, true, -1);
        row("empty find, up", "abc", "", 3, false, true, -1);
        row("find longer than the text", "ab", "abc", 0, true, false, -1);
        row("down from before the text", "xabx", "x", -2, true, true, 0);
        row("down from past the end", "xab", "x", 10, true, true, -1);
        row("up from past the end", "xab", "b", 10, false, true, 2);
        row("up from the start", "xab", "x", 0, false, true, -1);
        row("up from before the text", "xab", "b", -1, false, true, -1);
    }
    void findMatch() {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(qsizetype, from);
        QFETCH(bool, downward);
        QFETCH(bool, matchCase);
        QTEST(FindMatch(text, find, from, downward, matchCase), "expected");
    }

    void replaceAll_data() {
        for (const char* column : {"text", "find", "replacement", "expected"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<int>("count");
        const auto row = [](const char* name, const char* text, const char* find, const char* replacement,
                            const char* expected, bool matchCase, int count) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(find)
                                << QString::fromUtf8(replacement) << QString::fromUtf8(expected) << matchCase
                                << count;
        };
        row("a by A, case off, ends", "aAbA", "a", "A", "AAbA", false, 3);
        row("case on leaves the other case", "aAbA", "a", "x", "xAbA", true, 1);
        row("removal, one at the start", "<b>x<b>y<b>", "<b>", "", "xy", true, 3);
        row("replacement holds the find text", "a<b<<", "<", "&lt;", "a&lt;b&lt;&lt;", true, 3);
        row("overlapping: goes on after each", "aaaaa", "aa", "b", "bba", true, 2);
        row("no match", "abc", "x", "y", "abc", false, 0);
        row("sharp s is not SS", "straße", "SS", "x", "straße", false, 0);
        row("empty find", "abc", "", "x", "abc", false, 0);
        row("the whole text", "abc", "ABC", "", "", false, 1);
    }
    void replaceAll() {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(bool, matchCase);
        int count = -1;
        QTEST(ReplaceAllText(text, find, replacement, matchCase, &count), "expected");
        QTEST(count, "count");
        QTEST(ReplaceAllText(text, find, replacement, matchCase), "expected");
    }

    void goToNumber_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("expected");
        // clang-format off
        for (const auto& [box, expected] : std::initializer_list<std::pair<const char*, int>>{
                 {"", 0}, {"abc", 0}, {" 12", 12}, {"\t 7", 7}, {"12x", 12}, {"x12", 0}, {"-3", 0}, {"007", 7},
                 {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"99999999999999999999", INT_MAX}})
            // clang-format on
            QTest::newRow(box) << QString::fromLatin1(box) << expected;
    }
    void goToNumber() {
        QFETCH(QString, box);
        QTEST(GoToNumber(box), "expected");
    }

    void goToOffset_data() {
        QTest::addColumn<QString>("text");
        for (const char* column : {"line", "character", "expected"})
            QTest::addColumn<int>(column);
        // Lines "abcdefgh" at 0, "ij" at 10, "klm" at 14; 17 characters.
        const QString three = QStringLiteral("abcdefgh\r\nij\r\nklm");
        // The long line is shown in pieces, which are no lines of the text.
        const QString pieces =
            QStringLiteral("x\r\n") + QString(3000, QLatin1Char('y')) + QStringLiteral("\r\nz");
        QTest::newRow("line 1, character 5") << three << 1 << 5 << 4;
        QTest::newRow("past the line's end stops before CR LF") << three << 2 << 9 << 12;
        QTest::newRow("line and character 0 count as 1") << three << 0 << 0 << 0;
        QTest::newRow("negative line counts as 1") << three << -4 << 2 << 1;
        QTest::newRow("last line goes to its place") << three << 3 << 2 << 15;
        QTest::newRow("last line, past its end") << three << 3 << 99 << 17;
        QTest::newRow("line beyond the count goes to the end") << three << 4 << 1 << 17;
        QTest::newRow("INT_MAX line") << three << INT_MAX << 1 << 17;
        QTest::newRow("INT_MAX character") << three << 1 << INT_MAX << 8;
        QTest::newRow("one-line text") << QStringLiteral("hello") << 1 << 3 << 2;
        QTest::newRow("empty text") << QString() << 1 << 4 << 0;
        QTest::newRow("within a line shown in pieces") << pieces << 2 << 2600 << 2602;
        QTest::newRow("the line after it") << pieces << 3 << 1 << 3005;
    }
    void goToOffset() {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(int, character);
        RichTextControl control;
        control.setText(text);
        QTEST(GoToOffset(control, line, character), "expected");
    }

    // The file's bytes; a null array: no file at all.
    void readHistory_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Strings>("expected");
        QByteArray many;
        Strings first40;
        for (int i = 1; i <= 45; ++i) {
            many += "entry " + QByteArray::number(i) + (i % 3 == 0 ? "\n" : i % 3 == 1 ? "\r\n" : "\r");
            if (i <= 40)
                first40 << QStringLiteral("entry %1").arg(i);
        }
        const QByteArray longer(65535, 'x'); // longer than one read of the file, its CR LF split by the next
        QTest::newRow("missing file") << QByteArray() << Strings();
        QTest::newRow("empty file") << QByteArray("") << Strings();
        QTest::newRow("CR LF, LF and CR breaks") << QByteArray("a\r\nb\nc\rd") << Strings{"a", "b", "c", "d"};
        QTest::newRow("a final break starts no line") << QByteArray("a\r\nb\r\n") << Strings{"a", "b"};
        QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << Strings{"a", "", "b"};
        QTest::newRow("UTF-8") << QByteArray("straße\r\n€") << Strings{"straße", "€"};
        QTest::newRow("45 lines give the first 40") << many << first40;
        QTest::newRow("CR LF across reads") << longer + "\r\ny" << Strings{QString::fromLatin1(longer), "y"};
    }
    void readHistory() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.txt"));
        QFile file(path);
        if (!bytes.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
        QTEST(ReadSearchHistory(path), "expected");
    }

    // The file holds "old\r\n" before each write; what it holds after, then reads back as.
    void writeHistory_data() {
        QTest::addColumn<Strings>("entries");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Strings>("readBack");
        QTest::newRow("in order, each ended with CR LF")
            << Strings{"<table>", "straße", "a b"} << QByteArray("<table>\r\nstraße\r\na b\r\n")
            << Strings{"<table>", "straße", "a b"};
        QTest::newRow("empty entries skipped") << Strings{"", "x", ""} << QByteArray("x\r\n") << Strings{"x"};
        QTest::newRow("entries with breaks skipped")
            << Strings{"a\r\nb", "c", "d\ne"} << QByteArray("c\r\n") << Strings{"c"};
        QTest::newRow("only empty entries leave the file")
            << Strings{"", ""} << QByteArray("old\r\n") << Strings{"old"};
        QTest::newRow("no entries leave the file") << Strings() << QByteArray("old\r\n") << Strings{"old"};
    }
    void writeHistory() {
        QFETCH(Strings, entries);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old\r\n") == 5);
        file.close();
        QVERIFY(WriteSearchHistory(path, entries));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTEST(file.readAll(), "bytes");
        QTEST(ReadSearchHistory(path), "readBack");
        // A file that cannot be written is a failure; a folder reads as an empty history.
        QVERIFY(!WriteSearchHistory(dir.filePath(QStringLiteral("missing/history.txt")), {"x"}));
        QVERIFY(ReadSearchHistory(dir.path()).isEmpty());
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
