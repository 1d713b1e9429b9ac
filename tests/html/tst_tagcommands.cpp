#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "html/TagCommands.h"
#include "html/frmFormat.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Rendered.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Sets a text with its selection as "[...]" or cursor as "|", coloured first when `document` is given.
void setMarked(RichTextControl& control, QString text, frmNotepad* document = nullptr) {
    const qsizetype bar = text.indexOf('|');
    const qsizetype open = bar >= 0 ? bar : text.indexOf('[');
    text.remove(open, 1);
    const qsizetype close = bar >= 0 ? open : text.indexOf(']');
    if (bar < 0)
        text.remove(close, 1);
    control.setText(text);
    if (document)
        document->colorizeWhole();
    control.select(int(open), int(close - open));
}

// A letter per character: t(ag) v(alue) c(omment) x(text).
QString colorLetters(const frmNotepad& document) {
    const ColorRoles roles = document.colorRoles();
    QString letters;
    for (int i = 0; i < document.txtRich->textLength(); ++i) {
        const ColorValue c = document.txtRich->colorAt(i);
        letters += c == roles.tag ? 't' : c == roles.value ? 'v' : c == roles.comment ? 'c' : 'x';
    }
    return letters;
}

// Own commands 1 to 4, the third without a name.
const char* const kOwnCommands =
    "Para & more\r\n<P>%%@@%%</P>\r\nSelection\r\n@@\r\n\r\n[@@]\r\nOwn4\r\n{@@}\r\n";

} // namespace

class TagCommandsTest : public QObject {
    Q_OBJECT

private slots:
    // A context menu item on a marked text: the text and colours after it, and one Undo back.
    void commands_data() {
        table({"text", "item", "expected", "colors"},
              {"bold keeps the word selected; a [w] b; mnuB; a <B>[w]</B> b; xxtttxttttxx",
               "bold at the cursor; |; mnuB; <B>|</B>; ttttttt",
               "<BR> replaces the selection; a[x]b; mnuBr; a<BR>|b; xttttx",
               "heading from the Text Size menu; [x]; mnuH2; <H2>[x]</H2>; ",
               "bold right after a comment; <!--a-->[x]; mnuB; <!--a--><B>[x]</B>; cccccccctttxtttt",
               "bold right before a comment; [x]<!--a-->; mnuB; <B>[x]</B><!--a-->; tttxttttcccccccc",
               "inside a comment everything stays a comment; <!--[x]-->; mnuI; <!--<I>[x]</I>-->; "
               "ccccccccccccccc",
               "script tag; [f()]; mnuJScriptLang; <SCRIPT LANGUAGE=\"JavaScript\" "
               "TYPE=\"Text/JavaScript\">[f()]</SCRIPT>; ",
               "quote inside a tag is a value; <a [x]>; mnuQuote; <a \"x\"|>; tttvvvt",
               "quote in text keeps the selection; [x]; mnuQuote; \"[x]\"; xxx",
               "uncomment a script comment; [<!--f()//-->]; mnuUnComment; f()|; xxx",
               "uncomment needs a comment; [<!-->]; mnuUnComment; [<!-->]; ",
               "upper case recolours the tags; [<b>x</b>]; mnuUCase; <B>X</B>|; tttxtttt",
               // Nothing selected: nothing changes, nothing after the cursor is painted.
               "upper case of nothing; <b>x</b>|<i>y</i>; mnuUCase; <b>x</b>|<i>y</i>; tttxtttttttxtttt",
               "lower case of nothing; <b>|x</b>; mnuLCase; <b>|x</b>; tttxtttt",
               "sort 0..9, A..Z; [b\r\nB\r\n1\r\n]; mnuSortAZ; 1\r\nB\r\nb\r\n|; ",
               "sort keeps a last line without a break; [b\r\na]; mnuSortZA; b\r\na|; ",
               "own command, line breaks around the selection; [x]; mnuOwn1; <P>\r\nx\r\n</P>|; ",
               "own command without a name; [x]; mnuOwn3; [x]|; ", "own command Own4; [x]; mnuOwn4; {x}|; ",
               // A command whose text comes out empty paints nothing after the cursor.
               "own command, empty result; <b>|x</b>; mnuOwn2; <b>|x</b>; tttxtttt"});
    }
    void commands() {
        QFETCH(QString, text);
        QFETCH(QString, item);
        AppFixture app;
        app.env.writeFile("data/Quillora/owncom.txt", kOwnCommands);
        app.start();
        frmNotepad* document = app.document(0);
        setMarked(*document->txtRich, text, document);
        const QString before = document->txtRich->text();
        app.main->mnuPopup->findChild<QAction*>(item)->trigger();
        QTEST(render(*document->txtRich), "expected");
        QFETCH(QString, colors);
        if (!colors.isEmpty())
            QCOMPARE(colorLetters(*document), colors);
        if (document->undoHistory().canUndo()) {
            QVERIFY(document->undoHistory().Undo());
            QVERIFY(!document->undoHistory().canUndo());
        }
        QCOMPARE(document->txtRich->text(), before);
    }

