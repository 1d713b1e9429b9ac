#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "html/TagCommands.h"
#include "html/frmFormat.h"
#include "markup/TagCase.h"
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

enum class Want { Lower, Upper, Remove };

// The rules read literally, each search afresh: slow on purpose, the yardstick for the real scan.
QChar oracleCase(QChar c, bool upper) {
    const char32_t to = upper ? QChar::toUpper(char32_t(c.unicode())) : QChar::toLower(char32_t(c.unicode()));
    const bool oneUnit = !c.isSurrogate() && !QChar::requiresSurrogates(to) && !QChar::isSurrogate(to);
    return oneUnit && !(c.unicode() <= 0xFF && to > 0xFF) ? QChar(char16_t(to)) : c; // Latin-1 stays Latin-1
}

QString oracle(const QString& text, Want want) {
    if (!text.contains(u'<') || !text.contains(u'>'))
        return text;
    QString out;
    qsizetype at = 0;
    if (text.left(10).toUpper() == u"<!DOCTYPE ") {
        at = text.indexOf(u'>') + 1;
        if (want != Want::Remove)
            out = text.left(at);
        else if (text.mid(at, 2) == u"\r\n")
            at += 2;
    }
    for (qsizetype open; (open = text.indexOf(u'<', at)) >= 0;) {
        out += text.mid(at, open - at);
        // A comment's "->" and a server block's closer are searched for after the whole opener.
        const QString opener = text.mid(open, 3) == u"<!-" ? text.mid(open, 3) : text.mid(open, 2);
        const QString closer = opener == u"<!-" ? "->" : opener == u"<%" ? "%>" : opener == u"<?" ? "?>" : "";
        const qsizetype blockEnd = closer.isEmpty() ? -1 : text.indexOf(closer, open + opener.size());
        if (blockEnd >= 0) {
            if (closer == "->" || want != Want::Remove)
                out += text.mid(open, blockEnd + 2 - open);
            at = blockEnd + 2;
            continue;
        }
        qsizetype close = -1;
        bool quoted = false;
        for (qsizetype p = open + 1; p < text.size() && close < 0; ++p) {
            if (text[p] == u'"')
                quoted = !quoted;
            else if (text[p] == u'<' && quoted)
                break;
            else if (text[p] == u'>' && !quoted)
                close = p;
        }
        if (close < 0)
            close = text.indexOf(u'>', open + 1);
        if (close < 0)
            return out + text.mid(open);
        QString tag = text.mid(open, close + 1 - open);
        for (qsizetype p = 0; p < tag.size(); ++p) {
            const qsizetype valueEnd = tag[p] == u'"' ? tag.indexOf(u'"', p + 1) : -1;
            if (valueEnd >= 0)
                p = valueEnd; // a closed value keeps its case, quotes included
            else
                tag[p] = oracleCase(tag[p], want == Want::Upper);
        }
        if (want != Want::Remove)
            out += tag;
        at = close + 1;
    }
    return out + text.mid(at);
}

QStringList converted(const QString& text) {
    return {LowerTags(text), UpperTags(text), RemoveTags(text)};
}
QStringList oracled(const QString& text) {
    return {oracle(text, Want::Lower), oracle(text, Want::Upper), oracle(text, Want::Remove)};
}

} // namespace

