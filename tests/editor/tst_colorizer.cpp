#include "editor/Colorizer.h"
#include "editor/mdlFile.h"
#include "markup/LineEndings.h"
#include "platform/RichTextControl.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/MappedLibraries.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <optional>

namespace {

using Operation = std::function<void(RichTextControl&)>;

// Role colours one unit apart in each channel: colours must be compared as exact integers.
const ColorRoles kRoles{0x010203, 0x010204, 0x010303, 0x020203};
const ColorRoles kTagAsText{kRoles.text, kRoles.value, kRoles.text, kRoles.comment};
// A colour no role uses: it marks characters the colorizer did not touch.
constexpr ColorValue kUntouched = 0x123456;
const QList<ColorValue> kColors{kRoles.tag, kRoles.value, kRoles.text, kRoles.comment, kUntouched};

// Colours are written one letter per character of the control's text (a CR LF is two):
// t tag, v value, x text, c comment, . untouched, ? anything else. Spaces only group letters.
const auto letterOf = [](ColorValue c) { return QStringLiteral("?tvxc.").at(kColors.indexOf(c) + 1); };
const auto colorOf = [](QChar letter) { return kColors.at(QStringLiteral("tvxc.").indexOf(letter)); };

QString pattern(const RichTextControl& control) {
    QString letters;
    for (int offset = 0; offset < control.textLength(); ++offset)
        letters += letterOf(control.colorAt(offset));
    return letters;
}

// ColorizeRange from `start` (1-based) over `length` (0: all) with the selection (0, 2), clean: when it
// paints, the selection collapses, typing goes on in text colour, the document is clean again.
Operation range(int start, int length, const ColorRoles& roles = kRoles) {
    return [=](RichTextControl& control) {
        int restores = 0;
        control.select(0, 2);
        const QString before = pattern(control);
        ColorizeRange(control, roles, start, length, {[] { return false; }, [&] { ++restores; }});
        const bool painted = pattern(control) != before;
        QCOMPARE(restores, int(painted));
        QCOMPARE(qMakePair(control.selStart(), control.selLength()), qMakePair(0, painted ? 0 : 2));
        QVERIFY(!painted || control.selColor() == roles.text);
    };
}

// Text inserted at `offset` in the typing colour (or `typedIn`'s), recoloured; the cursor ends after it.
Operation recolor(int offset, const QString& inserted, QChar typedIn = QChar()) {
    return [=](RichTextControl& control) {
        control.setSelStart(offset);
        control.setSelColor(typedIn.isNull() ? TypingColor(control, kRoles, offset) : colorOf(typedIn));
        control.setSelText(inserted);
        RecolorChange(control, kRoles, offset, inserted.size());
        QCOMPARE(qMakePair(control.selStart(), control.selLength()),
                 qMakePair(offset + int(inserted.size()), 0));
    };
}

// The colours characters typed at `offsets` get, from the colours on either side.
Operation typing(const QList<int>& offsets, const QString& expected) {
    return [=](RichTextControl& c) {
        QString letters;
        for (const int offset : offsets)
            letters += letterOf(TypingColor(c, kRoles, offset));
        QCOMPARE(letters, expected);
    };
}

// Colorize Document on a selection, or Remove Colors over `clear`; the cursor ends at `cursor`.
Operation command(int selStart, int selLength, int cursor, std::optional<std::pair<int, int>> clear = {}) {
    return [=](RichTextControl& control) {
        control.select(selStart, selLength);
        if (clear)
            ClearColors(control, kRoles, clear->first, clear->second);
        else
            ColorizeDocument(control, kRoles);
        QCOMPARE(qMakePair(control.selStart(), control.selLength()), qMakePair(cursor, 0));
    };
}

} // namespace

Q_DECLARE_METATYPE(Operation)

// The colouring of markup: its rules on a text control, and documents coloured in their windows.
class TestColorizer : public QObject {
    Q_OBJECT

