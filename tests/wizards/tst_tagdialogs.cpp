#include "editor/mdlFile.h"
#include "markup/Attributes.h"
#include "markup/ColorCodes.h"
#include "markup/FormCode.h"
#include "markup/TagDialogsCode.h"
#include "platform/Version.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "support/ShellFixture.h"
#include "wizards/frmBody.h"
#include "wizards/frmColor.h"
#include "wizards/frmFont.h"
#include "wizards/frmForms.h"
#include "wizards/frmFrames.h"
#include "wizards/frmLink.h"
#include "wizards/frmList.h"
#include "wizards/frmSymbols.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// "ab|c" is a cursor; "a[bc]" a selection, its cursor at the end. Gives text, cursor, start, length.
std::tuple<QString, int, int, int> parse(QString s) {
    const int bar = int(s.indexOf('|')), open = int(s.indexOf('[')), close = int(s.indexOf(']')) - 1;
    return bar >= 0 ? std::tuple(s.remove(bar, 1), bar, bar, 0)
                    : std::tuple(s.remove('[').remove(']'), close, open, close - open);
}
QString render(const QLineEdit& box) {
    QString s = box.text();
    return box.hasSelectedText() ? s.insert(box.selectionEnd(), ']').insert(box.selectionStart(), '[')
                                 : s.insert(box.cursorPosition(), '|');
}
} // namespace

// The dialogs that write tags, forms, colours and symbols into a document, and the reading of the
// selection they start from.
class TagDialogsTest : public QObject {
    Q_OBJECT

    static QString crlf(QString text) { return text.replace('\n', "\r\n"); }

private slots:
    // The value read for a name, and the text left once the attribute is cut out of it.
    void readAttribute_data(); // below the class: moc does not read its raw strings
    void readAttribute() {
        QFETCH(QString, text);
        QTEST(ReadAttribute(0, 0, text, cell("name")), "value");
        QTEST(text, "rest");
    }

    // A selection read as "protocol|url|name", then written with "target|picture (if any)|<BR> ticked".
    void link_data() {
        table(
            {"selection", "fields", "options", "tag"},
            {"HTTP in capitals, target, <BR>; HTTP://www.x.se; http://|www.x.se|HTTP://www.x.se; _blank||1; "
             "<A HREF=\"http://www.x.se\" TARGET=\"_blank\">HTTP://www.x.se</A><BR>\r\n",
             "host prefix; WWW.x.se; http://|WWW.x.se|WWW.x.se; ||; <A HREF=\"http://WWW.x.se\">WWW.x.se</A>",
             "ftp, picture; ftp://f.se/a; Ftp://|f.se/a|ftp://f.se/a; |p.gif|; "
             "<A HREF=\"Ftp://f.se/a\"><IMG SRC=\"p.gif\" BORDER=\"0\" ALT=\"\"></A>",
             "mailto; Mailto:a@b.se; mailto:|a@b.se|Mailto:a@b.se; ||; "
             "<A HREF=\"mailto:a@b.se\">Mailto:a@b.se</A>",
             "other: no protocol; page.htm; |page.htm|page.htm; _top||; "
             "<A HREF=\"page.htm\" TARGET=\"_top\">page.htm</A>"});
    }
    void link() {
        LinkFields f = ReadLinkSelection(cell("selection"));
        QTEST(f.protocol + '|' + f.url + '|' + f.name, "fields");
        const QStringList option = cell("options").split('|');
        f.target = option[0], f.picture = option[1], f.lineBreak = !option[2].isEmpty();
        f.usePicture = !f.picture.isEmpty();
        QTEST(BuildLinkTag(f), "tag");
    }

