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
QString colors(const frmNotepad& document) {
    const ColorRoles roles = document.colorRoles();
    QString letters;
    for (int i = 0; i < document.txtRich->textLength(); ++i) {
        const ColorValue c = document.txtRich->colorAt(i);
        letters += c == roles.tag ? 't' : c == roles.value ? 'v' : c == roles.comment ? 'c' : 'x';
    }
    return letters;
}

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
               "sort keeps a last line without a break; [b\r\na]; mnuSortZA; b\r\na|; "});
    }
    void commands() {
        QFETCH(QString, text);
        QFETCH(QString, item);
        AppFixture app;
        app.start();
        frmNotepad* document = app.document(0);
        setMarked(*document->txtRich, text, document);
        const QString before = document->txtRich->text();
        app.main->mnuPopup->findChild<QAction*>(item)->trigger();
        QTEST(render(*document->txtRich), "expected");
        QFETCH(QString, colors);
        if (!colors.isEmpty())
            QCOMPARE(::colors(*document), colors);
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

    // The Format dialog: no selection, no dialog; a tag option; the lines; nothing chosen keeps it open.
    void formatDialog() {
        AppFixture app;
        app.start();
        frmNotepad* document = app.document(0);
        document->txtRich->setText("<B>x</B>\r\ny");
        frmFormat::run(*app.main, document->editable());
        QCOMPARE(app.dialogs.messages.last().text,
                 QString("There is no text selected!\r\nPlease select the text you want to format."));
        document->txtRich->select(0, 8);
        frmFormat remove(document->editable(), app.env.programFolder() + "/formats.txt", nullptr);
        remove.chkRemoveAll->click();
        QVERIFY(!remove.cmbStart->isEnabled() && !remove.chkAllUcase->isEnabled());
        remove.cmdOK_Click();
        QCOMPARE(document->txtRich->text(), QString("x\r\ny"));
        document->txtRich->select(0, 4);
        frmFormat lines(document->editable(), app.env.programFolder() + "/formats.txt", nullptr);
        lines.cmdOK_Click();
        QVERIFY(lines.result() != QDialog::Accepted);
        lines.cmbStartLine->setCurrentText("<LI>");
        lines.cmdOK_Click();
        QCOMPARE(document->txtRich->text(), QString("<LI>x\r\n<LI>y\r\n"));
        QVERIFY(document->undoHistory().Undo());
        QCOMPARE(document->txtRich->text(), QString("x\r\ny"));
    }

    // Own commands from "owncom.txt": names as written, default names for empty or "OwnN" names.
    void ownCommands() {
        AppFixture app;
        app.env.writeFile("data/Quillora/owncom.txt",
                          "Para & more\r\n<P>%%@@%%</P>\r\nSelection\r\n@@\r\n\r\n[@@]\r\nOwn4\r\n{@@}\r\n");
        app.start();
        frmNotepad* document = app.document(0);
        const auto own = [&](int slot) {
            return app.main->mnuPopup->findChild<QAction*>(QString("mnuOwn%1").arg(slot));
        };
        QVERIFY(!own(5)->isVisible());
        for (const auto& [slot, caption, result] :
             {std::tuple(1, "Para && more", "<P>\r\nx\r\n</P>"), {3, "Own3", "[x]"}, {4, "Own4", "{x}"}}) {
            setMarked(*document->txtRich, "[x]");
            QVERIFY(own(slot)->isVisible());
            own(slot)->trigger();
            QCOMPARE(own(slot)->text() + " " + document->txtRich->text(), QString(caption) + " " + result);
        }
        // A command whose text comes out empty paints nothing after the cursor.
        setMarked(*document->txtRich, "<b>|x</b>", document);
        own(2)->trigger();
        QCOMPARE(render(*document->txtRich) + " " + colors(*document), "<b>|x</b> tttxtttt");
    }

    // "DoOnOpen" 1 to 3 convert the tags as the file opens; the document opens unchanged.
    void tagsConvertedOnOpen() {
        AppFixture app;
        app.start();
        QStringList texts;
        for (int code : {1, 2, 3}) {
            const QString path = app.env.writeFile(QString("p%1.htm").arg(code), "<b Class=\"X\">Y</B>\n");
            app.main->mutableSettings().DoOnOpen = code;
            frmNotepad* document = OpenDocument(*app.main, path);
            QVERIFY(!app.record(document->slot()).Modified && document->windowTitle() == path);
            texts << document->txtRich->text();
        }
        QCOMPARE(texts, (QStringList{"<b class=\"X\">Y</b>\r\n", "Y\r\n", "<B CLASS=\"X\">Y</B>\r\n"}));
    }
};

QTEST_MAIN(TagCommandsTest)
#include "tst_tagcommands.moc"
