#include "editor/Search.h"
#include "platform/RichTextControl.h"
#include "support/TestEnvironment.h"

#include <QtTest>
#include <climits>

using Strings = QStringList;

class TestSearch : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QString path() const { return env.root() + "/history.txt"; }

private slots:
    void init() { QFile::remove(path()); }

    void findMatch_data() {
        for (const char* column : {"text", "find"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<int>("from");
        for (const char* column : {"downward", "matchCase"})
            QTest::addColumn<bool>(column);
        QTest::addColumn<int>("expected");
        // clang-format off
        QTest::newRow("down from inside a match skips it") << "one two one" << "one" << 1 << true << true << 8;
        QTest::newRow("down from a match's start finds it") << "one two one" << "one" << 8 << true << true << 8;
        QTest::newRow("up: only matches starting before from") << "one two one" << "one" << 8 << false << true << 0;
        QTest::newRow("up from inside a match finds it") << "one two one" << "one" << 9 << false << true << 8;
        QTest::newRow("up from the end finds the last character") << "abcx" << "x" << 4 << false << true << 3;
        QTest::newRow("case off") << "<Table>" << "TABLE" << 0 << true << false << 1;
        QTest::newRow("case off, up") << "<Table>" << "TABLE" << 7 << false << false << 1;
        QTest::newRow("case on") << "<Table>" << "TABLE" << 0 << true << true << -1;
        QTest::newRow("sharp s is not SS") << "straße" << "SS" << 0 << true << false << -1;
        QTest::newRow("offsets after a sharp s are the text's") << "ß x" << "X" << 0 << true << false << 2;
        QTest::newRow("empty find") << "abc" << "" << 0 << true << true << -1;
        QTest::newRow("find longer than the text") << "ab" << "abc" << 0 << true << false << -1;
        QTest::newRow("down from before the text") << "xabx" << "x" << -2 << true << true << 0;
        QTest::newRow("down from past the end") << "xab" << "x" << 10 << true << true << -1;
        QTest::newRow("up from the start") << "xab" << "x" << 0 << false << true << -1;
        // clang-format on
    }
    void findMatch() {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(int, from);
        QFETCH(bool, downward);
        QFETCH(bool, matchCase);
        QTEST(int(FindMatch(text, find, from, downward, matchCase)), "expected");
    }

    void replaceAll_data() {
        for (const char* column : {"text", "find", "replacement", "expected"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<int>("count");
        // clang-format off
        QTest::newRow("a by A, case off, ends") << "aAbA" << "a" << "A" << "AAbA" << false << 3;
        QTest::newRow("case on leaves the other case") << "aAbA" << "a" << "x" << "xAbA" << true << 1;
        QTest::newRow("removal, at both ends") << "<b>x<b>y<b>" << "<b>" << "" << "xy" << true << 3;
        QTest::newRow("overlapping: goes on after each") << "aaaaa" << "aa" << "b" << "bba" << true << 2;
        QTest::newRow("sharp s is not SS") << "straße" << "SS" << "x" << "straße" << false << 0;
        QTest::newRow("empty find") << "abc" << "" << "x" << "abc" << false << 0;
        // clang-format on
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

    // Leading blanks skipped, then digits; anything else is 0, and numbers too large saturate.
    void goToNumber() {
        const Strings boxes{"",    "x12",        "-3",         " \t12x",
                            "007", "2147483647", "2147483648", "99999999999999999999"};
        QList<int> numbers;
        for (const QString& box : boxes)
            numbers << GoToNumber(box);
        QCOMPARE(numbers, (QList<int>{0, 0, 0, 12, 7, INT_MAX, INT_MAX, INT_MAX}));
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
        QTest::newRow("past the line's end stops before CR LF") << three << 2 << 9 << 12;
        QTest::newRow("values below 1 count as 1") << three << -4 << 0 << 0;
        QTest::newRow("the last line goes to its place") << three << 3 << 2 << 15;
        QTest::newRow("only a line beyond the count goes to the end") << three << 4 << 1 << 17;
        QTest::newRow("INT_MAX character") << three << 1 << INT_MAX << 8;
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
        Strings lines;
        for (int i = 1; i <= 45; ++i)
            many += "entry " + QByteArray::number(i) + "\n", lines << QStringLiteral("entry %1").arg(i);
        const QByteArray longer(65535, 'x'); // longer than one read of the file, its CR LF split by the next
        QTest::newRow("missing file") << QByteArray() << Strings();
        QTest::newRow("CR LF, LF and CR breaks, UTF-8; a final break starts no line")
            << QByteArray("straße\r\nb\nc\r€\r\n") << Strings{"straße", "b", "c", "€"};
        QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << Strings{"a", "", "b"};
        QTest::newRow("45 lines give the first 40") << many << lines.mid(0, 40);
        QTest::newRow("CR LF across reads") << longer + "\r\ny" << Strings{QString::fromLatin1(longer), "y"};
    }
    void readHistory() {
        QFETCH(QByteArray, bytes);
        if (!bytes.isNull())
            env.writeFile("history.txt", bytes);
        QTEST(ReadSearchHistory(path()), "expected");
        QVERIFY(ReadSearchHistory(env.root()).isEmpty()); // a folder
    }

    // The file holds "old\r\n" before each write, and what it holds after.
    void writeHistory_data() {
        QTest::addColumn<Strings>("entries");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("in order, each ended with CR LF")
            << Strings{"<table>", "straße", "a b"} << QByteArray("<table>\r\nstraße\r\na b\r\n");
        QTest::newRow("empty entries and entries with breaks skipped")
            << Strings{"", "a\rb", "c", "d\ne", ""} << QByteArray("c\r\n");
        QTest::newRow("only empty entries leave the file") << Strings{"", ""} << QByteArray("old\r\n");
    }
    void writeHistory() {
        QFETCH(Strings, entries);
        env.writeFile("history.txt", "old\r\n");
        QVERIFY(WriteSearchHistory(path(), entries));
        QTEST(TestEnvironment::readFile(path()), "bytes");
        QVERIFY(!WriteSearchHistory(env.root() + "/missing/history.txt", {"x"})); // cannot be written
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
