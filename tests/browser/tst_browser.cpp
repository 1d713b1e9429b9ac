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
// The browser window in a slot of the table.
frmView* viewAt(const BrowserTable& table, int slot) {
    return static_cast<frmView*>(table.Browsers[slot].data());
}

// A loopback web server counting connections, answering after `delayMs` (never if below 0).
struct Responder : QTcpServer {
    int accepted = 0;
    explicit Responder(int delayMs = 0) {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this, delayMs] {
            QTcpSocket* socket = nextPendingConnection();
            ++accepted;
            if (delayMs >= 0)
                QTimer::singleShot(delayMs, socket, [socket] {
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>served</p>");
                    socket->disconnectFromHost();
                });
        });
    }
    QString address(const char* path = "/x.png") const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
};

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
// A red picture of 4 x 4 pixels.
const QByteArray kPicture = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAQAAAAECAIAAAAmkwkpAAAAEElEQVR4nGP4z8AARwzEcQCukw/x0F8jngAAAABJRU5ErkJggg==");

// A hostile page kept beside this test, copied into a site amid secrets, hidden and shared files.
QString hostilePage(const TestEnvironment& env, const QString& name) {
    env.writeFile("secret.txt", "SECRET");
    env.writeFile("outside.css", "#secret::after { content: 'SECRET' }");
    env.writeFile("site/pages/tree.htm", "<p>another page's SECRET</p>");
    for (const char* picture : {"outside.png", ".private/pic.png", "site/img/pic.png"})
        env.writeFile(picture, kPicture);
    env.writeFile("site/css/site.css", "body { background: rgb(0, 128, 0) }");
    env.writeFile("site/pages/.git/hidden.css", "body { color: rgb(255, 0, 0) }");
    return env.writeFile(
        "site/pages/" + name,
        TestEnvironment::readFile(QStringLiteral(QUILLORA_TESTS_FOLDER "/browser/hostile/") + name));
}