// The commands on tags of the context menu and the Format dialog, and the changes of the tags' case
// (Lower Tags, Upper Tags, Remove Tags).
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
        AppFixture app;
        app.env.writeFile("data/Quillora/owncom.txt", kOwnCommands);
        app.start();
        frmNotepad* document = app.document(0);
        setMarked(*document->txtRich, text, document);
        const QString before = document->txtRich->text();
        app.main->mnuPopup->findChild<QAction*>(cell("item"))->trigger();
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

    // Each text lower, upper and with its tags removed.
    void examples_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("converted"); // lower, upper, removed
        const auto row = [](const char* name, const QString& text, const auto&... out) {
            QTest::newRow(name) << text << QStringList{out...};
        };
        // clang-format off
        row("quoted values keep their case, the character after is converted", R"(<A HREF="Page.HTM"C>Text)", R"(<a href="Page.HTM"c>Text)", R"(<A HREF="Page.HTM"C>Text)", "Text");
        row("doctype kept by case, dropped with its CR LF", "<!DOCTYPE html>\r\n<B>x</B>", "<!DOCTYPE html>\r\n<b>x</b>", "<!DOCTYPE html>\r\n<B>x</B>", "x");
        row("doctype in any case, a LF alone after it kept", "<!doctype Html>\n<b>X</b>", "<!doctype Html>\n<b>X</b>", "<!doctype Html>\n<B>X</B>", "\nX");
        row("doctype without its space, or not at the start, is a tag", "<!DOCTYPEA> <!DOCTYPE A>", "<!doctypea> <!doctype a>", "<!DOCTYPEA> <!DOCTYPE A>", " ");
        row("openers without closer are tags, running over a < outside quotes; < without a later > leaves the rest", "<%Ab>x<?Cd>y<a <B>z<I w", "<%ab>x<?cd>y<a <b>z<I w", "<%AB>x<?CD>y<A <B>z<I w", "xyz<I w");
        row("server blocks stay or go whole; <%> does not close itself", "a<?php $Var ?>b<%>X%>c", "a<?php $Var ?>b<%>X%>c", "a<?php $Var ?>b<%>X%>c", "abc");
        row("-> in text, then a comment, which stays", "A -> B <!-- <b>C</b> --> <I>", "A -> B <!-- <b>C</b> --> <i>", "A -> B <!-- <b>C</b> --> <I>", "A -> B <!-- <b>C</b> --> ");
        row("empty comment; <!-> does not close itself", "<!-->X<B><!->y->Z", "<!-->X<b><!->y->Z", "<!-->X<B><!->y->Z", "<!-->X<!->y->Z");
        row("<!-> and <!-- without a later -> are tags", "<!->x<!-- A <B>c", "<!->x<!-- a <b>c", "<!->x<!-- A <B>c", "xc");
        // moc misreads raw strings holding an odd number of quotes, so these two rows use escapes.
        row("> inside a quoted value; text ending inside quotes: first >", "<a title=\"x>Y\">Z<a t=\"X>Y", "<a title=\"x>Y\">Z<a t=\"x>Y", "<A TITLE=\"x>Y\">Z<A T=\"X>Y", "ZY");
        row("open quote at the next <: first >, values closed before it keep case; the next tag scanned afresh", "<a href=\"P.Htm\" t=\"X>Y<b \"x>\" c>Z", "<a href=\"P.Htm\" t=\"x>Y<b \"x>\" c>Z", "<A HREF=\"P.Htm\" T=\"X>Y<B \"x>\" C>Z", "YZ");
        row("tags sharing one scan", R"(<"a>"<"B>""<I>)", R"(<"a>"<"b>""<i>)", R"(<"A>"<"B>""<I>)", R"(""")");
        row("Latin-1 stays Latin-1, surrogates stay, other letters change", "<ßÿéµŸb😀Σ>ßÿ", "<ßÿéµÿb😀σ>ßÿ", "<ßÿÉµŸB😀Σ>ßÿ", "ßÿ");
        row("no <", "A > B", "A > B", "A > B", "A > B");
        row("a tag longer than 65536", "<A T=\"" + QString(70000, 'X') + "\" B>é", "<a t=\"" + QString(70000, 'X') + "\" b>é", "<A T=\"" + QString(70000, 'X') + "\" B>é", "é");
        row("no >", "A < B", "A < B", "A < B", "A < B");
        // clang-format on
    }
    // Each conversion as the rules give it, and as the yardstick reads them.
    void examples() {
        QFETCH(QString, text);
        QTEST(converted(text), "converted");
        QTEST(oracled(text), "converted");
    }

    // Random pages of the pieces the rules hinge on; the seed is fixed, so a failure comes back.
    void fuzz() {
        static const QStringList pieces{
            "<",  ">",  "\"",         "\"",   "<b>", "</B>", "<A HREF=", "\"Page.HTM\"",
            "=",  " ",  "<!--",       "-->",  "->",  "<!-",  "<%",       "%>",
            "<?", "?>", "<!DOCTYPE ", "\r\n", "\n",  "aZ",   "Q\rz",     "ß",
            "ÿ",  "é",  "É",          "µ",    "Ÿ",   "Σ",    "😀",        QString(QChar(0xD83D)),
            "İ",  "ı",  "<\"a>\"",    "<I>"};
        QRandomGenerator random(2024);
        for (int round = 0; round < 1000; ++round) {
            QString text = random.bounded(4) == 0 ? QStringLiteral("<!doctype ") : QString();
            for (int count = random.bounded(60); count > 0; --count)
                text += pieces[random.bounded(int(pieces.size()))];
            const QStringList result = converted(text);
            QCOMPARE(result, oracled(text));
            // Removing tags after a conversion, or converting again, changes nothing.
            QCOMPARE((QStringList{LowerTags(result[0]), UpperTags(result[1]), RemoveTags(result[0]),
                                  RemoveTags(result[1])}),
                     (QStringList{result[0], result[1], result[2], result[2]}));
        }
    }
};

QTEST_MAIN(TagCommandsTest)
#include "tst_tagcommands.moc"
