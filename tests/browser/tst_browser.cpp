#include "platform/WebBrowser.h"
#include "support/AppFixture.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineView>

namespace {
// Waits for the page to finish loading and gives its result.
bool loaded(WebBrowser& browser) {
    QSignalSpy done(&browser, &WebBrowser::DocumentComplete);
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
    // A local page is drawn by the engine: its background fills the view; its title is reported.
    void localPageRenders() {
        TestEnvironment env;
        const QString page =
            env.writeFile("green.htm", "<title>Green</title><body style='background:#00c000'>");
        WebBrowser browser;
        browser.resize(300, 200);
        browser.show();
        QSignalSpy title(&browser, &WebBrowser::TitleChange);
        browser.Navigate(page);
        QVERIFY(loaded(browser));
        QTRY_VERIFY(share(browser.view(), QColor(0, 192, 0)) > 0.9);
        QCOMPARE(title.last().at(0).toString(), "Green");
        QCOMPARE(browser.LocationURL(), QUrl::fromLocalFile(page));
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
        WebBrowser browser;
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
        QSignalSpy done(&browser, &WebBrowser::DocumentComplete);
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
        WebBrowser browser;
        browser.resize(300, 200);
        browser.show();
        browser.Navigate(page);
        QVERIFY(loaded(browser));
        QSignalSpy result(&browser, &WebBrowser::TitleChange);
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
