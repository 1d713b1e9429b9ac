#include "markup/TagMatch.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"

#include <QtTest>

// Marks in a text: "|" the cursor, "«»" a selection, "^" and "$" the window's start and end (else the
// whole text); a "css:" or "js:" prefix reads it as a style sheet or a script.
struct Marked {
    QString text;
    int cursor = 0, from = 0, to = -1;
    TextSpan selection;
    SourceKind kind = SourceKind::Markup;

    explicit Marked(QString marked) {
        for (const auto& [prefix, sourceKind] :
             {std::pair{"css:", SourceKind::StyleSheet}, {"js:", SourceKind::Script}})
            if (marked.startsWith(prefix)) {
                marked.remove(0, qstrlen(prefix));
                kind = sourceKind;
            }
        int open = -1, close = -1;
        int* const places[] = {&cursor, &open, &close, &from, &to};
        for (const QChar c : marked) {
            const qsizetype marker = QStringView(u"|«»^$").indexOf(c);
            if (marker < 0)
                text += c;
            else
                *places[marker] = int(text.size());
        }
        selection = open < 0 ? TextSpan{cursor, 0} : TextSpan{open, close - open};
    }
    TextWindow window() const {
        const int end = to < 0 ? int(text.size()) : to;
        return {QStringView(text).sliced(from, end - from), from, int(text.size())};
    }
};

// `text` with the valid ones of `spans` in «», the later first.
QString withSpans(QString text, std::vector<TextSpan> spans) {
    std::sort(spans.begin(), spans.end(), [](TextSpan a, TextSpan b) { return a.start > b.start; });
    for (const TextSpan span : spans)
        if (span.valid())
            text.insert(span.end(), u'»').insert(span.start, u'«');
    return text;
}

// Matching tags and brackets: the pairs found in a text, and Go to Matching Tag, Select Element and
// the marks at the cursor in a document window.
class TagMatchTest : public QObject {
    Q_OBJECT

private slots:
    // The tag or bracket at the cursor and its partner in «»; "~" when the window's edge left it open.
    void match_data() {
        table({"marked", "expected"},
              {"nested, inner; <div><d|iv></div></div>; <div>«<div>»«</div>»</div>",
               "nested, outer; <|div><div></div></div>; «<div>»<div></div>«</div>»",
               "from the end tag; <div><div></div></di|v>; «<div>»<div></div>«</div>»",
               "case; <DIV>x</d|iv>; «<DIV>»x«</div>»",
               "just after >; <b>|x</b>; «<b>»x«</b>»",
               "touching tags take the later; <b></b>|<i></i>; <b></b>«<i>»«</i>»",
               "void; <p><b|r></p>; <p>«<br>»</p>",
               "void end tag stray; <IMG></im|g>; <IMG>«</img>»",
               "self-closing; <div><x|/></div>; <div>«<x/>»</div>",
               "comment skipped; <div><!-- </div> --></di|v>; «<div>»<!-- </div> -->«</div>»",
               "cursor in a comment; <!-- <d|iv> --></div>; <!-- <div> --></div>",
               "script text holds no tags; <div><script>x='</div>'</script></d|iv>; "
               "«<div>»<script>x='</div>'</script>«</div>»",
               "script pair; <scr|ipt>a<b</script>; «<script>»a<b«</script>»",
               "script after />; <script/>a<b>c</script|>; «<script/>»a<b>c«</script>»",
               "style text; <div><style>a>b{}</style></div|>; «<div>»<style>a>b{}</style>«</div>»",
               "title text; <title><|b></title>; <title><b></title>",
               "declarations and blocks; <!DOCTYPE html><?x '<p>' ?><% f('</p>') %><p|>x</p>; "
               "<!DOCTYPE html><?x '<p>' ?><% f('</p>') %>«<p>»x«</p>»",
               "quoted > in values; <a title=\"x>y\" b='>'>t</|a>; «<a title=\"x>y\" b='>'>»t«</a>»",
               "unclosed closed by parent; <div><p|>text</div>; <div>«<p>»text</div>",
               "parent past the unclosed; <d|iv><p>text</div>; «<div>»<p>text«</div>»",
               "mis-nested, first; <b|><i>x</b></i>; «<b>»<i>x«</b>»</i>",
               "mis-nested, second; <b><i>x</b></|i>; <b><i>x</b>«</i>»",
               "never closed; <div|>text; «<div>»text",
               "stray end; x</|p>; x«</p>»",
               "unfinished tag is text; <div <p|>a</p>; <div «<p>»a«</p>»",
               "less-than is text; a < b <p|>; a < b «<p>»",
               "window ends first; <div|>x$</div>; «<div>»x</div>~",
               "window starts in a block; <?x ^<i> ?> x</i|>; <?x <i> ?> x«</i>»~",
               "arrow in text; x^<p>a --> b</p|>; x«<p>»a --> b«</p>»",
               "window starts in a script; <script>^ a<b|>c </script>; <script> a<b>c </script>",
               "bracket after the cursor; <script>f(a, \"(\", [1|])</script>; <script>f(a, \"(\", "
               "«[»1«]»)</script>",
               "bracket before the cursor; <script>f(|x)</script>; <script>f«(»x«)»</script>",
               "string skipped; <script>f(\")\"|)</script>; <script>f«(»\")\"«)»</script>",
               "line comment skipped; <script>{ // }\r\n|}</script>; <script>«{» // }\r\n«}»</script>",
               "regular expression skipped; <script>f(/\\)/|)</script>; <script>f«(»/\\)/«)»</script>",
               "division is no expression; <script>(a/b|)/c</script>; <script>«(»a/b«)»/c</script>",
               "no code outside scripts; <p>(|)</p>; <p>()</p>",
               "bracket in a string; js:\"(|\"; \"(\"",
               "template string; js:f(`)`|); f«(»`)`«)»",
               "unpaired at the end; js:f(|; f«(»",
               "style sheet; css:a { b: 0 }|; a «{» b: 0 «}»",
               "style string; css:a[t=\"]\"|]; a«[»t=\"]\"«]»",
               "no line comment in style; css:b: url(//x/|); b: url«(»//x/«)»",
               "bracket window ends first; js:f(|x$); f«(»x)~"});
    }

