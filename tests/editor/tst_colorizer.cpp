#include "editor/Colorizer.h"
#include "editor/LineEndings.h"
#include "platform/RichTextControl.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

namespace {

using Operation = std::function<void(RichTextControl&)>;

// Role colours one unit apart in each channel: colours must be compared as exact integers.
const ColorRoles kRoles{0x010203, 0x010204, 0x010303, 0x020203};
// A colour no role uses: it marks characters the colorizer did not touch.
constexpr ColorValue kUntouched = 0x123456;
const QList<ColorValue> kColors{kRoles.tag, kRoles.value, kRoles.text, kRoles.comment, kUntouched};

// Colours are written one letter per character of the control's text (a CR LF is two):
// t tag, v value, x text, c comment, . untouched, ? anything else. Spaces only group letters.
QChar letterOf(ColorValue color) {
    return QStringLiteral("?tvxc.").at(kColors.indexOf(color) + 1);
}

ColorValue colorOf(QChar letter) {
    return kColors.at(QStringLiteral("tvxc.").indexOf(letter));
}

QString pattern(const RichTextControl& control) {
    QString letters;
    for (int offset = 0; offset < control.textLength(); ++offset)
        letters += letterOf(control.colorAt(offset));
    return letters;
}

// ColorizeRange from `start` (1-based, 0 counts as 1) over `length` characters (0: the whole
// text), with the selection (0, 2) in a clean document. When it paints, the selection collapses
// where it started, typing goes on in text colour and the document is made clean again; when it
// paints nothing, nothing moves.
Operation range(int start, int length) {
    return [=](RichTextControl& control) {
        int restores = 0;
        control.select(0, 2);
        const QString before = pattern(control);
        ColorizeRange(control, kRoles, start, length, {[] { return false; }, [&] { ++restores; }});
        const bool painted = pattern(control) != before;
        QCOMPARE(restores, int(painted));
        QCOMPARE(control.selStart(), 0);
        QCOMPARE(control.selLength(), painted ? 0 : 2);
        QVERIFY(!painted || control.selColor() == kRoles.text);
    };
}

// Text typed or pasted at `offset` in the typing colour (or in the colour of `typedIn`), then
// recoloured from the colours around it; the cursor ends after it.
Operation recolor(int offset, const QString& inserted, QChar typedIn = QChar()) {
    return [=](RichTextControl& control) {
        control.setSelStart(offset);
        control.setSelColor(typedIn.isNull() ? TypingColor(control, kRoles, offset) : colorOf(typedIn));
        control.setSelText(inserted);
        RecolorChange(control, kRoles, offset, inserted.size());
        QCOMPARE(control.selStart(), offset + int(inserted.size()));
        QCOMPARE(control.selLength(), 0);
    };
}

// The colour a character typed at `offset` gets, from the colours on either side.
Operation typing(int offset, QChar expected) {
    return
        [=](RichTextControl& control) { QCOMPARE(letterOf(TypingColor(control, kRoles, offset)), expected); };
}

// "Colorize Document" with a selection: three characters or more are recoloured on their own
// (with the character after them), fewer colour the whole text.
Operation colorizeDocument(int selStart, int selLength, int cursor) {
    return [=](RichTextControl& control) {
        control.select(selStart, selLength);
        ColorizeDocument(control, kRoles);
        QCOMPARE(control.selStart(), cursor);
        QCOMPARE(control.selLength(), 0);
    };
}

// "Remove Colors": `start` 0-based (negative counts as 0), `length` 0 means the text's length.
// The cursor stays where the selection started.
Operation clear(int start, int length) {
    return [=](RichTextControl& control) {
        control.select(5, 2);
        ClearColors(control, kRoles, start, length);
        QCOMPARE(control.selStart(), 5);
        QCOMPARE(control.selLength(), 0);
    };
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestColorizer : public QObject {
    Q_OBJECT

private slots:
    // A text in given colours ("" colours it whole, "." leaves it untouched), an operation, and
    // the colours after it (none when the operation checks all it needs itself).
    void rules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colors");
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* text, const char* colors, Operation operation,
                            const char* expected = "") {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(colors) << operation
                                << QString::fromUtf8(expected);
        };
        row("tags around text", "<b>bold</b>", ".", range(0, 0), "tttxxxxtttt");
        row("double-quoted value with its quotes", "<a h=\"x.htm\" t=top '>", ".", range(0, 0),
            "ttttt vvvvvvv ttttttttt");
        row("unpaired last quote stays tag colour", "<a b=\"c\" d=\">", ".", range(0, 0), "ttttt vvv ttttt");
        row("comments in a row, text between", "<!--a--><!--b--> <!--c-->", ".", range(0, 0),
            "cccccccc cccccccc x cccccccc");
        row("shortest comment, then a tag", "<!--><p>", ".", range(0, 0), "ccccc ttt");
        row("percent server block hides its less-than", "a<% b < c %>d", ".", range(0, 0), "x ccccccccccc x");
        row("question server block then tag", "<?php echo 1 ?><b>", ".", range(0, 0), "ccccccccccccccc ttt");
        row("server block without its end is no block", "<% x <b>", ".", range(0, 0), "xxxxx ttt");
        row("less-than and space is no tag", "a < b > c", ".", range(0, 0), "xxxxxxxxx");
        row("tag without its end stops the scan", "<i>x <b y", ".", range(0, 0), "ttt xxxxxx");
        row("comment without its end is a tag", "<!-- a <b> c", ".", range(0, 0), "tttttttttt xx");
        row("arrow in text makes the next comment a tag", "-> <!-- c -->", ".", range(0, 0),
            "xxx tttttttttt");
        row("less-than inside a tag opens another one", "<a x=\"<b>\">", ".", range(0, 0), "ttttttttt xx");
        row("tag and comment across line breaks", "<b\r\n>\r\n<!--\r\n-->", ".", range(0, 0),
            "ttttt xx ccccccccc");
        row("no greater-than: untouched", "<b x", ".", range(0, 0), "....");
        // One character past a stretch is scanned too.
        row("stretch inside the text", "xx<b>yy<i>zz", ".", range(6, 4), "..... xx ttt ..");
        row("extra character completes a tag", "<b>x", ".", range(0, 2), "ttt.");
        row("tag ending beyond the scanned text", "<a><bcd>", ".", range(1, 4), "tttx....");
        row("server block in a later stretch", "ab<?x?>cd", ".", range(3, 5), "..ccccc..");
        row("comment ending beyond the scanned text", "<b><!-- a -->", ".", range(1, 8), "ttt xxxxx .....");
        row("plain stretch: untouched", "<b>plain", ".", range(4, 5), "........");
        row("stretch running past the end", "x<b>", ".", range(2, 100), ".ttt");

        row("letter in text", "<b>ab</b>", "", recolor(4, "x"), "ttt xxx tttt");
        row("letter in a tag", "<b>", "", recolor(2, "r"), "tttt");
        row("letter in a quoted value", "<a b=\"cd\">", "", recolor(7, "x"), "ttttt vvvvv t");
        row("letter after a tag at the end", "<b>", "", recolor(3, "c"), "ttt x");
        row("letter in a comment", "<!-- ab -->", "", recolor(6, "x"), "cccccccccccc");
        row("letter between tag and value", "<a b=\"c\">", "", recolor(5, "x"), "tttttt vvv t");
        row("letter between value and tag", "<a b=\"c\">", "", recolor(8, "x"), "ttttt vvv tt");
        row("tag-coloured letter between two tags: text", "<b><i>", "", recolor(3, "x", 't'), "ttt x ttt");
        row("letter after an unpaired quote in a tag: value", "<a b=\">", "", recolor(6, "x", 't'),
            "tttttt v t");
        row("line break in text", "<p>ab</p>", "", recolor(4, "\r\n"), "ttt xxxx tttt");
        row("whole tag pasted at offset 1", "ab", "xx", recolor(1, "<i>"), "x ttt x");
        row("whole tag pasted later, spaces around", "abcd", "xxxx", recolor(2, " <i> "), "xx x ttt x xx");
        row("mixed stretch, with the character after it", "a >", "xxx", recolor(2, "<b", 'x'), "xx ttt");
        // Right after "->" the left side counts as text; the lone stretch has no tag to rescan.
        row("after an arrow the left side is text", "<!--a-->xz", "cccccccccc", recolor(9, "y", 'x'),
            "ccccccccc x c");
        row("comment opening after the stretch: right side text", "ab<!--c-->", "cccccccccc",
            recolor(2, "x", 'x'), "cc x cccccccc");
        row("tag-coloured letter after a tag: text", "<b>ab", "tttxx", recolor(3, "y", 't'), "ttt x xx");
        row("nothing inserted: nothing recoloured", "<b>x", ".", recolor(1, ""), "....");

        row("typing inside a tag", "<br>", "", typing(2, 't'));
        row("typing between two tags", "<b><i>", "", typing(3, 'x'));
        row("typing inside a comment", "<!-- a -->", "", typing(5, 'c'));
        row("typing after a comment's end, inside it by colour", "<!--a-->-->", "ccccccccccc",
            typing(8, 'c'));
        row("typing inside a quoted value", "<a b=\"cd\">", "", typing(7, 'v'));
        row("typing between tag and value", "<a b=\"c\">", "", typing(5, 't'));
        row("typing between value and tag", "<a b=\"c\">", "", typing(8, 't'));
        row("typing between value and text", "ab", "vx", typing(1, 'x'));
        row("typing at the start", "<b>", "", typing(0, 'x'));
        row("typing at the end, in a tag", "<b", "tt", typing(2, 'x'));
        row("typing before a less-than, even in tag colour", "a<", "tt", typing(1, 'x'));
        row("typing between comment colours beats the tag rules", "><", "cc", typing(1, 'c'));

        const char* tags = "<b>x</b> <i>y</i>";
        row("colorize, 2 characters: the whole text", tags, ".", colorizeDocument(0, 2, 0),
            "tttxtttt x tttxtttt");
        row("colorize, 3 characters: a whole tag", tags, ".", colorizeDocument(9, 3, 12),
            "......... ttt .....");
        row("colorize, 3 characters and the one after", tags, ".", colorizeDocument(4, 3, 7),
            ".... tttt .........");
        row("colorize, 3 characters up to a lone less-than", tags, ".", colorizeDocument(2, 3, 5),
            "..xxx............");
        row("remove, negative start counts as 0", tags, ".", clear(-5, 3), "xxx..............");
        row("remove, length 0 from a later start", tags, ".", clear(4, 0), "....xxxxxxxxxxxxx");
    }
    void rules() {
        QFETCH(QString, text);
        QFETCH(QString, colors);
        QFETCH(Operation, operation);
        QFETCH(QString, expected);
        RichTextControl control;
        control.setText(text);
        if (colors.isEmpty())
            ColorizeRange(control, kRoles, 0, 0);
        for (int offset = 0; offset < control.textLength() && !colors.isEmpty(); ++offset)
            control.paint(offset, 1, colorOf(colors.at(std::min<int>(offset, colors.size() - 1))));
        operation(control);
        if (!expected.isEmpty())
            QCOMPARE(pattern(control), expected.remove(QLatin1Char(' ')));
    }

