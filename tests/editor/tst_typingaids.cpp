#include "markup/MarkupContext.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"

#include <QtTest>

// The typing aids where they are typed: in text, tags, values, comments, scripts and style sheets,
// and files that hold no markup; what a person types by hand comes out as typed.
class TypingAidsTest : public QObject {
    Q_OBJECT

    // Long stretches in a row: PARAS (30,000 characters of paragraphs), MANY (130,000), CODE (a
    // script's 32,000).
    static QString expanded(QString text) {
        return text.replace("PARAS", QString("<p>x</p>\r\n").repeated(3000))
            .replace("MANY", QString("<p>x</p>\r\n").repeated(13000))
            .replace("CODE", QString("x = 1;\r\n").repeated(4000));
    }

    // `before` ("|" the cursor, "[...]" a selection) in a new document, or in a file "doc.<file>".
    static frmNotepad* open(ShellFixture& app, const QString& file, QString before) {
        before = expanded(before);
        const QString plain = unmarked(before);
        app.start(file.isEmpty() ? QStringList()
                                 : QStringList{app.env.writeFile("doc." + file, plain.toUtf8())});
        frmNotepad* window = app.document(0);
        window->txtRich->setText(plain);
        window->colorizeWhole();
        window->ClearAllUndo();
        selectMarked(*window->txtRich, before);
        return window;
    }

private slots:
    // Rows expecting "hand" are typed as they should stand: the result is the text with the keys in
    // it. What the rows named "aid" leave is coloured as the whole text coloured afresh.
    void typed_data() {
        table({"file", "before", "keys", "expected"},
              {"hand: start tag with values; ; |; <p class=\"note\" id='x'>; hand",
               "hand: tag, text and end tag; ; |; <p class=\"a\">Hi</p>; hand",
               "hand: empty value, void tag; ; |; <img alt=\"\" src=\"a.png\">; hand",
               "hand: values holding < and >; ; |; <a title=\"a<b\" alt=\"c>d\">; hand",
               "hand: less-than in text; ; |; if a < b or 1<2; hand",
               "hand: comment; ; |; <!-- a <b> \"c\" -->x; hand",
               "hand: empty comment; ; |; <!---->; hand",
               "hand: inside a comment; ; <!-- | -->; <i> \"q\" </; hand",
               "hand: script; ; <script>|</script>; y = a < b;s = \"<p>\" + '</'; hand",
               "hand: style; ; <style>|</style>; p > a { content: \"<\" }; hand",
               "hand: title; ; <title>|</title>; a <b>; hand",
               "hand: server block; ; |; <?php if ($a < $b) echo \"<b>\";?>; hand",
               "hand: end tags, another than the innermost; ; <b><i>x|; </b></i>; hand",
               "hand: end tag in other case; ; <p>x|; </P>; hand",
               "hand: js file; js; |; y = a < b;<!--; hand",
               "hand: css file; css; |; a > b { c: \"<\" }; hand",
               "hand: text file; txt; |; <p class=\"x\"></; hand",
               "no attribute completed in a style sheet; css; <a |; {Ctrl+Space}; <a |",
               "hand: untitled of default format js; untitled.js; |; a<b \"c\"; hand",
               "aid: bracket pair; ; a|; <; a<|>",
               "aid: bracket stepped over; ; |; <b>; <b>|",
               "aid: quote pair in a tag; ; <a |>; \"; <a \"|\">",
               "quote in text; ; a|b; \"; a\"|b",
               "aid: quote around the selection; ; <a [x]>; \"; <a \"x|\">",
               "quote in a value; ; <a b='|'>; \"; <a b='\"|'>",
               "aid: comment; ; |; <!-; <!--|-->",
               "a > not added is typed; ; <p|>; >; <p>|>",
               "a quote not added is typed; ; <a b=\"x|\">; \"; <a b=\"x\"|\">",
               "closer forgotten when left; ; |; <a{Left}{Left}{Right}{Right}>; <a>|>",
               "aid: closer kept while inside; ; |; <ab{Left}{Right}>; <ab>|",
               "aid: end tag of the innermost; ; <ul><li>a</li>|; </; <ul><li>a</li></ul>|",
               "aid: end tag, nested; ; <div><p>x<b>y</b>|; </; <div><p>x<b>y</b></p>|",
               "aid: end tag past void and closed tags; ; <p>a<br><img src=\"x\"><i/>|; </; <p>a<br><img "
               "src=\"x\"><i/></p>|",
               "aid: end tag after unclosed li; ; <ul><li>a<li>b</li>|; </; <ul><li>a<li>b</li></ul>|",
               "aid: end tag of an unclosed li; ; <ol><li>a<li>b|; </; <ol><li>a<li>b</li>|",
               "aid: end tag after unclosed p; ; <div><p>a<p>b</p>|; </; <div><p>a<p>b</p></div>|",
               "aid: end tag, p closed by a block; ; <div><p>a<ul><li>b</ul>|; </; "
               "<div><p>a<ul><li>b</ul></div>|",
               "aid: end tag of a cell; ; <table><tr><td>a<td>b|; </; <table><tr><td>a<td>b</td>|",
               "aid: end tag in its case; ; <UL><LI>a</LI>|; </; <UL><LI>a</LI></UL>|",
               "aid: end tag past script and comment; ; <div><script>a<b;x('<p>')</script><!-- <p> -->|; </; "
               "<div><script>a<b;x('<p>')</script><!-- <p> --></div>|",
               "no end tag in a script; ; <script>|</script>; </; <script></|</script>",
               "hand: a script begun far back; ; <script>CODE|; if (a<b) c=\"<i>\"; hand",
               "script start deleted far back; ; <script>CODE|; <{Backspace}{Ctrl+Home}{Delete}{Ctrl+End}<; "
               "script>CODE<|>",
               "aid: end tag opened far back; ; <div>PARAS|; </; <div>PARAS</div>|",
               "no end tag opened beyond the reach; ; <div>MANY|; </; <div>MANY</|>",
               "no end tag with none open; ; <p>a</p>|; </; <p>a</p></|>",
               "no end tag with CloseTags off; off; <ul>|; </; <ul></|>",
               "aid: end tag without the bracket pair; ; <b>x|; <{Delete}/; <b>x</b>|",
               "aid: end tag completed, then text; ; <b>x|; </ y; <b>x</b> y|",
               "aid: end tag completed, name typed over; ; <b>x|; </i>; <b>x</i>|"});
    }
    void typed() {
        ShellFixture app;
        const QString file = cell("file");
        frmNotepad* window =
            open(app, file == "off" || file.startsWith("untitled") ? "" : file, cell("before"));
        Settings& settings = app.main->mutableSettings();
        settings.CloseTags = file != "off";
        if (file.startsWith("untitled"))
            settings.DefaultFormat = file.section('.', 1);
        const QString expected = cell("expected");
        if (expected == "hand")
            typeText(window->txtRich, cell("keys"));
        else
            typeKeys(window->txtRich, cell("keys"));
        QCOMPARE(render(*window->txtRich),
                 expanded(expected == "hand" ? QString(cell("before")).replace('|', cell("keys") + '|')
                                             : expected));
        const QList<ColorValue> typed = colors(*window->txtRich);
        window->colorizeWhole();
        QVERIFY(!QByteArray(QTest::currentDataTag()).startsWith("aid") || typed == colors(*window->txtRich));
    }

