#include "editor/TagCompletion.h"
#include "markup/CompletionLists.h"
#include "markup/MarkupContext.h"
#include "platform/RichTextControl.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"

#include <QtTest>

// A command list as the program keeps it: it starts with an empty element, and BODY comes before B.
const QStringList kWords{"", "BODY", "B", "BR", "TABLE", "TD", "TITLE", "P"};

// The typing aids where they are typed: in text, tags, values, comments, scripts and style sheets,
// and files that hold no markup; what a person types by hand comes out as typed. Indenting by keys,
// and names completed by Ctrl+Space from the command list, which start-up brings up to date.
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

    // Enter keeping the indentation, Tab and Shift+Tab over lines: each one Undo step. Options:
    // "manual" turns AutoIndent off, "2" makes the Indent two spaces.
    void indentKeys_data() {
        QTest::addColumn<bool>("colored");
        for (const bool colored : {true, false})
            table({"options", "before", "keys", "expected"},
                  {"Enter keeps tabs; ; \t\tab|c; {Return}; \t\tab\r\n\t\t|c",
                   "Enter keeps spaces, then typing; ;   x|; {Return}y;   x\r\n  y|",
                   "Enter keeps mixed blanks; ; \t \tx|; {Shift+Return}; \t \tx\r\n\t \t|",
                   "Enter inside the indentation; ; \t|\tx; {Return}; \t\r\n\t|\tx",
                   "Enter at a line start; ; \tx\r\n|\ty; {Return}; \tx\r\n\r\n|\ty",
                   "Enter without AutoIndent; manual; \tx|; {Return}; \tx\r\n|",
                   "Enter on a middle line; ; a\r\n  b|\r\nc; {Return}; a\r\n  b\r\n  |\r\nc",
                   "Enter over lines; ; \tab[cd\r\n  e]f; {Return}; \tab\r\n\t|f",
                   "Enter in a comment; ; <!--\r\n\tx|\r\n-->; {Return}; <!--\r\n\tx\r\n\t|\r\n-->",
                   "Tab over two lines; ; a[b\r\ncd]e; {Tab}; \ta[b\r\n\tcd]e",
                   "Tab from line starts, end at column 0; ; [ab\r\ncd\r\n]ef; {Tab}; [\tab\r\n\tcd\r\n]ef",
                   "Tab over one line and its break; ; [a\r\n]b; {Tab}; [\ta\r\n]b",
                   "Tab with two-space Indent, empty line; 2; x[\r\n\r\ny]; {Tab};   x[\r\n  \r\n  y]",
                   "Tab over tags; ; <p>[a\r\n<!-- b\r\nc -->\r\n<a\r\nhref=\"x\r\ny\">]; {Tab}; "
                   "\t<p>[a\r\n\t<!-- b\r\n\tc -->\r\n\t<a\r\n\thref=\"x\r\n\ty\">]",
                   "Shift+Tab: tab, spaces, none; ; [\ta\r\n      b\r\n  c\r\nd]; {Shift+Backtab}; [a\r\n  "
                   "b\r\nc\r\nd]",
                   "Shift+Tab, Indent of 2; 2; \t[\tx\r\n  \ty\r\n z\r\n]w; {Shift+Backtab}; "
                   "[\tx\r\n\ty\r\nz\r\n]w",
                   "Shift+Tab in a comment; ; <!--\r\n\t[a\r\n\tb]-->; {Shift+Backtab}; <!--\r\n[a\r\nb]-->",
                   "Shift+Tab on a selection in one line; ; \t[ab]c; {Shift+Backtab}; [ab]c",
                   "Shift+Tab without selection; ; \t\tab|c; {Shift+Backtab}; \tab|c",
                   "Shift+Tab inside the indentation; 2; \t|  x; {Shift+Backtab}; |  x",
                   "Shift+Tab with nothing to take; ; a|b\r\n\tc; {Shift+Backtab}; a|b\r\n\tc",
                   "Tab within one line; ; \ta[bc]d\r\ne; {Tab}; \ta\t|d\r\ne"},
                  colored ? ", colours" : "", colored);
    }
    void indentKeys() {
        QFETCH(bool, colored);
        const QString options = cell("options"), before = cell("before");
        ShellFixture app;
        FakeShell& shell = app.start();
        shell.mutableSettings().UseColors = colored;
        shell.mutableSettings().AutoIndent = !options.contains("manual");
        shell.mutableSettings().Indent = options.contains('2') ? "  " : "\t";
        frmNotepad* window = app.document(0);
        RichTextControl* text = window->txtRich;
        text->setText(unmarked(before));
        window->colorizeWhole();
        window->ClearAllUndo();
        selectMarked(*text, before);
        QCOMPARE(render(*text), before);
        const QList<ColorValue> colorsBefore = colors(*text);
        typeKeys(text, cell("keys"));
        QTEST(render(*text), "expected");
        // What the keys leave is coloured as the whole text coloured afresh.
        const QList<ColorValue> typed = colors(*text);
        window->colorizeWhole();
        QVERIFY(!colored || typed == colors(*text));
        sendKey(text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(render(*text), before);
        QVERIFY(!colored || colors(*text) == colorsBefore);
    }

    // The text before Ctrl+Space and after the edit as render() writes it (the same: no edit at all).
    // Words: "" the program's list, "-" a list of the empty entry alone, else the entries given.
    void complete_data() {
        table({"before", "after", "words"},
              {"word after a space, later line; <p>\r\nsome ti| end; <p>\r\nsome TI[TLE] end; ",
               "word starting a later line; <p>x\r\nbo|; <p>x\r\nBO[DY]; ",
               "whole name takes the entry's case; x table|; x TABLE|; ",
               "first entry in order, any case; Tx b|; Tx B[ODY]; ", "no match; zz| td; zz| td; ",
               "tab does not end a word; x\tta|; x\tta|; ",
               "again after a completion; ta[ble] x; ta[ble] x; ",
               "tag before the aid's bracket; x <ta|>y; x <TA[BLE]>y; ",
               "tag without a bracket; <bo| x; <BO[DY] x; ",
               "nearest less-than, later line; <b>x\r\n<p><t|; <b>x\r\n<p><T[ABLE]; ",
               "tag typed out to the longest entry; <title|; <TITLE|; ",
               "complete tag, cursor inside; <ta|ble>; <ta|ble>; ",
               "complete tag, other case; x<Td|>; x<Td|>; ", "empty document; |; |; ",
               "no word at a line's start; td\r\n|x; td\r\n|x; ",
               "less-than too far back; <p>some text here|; <p>some text here|; ",
               "empty entry skipped after a lone <; <|>; <[BODY]>; ",
               "empty entry completes no tag; <|>; <|>; -", "empty entry matches no word; x|; x|; -",
               // The upper case of "ß" is two letters: the edit must never reach past what was typed.
               "word whose upper case is longer; straß|xy; straß|xy; STRASSE"});
    }

    void complete() {
        const QString before = cell("before"), after = cell("after"), words = cell("words");
        RichTextControl control;
        control.setText(unmarked(before));
        selectMarked(control, before);
        const std::optional<CompletionEdit> edit =
            CompleteTagName(control, words.isEmpty() ? kWords
                                     : words == "-"  ? QStringList{""}
                                                     : words.split(','));
        QCOMPARE(edit.has_value(), after != before);
        if (edit) {
            control.select(edit->start, edit->length);
            control.setSelText(edit->text);
            control.select(edit->selectStart, edit->selectLength);
        }
        QCOMPARE(render(control), after);
    }

    // Keys in a document window of the program, with the shipped command and attribute lists.
    void completionKeys_data() {
        table({"before", "keys", "after"},
              {"HTML5 name after a blank; x |; nav{Ctrl+Space}; x NAV|",
               "section, not select; |; sec{Ctrl+Space}; SEC[TION]",
               "main in a tag; |; <mai{Ctrl+Space}; <MAI[N]>", "article; |; <art{Ctrl+Space}; <ART[ICLE]>",
               "element's first attribute; |; <a {Ctrl+Space}; <a [href]>",
               "partial name; <img |>; s{Ctrl+Space}; <img s[rc]>",
               "global after the element's own; <div |>; s{Ctrl+Space}; <div s[tyle]>",
               "global in an element without a line; <nav |>; ari{Ctrl+Space}; <nav ari[a-label]>",
               "entry's case; <A |>; HR{Ctrl+Space}; <A hr[ef]>",
               "attributes present skipped; <a | href=\"x\">; {Ctrl+Space}; <a [target] href=\"x\">",
               "name on a later line; <input\r\n  |>; ty{Ctrl+Space}; <input\r\n  ty[pe]>",
               "quoted > inside the tag; <a title='1>0' |>; t{Ctrl+Space}; <a title='1>0' t[arget]>",
               "again after a completion; <a h[ref]>; {Ctrl+Space}; <a h[ref]>",
               "not in a value; <a href=\"|\">; {Ctrl+Space}; <a href=\"|\">",
               "not after =; <a href=|>; {Ctrl+Space}; <a href=|>",
               "not glued to a value; <a href=\"x\"t|>; {Ctrl+Space}; <a href=\"x\"t|>",
               "not outside a tag; <p>x |; {Ctrl+Space}; <p>x |",
               "not in a comment; <!-- <a |; {Ctrl+Space}; <!-- <a |",
               "no tag name where no attribute fits; <b u|>; {Ctrl+Space}; <b u|>"});
    }
    void completionKeys() {
        QFETCH(QString, before);
        AppFixture app;
        app.start();
        frmNotepad* window = app.document(0);
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        window->txtRich->setFocus();
        window->txtRich->setText(unmarked(before));
        window->colorizeWhole();
        selectMarked(*window->txtRich, before);
        typeKeys(window->txtRich, cell("keys"));
        QTEST(render(*window->txtRich), "after");
    }

    // A user's list gets the shipped words it lacks once, in its own breaks and encoding; one
    // that cannot be read or written is left alone until it can. Shipped here: A, NAV, MAIN.
    void upgrade_data() {
        table({"mode", "before", "after"},
              {"CR LF, own words and case kept; ; x\r\nnav\r\n\r\nA\r\n; x\r\nnav\r\n\r\nA\r\nMAIN\r\n",
               "no break at the end; ; B\n  a ; B\n  a \nNAV\nMAIN", "lone CR; ; B\r; B\rA\rNAV\rMAIN\r",
               "UTF-8 with byte-order mark; ; \xEF\xBB\xBF\xC3\xA9\n; \xEF\xBB\xBF\xC3\xA9\nA\nNAV\nMAIN\n",
               "empty list stays empty; ; \r\n; \r\n", "read-only; r; B\n; B\nA\nNAV\nMAIN\n",
               "unreadable; -; B\n; B\nA\nNAV\nMAIN\n"});
    }
    void upgrade() {
        const QString mode = cell("mode"), before = cell("before"), after = cell("after");
        TestEnvironment env;
        QSettings("Quillora", "Quillora").clear();
        const QString shipped = env.writeFile("shipped.txt", "A\nNAV\nMAIN\n");
        const QString path = env.writeFile("p/commands.txt", before.toUtf8());
        const auto upgraded = [&] {
            UpgradeCommandList(path, shipped);
            return TestEnvironment::readFile(path);
        };
        if (!mode.isEmpty()) {
            const AsUser user(env.root());
            QVERIFY(QFile::setPermissions(path, QFile::Permissions(mode == "r" ? 0x4444 : 0)));
            for (int start = 0; start < 2; ++start) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("command list not brought up to date"));
                UpgradeCommandList(path, shipped);
            }
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
            QCOMPARE(TestEnvironment::readFile(path), before.toUtf8());
        }
        QCOMPARE(upgraded(), after.toUtf8());
        QCOMPARE(upgraded(), after.toUtf8()); // a second start adds nothing
        env.writeFile("p/commands.txt", before.toUtf8());
        QCOMPARE(upgraded(), before.toUtf8()); // words deleted after they were offered stay deleted
    }

    // At start-up an older list is brought up to date once, before it is read.
    void startUpUpgradesOnce() {
        AppFixture app;
        const QString path = app.env.writeFile("data/Quillora/commands.txt", "TABLE\r\nNAV\r\n");
        app.start();
        const QByteArray upgraded = TestEnvironment::readFile(path);
        QVERIFY(upgraded.startsWith("TABLE\r\nNAV\r\nA\r\nABBR\r\n") && upgraded.endsWith("\r\nWBR\r\n"));
        QCOMPARE(upgraded.count("NAV"), 1);
        QVERIFY(app.main->commandWords().contains("SECTION"));
        app.main.reset();
        app.start();
        QCOMPARE(TestEnvironment::readFile(path), upgraded);
    }
};

QTEST_MAIN(TypingAidsTest)
#include "tst_typingaids.moc"
