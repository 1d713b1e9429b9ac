#include "editor/mdlFile.h"
#include "markup/FormCode.h"
#include "markup/TagDialogsCode.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"
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
    // A selected BODY tag read into "background|bgcolor|text|link|alink|vlink|other", and written back.
    void body_data() {
        table(
            {"selection", "boxes", "tag"},
            {"picture, colour, handler in order, what follows no attribute; <Body bgcolor=\"#ff0000\" "
             "onload=\"init()\" background=\"a b.gif\">\r\n<P>x</P>; a b.gif|#ff0000|||||onload=\"init()\"; "
             "<BODY BACKGROUND=\"a b.gif\" BGCOLOR=\"#ff0000\" onload=\"init()\">\r\n",
             "'>' in a value kept, line breaks blanks;  <BODY onload=\"if(a>b)x()\"\r\nTEXT=red\nclass=c> ; "
             "||red||||onload=\"if(a>b)x()\" class=c; <BODY TEXT=\"red\" onload=\"if(a>b)x()\" class=c>\r\n",
             "ALINK and VLINK are not LINK; <BODY ALINK=\"#00ff00\" LINK=blue VLINK='#0000ff'>; "
             "|||blue|#00ff00|#0000ff|; <BODY LINK=\"blue\" ALINK=\"#00ff00\" VLINK=\"#0000ff\">\r\n",
             "no BODY tag; <BODYX bgcolor=red>; ||||||; <BODY>\r\n"});
    }
    void body() {
        QFETCH(QString, selection);
        const BodyFields f = ReadBodyTag(selection);
        QTEST(QStringList({f.background, f.bgcolor, f.text, f.link, f.alink, f.vlink, f.other}).join('|'),
              "boxes");
        QTEST(BuildBodyTag(f), "tag");
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
        QFETCH(QString, selection);
        QFETCH(QString, options);
        LinkFields f = ReadLinkSelection(selection);
        QTEST(f.protocol + '|' + f.url + '|' + f.name, "fields");
        const QStringList option = options.split('|');
        f.target = option[0], f.picture = option[1], f.lineBreak = !option[2].isEmpty();
        f.usePicture = !f.picture.isEmpty();
        QTEST(BuildLinkTag(f), "tag");
    }

    // A number list of three rows indented by a tab; FONT attributes only when given.
    void listAndFont() {
        QCOMPARE(BuildListCode(true, 3, "\t") + BuildFontTag("3", "Arial Black", "red"),
                 "<OL>\r\n\t<LI> Row1 </LI>\r\n\t<LI> Row2 </LI>\r\n\t<LI> Row3 </LI>\r\n</OL>\r\n"
                 "<FONT SIZE=\"3\" FACE=\"Arial Black\" COLOR=\"red\">");
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
        // Font: Add wraps the selection as one undo step; Enter in the size box adds nothing; a chosen
        // face is shown in the box and written; Cancel closes and deletes the dialog.
        select("ab cd", 3);
        QPointer<frmFont> font = new frmFont(main, &main);
        QVERIFY(shownActive(font) && font->txtSize->hasFocus());
        QTest::keyClicks(font->txtSize, "1x2345");
        QCOMPARE(font->txtSize->text(), "123");
        QTest::keyClick(font->txtSize, Qt::Key_Return);
        font->txtSize->clear();
        font->txtColor->setText("#ff0000");
        font->cmdOK->click();
        QCOMPARE(document->txtRich->text(), "ab <FONT COLOR=\"#ff0000\">cd</FONT>");
        QVERIFY(document->undoHistory().Undo());
        QCOMPARE(document->txtRich->text(), "ab cd");
        const QStringList faces = QFontDatabase::families();
        if (!faces.isEmpty()) {
            font->cmbFonts->setCurrentIndex(0);
            QCOMPARE(font->cmbFonts->font().family() + QString::number(font->cmbFonts->font().pointSize()),
                     faces[0] + "8");
            font->cmdOK->click();
            QVERIFY(document->txtRich->text().contains("<FONT FACE=\"" + faces[0] + "\" COLOR"));
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
        // Text selected after the tag (and the blanks before it) stays; only the tag is written.
        select(" <body bgcolor=red>Hello world", 0);
        frmBody around(main, &main);
        QCOMPARE(around.txtBackcolor->text(), "red");
        around.cmdAdd->click();
        QCOMPARE(document->txtRich->text(), " <BODY BGCOLOR=\"red\">Hello world");
        // List: the row count takes digits only, 0 empties it and disables Add; the examples follow
        // the kind.
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
        list.optDotList->click();
        QCOMPARE(list.lblExample[0]->text() + list.lblExample[2]->text(), "* Example* Example");
        list.cmdAdd->click();
        QCOMPARE(document->txtRich->text(), "<UL>\r\n  <LI> Row1 </LI>\r\n  <LI> Row2 </LI>\r\n</UL>\r\n");
        // With no document open the body's Add does nothing.
        main.documents().DocumentSlots[0].Modified = false;
        document->close();
        AppFixture::flush();
        QVERIFY(!main.documents().current());
        body.cmdAdd->click();
        // Link, on a selection: its boxes filled; Browse gives a path relative to the saved document,
        // a cancelled one changes nothing; the close button ends it when modal.
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

    // Text pasted into a dialog's box with LF or CR breaks reaches the document with CR LF breaks,
    // and one Ctrl+Z takes it out again, keeping the steps before it.
    void pastedBreaksUndoAtOnce_data() {
        table({"dialog"}, {"link name; link", "body's other attributes; body", "font colour; font",
                           "form text area; forms", "frame name; frames"});
    }
    void pastedBreaksUndoAtOnce() {
        QFETCH(QString, dialog);
        AppFixture app;
        auto& main = app.start();
        frmNotepad* document = app.document(0);
        document->txtRich->setText("x");
        document->ClearAllUndo();
        document->txtRich->setSelStart(1);
        typeText(document->txtRich, "ab");
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
        QApplication::clipboard()->setText("one\ntwo\rthree");
        box->setFocus();
        box->selectAll();
        sendKey(box, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(box->text().contains("one\ntwo"));
        finish->click();
        const QString text = document->txtRich->text();
        QVERIFY2(text.contains("one\r\ntwo\r\nthree") &&
                     !text.contains(QRegularExpression("\r(?!\n)|(?<!\r)\n")),
                 qPrintable(text));
        sendKey(document->txtRich, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document->txtRich->text(), "xab");
    }
};

QTEST_MAIN(TagDialogsTest)
#include "tst_tagdialogs.moc"