// The page's title once it begins with `prefix`, waited for where the engine's work goes on at full speed.
QString titleOnceReported(frmView* view, const QString& prefix) {
    const QDeadlineTimer deadline(15000);
    QSignalSpy titles(view, &QWidget::windowTitleChanged);
    while (!view->windowTitle().startsWith("QL Viewer - " + prefix) && !deadline.hasExpired())
        titles.wait(int(deadline.remainingTime()));
    return view->windowTitle().mid(12);
}
} // namespace

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    // Every way into a browser window, lowest free slot first; DocumentActive, narrow layout, a drawn page's
    // caption and offline state, typed addresses topping the list once in any case, by Enter or Go To.
    void browserWindows() {
        AppFixture app;
        app.start();
        BrowserTable& table = app.main->browsers();
        app.main->action(CommandId::NewBrowser)->trigger();
        app.document(0)->action(CommandId::NewBrowser)->trigger();
        auto* first = viewAt(table, 0);
        first->action(CommandId::NewBrowser)->trigger();
        QCOMPARE(viewAt(table, 2)->slot(), 2);
        QVERIFY(!app.main->documents().DocumentActive);
        app.dialogs.openPaths << "/o.htm";
        first->action(CommandId::OpenFile)->trigger();
        QCOMPARE(first->WebBrowser->page()->requestedUrl(), QUrl::fromLocalFile("/o.htm"));
        first->action(CommandId::Update)->trigger();
        QCOMPARE(first->WebBrowser->page()->requestedUrl(), QUrl(UpdatePageAddress(app.env.programFolder())));
        app.main->mdiArea()->setActiveSubWindow(app.document(0));
        first->resize(150, 200);
        QVERIFY(app.main->documents().DocumentActive);
        QVERIFY(!first->cmbURL->isVisible() && viewAt(table, 2)->cmbURL->isVisible());
        app.main->action(CommandId::Update)->trigger();
        BrowserControl* update = viewAt(table, 3)->WebBrowser;
        QVERIFY(loaded(*update));
        QString found;
        update->page()->runJavaScript(
            "location.hash + ' ' + document.getElementById('running-version').textContent",
            [&](const QVariant& value) { found = value.toString(); });
        QTRY_COMPARE(found, "#updates " + VersionText());
        QCOMPARE(PreviewPages::localPath(update->LocationURL()), app.env.programFolder() + "/help/index.htm");
        first->action(CommandId::Help)->trigger();
        QVERIFY(loaded(*viewAt(table, 4)->WebBrowser));
        QCOMPARE(viewAt(table, 4)->windowTitle(), "QL Viewer - Quillora Help");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(app.env.root())});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app.main.get(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app.main.get(), &drop);
        QCOMPARE(viewAt(table, 5)->cmbURL->itemText(0), app.env.root() + "/");
        viewAt(table, 1)->close();
        AppFixture::flush(); // gone before its slot is taken again
        QVERIFY(table.BrowserSlotFree[1]);
        const QString page =
            app.env.writeFile("green.htm", "<title>Green</title><body style='background:#00c000'>");
        auto* view = static_cast<frmView*>(app.main->OpenBrowser(" " + page + " "));
        QCOMPARE(view->slot(), 1);
        QCOMPARE(table.slotCount(), 6);
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
        QCOMPARE((QStringList{QString::number(view->cmbURL->count()), view->cmbURL->itemText(0),
                              view->cmbURL->itemText(1)}),
                 (QStringList{"2", "/b.htm", page}));
        app.main->close();
        QCOMPARE(table.slotCount(), 6);
        QCOMPARE(std::count(table.BrowserSlotFree.begin(), table.BrowserSlotFree.end(), true), 6);
    }

    // What the browser code makes of text ("kind: case"); flags: P peer datagrams off, W WebTransport out.
    void conversions_data() {
        table({"input", "output"},
              {"target: nothing selected; |/d/a.htm; =document",
               "target: link before picture; <A HREF=\"x.htm\"><IMG SRC=\"y.gif\">|/d/a.htm; x.htm",
               "target: picture before link; <img src=\"y.gif\"><a href=\"x.htm\">|/d/a.htm; y.gif",
               "target: no closing quote; ß <a Href=\"Page 2.htm|/d/a.htm; Page 2.htm",
               "target: empty; <A HREF=\"\" SRC=\"y.gif\">|/d/a.htm; =nothing",
               "target: bare name; page2.htm|/d/a.htm*; /d/page2.htm",
               "target: name with a path; sub/page2.htm|/d/a.htm; =document",
               "target: unquoted; <A HREF=x.htm>|/d/a.htm; /d/<A HREF=x.htm>",
               "copy: up a folder; ../x; tmpView.htm",
               "copy: backslash; a\\b; tmpView.htm",
               "copy: dot dot; ..; tmpView.htm",
               "copy: empty; ; tmpView.htm",
               "source: folder; http://h/dir/; temp.html",
               "source: query and fragment; http://h/a%20b.htm?x=1#f; a b.htm",
               "source: dot dot; http://h/a/%2E%2E; temp.html",
               "source: encoded slash; http://h/a%2Fb; temp.html",
               "source: NUL; http://h/a%00b; temp.html",
               "source: local file; file:///tmp/x/page.htm; page.htm",
               "typed: with port; localhost:8080/x; https://localhost:8080/x",
               "typed: absolute path; /tmp/a b.htm; file:///tmp/a b.htm",
               "typed: existing name; page.htm; file://FOLDER/page.htm",
               "typed: missing name; nowhere.htm; https://nowhere.htm",
               "typed: dot slash; ./missing.htm; file://FOLDER/missing.htm",
               "typed: home; ~/x.htm; file://HOME/x.htm",
               "typed: about page; about:blank; about:blank",
               "typed: blanks around;   www.example.com  ; https://www.example.com",
               "flags: none; ; P W",
               "flags: own flag kept; --lang=de; --lang=de P W",
               "flags: own policy replaced; --force-webrtc-ip-handling-policy=default; P W",
               "flags: merged; --disable-blink-features=X; --disable-blink-features=X,WebTransport P",
               "layout: just wide enough; 228 300; shown 100 202 252",
               "layout: a pixel too narrow; 227 300; hidden 0 0 252",
               "layout: no room for the browser; 400 48; shown 272 374 -1"});
    }
    void conversions() {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const QString kind = QString(QTest::currentDataTag()).section(':', 0, 0);
        TestEnvironment env;
        env.writeFile("page.htm", "x");
        QString made;
        if (kind == "target") {
            const PreviewTarget found = SelectionTarget(input.section('|', 0, 0), input.section('|', 1));
            made = found.kind == PreviewTarget::Address    ? found.address
                   : found.kind == PreviewTarget::Document ? "=document"
                                                           : "=nothing";
        } else if (kind == "copy") {
            made = PreviewFileName(input);
        } else if (kind == "source") {
            made = SourceFileName(QUrl(input));
        } else if (kind == "typed") {
            made = AddressFromTyped(input, env.root()).toString();
            output = QUrl(output.replace("FOLDER", env.root()).replace("HOME", QDir::homePath())).toString();
        } else if (kind == "flags") {
            made = QString::fromUtf8(EngineFlags(input.toUtf8()));
            output.replace("P", "--force-webrtc-ip-handling-policy=disable_non_proxied_udp")
                .replace(" W", " --disable-blink-features=WebTransport");
        } else {
            const ViewLayout to = LayoutView(
                QSize(input.section(' ', 0, 0).toInt(), input.section(' ', 1).toInt()), 100, 24, 28, 20);
            made = QString::asprintf("%s %d %d %d", to.addressShown ? "shown" : "hidden", to.urlWidth,
                                     to.goToLeft, to.browserHeight);
        }
        QCOMPARE(made, output);
    }

    // An untitled document shows from an owner-only temp/ copy, following typing; closing takes both along.
    void untitledPreview_data() { table({"format", "route"}, {"default; htm; view", "own; html; open"}); }
    void untitledPreview() {
        QFETCH(QString, format);
        QFETCH(QString, route);
        AppFixture app;
        app.start();
        app.main->mutableSettings().DefaultFormat = format;
        frmNotepad* document = app.document(0);
        const QString text = "<title>Copy</title><script>alert('hello')</script>unsaved";
        document->txtRich->setText(text);
        if (route == "view")
            ViewDocument(*app.main, document->editable());
        else if (QTest::qWaitForWindowActive(app.main.get())) // Ctrl+W, not the window's own Close
            sendKey(document->txtRich, Qt::Key_W, Qt::ControlModifier);
        const QString copy = app.env.programFolder() + "/temp/tmpView." + format;
        QCOMPARE(TestEnvironment::readFile(copy), text.toUtf8());
        const QPointer<frmView> view = viewAt(app.main->browsers(), 0);
        QVERIFY(loaded(*view->WebBrowser));
        QCOMPARE((QStringList{view->windowTitle(), document->windowTitle(), app.record(0).PathCaption,
                              app.main->settings().DefaultFormat, QString::number(app.record(0).Modified)}),
                 (QStringList{"QL Viewer - Copy", "Untitled [0]*", "", format, "1"}));
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

    // Open in Browser follows unsaved text, View asks to save; saved or discarded, the file shows in place.
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
        auto* view = viewAt(app.main->browsers(), 0);
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

    // Only typed addresses online reach the network: no local page's picture, socket or STUN datagrams.
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
        browser.setOffline(offline);
        const QByteArray address = server.address().toUtf8();
        if (route == "typed") {
            browser.Navigate(address);
        } else if (route == "peer") {
            const QString page = "webrtc.htm#" + QString::number(listener.localPort());
            browser.load(QUrl::fromLocalFile(hostilePage(env, "webrtc.htm")).resolved(page));
        } else {
            const QByteArray markup = route == "picture"
                                          ? "<img src='" + address + "'>"
                                          : "<script>new WebSocket('ws" + address.mid(4) + "')</script>";
            browser.Navigate(env.writeFile("page.htm", markup));
        }
        QVERIFY(QSignalSpy(&browser, &BrowserControl::DocumentComplete).wait(15000));
        if (route == "peer")
            QTRY_COMPARE_WITH_TIMEOUT(browser.page()->title(), "offered", 15000);
        QTest::qWait(route == "peer" ? 1500 : 300); // binding requests arrive within 0.2 s when sent
        // Online the engine may open more than one connection: what counts is whether any arrives.
        QFETCH(QString, connections);
        QCOMPARE(server.accepted > 0 || listener.hasPendingDatagrams(), connections == "1");
    }

    // View Source opens the written copy (a planted link replaced); offline or closed meanwhile, nothing.
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
        auto* view = static_cast<frmView*>(app.main->OpenBrowser(QString()));
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

    // A hostile page, from its file or followed as typed, reads nothing outside its tree, nothing hidden,
    // no other page; the site's shared style sheet and picture still load.
    void hostileReads_data() {
        table({"shown"}, {"file in a browser window; file", "document as typed; typed"});
    }
    void hostileReads() {
        QFETCH(QString, shown);
        AppFixture app;
        app.start();
        const QString page = hostilePage(app.env, "reads.htm");
        // Another page shows the folder around the site, whose tree holds all the page wants.
        auto* other = static_cast<frmView*>(
            app.main->OpenBrowser(app.env.writeFile("around.htm", "<title>Around</title>")));
        QCOMPARE(titleOnceReported(other, "Around"), "Around");
        frmView* view = nullptr;
        if (shown == "typed") {
            frmNotepad* document = OpenDocument(*app.main, page);
            QVERIFY(document);
            document->txtRich->setText(document->txtRich->text() + "\r\n"); // shown from memory
            document->action(CommandId::OpenInBrowser)->trigger();
            view = viewAt(app.main->browsers(), 1);
            QVERIFY(view->following());
        } else {
            view = static_cast<frmView*>(app.main->OpenBrowser(page));
        }
        QCOMPARE(
            titleOnceReported(view, "done "),
            "done applied: parent style sheet, loaded: parent picture, missing: hidden picture, missing: "
            "hidden style sheet, refused: canvas crossorigin picture, refused: canvas outside picture, "
            "refused: crossorigin style sheet, refused: fetch file, refused: fetch relative, refused: file "
            "frame, refused: frame of its tree, refused: other pages' picture, refused: outside frame, "
            "refused: xhr file, refused: xhr relative, refused: xhr style sheet");
    }

    // Pages that hold on (endless dialogs, busy, windows, kept open) show no box, block nothing and the
    // window closes at once; dialogs show in the bar as plain text and can be blocked, then counted.
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
        const QPointer<frmView> view = static_cast<frmView*>(app.main->OpenBrowser(QString()));
        view->resize(400, 300);
        BrowserControl* browser = view->WebBrowser;
        QSignalSpy messages(browser->page(), &BrowserPage::pageMessage);
        const qsizetype windows = QApplication::topLevelWidgets().size();
        browser->load(QUrl::fromLocalFile(hostilePage(app.env, page.section('#', 0, 0))).resolved(page));
        if (page.contains('#')) {
            QTRY_VERIFY_WITH_TIMEOUT(messages.size() >= 2, 15000);
            QCOMPARE(messages.first().first().toString(), first);
            QVERIFY(browser->barPageMessage->isVisible() && browser->cmdBlockMessages->isVisible());
            QCOMPARE(browser->lblPageMessage->textFormat(), Qt::PlainText);
            QTest::mouseClick(browser->cmdBlockMessages, Qt::LeftButton);
            QTRY_VERIFY(browser->suppressedMessages() > 10);
            QVERIFY(!browser->barPageMessage->isVisible());
            QTRY_VERIFY(view->pnlMessages->isVisible());
        } else if (page == "busy.htm") {
            QCOMPARE(titleOnceReported(view, first), first);
            QTest::qWait(300); // the loop under way
        } else {
            QVERIFY(loaded(*browser));
            QTRY_VERIFY(browser->view()->focusProxy());
            QTest::mouseClick(browser->view()->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20));
            QCOMPARE(titleOnceReported(view, first), first);
            if (page == "windows.htm") {
                QTRY_VERIFY(browser->page()->refusedWindows() >= 1);
                QVERIFY(browser->LocationURL().path().endsWith("/windows.htm"));
            } else {
                view->navigate(app.env.writeFile("site/pages/other.htm", "<title>Other</title>"));
                QCOMPARE(titleOnceReported(view, "Other"), "Other");
                QCOMPARE(browser->lblPageMessage->text(), "The page asked to be kept open; it was left.");
            }
        }
        QCOMPARE(QApplication::topLevelWidgets().size(), windows); // no box, no window
        bool fired = false;
        QTimer::singleShot(10, [&] { fired = true; });
        QTRY_VERIFY_WITH_TIMEOUT(fired, 1000);
        app.main->action(CommandId::New)->trigger();
        QCOMPARE(app.main->documents().DocumentCount, 2);
        const QDeadlineTimer closing(2000);
        view->close();
        AppFixture::flush();
        QVERIFY(QTest::qWaitFor([&] { return view.isNull(); }, 2000) && !closing.hasExpired());
    }

    // What a page followed at <tree>/a.htm gets for a path: its tree's files, style sheets and fonts above,
    // other files as a one-time file address; nothing hidden, nothing readable else.
    void answers_data() {
        table({"tree", "path", "cors", "answer"},
              {"a file of the tree; site; site/b.htm; no; bytes",
               "the followed text; site; site/a.htm; no; text",
               "a style sheet above; site; css/s.css; no; bytes",
               "a style sheet above, asked as readable; site; css/s.css; yes; refused",
               "a font above, asked as readable; site; fonts/f.woff2; yes; bytes",
               "a picture above; site; img/p.png; no; file",
               "a picture above, asked as readable; site; img/p.png; yes; refused",
               "up by dot dot; site; site/../img/p.png; no; file",
               "a link out of the tree; site; site/out/img/p.png; no; file",
               "a name that begins like the tree; site; site2/x.htm; no; file",
               "a missing file above; site; img/none.png; no; refused",
               "a style sheet in a hidden folder; site; .hidden/s.css; no; refused",
               "a hidden folder of the tree; site; site/.git/config; no; refused",
               "a link to a hidden folder; site; site/keys/s.css; no; refused",
               "a tree inside a hidden folder; .cache/x; .cache/x/b.htm; no; bytes"});
    }
    void answers() {
        QFETCH(QString, tree);
        QFETCH(QString, path);
        QFETCH(QString, cors);
        TestEnvironment env;
        for (const char* file :
             {"site/a.htm", "site/b.htm", "css/s.css", "img/p.png", "fonts/f.woff2", "site2/x.htm",
              ".hidden/s.css", "site/.git/config", ".ssh/s.css", ".cache/x/b.htm"})
            env.writeFile(file, "on disk");
        QVERIFY(QFile::link(env.root(), env.root() + "/site/out"));
        QVERIFY(QFile::link(env.root() + "/.ssh", env.root() + "/site/keys"));
        PreviewPages& pages = PreviewPages::instance();
        const QString followed = env.root() + "/" + tree + "/a.htm";
        const int id = pages.add({[followed] { return followed; }, [] { return QByteArray("typed"); }});
        using Reply = PreviewPages::Reply;
        const QUrl url = PreviewPages::urlFor(id, env.root() + "/" + path);
        const Reply reply = pages.answer(url, cors == "yes");
        QTEST(QString(reply.kind == Reply::Refused ? "refused"
                      : reply.kind == Reply::File  ? "file"
                                                   : (reply.bytes == "typed" ? "text" : "bytes")),
              "answer");
        if (reply.kind == Reply::File) {
            QCOMPARE(reply.file.toLocalFile(), QFileInfo(env.root() + "/" + path).canonicalFilePath());
            QVERIFY(pages.takeFileTicket(reply.file));
            QVERIFY(!pages.takeFileTicket(reply.file)); // good once
            QVERIFY(!pages.takeFileTicket(QUrl::fromLocalFile(reply.file.toLocalFile())));
            QUrl elsewhere = pages.answer(url, false).file;
            elsewhere.setPath(env.root() + "/site/a.htm");
            QVERIFY(!pages.takeFileTicket(elsewhere));
        }
        pages.remove(id);
        QCOMPARE(pages.answer(url, false).kind, Reply::Refused);
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