    // The font, body, list and link dialogs in turn on one main window, writing into its document.
    void dialogs() {
        AppFixture app;
        frmQuillora& main = app.start();
        frmNotepad* document = app.document(0);
        const auto select = [&](const QString& text, int start) {
            document->txtRich->setText(text);
            document->txtRich->select(start, document->txtRich->textLength() - start);
        };
        // Font: the size box takes digits, Enter there adds nothing; the chosen face is shown and written.
        select("ab cd", 3);
        QPointer<frmFont> font = new frmFont(main, &main);
        QVERIFY(shownActive(font) && font->txtSize->hasFocus());
        QTest::keyClicks(font->txtSize, "1x2345");
        QCOMPARE(font->txtSize->text(), "123");
        QTest::keyClick(font->txtSize, Qt::Key_Return);
        QCOMPARE(document->txtRich->text(), "ab cd");
        const QStringList faces = QFontDatabase::families();
        if (!faces.isEmpty()) {
            font->cmbFonts->setCurrentIndex(0);
            QCOMPARE(font->cmbFonts->font().family() + QString::number(font->cmbFonts->font().pointSize()),
                     faces[0] + "8");
            font->txtColor->setText("red");
            font->cmdOK->click();
            QCOMPARE(document->txtRich->text(),
                     "ab <FONT SIZE=\"123\" FACE=\"" + faces[0] + "\" COLOR=\"red\">cd</FONT>");
        }
        font->cmdCancel->click();
        AppFixture::flush();
        QVERIFY(font.isNull());
        // Body, on a tag with a picture: its box ticked; the picture is written even when unticked.
        select("<BODY background=a.gif TEXT=\"#000000\">", 0);
        frmBody body(main, &main);
        QVERIFY(body.chkBGPicture->isChecked() && body.cmdBrowse->isEnabled() &&
                body.txtBGPicture->isEnabled());
        body.chkBGPicture->click();
        QVERIFY(!body.cmdBrowse->isEnabled() && !body.txtBGPicture->isEnabled());
        body.cmdAdd->click();
        QCOMPARE(document->txtRich->text(), "<BODY BACKGROUND=\"a.gif\" TEXT=\"#000000\">\r\n");
        // List: the row count takes digits only, 0 empties it and disables Add; examples follow the kind.
        main.mutableSettings().Indent = "  ";
        select("", 0);
        frmList list(main, &main);
        QCOMPARE(list.txtNrRows->text() + list.lblExample[1]->text(), "12 Example");
        QVERIFY(list.cmdAdd->isEnabled() && !list.cmdAdd->autoDefault() && !list.cmdClose->autoDefault());
        list.txtNrRows->selectAll();
        QTest::keyClicks(list.txtNrRows, "0");
        QVERIFY(list.txtNrRows->text().isEmpty() && !list.cmdAdd->isEnabled());
        QTest::keyClicks(list.txtNrRows, "2a");
        QVERIFY(list.cmdAdd->isEnabled());
        list.cmdAdd->click(); // a number list, then a dot list
        list.optDotList->click();
        QCOMPARE(list.lblExample[0]->text() + list.lblExample[2]->text(), "* Example* Example");
        list.cmdAdd->click();
        QCOMPARE(document->txtRich->text(), "<OL>\r\n  <LI> Row1 </LI>\r\n  <LI> Row2 </LI>\r\n</OL>\r\n"
                                            "<UL>\r\n  <LI> Row1 </LI>\r\n  <LI> Row2 </LI>\r\n</UL>\r\n");
        main.documents().DocumentSlots[0].Modified = false;
        document->close();
        AppFixture::flush();
        QVERIFY(!main.documents().current());
        body.cmdAdd->click(); // with no document open, nothing happens
        // Link on a selection: boxes filled, Browse paths relative to the document, Close ends it modal.
        frmNotepad* page = OpenDocument(main, app.env.writeFile("site/page.htm", "HTTP://www.x.se"));
        page->txtRich->select(0, page->txtRich->textLength());
        QPointer<frmLink> link = new frmLink(main, &main);
        QCOMPARE(link->cmbProtocol->currentText() + link->txtURL->text() + "|" + link->txtName->text() + "|" +
                     link->cmbTarget->currentText(),
                 "http://www.x.se|HTTP://www.x.se|"); // no target unless one is chosen
        QVERIFY(link->txtName->isEnabled() && !link->cmdBrowsePic->isEnabled());
        link->chkPicture->click();
        QVERIFY(!link->txtName->isEnabled() && link->cmdBrowsePic->isEnabled());
        app.dialogs.openPaths << app.env.root() + "/site/sub/a b.htm" << app.env.root() + "/site/p.gif";
        link->cmdBrowseFile->click();
        link->cmdBrowsePic->click();
        link->cmdBrowseFile->click(); // cancelled
        QCOMPARE(link->cmbProtocol->currentText() + link->txtURL->text() + "|" + link->txtPicture->text(),
                 "http://sub/a b.htm|p.gif");
        QTimer::singleShot(0, link, [&] { link->cmdClose->click(); });
        QTimer::singleShot(5000, link, [&] { link->done(42); }); // only if the close button failed
        QCOMPARE(link->exec(), int(QDialog::Rejected));
    }

