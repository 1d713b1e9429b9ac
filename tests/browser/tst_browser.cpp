#include "browser/BrowserControl.h"
#include "browser/Preview.h"
#include "browser/PreviewPages.h"
#include "browser/ViewSource.h"
#include "browser/frmView.h"
#include "editor/mdlFile.h"
#include "platform/Version.h"
#include "support/AppFixture.h"
#include "support/DataTable.h"
#include "support/Keys.h"

#include <QWebEngineView>
#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

namespace {
// A web server on a free loopback port that counts connections and answers each with `body` after
// `delayMs` (never when it is below 0).
struct Responder : QTcpServer {
    int accepted = 0;
    explicit Responder(int delayMs = 0, QByteArray body = "<p>served</p>") {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this, delayMs, body] {
            QTcpSocket* socket = nextPendingConnection();
            ++accepted;
            if (delayMs >= 0)
                QTimer::singleShot(delayMs, socket, [socket, body] {
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
        });
    }
    QString address(const char* path = "/x.png") const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
};

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
QByteArray picture() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// The path of a copy of one of the hostile pages kept beside this test, in a site whose surroundings
// hold what such pages go for: a secret and pictures outside, hidden folders, shared files above.
QString hostilePage(const TestEnvironment& env, const QString& name) {
    env.writeFile("secret.txt", "SECRET");
    env.writeFile("outside.png", picture());
    env.writeFile(".private/pic.png", picture());
    env.writeFile("site/css/site.css", "body { background: rgb(0, 128, 0) }");
    env.writeFile("site/img/pic.png", picture());
    env.writeFile("site/pages/.git/hidden.css", "body { color: rgb(255, 0, 0) }");
    return env.writeFile(
        "site/pages/" + name,
        TestEnvironment::readFile(QStringLiteral(QUILLORA_TESTS_FOLDER "/browser/hostile/") + name));
}

// Whether the browser window closes and is gone within 2 s, whatever its page runs.
bool closesAtOnce(const QPointer<frmView>& view) {
    QElapsedTimer closing;
    closing.start();
    view->close();
    AppFixture::flush();
    return QTest::qWaitFor([&] { return view.isNull(); }, 2000) && closing.elapsed() < 2000;
}

// The window's page, once its title begins with `prefix` (the page's scripts report there),
// waited for in an event loop of its own, where the engine's work goes on at full speed.
QString titleOnceReported(frmView* view, const QString& prefix) {
    QElapsedTimer waited;
    waited.start();
    QSignalSpy titles(view, &QWidget::windowTitleChanged);
    while (!view->windowTitle().startsWith("QL Viewer - " + prefix) && waited.elapsed() < 15000)
        titles.wait(int(15000 - waited.elapsed()));
    return view->windowTitle().startsWith("QL Viewer - " + prefix)
               ? view->windowTitle().mid(12)
               : "(not reported: " + view->windowTitle() + ")";
}
} // namespace

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    // A local page is drawn by the engine in a browser window: its background fills the view, its
    // title is the caption, the address box shows where it is; the window starts offline, truly. A
    // typed address goes to the top of the list unless there in any letter case; Enter and the Go
    // To button both go to it.
    void windowShowsPage() {
        AppFixture app;
        app.start();
        const QString page =
            app.env.writeFile("green.htm", "<title>Green</title><body style='background:#00c000'>");
        frmView* view = app.main->OpenBrowser(" " + page + " ");
        QVERIFY(loaded(*view->WebBrowser));
        QTRY_VERIFY(share(view->WebBrowser->view(), QColor(0, 192, 0)) > 0.9);
        const auto shown = [view] {
            return QStringList{view->windowTitle(), view->cmbURL->currentText(), view->pnlStatus->text(),
                               view->pnlOffline->text(), QString::number(view->WebBrowser->offline())};
        };
        QCOMPARE(shown(), (QStringList{"QL Viewer - Green", page, "Done", "Offline", "1"}));
        QCOMPARE(app.main->menuBar()->actions().at(1)->menu(),
                 view->findChild<QMenu*>(QStringLiteral("mnuBrowser")));
        view->mnuOffline->trigger();
        QCOMPARE(shown().mid(3), (QStringList{"Online", "0"}));
        for (const QString& typed : {page.toUpper(), QString("/b.htm")}) {
            view->cmbURL->setEditText(typed);
            if (typed == "/b.htm")
                QTest::mouseClick(view->findChild<QWidget*>("picGoTo"), Qt::LeftButton, {}, QPoint(5, 5));
            else
                QTest::keyClick(view->cmbURL, Qt::Key_Return);
            QTRY_COMPARE(view->WebBrowser->page()->requestedUrl(), QUrl::fromLocalFile(typed));
        }
        QStringList items;
        for (int i = 0; i < view->cmbURL->count(); ++i)
            items << view->cmbURL->itemText(i);
        QCOMPARE(items, (QStringList{"/b.htm", page}));
    }

    // Every way into a browser window, each in the lowest free slot (the table never shrinks): New
    // Browser, Check for update (the help's section on updates, with the running version), Help, a
    // dropped folder; its File menu lists recent files. Only the browser in front clears
    // DocumentActive; a narrow one hides its address box.
    void entryPoints() {
        AppFixture app;
        app.start();
        BrowserTable& table = app.main->browsers();
        app.main->addToRecent("/r.htm");
        app.main->action(CommandId::NewBrowser)->trigger();
        app.document(0)->action(CommandId::NewBrowser)->trigger();
        frmView* first = table.Browsers[0];
        first->action(CommandId::NewBrowser)->trigger();
        QCOMPARE(table.Browsers[2]->slot(), 2);
        QVERIFY(!app.main->documents().DocumentActive);
        QCOMPARE(first->recentMenu().caption(1), "/r.htm");
        app.dialogs.openPaths << "/o.htm";
        first->action(CommandId::OpenFile)->trigger();
        QCOMPARE(first->WebBrowser->page()->requestedUrl(), QUrl::fromLocalFile("/o.htm"));
        first->action(CommandId::Update)->trigger();
        QCOMPARE(first->WebBrowser->page()->requestedUrl(), QUrl(UpdatePageAddress(app.env.programFolder())));
        app.main->mdiArea()->setActiveSubWindow(app.document(0));
        first->resize(150, 200);
        QVERIFY(app.main->documents().DocumentActive);
        QVERIFY(!first->cmbURL->isVisible() && table.Browsers[2]->cmbURL->isVisible());

        app.main->action(CommandId::Update)->trigger();
        BrowserControl* update = table.Browsers[3]->WebBrowser;
        QVERIFY(loaded(*update));
        QString found;
        update->page()->runJavaScript(
            "location.hash + ' ' + document.getElementById('running-version').textContent",
            [&](const QVariant& value) { found = value.toString(); });
        QTRY_COMPARE(found, "#updates " + VersionText());
        QCOMPARE(PreviewPages::localPath(update->LocationURL()), app.env.programFolder() + "/help/index.htm");
        first->action(CommandId::Help)->trigger();
        QVERIFY(loaded(*table.Browsers[4]->WebBrowser));
        QCOMPARE(table.Browsers[4]->windowTitle(), "QL Viewer - Quillora Help");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(app.env.root())});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app.main.get(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app.main.get(), &drop);
        QCOMPARE(table.Browsers[5]->cmbURL->itemText(0), app.env.root() + "/");

        table.Browsers[1]->close();
        QVERIFY(table.BrowserSlotFree[1]);
        QCOMPARE(app.main->OpenBrowser(QString())->slot(), 1);
        QCOMPARE(table.slotCount(), 6);
        app.main->close();
        QCOMPARE(table.slotCount(), 6);
        QCOMPARE(std::count(table.BrowserSlotFree.begin(), table.BrowserSlotFree.end(), true), 6);
    }

    // The address box and the Go To button need 1500 twips of room; the browser takes what is left.
    void layout_data() {
        table({"inner", "placed"},
              {"just wide enough; 228 300; shown 100 202 252", "a pixel too narrow; 227 300; hidden 0 0 252",
               "no room for the browser; 400 48; shown 272 374 -1"});
    }
    void layout() {
        QFETCH(QString, inner);
        const QStringList size = inner.split(' ');
        const ViewLayout to = LayoutView(QSize(size[0].toInt(), size[1].toInt()), 100, 24, 28, 20);
        QTEST(QString("%1 %2 %3 %4")
                  .arg(to.addressShown ? "shown" : "hidden", QString::number(to.urlWidth),
                       QString::number(to.goToLeft), QString::number(to.browserHeight)),
              "placed");
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

    // A never-saved document is shown from its owner-only copy in temp/ (the default extension kept
    // unless it would lead out of the folder); caption, path and unsaved state stay. The page follows
    // typing, its messages counted, not shown; closed unsaved, the document takes copy and page along.
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
        const QString text = "<title>Copy</title><script>alert('hello')</script>unsaved";
        document->txtRich->setText(text);
        if (route == "view")
            ViewDocument(*app.main, document->editable());
        else if (QTest::qWaitForWindowActive(
                     app.main.get())) // Ctrl+W: the window's own Close must not take it
            sendKey(document->txtRich, Qt::Key_W, Qt::ControlModifier);
        const QString copy = app.env.programFolder() + "/temp/" + file;
        QCOMPARE(TestEnvironment::readFile(copy), text.toUtf8());
        const QPointer<frmView> view = app.main->browsers().Browsers[0].data();
        QVERIFY(loaded(*view->WebBrowser));
        QCOMPARE((QStringList{view->windowTitle(), document->windowTitle(), app.record(0).PathCaption,
                              app.main->settings().DefaultFormat}),
                 (QStringList{"QL Viewer - Copy", "Untitled [0]*", "", format}));
        QVERIFY(app.record(0).Modified);
        QCOMPARE(int(QFile::permissions(copy) & 0x7077), int(QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(int(QFile::permissions(app.env.programFolder()) & 0x0077), 0);
        QTRY_COMPARE(view->pnlMessages->text(), "Page messages not shown: 1");
        document->txtRich->setText(text + " again");
        QTRY_COMPARE_WITH_TIMEOUT(view->pnlMessages->text(), "Page messages not shown: 2", 5000);
        QVERIFY(!view->WebBrowser->barPageMessage->isVisible());
        app.dialogs.answers << Dialogs::Answer::No;
        document->close();
        app.flush();
        QVERIFY(!QFileInfo::exists(copy));
        QTRY_VERIFY(!view || !view->isVisible());
        QVERIFY(app.main->browsers().BrowserSlotFree[0]);
    }

    // A saved document's page. Open in Browser shows unsaved text from memory (its style sheet found
    // beside the file, nothing written there) and follows typing after a pause; View asks about
    // unsaved changes first: Yes shows it saved, No the file as it was. Saving shows the file afresh,
    // scrolled where it was; closing with the changes discarded shows the file on disk.
    void livePreview_data() {
        table({"route"}, {"Open in Browser; follows", "View, saved first; yes", "View, as it was; no"});
    }
    void livePreview() {
        QFETCH(QString, route);
        const bool follows = route == "follows";
        AppFixture app;
        app.env.writeFile("site 100%41#?/s.css", "body { background: #00c000; height: 5000px }");
        const QString path =
            app.env.writeFile("site 100%41#?/a.htm", "<title>One</title><link rel=stylesheet href=s.css>");
        app.start({path});
        frmNotepad* document = app.document(0);
        const auto type = [document](const QString& title) {
            document->txtRich->setText("<title>" + title + "</title><link rel=stylesheet href=s.css>");
        };
        type("Two");
        if (follows) {
            document->action(CommandId::OpenInBrowser)->trigger();
        } else {
            app.dialogs.answers << (route == "yes" ? Dialogs::Answer::Yes : Dialogs::Answer::No);
            ViewDocument(*app.main, document->editable());
            QCOMPARE(app.dialogs.messages.last().text,
                     "The document has been changed. Would you like to save it before viewing it?");
        }
        frmView* view = app.main->browsers().Browsers[0].data();
        const auto title = [view] { return view->windowTitle().remove(QRegularExpression("^QL Viewer - ")); };
        QWebEnginePage* page = view->WebBrowser->page();
        QVERIFY(loaded(*view->WebBrowser));
        const QString shown = route == "no" ? "One" : "Two";
        QCOMPARE(title(), shown);
        QCOMPARE(app.record(0).Modified, route != "yes");
        QTRY_VERIFY(share(view->WebBrowser->view(), QColor(0, 192, 0)) > 0.9);
        QCOMPARE(QDir(app.env.root() + "/site 100%41#?").entryList(QDir::Files),
                 (QStringList{"a.htm", "s.css"}));
        page->runJavaScript("window.scrollTo(0, 1000)");
        QTRY_COMPARE(page->scrollPosition().y(), 1000);
        type("Three");
        QTest::qWait(frmView::kFollowDelayMs + 200);
        QTRY_COMPARE(title(), follows ? "Three" : shown);
        QTRY_COMPARE(page->scrollPosition().y(), 1000);
        QVERIFY(SaveCommand(*app.main, 0));
        QTRY_COMPARE(title(), "Three");
        QTRY_COMPARE(PreviewPages::localPath(page->url()), path);
        QTRY_COMPARE(page->scrollPosition().y(), 1000);
        type("Discarded");
        QTRY_COMPARE(title(), follows ? "Discarded" : "Three");
        app.dialogs.answers << Dialogs::Answer::No;
        document->close();
        app.flush();
        QTRY_COMPARE(title(), "Three");
        QCOMPARE(PreviewPages::localPath(page->url()), path);
    }

    // Nothing reaches the network while offline; online, typed addresses do, and a local page's
    // picture or socket on a remote server still does not, nor a peer connection's datagrams to a
    // STUN server (which no request policy sees).
    void requestPolicy_data() {
        table({"route", "connections"},
              {"typed address, offline; typed; 0", "typed address, online; typed; 1",
               "local page's picture, online; picture; 0", "local page's script socket, online; socket; 0",
               "peer connection, offline; peer; 0", "peer connection, online; peer; 0"});
    }
    void requestPolicy() {
        QFETCH(QString, route);
        const bool offline = QString(QTest::currentDataTag()).endsWith("offline");
        TestEnvironment env;
        Responder server;
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress::LocalHost, 0));
        BrowserControl browser;
        QVERIFY(browser.offline()); // every browser starts offline
        browser.setOffline(offline);
        const QByteArray address = server.address().toUtf8();
        if (route == "typed") {
            browser.Navigate(address);
        } else if (route == "peer") {
            QUrl page = QUrl::fromLocalFile(hostilePage(env, "webrtc.htm"));
            page.setFragment(QString::number(listener.localPort()));
            browser.load(page);
        } else {
            browser.Navigate(env.writeFile("page.htm", route == "picture"
                                                           ? "<img src='" + address + "'>"
                                                           : "<script>new WebSocket('ws" + address.mid(4) +
                                                                 "')</script>"));
        }
        QVERIFY(QSignalSpy(&browser, &BrowserControl::DocumentComplete).wait(15000));
        if (route == "peer") {
            QTRY_COMPARE_WITH_TIMEOUT(browser.page()->title(), "offered", 15000);
            QTest::qWait(1500); // the binding requests on their way (they arrive within 0.2 s when sent)
        }
        QTest::qWait(300);
        // Online the engine may open more than one connection (a retry, a second request on a slow
        // machine); what counts is whether any arrives.
        QFETCH(QString, connections);
        QCOMPARE(server.accepted > 0 || listener.hasPendingDatagrams(), connections == "1");
    }

    // View Source stores the page under the last segment of its path, inside temp/ whatever it is.
    void sourceNames_data() {
        table({"url", "name"},
              {"folder; http://h/dir/; temp.html", "query and fragment; http://h/a%20b.htm?x=1#f; a b.htm",
               "no path; http://h; temp.html", "dot dot; http://h/a/%2E%2E; temp.html",
               "encoded slash; http://h/a%2Fb; temp.html", "NUL; http://h/a%00b; temp.html",
               "local file; file:///tmp/x/page.htm; page.htm"});
    }
    void sourceNames() {
        QFETCH(QString, url);
        QTEST(SourceFileName(QUrl(url)), "name");
    }

    // The source is opened once it is written and closed; a planted link is replaced, not followed; a
    // file already in temp/ stays intact; offline, or with the window closed meanwhile, nothing opens.
    void viewSource_data() {
        table({"opened"},
              {"local page; <p>local</p>", "page in temp; <p>local</p>", "planted link; <p>local</p>",
               "network page; <p>served</p>", "offline address; ", "window closed; "});
    }
    void viewSource() {
        const QString route = QTest::currentDataTag();
        QFETCH(QString, opened);
        AppFixture app;
        app.start();
        Responder server(route == "window closed" ? 300 : 0);
        const QString target = app.env.programFolder() + "/temp/source/page.htm";
        const QString victim = app.env.writeFile("victim", "keep");
        QString page = app.env.writeFile(
            route == "page in temp" ? "data/Quillora/temp/source/page.htm" : "page.htm", "<p>local</p>");
        if (route == "planted link")
            QVERIFY(QDir().mkpath(QFileInfo(target).absolutePath()) && QFile::link(victim, target));
        frmView* view = app.main->OpenBrowser(QString());
        if (route.contains(QRegularExpression("network|window|offline"))) {
            page = server.address("/page.htm");
            if (!route.startsWith("offline"))
                view->mnuOffline->trigger();
        }
        view->navigate(page);
        QSignalSpy(view->WebBrowser, &BrowserControl::DocumentComplete).wait(15000);
        const int before = app.main->documents().DocumentCount;
        view->action(CommandId::ViewSource)->trigger();
        if (route == "window closed")
            view->close();
        if (opened.isEmpty()) {
            QTest::qWait(800);
            QCOMPARE(app.main->documents().DocumentCount, before);
            return;
        }
        QTRY_COMPARE(app.main->documents().DocumentCount, before + 1);
        QCOMPARE((QStringList{app.main->documents().current()->windowTitle(),
                              app.main->documents().current()->txtRich->text(),
                              TestEnvironment::readFile(target), TestEnvironment::readFile(victim)}),
                 (QStringList{target, opened, opened, "keep"}));
    }

    // A server that never answers is given up on after the time allowed.
    void sourceGivesUp() {
        Responder silent(-1);
        SourceDownload download(QUrl(silent.address()), QDir::tempPath() + "/never.htm", false, 300, nullptr);
        QSignalSpy finished(&download, &SourceDownload::finished);
        QVERIFY(finished.wait(5000) && !finished.first().at(0).toBool() && silent.accepted == 1);
        QVERIFY(!QFile::exists(QDir::tempPath() + "/never.htm"));
    }

    // A hostile page, shown from its file or followed as its document is typed, reads nothing
    // outside its folder tree by any means a script has, nor anything hidden; the site's shared
    // style sheet and picture above it still load.
    void hostileReads_data() {
        table({"shown"}, {"file in a browser window; file", "document as typed; typed"});
    }
    void hostileReads() {
        QFETCH(QString, shown);
        AppFixture app;
        app.start();
        const QString page = hostilePage(app.env, "reads.htm");
        // Another page shows the folder around the site, so that its tree holds all the page wants.
        frmView* other = app.main->OpenBrowser(app.env.writeFile("around.htm", "<title>Around</title>"));
        QCOMPARE(titleOnceReported(other, "Around"), "Around");
        frmView* view = nullptr;
        if (shown == "typed") {
            frmNotepad* document = OpenDocument(*app.main, page);
            QVERIFY(document);
            document->txtRich->setText(document->txtRich->text() + "\r\n"); // shown from memory
            document->action(CommandId::OpenInBrowser)->trigger();
            view = app.main->browsers().Browsers[1];
            QVERIFY(view->following());
        } else {
            view = app.main->OpenBrowser(page);
        }
        const QJsonObject results =
            QJsonDocument::fromJson(titleOnceReported(view, "done ").mid(5).toUtf8()).object();
        QMap<QString, QStringList> byResult; // each result with the means that gave it
        for (auto it = results.begin(); it != results.end(); ++it)
            byResult[it.value().toString()] << it.key();
        QStringList found;
        for (auto it = byResult.begin(); it != byResult.end(); ++it)
            found << it.key() + ": " + it.value().join(", ");
        QCOMPARE(
            found.join('\n'),
            QString(
                "applied: parent style sheet\nloaded: parent picture\n"
                "missing: hidden picture, hidden style sheet\n"
                "refused: canvas crossorigin picture, canvas outside picture, fetch file, fetch relative, "
                "file frame, other pages' picture, outside frame, xhr file, xhr relative"));
    }

    // Pages that hold on: alerts, questions or requests for text without end show in the bar above
    // the page, as plain text, from the second on with the offer to block the rest; blocked, they
    // are counted. A page busy for ever, or asking for windows without end (each refused before it
    // reaches the program). A page asking to be kept open is left all the same, and the bar says so.
    // Whichever, no box shows, the program answers and the window closes at once.
    void pagesHoldNothing_data() {
        table({"page", "first"},
              {"alerts; dialogs.htm#alert; The page says: Message 1",
               "questions; dialogs.htm#confirm; The page asks: Question 1? (answered Cancel)",
               "requests for text; dialogs.htm#prompt; The page asks for text: Text 1? (answered Cancel)",
               "busy; busy.htm; busy", "windows; windows.htm; opening", "leaving; leave.htm; clicked"});
    }
    void pagesHoldNothing() {
        QFETCH(QString, page);
        QFETCH(QString, first);
        AppFixture app;
        app.start();
        const QPointer<frmView> view = app.main->OpenBrowser(QString());
        view->resize(400, 300);
        BrowserControl* browser = view->WebBrowser;
        QSignalSpy messages(browser->page(), &BrowserPage::pageMessage);
        QUrl url = QUrl::fromLocalFile(hostilePage(app.env, page.section('#', 0, 0)));
        if (page.contains('#'))
            url.setFragment(page.section('#', 1));
        browser->load(url);
        if (page.contains('#')) {
            QTRY_VERIFY_WITH_TIMEOUT(messages.size() >= 2, 15000);
            QCOMPARE(messages.first().first().toString(), first);
            QVERIFY(browser->barPageMessage->isVisible() && browser->cmdBlockMessages->isVisible());
            QCOMPARE(browser->lblPageMessage->textFormat(), Qt::PlainText);
            QTest::mouseClick(browser->cmdBlockMessages, Qt::LeftButton);
            QVERIFY(!browser->barPageMessage->isVisible());
            QTRY_VERIFY(browser->suppressedMessages() > 10);
            QVERIFY(!browser->barPageMessage->isVisible());
            QTRY_VERIFY(view->pnlMessages->isVisible());
        } else if (page == "leave.htm") {
            QVERIFY(loaded(*browser));
            QTRY_VERIFY(browser->view()->focusProxy());
            QTest::mouseClick(browser->view()->focusProxy(), Qt::LeftButton, {},
                              QPoint(20, 20)); // asks only then
            QCOMPARE(titleOnceReported(view, first), first);
            view->navigate(app.env.writeFile("site/pages/other.htm", "<title>Other</title>"));
            QCOMPARE(titleOnceReported(view, "Other"), "Other");
            QCOMPARE(browser->lblPageMessage->text(), "The page asked to be kept open; it was left.");
        } else {
            QCOMPARE(titleOnceReported(view, first), first);
            QTest::qWait(300); // the loop under way
        }
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        bool fired = false;
        QTimer::singleShot(10, [&] { fired = true; });
        QTRY_VERIFY_WITH_TIMEOUT(fired, 1000);
        app.main->action(CommandId::New)->trigger();
        QCOMPARE(app.main->documents().DocumentCount, 2);
        QVERIFY(closesAtOnce(view));
    }

    // Where a path lies for a page whose folder tree is `folder` (R the test's folder, R/site the
    // tree): links resolved, whole folder names compared, hidden parts beyond what the two share.
    void folderTrees_data() {
        table({"path", "folder", "inTreeHidden"},
              {"below it; R/site/sub/b.png; R/site; 1 0", "a sibling of its parent; R/css/s.css; R/site; 0 0",
               "up by dot dot; R/site/../secret.txt; R/site; 0 0",
               "hidden in the tree; R/site/.git/config; R/site; 1 1",
               "hidden outside; R/.ssh/id; R/site; 0 1",
               "a tree inside a hidden folder; R/.cache/x/a.htm; R/.cache/x; 1 0",
               "a link out of the tree; R/site/out/secret.txt; R/site; 0 0",
               "a link to a hidden folder; R/site/keys/id; R/site; 0 1",
               "a name that begins like the tree; R/site2/x.htm; R/site; 0 0"});
    }
    void folderTrees() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        TestEnvironment env;
        for (const char* file : {"site/a.htm", "site/sub/b.png", "css/s.css", "secret.txt",
                                 "site/.git/config", ".ssh/id", ".cache/x/a.htm", "site2/x.htm"})
            env.writeFile(file, "x");
        QVERIFY(QFile::link(env.root(), env.root() + "/site/out"));
        QVERIFY(QFile::link(env.root() + "/.ssh", env.root() + "/site/keys"));
        path.replace("R", env.root());
        folder.replace("R", env.root());
        QTEST(QString("%1 %2").arg(int(InFolderTree(path, folder))).arg(int(HiddenBeyond(path, folder))),
              "inTreeHidden");
    }

    // What the preview pages give a request from outside the tree: style sheets and fonts in the
    // page's origin, other tag resources as a file address good once, nothing readable else.
    void answers_data() {
        table({"path", "cors", "answer"},
              {"a file of the tree; site/b.htm; no; bytes", "the followed text; site/a.htm; no; text",
               "a style sheet above; css/s.css; no; bytes", "a picture above; img/p.png; no; file",
               "a picture above, asked as readable; img/p.png; yes; refused",
               "a font above, asked as readable; fonts/f.woff2; yes; bytes",
               "a style sheet in a hidden folder; .hidden/s.css; no; refused",
               "a file in a hidden folder of the tree; site/.git/config; no; refused",
               "a missing file above; img/none.png; no; refused"});
    }
    void answers() {
        QFETCH(QString, path);
        QFETCH(QString, cors);
        QFETCH(QString, answer);
        TestEnvironment env;
        for (const char* file : {"site/a.htm", "site/b.htm", "css/s.css", "img/p.png", "fonts/f.woff2",
                                 ".hidden/s.css", "site/.git/config"})
            env.writeFile(file, "on disk");
        PreviewPages& pages = PreviewPages::instance();
        const QString followed = env.root() + "/site/a.htm";
        const int id = pages.add({[followed] { return followed; }, [] { return QByteArray("typed"); }});
        using Reply = PreviewPages::Reply;
        const Reply reply = pages.answer(PreviewPages::urlFor(id, env.root() + "/" + path), cors == "yes");
        QCOMPARE(reply.kind == Reply::Refused ? "refused"
                 : reply.kind == Reply::File  ? "file"
                                              : (reply.bytes == "typed" ? "text" : "bytes"),
                 answer);
        if (reply.kind == Reply::File) {
            QCOMPARE(reply.file.toLocalFile(), env.root() + "/" + path);
            QVERIFY(pages.takeFileTicket(reply.file));
            QVERIFY(!pages.takeFileTicket(reply.file)); // good once
            QVERIFY(!pages.takeFileTicket(QUrl::fromLocalFile(reply.file.toLocalFile())));
        }
        pages.remove(id);
        QCOMPARE(pages.answer(PreviewPages::urlFor(id, env.root() + "/" + path), false).kind, Reply::Refused);
    }

    // Typed addresses: a scheme is kept; paths and names of existing files open them; anything
    // else is a web address.
    void typedAddresses_data() {
        table({"typed", "address"},
              {"with port; localhost:8080/x; https://localhost:8080/x",
               "file address; file:///tmp/a.htm; file:///tmp/a.htm",
               "absolute path; /tmp/a b.htm; file:///tmp/a b.htm",
               "existing name; page.htm; file://FOLDER/page.htm",
               "missing name; nowhere.htm; https://nowhere.htm",
               "dot slash; ./missing.htm; file://FOLDER/missing.htm", "home; ~/x.htm; file://HOME/x.htm",
               "about page; about:blank; about:blank",
               "blanks around; '  www.example.com  '; https://www.example.com"});
    }
    void typedAddresses() {
        QFETCH(QString, typed);
        QFETCH(QString, address);
        TestEnvironment env;
        env.writeFile("page.htm", "x");
        if (typed.startsWith('\''))
            typed = typed.mid(1).chopped(1);
        address.replace("FOLDER", env.root()).replace("HOME", QDir::homePath());
        QCOMPARE(AddressFromTyped(typed, env.root()), QUrl(address));
    }

    // The engine starts with the user's own flags kept, datagrams of peer connections off (P) and
    // WebTransport left out (W), whatever the user set for them.
    void engineFlags_data() {
        table({"user", "flags"}, {"none; ; P W", "own flag kept; --lang=de; --lang=de P W",
                                  "own policy replaced; --force-webrtc-ip-handling-policy=default; P W",
                                  "own features merged; --disable-blink-features=Foo; "
                                  "--disable-blink-features=Foo,WebTransport P"});
    }
    void engineFlags() {
        QFETCH(QString, user);
        QFETCH(QString, flags);
        flags.replace("P", "--force-webrtc-ip-handling-policy=disable_non_proxied_udp")
            .replace(" W", " --disable-blink-features=WebTransport");
        QCOMPARE(QString::fromUtf8(EngineFlags(user.toUtf8())), flags);
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
        bool openedNothing = false;
        browser.page()->runJavaScript("opened === null",
                                      [&](const QVariant& v) { openedNothing = v.toBool(); });
        QTRY_VERIFY(openedNothing);
        QTest::mouseClick(browser.view()->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20));
        QTRY_VERIFY(browser.page()->refusedWindows() >= 1);
        QCOMPARE(PreviewPages::localPath(browser.LocationURL()), page);
        QCOMPARE(QApplication::topLevelWidgets().size(), 1);
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