    // A letter per character: t(ag) v(alue) c(omment) x(text) o(ther: 1, 2, 3), ? for any other
    // colour, _ for each character of a line break; then " changed" if the document shows as changed.
    static QString shown(AppFixture& app, frmNotepad* window) {
        QString map;
        const RichTextControl& text = *window->txtRich;
        for (int i = 0; i < text.textLength(); ++i) {
            const qsizetype role =
                QList<ColorValue>{200, 13107200, 25600, 0, 0x030201}.indexOf(text.colorAt(i));
            map += QStringLiteral("\r\n").contains(text.charAt(i)) ? QChar('_')
                                                                   : QStringLiteral("?tvcxo").at(role + 1);
        }
        const DocumentSlot& record = app.record(window->slot());
        const bool clean =
            !record.Modified && !window->windowTitle().endsWith('*') && !record.PathCaption.endsWith('*');
        return map + (clean ? "" : " changed");
    }

private slots:
    // A text in given colours (a letter a character, the last one repeated; "" colours it whole), an
    // operation, and the colours after it (none when the operation checks all it needs itself).
    void rules_data() {
        for (const char* column : {"text", "colors", "expected"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<Operation>("operation");
        const auto row = [](const char* name, const char* text, const char* colors, Operation operation,
                            const QString& expected = {}) {
            QTest::newRow(name) << QString(text) << QString(colors) << expected << operation;
        };
        const auto scan = [&](const char* name, const char* text, const char* expected) {
            row(name, text, ".", range(0, 0), expected);
        };
        scan("tags, double-quoted values", "<b>x</b><a h=\"y\" t=z '>", "ttt x tttt ttttt vvv ttttttt");
        scan("comments in a row, a short one", "<!--a--><!--b--> <!--><p>", "cccccccc cccccccc x ccccc ttt");
        scan("server blocks hide their less-thans", "a<% b < c %>d<?p ?><b>", "x ccccccccccc x cccccc ttt");
        scan("a less-than before a blank is text", "a < b <i>", "xxxxxx ttt");
        scan("nested less-than, quote left open", "<a<b>x<c \"d>\"", "ttttt x tttttt x");
        scan("comment without its end is a tag", "<!-- a <b> c", "tttttttttt xx");
        scan("arrow in text makes the next comment a tag", "-> <!-- c -->", "xxx tttttttttt");
        scan("letters beyond ASCII", "é<b é=\"ü\">ß", "x ttttt vvv t x");
        scan("tag and comment across line breaks", "<b\r\n>\r\n<!--\r\n-->", "ttttt xx ccccccccc");
        // One character past a stretch is scanned too.
        row("stretch inside the text", "xx<b>yy<i>zz", ".", range(6, 4), "..... xx ttt ..");
        row("extra character completes a tag", "<b>x", ".", range(0, 2), "ttt.");
        row("tag ending beyond the scanned text", "<a><bcd>", ".", range(1, 4), "tttx....");
        row("server block in a later stretch", "ab<?x?>cd", ".", range(3, 5), "..ccccc..");
        row("comment ending beyond the scanned text", "<b><!-- a -->", ".", range(1, 8), "ttt xxxxx .....");
        row("plain stretch: untouched", "<b>plain", ".", range(4, 5), "........");
        // With tag colour equal to text colour, a tag reaching the extra character is still painted.
        row("tag in text colour, past the stretch", "<b>x", ".", range(1, 2, kTagAsText), "xxx.");
        row("stretch running past the end", "x<b>", ".", range(2, 100), ".ttt");

        row("letter in text", "<b>ab</b>", "", recolor(4, "x"), "ttt xxx tttt");
        row("letter in a tag", "<b>", "", recolor(2, "r"), "tttt");
        row("letter in a quoted value", "<a b=\"cd\">", "", recolor(7, "x"), "ttttt vvvvv t");
        row("letter in a comment", "<!-- ab -->", "", recolor(6, "x"), "cccccccccccc");
        row("letter between tag and value", "<a b=\"c\">", "", recolor(5, "x"), "tttttt vvv t");
        row("letter between value and tag", "<a b=\"c\">", "", recolor(8, "x"), "ttttt vvv tt");
        row("tag-coloured letter between two tags: text", "<b><i>", "", recolor(3, "x", 't'), "ttt x ttt");
        row("letter after a lone quote: value", "<a b=\">", "", recolor(6, "x", 't'), "tttttt v t");
        row("line break in text", "<p>ab</p>", "", recolor(4, "\r\n"), "ttt xxxx tttt");
        row("whole tag pasted at offset 1", "ab", "x", recolor(1, "<i>"), "x ttt x");
        row("whole tag pasted later, spaces around", "abcd", "x", recolor(2, " <i> "), "xx x ttt x xx");
        row("mixed stretch, with the character after it", "a >", "x", recolor(2, "<b", 'x'), "xx ttt");
        // Right after "->" the left side counts as text; the lone stretch has no tag to rescan.
        row("after \"->\": left side text", "<!--a-->xz", "c", recolor(9, "y", 'x'), "ccccccccc x c");
        row("\"<!-\" after: right side text", "ab<!--c-->", "c", recolor(2, "x", 'x'), "cc x cccccccc");
        row("tag-coloured letter after a tag: text", "<b>ab", "tttxx", recolor(3, "y", 't'), "ttt x xx");
        row("nothing inserted: nothing recoloured", "<b>x", ".", recolor(1, ""), "....");
        // Stretches longer than the pieces they are read in: the first and last characters other than
        // blanks, and a "<" far inside, decide as in a short one. A whole tag behind blanks and line
        // breaks is coloured afresh; a "<" only in a later piece, between two tags, is painted as tag.
        const int n = 70000;
        const QString ys(n, 'y');
        row("a long whole tag pasted", "ab", "x", recolor(1, "\r\n\t <i " + ys + ">\t\r\n"),
            "x" + QString(4, 'x') + QString(n + 4, 't') + "xxx" + "x");
        row("a less-than far inside a long stretch", "<b></b>", "", recolor(3, ys + "<" + ys),
            "ttt" + QString(2 * n + 1, 't') + "tttt");

        row("typing in a tag, before and in a value, between value and >, between tags", "<a b=\"cd\"><i>",
            "", typing({2, 5, 7, 9, 10}, "ttvtx"));
        row("typing at the end in a tag, or before a less-than even in tag colour", "a<b", "t",
            typing({3, 1}, "xx"));
        row("typing beside comment colours beats the tag rules", "><!--a-->-->", "c", typing({1, 9}, "cc"));

        // Colorize Document recolours a selection of 3+ characters and the one after it, else the whole text.
        // Remove Colors: start 0-based (negative as 0), length 0 meaning the text's length.
        const char* tags = "<b>x</b> <i>y</i>";
        row("colorize 2 chars: the whole text", tags, ".", command(0, 2, 0), "tttxtttt x tttxtttt");
        row("colorize 3 chars: a whole tag", tags, ".", command(9, 3, 12), "......... ttt .....");
        row("colorize 3 chars and the next", tags, ".", command(4, 3, 7), ".... tttt .........");
        row("colorize 3 chars up to a lone <", tags, ".", command(2, 3, 5), "..xxx............");
        row("remove, negative start as 0", tags, ".", command(5, 2, 5, {{-5, 3}}), "xxx..............");
        row("remove, length 0 from 4", tags, ".", command(5, 2, 5, {{4, 0}}), "....xxxxxxxxxxxxx");
    }
    void rules() {
        QFETCH(QString, colors);
        QFETCH(Operation, operation);
        QFETCH(QString, expected);
        RichTextControl control;
        control.setText(cell("text"));
        if (colors.isEmpty())
            ColorizeRange(control, kRoles, 0, 0);
        for (int offset = 0; offset < control.textLength() && !colors.isEmpty(); ++offset)
            control.paint(offset, 1, colorOf(colors.at(std::min<int>(offset, colors.size() - 1))));
        operation(control);
        if (!expected.isEmpty())
            QCOMPARE(pattern(control), expected.remove(QLatin1Char(' ')));
    }

    // Random markup, stretches and selections: the text, its unsaved-changes state and the change
    // signal stay untouched, every colour is a role's, and ColorizeRange paints the computed spans.
    void randomText() {
        const auto pieces = QStringLiteral("<|>|<!-|->|-|!|%|?|\"|'| |a|b=|\r\n|\n|<b>|\t|é").split('|');
        QRandomGenerator random(20240611);
        for (int round = 0; round < 1000; ++round) {
            QString text;
            for (int count = random.bounded(41); count > 0; --count)
                text += pieces[random.bounded(pieces.size())];
            text = NormalizeToCrLf(text);
            RichTextControl control;
            control.setText(text);
            const int total = control.textLength();
            control.paint(0, total, kUntouched);
            const int start = random.bounded(total + 2), length = random.bounded(total + 2);
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
                const bool splitsBreak =
                    text.mid(base, 1) == "\n" || text.mid(base + stretch, 2).contains('\n');
                QVERIFY2(splitsBreak || pattern(control) == expected, context);
            } else if (round % 4 == 1) {
                RecolorChange(control, kRoles, start, length, hooks);
            } else if (round % 4 == 2) {
                ClearColors(control, kRoles, start - 1, length, hooks);
            } else {
                ColorizeDocument(control, kRoles, hooks);
            }
            QVERIFY2(control.text() == text && changes.isEmpty() && modified == (round % 8 == 7) &&
                         !pattern(control).contains(QLatin1Char('?')),
                     context);
        }
    }

    // Colours in document windows, and that colouring never marks a document changed.

    // Opened files (DoOnOpen 5: LF breaks) are coloured, stay clean and are repainted on save.
    void openedFileIsColouredAndRepaintedOnSave_data() {
        table({"useColors", "doOnOpen", "map", "saved", "firstLine"},
              {"coloured; on; 0; tttttvvvt__cccccccc__; ; <A b=\"X\">",
               "colours off; off; 0; xxxxxxxxx__xxxxxxxx__; ; <A b=\"X\">",
               "lower case on open; on; 1; tttttvvvt__cccccccc__; ; <a b=\"X\">",
               "tags removed on open: not coloured; on; 2; __xxxxxxxx__; __cccccccc__; ",
               "upper case on open; on; 3; tttttvvvt__cccccccc__; ; <A B=\"X\">",
               "unix on open still coloured; on; 5; tttttvvvt__cccccccc__; ; <A b=\"X\">"});
    }
    void openedFileIsColouredAndRepaintedOnSave() {
        AppFixture app;
        const QString path = app.env.writeFile("c.htm", "<A b=\"X\">\n<!-- -->\n");
        app.start();
        app.main->mutableSettings().UseColors = cell("useColors") == "on";
        app.main->mutableSettings().DoOnOpen = cell("doOnOpen").toInt();
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window && window->windowTitle() == path);
        QCOMPARE(shown(app, window), cell("map"));
        window->txtRich->paint(1, 2, 0x030201);
        window->txtRich->setSelStart(5);
        QVERIFY(SaveCommand(*app.main, window->slot()));
        QCOMPARE(TestEnvironment::readFile(path), (cell("firstLine") + "\n<!-- -->\n").toUtf8());
        QCOMPARE(shown(app, window) + " at " + QString::number(window->txtRich->selStart()),
                 (cell("saved").isEmpty() ? cell("map") : cell("saved")) + " at 5");
    }