    // A dialog's insertion after typing "ab", `paste` in its box: CR LF only, one Ctrl+Z takes it out.
    void insertionUndoneAtOnce_data() {
        table(
            {"dialog", "before", "paste", "expected"},
            {"link name; link; ab|; one\ntwo\rthree; ab<A HREF=\"\">one\r\ntwo\r\nthree</A>|",
             "link on a non-ASCII selection; link; ab[www.å.se]; ; ab<A "
             "HREF=\"http://www.å.se\">www.å.se</A>|",
             "body's other attributes; body; ab|; one\ntwo\rthree; ab<BODY one\r\ntwo\r\nthree>\r\n|",
             "BODY tag: picture, colour, handler in order, what follows no attribute; body; ab[<Body "
             "bgcolor=\"#ff0000\" onload=\"init()\" background=\"a b.gif\">]; ; "
             "ab<BODY BACKGROUND=\"a b.gif\" BGCOLOR=\"#ff0000\" onload=\"init()\">\r\n|",
             "BODY tag over lines, '>' in a value, text after it; body; ab[ <body onload=\"if(a>b)x()\"\r\n"
             "TEXT=red\r\ntitle=\"Åsa\">\r\nHi 😀]; ; ab <BODY TEXT=\"red\" onload=\"if(a>b)x()\" "
             "title=\"Åsa\">|\r\nHi 😀",
             "ALINK and VLINK are not LINK; body; ab[<BODY ALINK=\"#00ff00\" LINK=blue VLINK='#0000ff'>]; ; "
             "ab<BODY LINK=\"blue\" ALINK=\"#00ff00\" VLINK=\"#0000ff\">\r\n|",
             "no BODY tag; body; ab[<BODYX bgcolor=red>]; ; ab<BODY>\r\n|",
             "font colour; font; ab|; one\ntwo\rthree; ab<FONT COLOR=\"one\r\ntwo\r\nthree\"></FONT>|",
             "font over several lines; font; ab[é\r\nö 😀\r\n]; red; ab<FONT COLOR=\"red\">é\r\nö "
             "😀\r\n</FONT>|",
             "form text area; forms; ab|; one\ntwo\rthree; "
             "ab<TEXTAREA>\r\none\r\ntwo\r\nthree\r\n</TEXTAREA>\r\n|",
             "form text area over lines; forms; ab[x\r\ny]; ä\rö; ab<TEXTAREA>\r\nä\r\nö\r\n</TEXTAREA>\r\n|",
             "frame name; frames; ab|; one\ntwo\rthree; ab<FRAMESET COLS=\"50%,50%\">\r\n\t<FRAME\r\n\t "
             "NAME=\"one\r\ntwo\r\nthree\"\r\n\t>\r\n"
             "\t<FRAME\r\n\t>\r\n</FRAMESET>\r\n|"});
    }
    void insertionUndoneAtOnce() {
        const QString dialog = cell("dialog"), before = cell("before"), paste = cell("paste");
        AppFixture app;
        auto& main = app.start();
        RichTextControl* text = app.document(0)->txtRich;
        const int start = int(before.indexOf(QRegularExpression("[|[]"))), end = int(before.indexOf(']')) - 1;
        const QString plain = QString(before).remove(QRegularExpression("[][|]"));
        text->setText(plain.mid(2));
        app.document(0)->ClearAllUndo();
        text->setSelStart(0);
        typeText(text, "ab");
        text->select(start, end < 0 ? 0 : end - start);
        std::unique_ptr<QDialog> owner;
        QLineEdit* box = nullptr;
        QPushButton* finish = nullptr;
        const auto open = [&](auto* opened, auto boxMember, auto finishMember) {
            owner.reset(opened), box = opened->*boxMember, finish = opened->*finishMember;
            return opened;
        };
        if (dialog == "link")
            open(new frmLink(main, &main), &frmLink::txtName, &frmLink::cmdAdd);
        else if (dialog == "body")
            open(new frmBody(main, &main), &frmBody::txtOther, &frmBody::cmdAdd);
        else if (dialog == "font")
            open(new frmFont(main, &main), &frmFont::txtColor, &frmFont::cmdOK);
        else if (dialog == "frames")
            open(new frmFrames(main, &main), &frmFrames::txtName, &frmFrames::cmdOK)->cmdVFrame->click();
        else {
            auto* forms = open(new frmForms(main, &main), &frmForms::txtValue, &frmForms::cmdAdd);
            forms->TabStrip1->setCurrentIndex(1);
            forms->cmbObject->setCurrentIndex(FormTextArea);
            emit forms->cmbObject->activated(FormTextArea);
        }
        if (!paste.isEmpty()) {
            QApplication::clipboard()->setText(paste);
            box->setFocus();
            box->selectAll();
            sendKey(box, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(box->text(), paste);
        }
        finish->click();
        QTEST(render(*text), "expected");
        sendKey(text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text->text(), plain);
    }

    // The o umlaut (entry 7) over "a[b]c" by i: Insert, d: a double click, e: Enter; "-" clears the
    // list's selection first, "x" closes the document first. Every opening starts on the first entry.
    void insertSymbol_data() {
        table({"how", "expected"},
              {"insert; i; a&ouml;|c", "double click; d; a&ouml;|c", "Enter; e; a&ouml;|c",
               "nothing selected; -i; a[b]c", "no document; xi; -"});
    }
    void insertSymbol() {
        QFETCH(QString, how);
        ShellFixture app;
        frmSymbols symbols(app.start(), app.main.get());
        QPointer<frmNotepad> document = app.document(0);
        document->txtRich->setText("abc");
        document->txtRich->select(1, 1);
        QListWidget* list = symbols.lstSymbols;
        // Escapes, six Swedish letters, then Latin-1 "¡" to "ÿ"; each tip is the reference (name or number).
        QString shown;
        for (int row : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 17, 94, 103})
            shown += list->item(row)->text() + list->item(row)->toolTip();
        QCOMPARE(QString::number(list->count()) + shown,
                 QString::fromUtf8(
                     "104<&lt;>&gt;\"&quot;å&aring;Å&Aring;ä&auml;Ä&Auml;ö&ouml;Ö&Ouml;¡&#161;©&#169;"
                     "ö&ouml;ÿ&#255;"));
        QVERIFY(shownActive(&symbols) && list->hasFocus() && list->currentRow() == 0);
        list->setCurrentRow(7);
        if (how.contains('-'))
            list->clearSelection();
        if (how.contains('x')) {
            app.main->documents().DocumentSlots[0].Modified = false;
            document->close();
            ShellFixture::flush();
        }
        if (how.endsWith('i'))
            symbols.cmdInsert->click();
        else if (how.endsWith('d')) // what a real double click sends: press, release, double, release
            for (const auto action : {QTest::MouseClick, QTest::MouseDClick, QTest::MouseRelease})
                QTest::mouseEvent(action, list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(7)).center());
        else
            QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(symbols.isVisible());
        QTEST(document ? render(*document->txtRich) : "-", "expected");
        if (document) { // one undo step, none when nothing was inserted
            QCOMPARE(document->undoHistory().Undo(), !how.contains('-'));
            QCOMPARE(document->txtRich->text(), "abc");
        }
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(symbols.isHidden());
        symbols.cmdClose->setFocus(); // and so again, whatever had the focus before
        QVERIFY(shownActive(&symbols) && list->hasFocus() && list->currentRow() == 0);
        symbols.cmdClose->click();
        QVERIFY(symbols.isHidden());
    }

    // type -1: the FORM tag from NAME ACTION METHOD CLASS ENCTYPE ID LANG LANGUAGE TARGET TITLE; else a
    // control from name value selections size maxlength rows cols onchange onclick checked. Empty ones go.
    void build_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, int type, const QStringList& fields, const char* expected) {
            QTest::newRow(name) << type << fields << crlf(expected);
        };
        row("form attributes in fixed order, unescaped", -1,
            {"f", "x\"y", "Post", "c", "e", "i", "sv", "VBS", "_top", "a&b"},
            "<FORM NAME=\"f\" ACTION=\"x\"y\" METHOD=\"Post\" CLASS=\"c\" ENCTYPE=\"e\" ID=\"i\" LANG=\"sv\" "
            "LANGUAGE=\"VBS\" TARGET=\"_top\" TITLE=\"a&b\">\n\n</FORM>\n");
        row("combo box with two non-ASCII options", FormComboBox, {"size", "Smått 😀", "2"},
            "<SELECT NAME=\"size\">\n\t<OPTION>Smått 😀</OPTION>\n\t<OPTION>Smått 😀</OPTION>\n</SELECT>\n");
        row("text area value on its own line", FormTextArea, {"t", "Hé\tö", "", "", "", "3", "40", "c()"},
            "<TEXTAREA NAME=\"t\" ROWS=\"3\" COLS=\"40\" ONCHANGE=\"c()\">\nHé\tö\n</TEXTAREA>\n");
        row("list without options", FormList, {"", "v", "0"}, "<SELECT MULTIPLE>\n</SELECT>\n");
        row("check box: no options, checked", FormCheckBox, {"c", "1", "3", "", "", "", "", "", "f()", "x"},
            "<INPUT TYPE=\"CHECKBOX\" NAME=\"c\" VALUE=\"1\" ONCLICK=\"f()\" CHECKED>\n");
        row("button ignores checked", FormButton, {"Button", "", "", "", "", "", "", "", "", "x"},
            "<INPUT TYPE=\"BUTTON\" NAME=\"Button\">\n");
        row("text field attribute order", FormTextField, {"n", "v", "", "5", "9", "", "", "g", "k"},
            "<INPUT TYPE=\"TEXT\" NAME=\"n\" VALUE=\"v\" SIZE=\"5\" MAXLENGTH=\"9\" ONCHANGE=\"g\" "
            "ONCLICK=\"k\">\n");
        row("too many options refused", FormComboBox, {"", "", "32768"}, "");
        row("count beyond any number refused", FormList, {"", "", "999999999999999999999999"}, "");
        row("no type", FormObjectTypeCount, {"n"}, "");
    }
    void build() {
        QFETCH(int, type);
        QFETCH(QStringList, fields);
        const QStringList f = fields + QStringList(10 - fields.size(), QString());
        const FormFields form{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
        const ObjectFields object{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], !f[9].isEmpty()};
        QCOMPARE(type < 0 ? BuildFormCode(form) : BuildObjectCode(type, object, "\t"), cell("expected"));
    }

    // Options beyond 16 MB are refused: with a tab, a 492-character value makes 512-character options.
    void sizeLimit() {
        for (const int type : {FormComboBox, FormList})
            for (const int length : {492, 493}) {
                ObjectFields fields;
                fields.Value = QString(length, 'v');
                fields.Selections = "32767";
                QCOMPARE(BuildObjectCode(type, fields, "\t").count("<OPTION>"), length == 492 ? 32767 : 0);
            }
    }

    // The FORM, then controls, into the current document; each addition one undo step.
    void addFormThenObjects() {
        ShellFixture app;
        auto* forms = new frmForms(app.start(), app.main.get());
        frmNotepad* document = app.document(0);
        document->txtRich->setText("ab");
        document->txtRich->select(1, 0);
        QVERIFY(shownActive(forms) && forms->txtFormName->hasFocus());
        QTest::keyClicks(forms->txtFormAction, "go.cgi");
        QTest::keyClick(forms->txtFormAction, Qt::Key_Return); // no default button takes Enter
        QCOMPARE(document->txtRich->text(), QString("ab"));
        const QString form = crlf("a<FORM ACTION=\"go.cgi\">\n|\n</FORM>\nb");
        forms->cmdAdd->click();
        QCOMPARE(render(*document->txtRich), form);
        QCOMPARE(forms->TabStrip1->currentIndex(), 1);
        QVERIFY(forms->fraObjects->isVisible() && forms->fraForm->isHidden());
        QVERIFY(forms->txtName->isEnabled() && !forms->txtValue->isEnabled() &&
                !forms->chkChecked->isEnabled());
        QTest::keyClicks(forms->txtName, "lost");
        forms->cmdAdd->click(); // no type picked: nothing
        QCOMPARE(render(*document->txtRich), form);
        const auto pick = [&](int type) {
            forms->cmbObject->setCurrentIndex(type);
            emit forms->cmbObject->activated(type);
        };
        pick(FormSubmitButton); // with its name and value filled in
        forms->cmdAdd->click();
        QCOMPARE(render(*document->txtRich), crlf("a<FORM ACTION=\"go.cgi\">\n<INPUT TYPE=\"SUBMIT\" "
                                                  "NAME=\"Submit\" VALUE=\"Submit\">\n|\n</FORM>\nb"));
        // Too many selections, or options beyond 16 MB, are refused with a message and add nothing.
        pick(FormComboBox);
        QVERIFY(forms->txtName->text().isEmpty() && forms->txtSelections->isEnabled());
        forms->txtSelections->setFocus();
        QTest::keyClicks(forms->txtSelections, "4x0 000");
        QCOMPARE(forms->txtSelections->text(), QString("40000"));
        const QString before = document->txtRich->text();
        forms->cmdAdd->click();
        forms->txtValue->setText(QString(32767, 'v'));
        QTest::keyClicks(forms->txtSelections, "32767"); // over the selected count
        forms->cmdAdd->click();
        QCOMPARE(document->txtRich->text(), before);
        QStringList messages;
        for (const ScriptedDialogs::Message& m : app.dialogs.messages)
            messages << m.title + ": " + m.text +
                            (m.icon == Dialogs::Icon::Information ? "" : " (not information)");
        QCOMPARE(messages,
                 QStringList({MessageBoxTitle() + ": The number of selections must be 32767 or less.",
                              MessageBoxTitle() + ": The control would be more than 16 MB of text. "
                                                  "Give fewer selections or a shorter value."}));
        QVERIFY(forms->txtSelections->hasFocus());
        pick(FormCheckBox); // a check box takes no count but a tick
        QVERIFY(!forms->txtSelections->isEnabled() && forms->chkChecked->isEnabled());
        QVERIFY(document->undoHistory().Undo() && document->undoHistory().Undo());
        QCOMPARE(document->txtRich->text(), QString("ab"));
        app.main->documents().DocumentSlots[0].Modified = false;
        document->close();
        ShellFixture::flush();
        forms->TabStrip1->setCurrentIndex(0);
        forms->cmdAdd->click(); // no document: nothing, and the dialog stays
        QVERIFY(forms->isVisible() && forms->fraForm->isVisible());
        QPointer<frmForms> alive(forms);
        QTest::keyClick(forms->txtFormName, Qt::Key_Escape);
        ShellFixture::flush();
        QVERIFY(!alive);
    }

    // Codes are lower case, two digits a component, clamped; a character that is no digit is 0.
    void codes() {
        QCOMPARE(RGBToHex(255, 128, 0) + RGBToHex(300, -5, 16) + HexDigit(-1) + HexDigit(10) + HexDigit(16),
                 "#ff8000#ff00100af");
        QCOMPARE(QList<int>({HexValue("F"), HexValue("b9"), HexValue("7"), HexValue("g"), HexValue("")}),
                 QList<int>({15, 11, 7, 0, 0}));
    }

    void digits_data() { // " =": the key changed nothing
        table({"before", "digit", "after"},
              {"a lone 0 counts as empty; |0; 9; 9|", "behind 30, clamped; 30|; 9; 255|",
               "behind 0 the zero goes; 0|; 7; 7|", "a 0 in front goes; |12; 0; |12",
               "between two; 1|5; 2; 12|5", "selection, clamped; 2[0]0; 9; 25|5",
               "selection keeps zeros; [1]00; 0; 0|00",
               "three characters; 12|3; 4; 12|3 =", "not a digit; |5; x; |5 ="});
    }
    void digits() {
        const auto [text, cursor, start, length] = parse(cell("before"));
        const DigitResult r = ApplyDigit(text, cursor, start, length, cell("digit").at(0));
        QTEST(QString(r.text).insert(r.cursor, '|') + (r.changed ? "" : " ="), "after");
    }

    // The dialog on a selection gets `keys` ("<" Backspace, ">" Enter, "~" Tab, "^" pastes `extra`, "*"
    // chooses `extra`; "G" opens a two-tone picture, "B" a bad one, "?" none; "L", "Z", "O" click light,
    // dark, outside, "M" drags). Expected: red, green, blue, code, focus, the text after OK or Esc.
    void dialog_data() {
        table({"text", "keys", "extra", "expected"},
              {"code kept as given; [#Ff8000]; ; ; [255] 128 0 #Ff8000 txtRed [#Ff8000]",
               "no code; a[red]; ; ; [0] 0 0 #000000 txtRed a[red]",
               "not hexadecimal; [#zz8000]; ; ; [0] 128 0 #008000 txtRed [#zz8000]",
               "six behind #, Enter moves on; a=#[FF8000];; 1>2>12>; ; 1| 2 12 #01020c cmdOK a=#01020c|;",
               "nothing selected; a|b; >>>; ; 0| 0 0 #000000 cmdOK a#000000|b",
               "six at the start; [c0c0c0]; >>>; ; 0| 0 0 #000000 cmdOK #000000|",
               "letters and spaces swallowed, three digits; |; 1a 234; ; 123| 0 0 #7b0000 txtRed |",
               "emptied and left; |; 5<~; ; 0| 0 0 #000000 txtGreen |",
               "paste of letters; |; ^; 12a; [0] 0 0 #000000 txtRed |",
               "paste clamped; |; ^; 999; 255| 0 0 #ff0000 txtRed |",
               "chosen; red|; *; #123456; 18| 52 86 #123456 txtRed red|",
               "the same colour chosen; [#FF8000]; *; #ff8000; 255| 128 0 #ff8000 txtRed [#FF8000]",
               "choice cancelled; [#FF8000]; *; ; [255] 128 0 #FF8000 txtRed [#FF8000]",
               "no picture; [#FF8000]; ?BO; ; [255] 128 0 #FF8000 txtRed [#FF8000]",
               "a pixel taken, then none; |; GLO?B; ; 200| 100 50 #c86432 QScrollArea |",
               "clicked at the corner; |; GLZ; ; 10| 20 30 #0a141e QScrollArea |",
               "dragged; |; GM; ; 200| 100 50 #c86432 QScrollArea |"});
    }
    void dialog() {
        const QString text = cell("text"), keys = cell("keys"), extra = cell("extra");
        ShellFixture app;
        app.start();
        frmNotepad* document = app.document(0);
        const auto [plain, cursor, start, length] = parse(text);
        document->txtRich->setText(plain);
        document->txtRich->select(start, length);
        frmColor dialog(frmColor::prepareDocumentSelection(document->editable()), *app.main, app.main.get());
        QVERIFY(shownActive(&dialog));
        QApplication::clipboard()->setText(extra);
        app.main->setDialogFolder(app.env.root());
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(QColor(10, 20, 30));
        QPainter(&image).fillRect(10, 0, 10, 10, QColor(200, 100, 50));
        QVERIFY(image.save(app.env.root() + "/two.png"));
        const QHash<QChar, QString> pictures{{'G', app.env.root() + "/two.png"},
                                             {'B', app.env.writeFile("bad.png", "not a picture")},
                                             {'?', ""}};
        const QHash<QChar, QPoint> points{{'L', {15, 9}}, {'Z', {0, 9}}, {'O', {20, 0}}, {'M', {12, 3}}};
        const QHash<QChar, Qt::Key> named{
            {'<', Qt::Key_Backspace}, {'>', Qt::Key_Return}, {'^', Qt::Key_V}, {'~', Qt::Key_Tab}};
        for (QChar key : keys) {
            if (key == '*') {
                app.dialogs.colors.enqueue(extra.isEmpty() ? std::nullopt : std::optional(QColor(extra)));
                dialog.cmdSelect->click();
            } else if (pictures.contains(key)) {
                app.dialogs.openPaths.enqueue(pictures[key]);
                dialog.cmdPick->click();
            } else if (points.contains(key)) { // a click, or for "M" a drag from the dark corner
                QTest::mousePress(dialog.picPicture, Qt::LeftButton, {}, points[key == 'M' ? 'Z' : key]);
                QTest::mouseMove(dialog.picPicture, points[key]);
                QTest::mouseRelease(dialog.picPicture, Qt::LeftButton, {}, points[key]);
            } else if (named.contains(key))
                QTest::keyClick(dialog.focusWidget(), named[key],
                                key == '^' ? Qt::ControlModifier : Qt::NoModifier);
            else
                QTest::keyClick(dialog.focusWidget(), key.toLatin1());
        }
        QWidget* focus = dialog.focusWidget();
        const QString focused =
            focus->objectName().isEmpty() ? focus->metaObject()->className() : focus->objectName();
        const bool ok = focus == dialog.cmdOK;
        QCOMPARE(dialog.picPicture->isVisible(), keys.contains('G'));
        if (keys.contains('G')) { // opened from the dialog folder, its first filter, and shown whole
            const Dialogs::FileRequest request = app.dialogs.openRequests.last();
            QCOMPARE(request.folder + ' ' + QString::number(request.filterIndex), app.env.root() + " 1");
            QVERIFY(dialog.width() > 20 && dialog.height() > 10);
        }
        QCOMPARE(dialog.txtColor->palette().color(QPalette::Base), dialog.color());
        QCOMPARE(dialog.cmdOK->isDefault(), ok);
        QLineEdit field;
        frmColor::applyToField(field, dialog.code());
        QCOMPARE(field.text() + ' ' + field.palette().color(QPalette::Base).name(),
                 dialog.code() + ' ' + dialog.color().name());
        QTest::keyClick(focus, ok ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(dialog.isHidden() && dialog.result() == (ok ? QDialog::Accepted : QDialog::Rejected));
        if (ok)
            frmColor::applyToDocument(document->editable(), dialog.code());
        QTEST(render(*dialog.txtRed) + ' ' + dialog.txtGreen->text() + ' ' + dialog.txtBlue->text() + ' ' +
                  dialog.code() + ' ' + focused + ' ' + ::render(*document->txtRich),
              "expected");
        QCOMPARE(document->undoHistory().Undo(), ok);
        QCOMPARE(document->txtRich->text(), plain);
    }
};

