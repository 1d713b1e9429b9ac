#include "editor/Search.h"
#include "editor/SearchState.h"
#include "editor/UndoHistory.h"
#include "markup/LineEndings.h"
#include "markup/SearchPattern.h"
#include "platform/RichTextControl.h"
#include "support/DataTable.h"
#include "support/TestEnvironment.h"

#include <QtTest>
#include <climits>

using Strings = QStringList;

namespace {

// "c" match case, "r" a pattern, "w" whole words.
SearchOptions optionsOf(const QString& letters) {
    return {letters.contains('c'), letters.contains('r'), letters.contains('w')};
}

} // namespace

// Searching text: plain finds and Replace All, patterns (regular expressions, whole words), Go To's
// numbers, and the search history.
class TestSearch : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QString path() const { return env.root() + "/history.txt"; }

private slots:
    // "how": down or up, with "case" when the case must match.
    void findMatch_data() {
        table({"text", "find", "from", "how", "expected"},
              {"down from inside a match skips it; one two one; one; 1; down case; 8",
               "down from a match's start finds it; one two one; one; 8; down case; 8",
               "up: only matches starting before from; one two one; one; 8; up case; 0",
               "up from inside a match finds it; one two one; one; 9; up case; 8",
               "up from the end finds the last character; abcx; x; 4; up case; 3",
               "case off; <Table>; TABLE; 0; down; 1", "case off, up; <Table>; TABLE; 7; up; 1",
               "case on; <Table>; TABLE; 0; down case; -1", "sharp s is not SS; straße; SS; 0; down; -1",
               "offsets after a sharp s are the text's; ß x; X; 0; down; 2",
               "case off, accented capitals; x École; éCOLE; 0; down; 2",
               "a CR LF is two characters; a\r\nb; B; 1; down; 3", "empty find; abc; ; 0; down case; -1",
               "find longer than the text; ab; abc; 0; down; -1",
               "down from before the text; xabx; x; -2; down case; 0",
               "down from past the end; xab; x; 10; down case; -1",
               "up from the start; xab; x; 0; up case; -1"});
    }
    void findMatch() {
        const qsizetype found = FindMatch(cell("text"), cell("find"), cell("from").toInt(),
                                          cell("how").startsWith("down"), cell("how").endsWith("case"));
        QCOMPARE(QString::number(found), cell("expected"));
    }

    // "expected": the text after the replacement and the number of matches replaced.
    void replaceAll_data() {
        table({"text", "find", "replacement", "case", "expected"},
              {"a by A, case off, ends; aAbA; a; A; off; AAbA 3",
               "case on leaves the other case; aAbA; a; x; on; xAbA 1",
               "removal, at both ends; <b>x<b>y<b>; <b>; ; on; xy 3",
               "overlapping: goes on after each; aaaaa; aa; b; on; bba 2",
               "sharp s is not SS; straße; SS; x; off; straße 0",
               "accents, CR LF; é\r\nxÉ; É; e; off; e\r\nxe 2", "empty find; abc; ; x; off; abc 0"});
    }
    void replaceAll() {
        const bool matchCase = cell("case") == "on";
        int count = -1;
        const QString result =
            ReplaceAllText(cell("text"), cell("find"), cell("replacement"), matchCase, &count);
        QCOMPARE(result + ' ' + QString::number(count), cell("expected"));
        QCOMPARE(ReplaceAllText(cell("text"), cell("find"), cell("replacement"), matchCase), result);
    }

    // Go To's boxes: blanks, then digits, else 0; too large saturates; the place is clamped to the text.
    void goTo() {
        QList<int> numbers;
        for (const char* box :
             {"", "x12", "-3", " \t12x", "007", "2147483647", "2147483648", "99999999999999999999"})
            numbers << GoToNumber(box);
        QCOMPARE(numbers, (QList<int>{0, 0, 0, 12, 7, INT_MAX, INT_MAX, INT_MAX}));
        // Lines at 0, 10 and 14 (17 characters); the 3000 y's are shown in pieces, no lines of the text.
        RichTextControl three, pieces, empty;
        three.setText("abcdefgh\r\nij\r\nklm");
        pieces.setText("x\r\n" + QString(3000, 'y') + "\r\nz");
        const QList<int> offsets{GoToOffset(three, 2, 9),  // past the line's end: before its CR LF
                                 GoToOffset(three, -4, 0), // values below 1 count as 1
                                 GoToOffset(three, 3, 2),  // the last line
                                 GoToOffset(three, 4, 1),  // only a line beyond the count: the end
                                 GoToOffset(three, 1, INT_MAX), GoToOffset(empty, 1, 4),
                                 GoToOffset(pieces, 2, 2600),   GoToOffset(pieces, 3, 1)};
        QCOMPARE(offsets, (QList<int>{12, 0, 15, 17, 8, 0, 2602, 3005}));
    }

    // Replace All planned on a document: a plain find text whose matches are all alike is read in
    // pieces of 64K characters (a match across a piece's end counts), others whole. Either way the
    // plan gives the text a whole-text replacement gives, and its step is undone and redone exactly.
    void replaceAllPlanned_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("inPieces");
        QTest::addColumn<int>("selected"); // a stretch from 1,000 to this far from the end; 0: none
        // "abc" from 65,535 and "aaa" from 131,071: each across the end of a piece.
        const QString around = "<p>\r\n" + QString(65527, 'x') + "<b>abc</b>" + QString(65529, 'x') +
                               "aaabca\r\n" + QString(1000, 'x') + "aa";
        const auto row = [&](const char* tag, const QString& text, const char* find, const char* replacement,
                             bool matchCase, bool inPieces, int selected = 0) {
            QTest::newRow(tag) << text << QString(find) << QString(replacement) << matchCase << inPieces
                               << selected;
        };
        row("matches across pieces' ends", around, "abc", "\u00E9!", true, true);
        row("case off, every match alike", around, "<", "&lt;", false, true);
        row("matches next to each other", around + "aaaa", "aa", "b", true, true);
        row("a selected stretch", around, "b", "", true, true, 100);
        row("matches unlike the find text: read whole", around + "ABC", "abc", "-", false, false);
        row("a break in the replacement: read whole", around, "b>", "\n", true, false);
        row("replaced by itself", around, "abc", "abc", true, true);
    }
    void replaceAllPlanned() {
        const QString text = cell("text"), find = cell("find"), replacement = cell("replacement");
        QFETCH(bool, matchCase);
        QFETCH(bool, inPieces);
        QFETCH(int, selected);
        RichTextControl control;
        control.setText(text);
        if (selected > 0)
            control.select(1000, int(text.size()) - 1000 - selected);
        SearchState state;
        state.findText = find;
        state.matchCase = matchCase;
        ReplaceAllPlan plan = PlanReplaceAll(control, selected > 0, state, replacement);
        QCOMPARE(plan.readInPieces, inPieces);
        const QString stretch = selected > 0 ? control.selText() : text;
        int count = 0;
        const QString replacedStretch =
            TextForDocument(ReplaceAllText(stretch, find, replacement, matchCase, &count));
        QCOMPARE(plan.count, count);
        QCOMPARE(plan.changes, replacedStretch != stretch);
        if (!plan.changes)
            return;
        const QString replaced =
            text.left(plan.start) + replacedStretch + text.mid(plan.start + stretch.size());
        UndoHistory history(control);
        history.replaceStretch(std::move(plan));
        QVERIFY(control.text() == replaced);
        QVERIFY(history.Undo() && control.text() == text);
        QVERIFY(history.Redo() && control.text() == replaced);
    }

    // CR LF, LF, CR end lines (LF CR: two), 40 lines at most, a CR LF split between two reads is one.
    void history() {
        QCOMPARE(ReadSearchHistory(path()) + ReadSearchHistory(env.root()), Strings()); // no file; a folder
        QByteArray many;
        Strings lines;
        for (int i = 1; i <= 45; ++i)
            many += "entry " + QByteArray::number(i) + "\n", lines << QStringLiteral("entry %1").arg(i);
        const QByteArray longer(65535, 'x');
        for (const auto& [bytes, expected] : std::vector<std::pair<QByteArray, Strings>>{
                 {"straße\r\nb\nc\r€\r\n", {"straße", "b", "c", "€"}},
                 {"a\n\rb", {"a", "", "b"}},
                 {many, lines.mid(0, 40)},
                 {longer + "\r\ny", {QString::fromLatin1(longer), "y"}}}) {
            env.writeFile("history.txt", bytes);
            QCOMPARE(ReadSearchHistory(path()), expected);
        }
        // Written in order, each ended with CR LF; empty ones and ones with breaks skipped; none: no write.
        for (const auto& [entries, bytes] : std::vector<std::pair<Strings, QByteArray>>{
                 {{"<table>", "straße", "a b"}, "<table>\r\nstraße\r\na b\r\n"},
                 {{"", "a\rb", "c", "d\ne", ""}, "c\r\n"},
                 {{"", ""}, "old\r\n"}}) {
            env.writeFile("history.txt", "old\r\n");
            QVERIFY(WriteSearchHistory(path(), entries));
            QCOMPARE(TestEnvironment::readFile(path()), bytes);
        }
        QVERIFY(!WriteSearchHistory(env.root() + "/missing/history.txt", {"x"})); // cannot be written
    }

    // "expected": the text after Replace All and " #" the count, or the message of a pattern not valid.
    void patternReplaceAll_data() {
        table(
            {"text", "find", "replacement", "options", "expected"},
            {"groups by \\1 and $1; John Smith; (\\w+) (\\w+); \\2, $1; r; Smith, John #1",
             "line break, tab, backslash; a,b; ,; \\n\\t\\\\; r; a\r\n\t\\b #1",
             "groups across CR LF; one\r\ntwo\r\n; (\\w+)\\r\\n(\\w+); \\2\\n\\1; r; two\r\none\r\n #1",
             "^ and $ at each line; ab\r\ncd\r\n; ^|$; |; r; |ab|\r\n|cd|\r\n| #5",
             "dot stops at the line's end; ab\r\ncd; .+$; <$0>; r; <ab>\r\n<cd> #2",
             "a match at a LF takes in its CR; a\r\nb; \\n; ,; r; a,b #1",
             "missing groups stay, \\x stays; a1; (a)(1); $3\\3$2\\x$; r; $3\\31\\x$ #1",
             "a group not taking part; b; (a)?b; [\\1]; r; [] #1",
             "\\$ and whole match; ab; b; \\$\\0$0; r; a$bb #1",
             "plain text: replacement as it is; a.b; .; \\1$0; ; a\\1$0b #1",
             "whole word, plain; cat concat cat_ cat.; cat; dog; w; dog concat cat_ dog. #2",
             "whole word, pattern backtracks; category cat; cat|category; X; rw; X X #2",
             "whole word, pattern checked after; cat category; (?x)cat # note; X; rw; X category #1",
             "whole word, accents; é-cat écat; cat; X; w; é-X écat #1",
             "whole word, beyond the basic plane; 𝐀cat cat; cat; X; w; 𝐀cat X #1",
             "case off; AB ab; a(b); x; r; x x #2",
             "case on; AB ab; a(b); x; rc; AB x #1",
             "case off, accents; École; é; e; r; ecole #1",
             "empty matches, each once; abc; x*; -; r; -a-b-c- #4",
             "empty after a match; xa; x*; -; r; --a- #3",
             "empty never inside CR LF; a\r\nb; x*; -; r; -a-\r\n-b- #4",
             "unclosed group; x; (abc; y; r; The search pattern is not valid: missing closing parenthesis at "
             "character 5.",
             "offset of the typed pattern; x; a); y; rw; The search pattern is not valid: unmatched closing "
             "parenthesis at character 2.",
             "nothing to repeat; x; *a; y; r; The search pattern is not valid: quantifier does not follow a "
             "repeatable item at character 1.",
             "plain text is never a pattern; x; (abc; y; ; x #0",
             "a lone surrogate (~) stays; a~b~; b|$; X; r; a~X~X #2"});
    }
    void patternReplaceAll() {
        const SearchPattern pattern(cell("find"), optionsOf(cell("options")));
        int count = -1;
        const QChar lone(0xD800);
        const QString replaced =
            pattern.replaceAll(cell("text").replace('~', lone), cell("replacement"), &count);
        if (pattern.isValid()) {
            QCOMPARE(replaced + " #" + QString::number(count), cell("expected").replace('~', lone));
        } else {
            QCOMPARE(pattern.errorMessage(), cell("expected"));
            QCOMPARE(replaced + " #" + QString::number(count), cell("text") + " #0");
            QVERIFY(!pattern.findNext(cell("text"), 0).found() &&
                    !pattern.findPrevious(cell("text"), 1).found());
        }
    }

    // Find Next repeated as the dialog does it: down from one past each match, up from its start.
    void patternSteps_data() {
        table({"text", "find", "options", "how", "expected"},
              {"down, overlapping; aaa; a+; r; down; 0+3 1+2 2+1",
               "up, starts inside earlier matches; a1 b22 c333; \\d+; r; up; 10+1 9+2 8+3 5+1 4+2 1+1",
               "empty, down, not inside CR LF; a\r\nb; $; r; down; 1+0 4+0",
               "empty, up; a\r\nb; ^; r; up; 3+0 0+0",
               "up, whole words; cat concat cat; cat; w; up; 11+3 0+3",
               "up, a match at a LF; a\r\nb\r\n; \\n; r; up; 4+2 1+2",
               "down, plain, case off; aAa; AA; ; down; 0+2 1+2"});
    }
    void patternSteps() {
        const SearchPattern pattern(cell("find"), optionsOf(cell("options")));
        const QString text = cell("text");
        const bool down = cell("how") == "down";
        QStringList found;
        PatternMatch match = down ? pattern.findNext(text, 0) : pattern.findPrevious(text, text.size());
        for (; match.found() && found.size() < 10; match = down ? pattern.findNext(text, match.start + 1)
                                                                : pattern.findPrevious(text, match.start)) {
            found << QString("%1+%2").arg(match.start).arg(match.length);
            QCOMPARE(pattern.matchAt(text, match.start).length, match.length);
        }
        QCOMPARE(found.join(' '), cell("expected"));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