    // A file's colours on opening are those of its text as the document holds it, whatever its line
    // breaks (all shown as CR LF) and characters the document reserves.
    void openedFileColouredAsItsText_data() {
        table({"bytes", "map"}, {"LF; <A b=\"X\">\\n<!-- -->\\n; tttttvvvt__cccccccc__",
                                 "lone CR; <A>\\r<!--\\r-->x; ttt__cccc__cccx",
                                 "CR LF and LF mixed; <A>\\r\\n\\n<B c=\"d\">; ttt____tttttvvvt",
                                 "LF CR; <I>\\n\\r<!---->; ttt____ccccccc", "no break; a<B>c; xtttx",
                                 "paragraph separator; <A>\xe2\x80\xa9<B>; tttxttt"});
    }
    void openedFileColouredAsItsText() {
        AppFixture app;
        QString bytes = cell("bytes");
        bytes.replace(QStringLiteral("\\n"), QStringLiteral("\n"))
            .replace(QStringLiteral("\\r"), QStringLiteral("\r"));
        const QString path = app.env.writeFile("o.htm", bytes.toUtf8());
        app.start();
        QTest::failOnWarning(QRegularExpression(QStringLiteral("colouring")));
        frmNotepad* window = OpenDocument(*app.main, path);
        QVERIFY(window);
        QCOMPARE(shown(app, window), cell("map"));
        ColorizeRange(*window->txtRich, window->colorRoles(), 0, 0, window->stateHooks());
        QCOMPARE(shown(app, window), cell("map"));
    }

