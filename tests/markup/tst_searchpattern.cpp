#include "markup/SearchPattern.h"
#include "support/DataTable.h"

#include <QtTest>

namespace {

// "c" match case, "r" a pattern, "w" whole words.
SearchOptions optionsOf(const QString& letters) {
    return {letters.contains('c'), letters.contains('r'), letters.contains('w')};
}

} // namespace

class TestSearchPattern : public QObject {
    Q_OBJECT

private slots:
    // "expected": the text after Replace All and " #" the count, or the message of a pattern not valid.
    void replaceAll_data() {
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
    void replaceAll() {
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
    void steps_data() {
        table({"text", "find", "options", "how", "expected"},
              {"down, overlapping; aaa; a+; r; down; 0+3 1+2 2+1",
               "up, starts inside earlier matches; a1 b22 c333; \\d+; r; up; 10+1 9+2 8+3 5+1 4+2 1+1",
               "empty, down, not inside CR LF; a\r\nb; $; r; down; 1+0 4+0",
               "empty, up; a\r\nb; ^; r; up; 3+0 0+0",
               "up, whole words; cat concat cat; cat; w; up; 11+3 0+3",
               "up, a match at a LF; a\r\nb\r\n; \\n; r; up; 4+2 1+2",
               "down, plain, case off; aAa; AA; ; down; 0+2 1+2"});
    }
    void steps() {
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

QTEST_MAIN(TestSearchPattern)
#include "tst_searchpattern.moc"
