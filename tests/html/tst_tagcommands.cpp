#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "html/TagCommands.h"
#include "html/frmFormat.h"
#include "support/AppFixture.h"
#include "support/Rendered.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QTest>

namespace {

// Sets a text whose selection is marked with "[" and "]", or whose cursor is marked with "|", and
// colours it first when `document` is given.
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
    // A context menu item on a marked text: the text after it, its colours (when given), and one
    // Undo giving back the text before.
    void commands_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("colors");
        const auto row = [](const char* name, const char* text, const char* item, const char* expected,
                            const char* colors = "") {
            QTest::newRow(name) << QString(text) << QString(item) << QString(expected) << QString(colors);
        };
        row("bold keeps the word selected", "a [w] b", "mnuB", "a <B>[w]</B> b", "xxtttxttttxx");
        row("bold at the cursor", "|", "mnuB", "<B>|</B>", "ttttttt");
        row("<BR> replaces the selection", "a[x]b", "mnuBr", "a<BR>|b", "xttttx");
        row("heading from the Text Size menu", "[x]", "mnuH2", "<H2>[x]</H2>");
        row("inside a comment everything stays a comment", "<!--[x]-->", "mnuI", "<!--<I>[x]</I>-->",
            "ccccccccccccccc");
        row("script tag", "[f()]", "mnuJScriptLang",
            "<SCRIPT LANGUAGE=\"JavaScript\" TYPE=\"Text/JavaScript\">[f()]</SCRIPT>");
        row("quote inside a tag is a value", "<a [x]>", "mnuQuote", "<a \"x\"|>", "tttvvvt");
        row("quote in text keeps the selection", "[x]", "mnuQuote", "\"[x]\"", "xxx");
        row("uncomment a script comment", "[<!--f()//-->]", "mnuUnComment", "f()|", "xxx");
        row("uncomment needs a comment", "[<!-->]", "mnuUnComment", "[<!-->]");
        row("upper case recolours the tags", "[<b>x</b>]", "mnuUCase", "<B>X</B>|", "tttxtttt");
        // Nothing selected: nothing changes, nothing after the cursor is painted.
        row("upper case of nothing", "<b>x</b>|<i>y</i>", "mnuUCase", "<b>x</b>|<i>y</i>",
            "tttxtttttttxtttt");
        row("lower case of nothing", "<b>|x</b>", "mnuLCase", "<b>|x</b>", "tttxtttt");
        row("sort 0..9, A..Z", "[b\r\nB\r\n1\r\n]", "mnuSortAZ", "1\r\nB\r\nb\r\n|");
        row("sort keeps a last line without a break", "[b\r\na]", "mnuSortZA", "b\r\na|");
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

    void unCommentForms_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("inner");
        for (const auto& [selected, inner] :
             std::vector<std::pair<const char*, const char*>>{{"<!--x-->", "x"},
                                                              {"<!--x//-->", "x"},
                                                              {"<!--x//->", "x"},
                                                              {"<!-x//->", "x"},
                                                              {"<!---->", ""},
                                                              {"<!-->", ""},
                                                              {"x", ""},
                                                              {"<!--x->", ""}})
            QTest::newRow(selected) << QString(selected) << QString(inner);
    }
    void unCommentForms() {
        QFETCH(QString, selected);
        QTEST(UnCommentText(selected).value_or(QString()), "inner");
    }

    void formatLines() {
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

    // Own commands come from "owncom.txt" at start; a name shows as written; the command applies,
    // also under its slot's default name (an empty name line, or "Own4" typed).
    void ownCommands() {
        AppFixture app;
        app.env.writeFile("data/Quillora/owncom.txt",
                          "Para & more\r\n<P>%%@@%%</P>\r\nSelection\r\n@@\r\n\r\n[@@]\r\nOwn4\r\n{@@}\r\n");
        app.start();
        auto* item = app.main->mnuPopup->findChild<QAction*>("mnuOwn1");
        QVERIFY(item->isVisible() && !app.main->mnuPopup->findChild<QAction*>("mnuOwn5")->isVisible());
        for (const auto& [slot, result] : {std::pair(3, "[x]"), {4, "{x}"}}) {
            frmNotepad* document = app.document(0);
            setMarked(*document->txtRich, "[x]");
            auto* own = app.main->mnuPopup->findChild<QAction*>(QString("mnuOwn%1").arg(slot));
            QVERIFY(own->isVisible());
            QCOMPARE(own->text(), QString("Own%1").arg(slot));
            own->trigger();
            QCOMPARE(document->txtRich->text(), QString(result));
        }
        QCOMPARE(item->text(), QString("Para && more"));
        frmNotepad* document = app.document(0);
        setMarked(*document->txtRich, "[x]");
        item->trigger();
        QCOMPARE(document->txtRich->text(), QString("<P>\r\nx\r\n</P>"));
        // A command whose text comes out empty paints nothing after the cursor.
        setMarked(*document->txtRich, "<b>|x</b>", document);
        app.main->mnuPopup->findChild<QAction*>("mnuOwn2")->trigger();
        QCOMPARE(render(*document->txtRich) + " " + colors(*document), "<b>|x</b> tttxtttt");
    }

    // "DoOnOpen" 1 to 3 convert the tags as the file opens; the document opens unchanged.
    void tagsConvertedOnOpen_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("lower") << 1 << "<b class=\"X\">Y</b>\r\n";
        QTest::newRow("removed") << 2 << "Y\r\n";
        QTest::newRow("upper") << 3 << "<B CLASS=\"X\">Y</B>\r\n";
    }
    void tagsConvertedOnOpen() {
        QFETCH(int, code);
        AppFixture app;
        const QString path = app.env.writeFile("p.htm", "<b Class=\"X\">Y</B>\n");
        app.start();
        app.main->mutableSettings().DoOnOpen = code;
        frmNotepad* document = OpenDocument(*app.main, path);
        QTEST(document->txtRich->text(), "text");
        QVERIFY(!app.record(document->slot()).Modified);
        QCOMPARE(document->windowTitle(), path);
    }
};

QTEST_MAIN(TagCommandsTest)
#include "tst_tagcommands.moc"
