#include "browser/Preview.h"
#include "browser/frmView.h"
#include "platform/BrowserControl.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineView>

namespace {
// Waits for the page to finish loading and gives its result.
bool loaded(BrowserControl& browser) {
    QSignalSpy done(&browser, &BrowserControl::DocumentComplete);
    return done.wait(15000) && done.last().at(1).toBool();
}
// The share of the view's pixels in `color`.
double share(QWidget* view, QColor color) {
    const QImage image = view->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += QColor(image.pixel(x, y)) == color;
    return double(count) / (image.width() * image.height());
}
} // namespace

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    // A local page is drawn by the engine in a browser window: its background fills the view, its
    // title is the caption, the address box shows where it is; the window starts offline, truly.
    void windowShowsPage() {
        AppFixture app;
        app.start();
        const QString page =
            app.env.writeFile("green.htm", "<title>Green</title><body style='background:#00c000'>");
        frmView* view = app.main->OpenBrowser(" " + page + "* ");
        QVERIFY(loaded(*view->WebBrowser));
        QTRY_VERIFY(share(view->WebBrowser->view(), QColor(0, 192, 0)) > 0.9);
        QCOMPARE(view->windowTitle(), "QL Viewer - Green");
        QCOMPARE(view->cmbURL->currentText(), page);
        QCOMPARE(view->cmbURL->count(), 1);
        QCOMPARE(view->pnlStatus->text(), "Done");
        QStringList bar;
        for (QAction* menu : app.main->menuBar()->actions())
            bar << menu->text();
        QCOMPARE(bar, (QStringList{"File", "Browser", "Options", "Window", "?"}));
        QVERIFY(view->mnuOffline->isChecked() && view->WebBrowser->offline());
        QCOMPARE(view->pnlOffline->text(), "Offline");
        view->mnuOffline->trigger();
        QVERIFY(!view->WebBrowser->offline());
        QCOMPARE(view->pnlOffline->text(), "Online");
    }

    // A typed address goes to the top of the list unless it is there in any letter case; Enter and
    // the Go To button both go to it.
    void addressList_data() {
        table({"typed", "how", "list"},
              {"new address; /b.htm; enter; /b.htm|/a.htm", "other case; /A.HTM; enter; /a.htm",
               "new, by button; /b.htm; button; /b.htm|/a.htm"});
    }
    void addressList() {
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, list);
        AppFixture app;
        app.start();
        frmView* view = app.main->OpenBrowser("/a.htm");
        view->cmbURL->setEditText(typed);
        if (how == "enter")
            QTest::keyClick(view->cmbURL, Qt::Key_Return);
        else
            QTest::mouseClick(view->findChild<QWidget*>("picGoTo"), Qt::LeftButton, {}, QPoint(5, 5));
        QStringList items;
        for (int i = 0; i < view->cmbURL->count(); ++i)
            items << view->cmbURL->itemText(i);
        QCOMPARE(items.join('|'), list);
        QTRY_COMPARE(view->WebBrowser->page()->requestedUrl(),
                     QUrl::fromLocalFile(view->cmbURL->currentText()));
    }

    // Slots are taken from the lowest free one; the table never shrinks.
    void slotsReused() {
        AppFixture app;
        app.start();
        BrowserTable& table = app.main->browsers();
        QList<frmView*> views;
        for (int i = 0; i < 3; ++i)
            views << app.main->OpenBrowser(QString());
        QCOMPARE(views[2]->slot(), 2);
        views[1]->close();
        QVERIFY(table.BrowserSlotFree[1]);
        QCOMPARE(app.main->OpenBrowser(QString())->slot(), 1);
        QCOMPARE(table.slotCount(), 3);
        app.main->close();
        QCOMPARE(table.slotCount(), 3);
        QCOMPARE(std::count(table.BrowserSlotFree.begin(), table.BrowserSlotFree.end(), true), 3);
    }

    // The address box and the Go To button need 1500 twips of room; the browser takes what is left.
    void layout_data() {
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("urlWidth");
        QTest::addColumn<int>("goToLeft");
        QTest::addColumn<int>("browserHeight");
        QTest::newRow("just wide enough") << QSize(228, 300) << true << 100 << 202 << 252;
        QTest::newRow("a pixel too narrow") << QSize(227, 300) << false << 0 << 0 << 252;
        QTest::newRow("no room for the browser") << QSize(400, 48) << true << 272 << 374 << -1;
    }
    void layout() {
        QFETCH(QSize, inner);
        QFETCH(bool, shown);
        const ViewLayout layout = LayoutView(inner, 100, 24, 28, 20);
        QCOMPARE(layout.addressShown, shown);
        QTEST(layout.urlWidth, "urlWidth");
        QTEST(layout.goToLeft, "goToLeft");
        QTEST(layout.browserHeight, "browserHeight");
    }

    // Only the browser window in front clears DocumentActive; resizing one behind leaves it.
    void documentActive() {
        AppFixture app;
        app.start();
        DocumentTable& table = app.main->documents();
        frmView* view = app.main->OpenBrowser(QString());
        QVERIFY(!table.DocumentActive);
        view->resize(150, 200); // narrow: no address box
        QVERIFY(!view->cmbURL->isVisible());
        app.main->mdiArea()->setActiveSubWindow(app.document(0));
        QVERIFY(table.DocumentActive);
        view->resize(500, 300);
        QVERIFY(table.DocumentActive);
        QVERIFY(view->cmbURL->isVisible());
    }

    // What "View" shows for a selection: the first HREF or SRC, a bare name beside the document, or
    // the document itself.
    void previewTargets_data() {
        table({"selected", "title", "target"},
              {"nothing selected; ; /d/a.htm; =document",
               "link before picture; <A HREF=\"x.htm\"><IMG SRC=\"y.gif\">; /d/a.htm; x.htm",
               "picture before link; <img src=\"y.gif\"><a href=\"x.htm\">; /d/a.htm; y.gif",
               "no closing quote; ß <a Href=\"Page 2.htm; /d/a.htm; Page 2.htm",
               "empty target; <A HREF=\"\" SRC=\"y.gif\">; /d/a.htm; ",
               "bare name; page2.htm; /d/a.htm*; /d/page2.htm",
               "name with a path; sub/page2.htm; /d/a.htm; =document",
               "unquoted; <A HREF=x.htm>; /d/a.htm; /d/<A HREF=x.htm>"});
    }
    void previewTargets() {
        QFETCH(QString, selected);
        QFETCH(QString, title);
        QFETCH(QString, target);
        const PreviewTarget found = SelectionTarget(selected, title);
        QCOMPARE(found.kind == PreviewTarget::Document ? "=document" : found.address, target);
        QCOMPARE(found.kind == PreviewTarget::Nothing, target.isEmpty());
    }

    // A never-saved document is shown from its copy in temp/; its caption, path and unsaved state stay,
    // and so does the default extension, even one that would lead out of the folder.
    void untitledPreview_data() {
        table({"format", "route", "file"},
              {"default; htm; view; tmpView.htm", "own; html; open; tmpView.html",
               "up a folder; ../x; view; tmpView.htm", "backslash; a\\b; open; tmpView.htm",
               "dot dot; ..; view; tmpView.htm", "empty; ; view; tmpView.htm"});
    }
    void untitledPreview() {
        QFETCH(QString, format);
        QFETCH(QString, route);
        QFETCH(QString, file);
        AppFixture app;
        app.start();
        app.main->mutableSettings().DefaultFormat = format;
        frmNotepad* document = app.document(0);
        document->txtRich->setText("<title>Copy</title>unsaved");
        QVERIFY(app.record(0).Modified);
        if (route == "view")
            ViewDocument(*app.main, *document);
        else
            document->mnuOpenInBrowser->trigger();
        const QString copy = app.env.programFolder() + "/temp/" + file;
        QCOMPARE(TestEnvironment::readFile(copy), "<title>Copy</title>unsaved");
        frmView* view = app.main->browsers().Browsers[0];
        QVERIFY(loaded(*view->WebBrowser));
        QCOMPARE(view->windowTitle(), "QL Viewer - Copy");
        QCOMPARE(document->windowTitle(), "Untitled [0]*");
        QVERIFY(app.record(0).Modified && app.record(0).PathCaption.isEmpty());
        QCOMPARE(app.main->settings().DefaultFormat, format);
    }

    // Viewing a saved document with unsaved changes asks first: Yes shows it saved, No the file as it was.
    void viewChangedDocument_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void viewChangedDocument() {
        QFETCH(bool, save);
        AppFixture app;
        const QString path = app.env.writeFile("a.htm", "<title>Old</title>");
        app.start({path});
        frmNotepad* document = app.document(0);
        document->txtRich->setText("<title>New</title>");
        app.dialogs.answers << (save ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        ViewDocument(*app.main, *document);
        QCOMPARE(app.dialogs.messages.last().text,
                 "The document has been changed. Would you like to save it before viewing it?");
        frmView* view = app.main->browsers().Browsers[0];
        QVERIFY(loaded(*view->WebBrowser));
        QCOMPARE(view->windowTitle(), save ? "QL Viewer - New" : "QL Viewer - Old");
        QCOMPARE(app.record(0).Modified, !save);
    }

    // Every way into a browser window: the three New Browser items, Help, a dropped folder; the
    // recent files show in a browser's File menu.
    void entryPoints() {
        AppFixture app;
        app.start();
        app.main->addToRecent("/r.htm");
        app.main->mnuNewBrowser->trigger();
        app.document(0)->mnuNewBrowser->trigger();
        frmView* first = app.main->browsers().Browsers[0];
        first->mnuNewBrowser->trigger();
        QCOMPARE(app.main->browsers().slotCount(), 3);
        QCOMPARE(first->recentMenu().caption(1), "/r.htm");
        first->mnuHelp->trigger();
        QVERIFY(loaded(*app.main->browsers().Browsers[3]->WebBrowser));
        QCOMPARE(app.main->browsers().Browsers[3]->windowTitle(), "QL Viewer - Quillora Help");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(app.env.root())});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app.main.get(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app.main.get(), &drop);
        QCOMPARE(app.main->browsers().Browsers[4]->cmbURL->itemText(0), app.env.root() + "/");
    }

    // Nothing reaches the network while offline; online, typed addresses do, and a local page's
    // picture on a remote server still does not.
    void requestPolicy_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<bool>("offline");
        QTest::addColumn<int>("connections");
        QTest::newRow("typed address, offline") << "typed" << true << 0;
        QTest::newRow("typed address, online") << "typed" << false << 1;
        QTest::newRow("local page's picture, online") << "picture" << false << 0;
        QTest::newRow("local page's script socket, online") << "socket" << false << 0;
    }
    void requestPolicy() {
        QFETCH(QString, route);
        QFETCH(bool, offline);
        QFETCH(int, connections);
        TestEnvironment env;
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        int accepted = 0;
        connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            ++accepted;
            socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nserved");
            socket->disconnectFromHost();
        });
        const QString address = QStringLiteral("127.0.0.1:%1/x.png").arg(server.serverPort());
        BrowserControl browser;
        QVERIFY(browser.offline()); // every browser starts offline
        browser.setOffline(offline);
        if (route == "typed") {
            browser.Navigate("http://" + address);
        } else {
            const QByteArray markup = route == "picture"
                                          ? "<img src='http://" + address.toUtf8() + "'>"
                                          : "<script>new WebSocket('ws://" + address.toUtf8() + "')</script>";
            browser.Navigate(env.writeFile("page.htm", markup));
        }
        QSignalSpy done(&browser, &BrowserControl::DocumentComplete);
        QVERIFY(done.wait(15000));
        QTest::qWait(300);
        QCOMPARE(accepted, connections);
    }

    // A page that asks for a window of its own gets none, and stays where it was.
    void newWindowsRefused() {
        TestEnvironment env;
        const QString page = env.writeFile(
            "open.htm", "<a href='other.htm' target='_blank' style='display:block;height:200px'>x</a>"
                        "<script>var opened = window.open('other.htm');</script>");
        BrowserControl browser;
        browser.resize(300, 200);
        browser.show();
        browser.Navigate(page);
        QVERIFY(loaded(browser));
        QSignalSpy result(&browser, &BrowserControl::TitleChange);
        bool openedNothing = false;
        browser.page()->runJavaScript("opened === null",
                                      [&](const QVariant& v) { openedNothing = v.toBool(); });
        QTRY_VERIFY(openedNothing);
        QWidget* surface = browser.view()->focusProxy();
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(20, 20));
        QTRY_VERIFY(browser.page()->refusedWindows() >= 1);
        QCOMPARE(browser.LocationURL(), QUrl::fromLocalFile(page));
        QCOMPARE(QApplication::topLevelWidgets().size(), 1);
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