    // Comment forms give their inside (none when empty, overlapping or unknown); Format wraps each line.
    void textHelpers() {
        QStringList inner;
        for (const QString& selected :
             QString("<!--a--> <!--b//--> <!--c//-> <!-d//-> <!----> <!--> <!--x->").split(' '))
            inner << UnCommentText(selected).value_or("none");
        QCOMPARE(inner.join(' '), "a b c d none none none");
        QCOMPARE(FormatLines("a\r\nb", "<UL>", "</UL>", "<LI>", "</LI>"),
                 QString("<UL>\r\n<LI>a</LI>\r\n<LI>b</LI>\r\n</UL>\r\n"));
        QCOMPARE(FormatLines("a\r\nb\r\n", "", "", "<LI>", "</LI>"), QString("<LI>a</LI>\r\n<LI>b</LI>\r\n"));
    }

    // Own commands take their names from "owncom.txt", default ones for empty or "OwnN" names. The Format
    // dialog: no selection, no dialog; a tag option; the lines; nothing chosen keeps it open.
    void ownCommandNamesAndFormatDialog() {
        AppFixture app;
        app.env.writeFile("data/Quillora/owncom.txt", kOwnCommands);
        app.start();
        QStringList names;
        for (int slot = 1; slot <= 5; ++slot) {
            const QAction* own = app.main->mnuPopup->findChild<QAction*>(QString("mnuOwn%1").arg(slot));
            names << (own->isVisible() ? own->text() : "hidden");
        }
        QCOMPARE(names.join('|'), "Para && more|Selection|Own3|Own4|hidden");
        frmNotepad* document = app.document(0);
        setMarked(*document->txtRich, "<B>x</B>\r\n<I>y</I>|", document);
        frmFormat::run(*app.main, document->editable());
        QCOMPARE(app.dialogs.messages.last().text,
                 QString("There is no text selected!\r\nPlease select the text you want to format."));
        document->txtRich->select(0, 8);
        frmFormat remove(document->editable(), app.env.programFolder() + "/formats.txt", nullptr);
        remove.chkRemoveAll->click();
        QVERIFY(!remove.cmbStart->isEnabled() && !remove.chkAllUcase->isEnabled());
        remove.cmdOK_Click();
        QCOMPARE(document->txtRich->text(), QString("x\r\n<I>y</I>"));
        document->txtRich->select(6, 1);
        frmFormat lines(document->editable(), app.env.programFolder() + "/formats.txt", nullptr);
        lines.cmdOK_Click();
        QVERIFY(lines.result() != QDialog::Accepted);
        lines.cmbStartLine->setCurrentText("<LI>");
        lines.cmdOK_Click();
        QCOMPARE(document->txtRich->text() + colorLetters(*document),
                 "x\r\n<I><LI>y\r\n</I>xxxtttttttxxxtttt");
        QVERIFY(document->undoHistory().Undo());
        QCOMPARE(document->txtRich->text(), QString("x\r\n<I>y</I>"));
    }
};

QTEST_MAIN(TagCommandsTest)
#include "tst_tagcommands.moc"