    // Each completion is one step of the history: Undo goes back through what the keys left.
    void undo_data() {
        table({"before", "keys", "steps"},
              {"completion; <ul>|; </; <ul></ul>|~<ul><|>~<ul>|",
               "completion typed over; <b>x|; </i>; <b>x</i>|~<b>x</b>i|~<b>x</b>|~<b>x<|>",
               "comment typed; |; <!-- a -->; <!-- a -->|~<!-- a --|-->~<!--|-->~<|>",
               "quote; <a |; \"x\">; <a \"x\">|~<a \"x\"|~<a \"|\"~<a |",
               "less-than in text; |; a < b; a < b|~a <|~a <|>~a |"});
    }
    void undo() {
        ShellFixture app;
        frmNotepad* window = open(app, "", cell("before"));
        typeKeys(window->txtRich, cell("keys"));
        QStringList shown{render(*window->txtRich)};
        for (qsizetype step = cell("steps").count('~'); step > 0; --step) {
            sendKey(window->txtRich, Qt::Key_Z, Qt::ControlModifier);
            shown << render(*window->txtRich);
        }
        QCOMPARE(shown.join('~'), cell("steps"));
    }

    // A window of the text's last characters: an end tag whose start tag lies before it closes
    // all that was opened before it; at the document's start it is ignored.
    void context_data() {
        table({"text", "fromStart", "context"},
              {"stray end tag in a window; <div><p>a</section><b>; 0; text b",
               "stray end tag at the start; <div><p>a</section>; 1; text p",
               "window begun in a script; x < y;}</script><p>; 0; text p",
               "window begun in a script, no tag after; a</script><i>b</i>; 0; text ",
               "in a start tag; <a href=x ; 1; tag start", "in an end tag; </a ; 1; tag end",
               "in a value; <a b='x\">; 1; value start", "unfinished tag before a tag; <a <b>; 1; text b",
               "in a declaration; <!DOCTYPE ; 1; comment ",
               "in a textarea; <textarea><p>; 1; content textarea"});
    }
    void context() {
        const MarkupContext context = MarkupContextAtEnd(cell("text"), cell("fromStart") == "1");
        const QStringList places{"text", "tag", "value", "comment", "content"};
        const QString kind = context.place == MarkupPlace::Tag || context.place == MarkupPlace::Value
                                 ? (context.startTag ? "start" : "end")
                                 : context.openElement;
        QCOMPARE(places.at(int(context.place)) + ' ' + kind, cell("context"));
    }
};

QTEST_MAIN(TypingAidsTest)
#include "tst_typingaids.moc"
