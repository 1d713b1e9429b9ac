#include "editor/mdlFile.h"
#include "markup/FormCode.h"
#include "markup/TagDialogsCode.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
#include "support/Rendered.h"
#include "wizards/frmBody.h"
#include "wizards/frmFont.h"
#include "wizards/frmForms.h"
#include "wizards/frmFrames.h"
#include "wizards/frmLink.h"
#include "wizards/frmList.h"

#include <QtTest>
#include <QtWidgets>

class TagDialogsTest : public QObject {
    Q_OBJECT

private slots:
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
        QFETCH(QString, selection);
        QFETCH(QString, options);
        LinkFields f = ReadLinkSelection(selection);
        QTEST(f.protocol + '|' + f.url + '|' + f.name, "fields");
        const QStringList option = options.split('|');
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
        QFETCH(QString, dialog);
        QFETCH(QString, before);
        QFETCH(QString, paste);
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
};

QTEST_MAIN(TagDialogsTest)
#include "tst_tagdialogs.moc"