    void match() {
        const Marked marked(cell("marked"));
        const MatchResult result = MatchAt(marked.window(), marked.cursor, marked.kind);
        QCOMPARE(withSpans(marked.text, {result.own, result.partner}) + (result.clipped ? "~" : ""),
                 cell("expected"));
        if (result.partner.valid()) // from the partner, back
            QCOMPARE(MatchAt(marked.window(), result.partner.start, marked.kind).partner, result.own);
    }

    // Select Element from the selection, then again from each element found, to "-" for none.
    void enclosing_data() {
        table({"marked", "expected"},
              {"cursor in text; <div><p>a|b</p></div>; <div>«<p>ab</p>»</div> «<div><p>ab</p></div>» -",
               "across siblings; <div><p>a«b</p><p>c»</p></div>; «<div><p>ab</p><p>c</p></div>» -",
               "in a start tag; <ul><l|i>a</li></ul>; <ul>«<li>a</li>»</ul> «<ul><li>a</li></ul>» -",
               "void element alone; <p>x<b|r></p>; <p>x«<br>»</p> «<p>x<br></p>» -",
               "unclosed skipped; <div><p>a|</div>; «<div><p>a</div>» -",
               "same name nested; <i><i>«x»</i></i>; <i>«<i>x</i>»</i> «<i><i>x</i></i>» -",
               "comment holds none; <div><!-- <p> -->|</div>; «<div><!-- <p> --></div>» -",
               "just after an element; <p></p>|; «<p></p>» -", "outside all; x| <p></p>; -"});
    }

    void enclosing() {
        const Marked marked(cell("marked"));
        QStringList steps;
        TextSpan selection = marked.selection;
        for (int step = 0; step < 5 && selection.valid(); ++step) {
            selection = EnclosingElement(marked.window(), selection.start, selection.length).element;
            steps << (selection.valid() ? withSpans(marked.text, {selection}) : "-");
        }
        QCOMPARE(steps.join(' '), cell("expected"));
    }