    // Template, markup inserted while colours are on or off, typing: a character takes its place's colour.
    void newDocumentInsertedMarkupAndTyping() {
        AppFixture app;
        app.env.writeFile("data/Quillora/default.htm", "<!--c--><P>@@</P>");
        app.start();
        frmNotepad* window = app.document(0);
        RichTextControl* control = window->txtRich;
        QCOMPARE(shown(app, window), QStringLiteral("ccccccccttttttt"));
        window->InsertAtCursor(QStringLiteral("<I A=\"x\">"));
        app.main->mutableSettings().UseColors = false;
        window->InsertAtCursor(QStringLiteral("<B>"));
        QCOMPARE(shown(app, window), QStringLiteral("ccccccccttttttttvvvtxxxtttt changed"));
        QVERIFY(app.record(0).Modified);
        app.main->mutableSettings().UseColors = true;
        for (const int cursor : {20, 17, 16, 12, 4}) {
            control->setSelStart(cursor);
            typeText(control, "z");
        }
        QCOMPARE(control->text() + ' ' + shown(app, window),
                 "<!--zc--><P><zI A=z\"zx\">z<B></P> cccccccccttttttttttvvvvtxxxxtttt changed");
    }

    // Colour commands on "b>x" of "<b>xy" (its "<" painted first) never change the text or mark it changed.
    void colorCommands_data() {
        table({"item", "chosen", "map"},
              {"Tag; mnuColTag; ; ?tttx", "Comment; mnuColComment; ; ?cccx", "Value; mnuColValue; ; ?vvvx",
               "Text; mnuColText; ; ?xxxx", "Other; mnuColOther; #010203; ?ooox",
               "Other, black; mnuColOther; black; ?xxxx", "Other, cancelled; mnuColOther; ; ?ttxx",
               "Colorize Document; mnuColorize; ; tttxx", "Remove Colors; mnuRemoveColors; ; xxxxx"});
    }
    void colorCommands() {
        AppFixture app;
        app.start({app.env.writeFile("doc.htm", "<b>xy")});
        frmNotepad* window = app.document(0);
        app.dialogs.colors.enqueue(QColor(9, 9, 9));
        window->txtRich->select(0, 1);
        app.main->popupMenu()->findChild<QAction*>("mnuColOther")->trigger();
        window->txtRich->select(1, 3);
        if (!cell("chosen").isEmpty())
            app.dialogs.colors.enqueue(QColor::fromString(cell("chosen")));
        QAction* action = window->findChild<QAction*>(cell("item"));
        (action ? action : app.main->popupMenu()->findChild<QAction*>(cell("item")))->trigger();
        QCOMPARE(shown(app, window) + ' ' + window->txtRich->text(), cell("map") + " <b>xy");
    }

    // Run last, after the main window and document windows above: colouring text maps nothing of the
    // browser engine or the HTML checker.
    void mapsNoEngine() { QCOMPARE(HeavyLibraries(MappedLibraries()), QStringList()); }
};

QTEST_MAIN(TestColorizer)
#include "tst_colorizer.moc"