    // Roles set to the same colour cannot be told apart: the rules take the first match.
    void sharedRoleColors() {
        ColorRoles roles{0x0000ff, 0x00ff00, 0, 0x0000ff}; // tag and comment alike
        RichTextControl control;
        control.setText(QStringLiteral("<b><i>"));
        ColorizeRange(control, roles, 0, 0);
        // Both sides read as comment colour, so the rules after ">" and before "<" do not apply.
        QCOMPARE(TypingColor(control, roles, 3), roles.comment);
        // With tag colour equal to text colour, the ">" just past the stretch still gets painted.
        roles.tag = roles.text;
        control.setText(QStringLiteral("<b>x"));
        control.paint(0, 4, kUntouched);
        ColorizeRange(control, roles, 1, 2);
        QCOMPARE(control.colorAt(2), roles.text);
        QCOMPARE(control.colorAt(3), kUntouched);
    }

    // Random markup, stretches and selections: the text never changes, no change is raised, the
    // document's unsaved-changes state is kept, every colour is a role's, and ColorizeRange paints
    // exactly the spans ComputeColorSpans computes, in fewer, layered strokes.
    void randomText() {
        const QString pieces[] = {"<", ">", "<!-", "->", "-",    "!",  "%",   "?",  "\"",
                                  "'", " ", "a",   "b=", "\r\n", "\n", "<b>", "\t", "é"};
        QRandomGenerator random(20240611);
        for (int round = 0; round < 1000; ++round) {
            QString text;
            for (int count = random.bounded(41); count > 0; --count)
                text += pieces[random.bounded(int(std::size(pieces)))];
            text = NormalizeToCrLf(text);
            RichTextControl control;
            control.setText(text);
            const int total = control.textLength();
            control.paint(0, total, kUntouched);
            const int start = random.bounded(total + 2);
            const int length = random.bounded(total + 2);
            control.select(random.bounded(total + 1), random.bounded(4));
            bool modified = round % 8 == 7;
            const DocumentStateHooks hooks{[&] { return modified; }, [&] { modified = false; }};
            QSignalSpy changes(&control, &RichTextControl::change);
            const QByteArray context = text.toUtf8().toPercentEncoding() + " start " +
                                       QByteArray::number(start) + " length " + QByteArray::number(length);
            if (round % 4 == 0) {
                ColorizeRange(control, kRoles, start, length, hooks);
                // Painting either half of a CR LF paints both, which the computed spans do not know.
                const int base = std::max(start, 1) - 1;
                const int stretch = std::clamp(length == 0 ? total : length, 0, std::max(0, total - base));
                QString expected(total, QLatin1Char('.'));
                for (const ColorSpan& span :
                     ComputeColorSpans(text.mid(base, stretch + 1), base, stretch, kRoles))
                    expected.replace(span.start, span.length, QString(span.length, letterOf(span.color)));
                const auto splitsBreak = [&](int offset) {
                    return text.mid(offset, 1) == QLatin1String("\n");
                };
                const bool comparable =
                    !splitsBreak(base) && !splitsBreak(base + stretch) && !splitsBreak(base + stretch + 1);
                QVERIFY2(!comparable || pattern(control) == expected, context);
            } else if (round % 4 == 1) {
                RecolorChange(control, kRoles, start, length, hooks);
            } else if (round % 4 == 2) {
                ClearColors(control, kRoles, start - 1, length, hooks);
            } else {
                ColorizeDocument(control, kRoles, hooks);
            }
            QVERIFY2(control.text() == text, context);
            QVERIFY2(changes.isEmpty() && modified == (round % 8 == 7), context);
            QVERIFY2(!pattern(control).contains(QLatin1Char('?')), context);
        }
    }
};

QTEST_MAIN(TestColorizer)
#include "tst_colorizer.moc"