void TagDialogsTest::readAttribute_data() {
    table({"text", "name", "value", "rest"},
          {R"(unquoted last;  BORDER="1" WIDTH=50; WIDTH=; 50;  BORDER="1")",
           R"(quoted, at the very start; BORDER="1" WIDTH=50; BORDER=; 1;  WIDTH=50)",
           "unquoted before quoted, a CR between;  WIDTH=50\rBORDER=\"1\"; WIDTH=; 50; \rBORDER=\"1\"",
           R"(the other one intact;  WIDTH=50 BORDER="1"; border=; 1;  WIDTH=50 )",
           R"(not inside a longer name;  DATA-WIDTH="9" WIDTH="5"; WIDTH=; 5;  DATA-WIDTH="9" )",
           R"(ALINK is not LINK;  ALINK="#f00"; LINK=; ;  ALINK="#f00")",
           R"(not inside a value;  TITLE="a WIDTH=3" WIDTH=7; WIDTH=; 7;  TITLE="a WIDTH=3")",
           R"(after a closing quote; A="1"WIDTH="2"; width=; 2; A="1")",
           "ends at >;  BGCOLOR=red>; BGCOLOR=; red; >", "single quotes;  ALT='é€ 😀'; ALT=; é€ 😀;  ",
           R"~(> inside quotes;  ONLOAD="if(a>b)x()">; ONLOAD=; if(a>b)x();  >)~",
           R"(unclosed quote stops at >;  WIDTH="50>; WIDTH=; 50;  >)",
           R"(empty value;  WIDTH="" X=1; WIDTH=; ;  WIDTH="" X=1)",
           R"(quoted name wanted, none there;  BORDERCOLOR=red; BORDERCOLOR="; ;  BORDERCOLOR=red)",
           R"(quoted name;  BORDERCOLOR="red" X; BORDERCOLOR="; red;   X)",
           R"~(unquoted ends at a quote;  BORDER=1"5 a" WIDTH=2; BORDER=; 1; "5 a" WIDTH=2)~",
           R"(cut from between touching pieces; B=1;W="50%"W="5 x"red">; W=; 5 x; B=1;W="50%" red">)"});
}

QTEST_MAIN(TagDialogsTest)
#include "tst_tagdialogs.moc"
