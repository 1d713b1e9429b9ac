#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"

#include <QtTest>

// Enter keeping the indentation, Tab and Shift+Tab over lines: each one Undo step.
class IndentTest : public QObject {
    Q_OBJECT

private slots:
    // Options: "manual" turns AutoIndent off, "2" makes the Indent two spaces.
    void keys_data() {
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
    void keys() {
        QFETCH(bool, colored);
        QFETCH(QString, options);
        QFETCH(QString, before);
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
};

QTEST_MAIN(IndentTest)
#include "tst_indent.moc"