    // Partners past the first windows are found by widening, up to the reach; a cursor in text reads little.
    void widening() {
        for (const int cells : {12000, 30000}) {
            const QString text = "<div>" + QString("<p>xx</p>").repeated(cells) + "</div>";
            const int total = int(text.size());
            std::vector<int> reads;
            const TextReader read = [&](int start, int length) {
                reads.push_back(length);
                return text.mid(start, length);
            };
            const bool reached = total - 5 < kMatchReach;
            QCOMPARE(MatchAround(read, total, 1, SourceKind::Markup).partner,
                     (reached ? TextSpan{total - 6, 6} : TextSpan{}));
            QCOMPARE(MatchAround(read, total, total - 1, SourceKind::Markup).partner,
                     (reached ? TextSpan{0, 5} : TextSpan{}));
            QCOMPARE(EnclosingElement(read, total, 5, total - 11), TextSpan({0, total}));
            reads.clear();
            QCOMPARE(MatchAround(read, total, 5 + 9 * (cells / 2) + 4, SourceKind::Markup).kind,
                     MatchResult::None);
            QCOMPARE(reads.size(), size_t(1));
            QVERIFY(reads[0] < 20000);
        }
    }

    // Go to Matching Tag (Ctrl+Shift+M) and Select Element (Ctrl+Shift+A) by keys in a document
    // window of the main window: the renderings after each press, from `cursor` in the file `name`.
    void keys_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("expected");
        const QByteArray page = "<div>\r\n<p>one <b>two</b></p>\r\n</div>";
        QTest::newRow("tag and back") << "page.htm" << page << 15 << int(Qt::Key_M)
                                      << QStringList{"<div>\r\n<p>one <b>two|</b></p>\r\n</div>",
                                                     "<div>\r\n<p>one |<b>two</b></p>\r\n</div>"};
        QTest::newRow("element widens") << "page.htm" << page << 19 << int(Qt::Key_A)
                                        << QStringList{"<div>\r\n<p>one [<b>two</b>]</p>\r\n</div>",
                                                       "<div>\r\n[<p>one <b>two</b></p>]\r\n</div>",
                                                       "[<div>\r\n<p>one <b>two</b></p>\r\n</div>]",
                                                       "[<div>\r\n<p>one <b>two</b></p>\r\n</div>]"};
        QTest::newRow("brackets in a script")
            << "code.js" << QByteArray("f(a[1, \"]\"]) ") << 3 << int(Qt::Key_M)
            << QStringList{"f(a[1, \"]\"|]) ", "f(a|[1, \"]\"]) "};
    }
    void keys() {
        QFETCH(QByteArray, content);
        QFETCH(int, cursor);
        QFETCH(int, key);
        QFETCH(QStringList, expected);
        AppFixture app;
        app.start({app.env.writeFile(cell("name"), content)});
        RichTextControl* text = app.document(0)->txtRich;
        text->select(cursor, 0);
        QVERIFY(QTest::qWaitForWindowActive(text->window()));
        QStringList seen;
        while (seen.size() < expected.size()) {
            sendKey(text, Qt::Key(key), Qt::ControlModifier | Qt::ShiftModifier);
            seen << render(*text);
        }
        QCOMPARE(seen, expected);
    }

    // The tag at the cursor and its partner are marked, after moves and after edits that leave the cursor.
    void marksFollowTheCursor() {
        AppFixture app;
        app.start({app.env.writeFile("page.htm", "<p>one <b>two</b></p>")});
        RichTextControl* text = app.document(0)->txtRich;
        QVERIFY(QTest::qWaitForWindowActive(text->window()));
        const auto marked = [text] {
            QCoreApplication::processEvents();
            std::vector<TextSpan> spans;
            for (const QTextEdit::ExtraSelection& mark : text->extraSelections()) {
                const int start = text->toOffset(mark.cursor.selectionStart());
                spans.push_back({start, text->toOffset(mark.cursor.selectionEnd()) - start});
            }
            return withSpans(text->text(), spans);
        };
        text->select(8, 0);
        QStringList seen{marked()};
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Delete, Qt::Key_Right, Qt::Key_End}) {
            sendKey(text, key);
            seen << marked();
        }
        QCOMPARE(seen, QStringList({"<p>one «<b>»two«</b>»</p>", "<p>one «<b>»two«</b>»</p>",
                                    "<p>one «<b>»two«</b>»</p>", "<p>one «<b>»wo«</b>»</p>",
                                    "<p>one <b>wo</b></p>", "«<p>»one <b>wo</b>«</p>»"}));
    }
};

QTEST_MAIN(TagMatchTest)
#include "tst_tagmatch.moc"
