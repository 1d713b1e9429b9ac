#include "app/LinksPanel.h"
#include "support/AppFixture.h"
#include "support/Keys.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

// "Check Links..." as a user meets it: the folder asked for, the panel's rows, its filter, and a
// row taken with the keyboard to its place in the page.
class LinksPanelTest : public QObject {
    Q_OBJECT

    static QStringList rows(const QTreeWidget* list) {
        QStringList texts;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            texts << QString("%1 %2:%3 %4 | %5")
                         .arg(item->text(0), item->text(1), item->text(2), item->text(3), item->text(4));
        }
        return texts;
    }

private slots:
    void checkedAndVisitedFromTheKeyboard() {
        AppFixture app;
        const QString index =
            app.env.writeFile("site/index.html", "<p>\r\n<a href=\"gone.html\">x</a>\r\n"
                                                 "<a href=\"http://example.com/\">y</a>\r\n");
        app.env.writeFile("site/sub/page.htm", "<p>\n\n  <img alt=\"\" src=\"../Index.html\">\n");
        const QString site = QFileInfo(index).absolutePath();
        QCOMPARE(::mkfifo(QFile::encodeName(site + "/pipe.html").constData(), 0600), 0);
        app.start({index});
        QVERIFY(QTest::qWaitForWindowActive(app.main.get()));
        frmNotepad* page = app.document(0);

        // From the document window: the dialog starts in the document's folder.
        app.dialogs.folders.enqueue(site);
        page->findChild<QAction*>("mnuCheckLinks")->trigger();
        QCOMPARE(app.dialogs.folderRequests.last().folder, site);
        LinksPanel* panel = app.main->linksPanel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->objectName(), "dockLinks");
        panel->waitForDone();
        QVERIFY(!panel->running() && !panel->cmdCancelLinks->isEnabled());
        QTreeWidget* list = panel->lstLinks;
        QVERIFY(list->hasFocus()); // the keyboard is on the results
        QCOMPARE(rows(list), QStringList({"index.html 2:10 gone.html | File not found",
                                          "sub/page.htm 3:20 ../Index.html | Letter case differs: the file "
                                          "is /index.html"}));
        QCOMPARE(
            panel->lblLinksSummary->text(),
            "1 missing file, 1 wrong letter case; 1 remote not checked; 2 pages checked, 1 file not read");
        panel->cmbLinksFilter->setCurrentText("Remote (not checked)");
        QCOMPARE(rows(list), QStringList{"index.html 3:10 http://example.com/ | Remote: not checked"});
        // A page not read is listed under its own filter; Enter on it says why it cannot be opened.
        panel->cmbLinksFilter->setCurrentText("Pages not read");
        const QString refusal = site + "/pipe.html is not a regular file and cannot be opened as text.";
        QCOMPARE(rows(list), QStringList{"pipe.html :  | " + refusal});
        sendKey(list, Qt::Key_Return);
        QCOMPARE(app.dialogs.messages.last().text, refusal);
        QCOMPARE(app.main->documents().DocumentCount, 1);
        panel->cmbLinksFilter->setCurrentText("Wrong letter case");
        QCOMPARE(rows(list).size(), 1);
        panel->cmbLinksFilter->setCurrentIndex(0);

        // The row the keyboard was on under a filter stays current. Enter: its page opens with the
        // reference selected (its LF breaks read as CR LF); Up and Enter: the page open already
        // comes up, no second window of it.
        list->setFocus();
        QCOMPARE(list->currentItem(), list->topLevelItem(1));
        sendKey(list, Qt::Key_Return);
        frmNotepad* other = app.main->documents().current();
        QVERIFY(other && other != page);
        QCOMPARE(app.record(other->slot()).PathCaption, site + "/sub/page.htm");
        QCOMPARE(other->txtRich->selText(), "../Index.html");
        QVERIFY(other->txtRich->hasFocus());
        list->setFocus();
        sendKey(list, Qt::Key_Up);
        sendKey(list, Qt::Key_Return);
        QCOMPARE(app.main->documents().current(), page);
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QCOMPARE(page->txtRich->selText(), "gone.html");

        // From the main window's menu, cancelled: the results stay.
        const int asked = app.dialogs.folderRequests.size();
        app.main->action(CommandId::CheckLinks)->trigger();
        QCOMPARE(app.dialogs.folderRequests.size(), asked + 1);
        QCOMPARE(app.dialogs.folderRequests.last().folder, app.main->dialogFolder());
        QCOMPARE(list->topLevelItemCount(), 2);

        // Esc stops a check that runs: its results never come. Another run replaces the rows.
        app.dialogs.folders.enqueue(site);
        page->findChild<QAction*>("mnuCheckLinks")->trigger();
        QCOMPARE(list->topLevelItemCount(), 0);
        sendKey(list, Qt::Key_Escape);
        QCOMPARE(panel->lblLinksSummary->text(), "Cancelled.");
        panel->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(panel->lblLinksSummary->text(), "Cancelled.");
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(QFile::rename(site + "/sub/page.htm", site + "/sub/page.txt"));
        app.dialogs.folders.enqueue(site + "/");
        page->findChild<QAction*>("mnuCheckLinks")->trigger();
        panel->waitForDone();
        QCOMPARE(rows(list), QStringList{"index.html 2:10 gone.html | File not found"});
        // Esc with nothing running gives the keyboard back to the document.
        sendKey(list, Qt::Key_Escape);
        QVERIFY(app.main->documents().current()->txtRich->hasFocus());
    }
};

QTEST_MAIN(LinksPanelTest)
#include "tst_linkspanel.moc"
