#pragma once

#include <QPointF>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <QWidget>
#include <atomic>
#include <optional>

class QWebEngineProfile;
class QWebEngineView;

// The engine profile every browser window shares: off the record (nothing is written below the
// home folder), JavaScript on but unable to open windows or read the clipboard, local pages allowed
// to read local files and never remote ones, downloads a page starts cancelled. Made at first use.
QWebEngineProfile& BrowserProfile();

// Schemes that reach the network, and schemes whose pages count as local.
bool IsRemoteScheme(const QString& scheme);
bool IsLocalScheme(const QString& scheme);

// Decides, per window, which requests the engine may make. While the window is offline nothing
// goes to the network (http, https, ws, wss, ftp); file, data, blob, qrc and the preview pages
// still load. Online, a local page still reaches no remote address, except by navigating to it.
class RequestPolicy : public QWebEngineUrlRequestInterceptor {
public:
    explicit RequestPolicy(QObject* parent = nullptr) : QWebEngineUrlRequestInterceptor(parent) {}
    void setOffline(bool offline) { m_offline = offline; }
    bool offline() const { return m_offline; }
    // Whether a request for `url` is refused; `mainFrame` for the page itself, `firstParty` the page
    // a resource is loaded for.
    static bool Blocks(const QUrl& url, bool offline, bool mainFrame, const QUrl& firstParty);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    std::atomic<bool> m_offline{true};
};

// A page that opens no windows and is granted no permissions.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit BrowserPage(QObject* parent);
    // How often the page asked for a window of its own (each time refused).
    int refusedWindows() const { return m_refusedWindows; }

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    int m_refusedWindows = 0;
};

// The embedded browser of a browser window: navigation, history, offline mode, the current
// address and the notifications the window shows. Starts offline.
class BrowserControl : public QWidget {
    Q_OBJECT
public:
    explicit BrowserControl(QWidget* parent = nullptr);

    // Goes to an address as a person types it: a URL, or a file path relative to the current folder.
    void Navigate(const QString& address);
    void load(const QUrl& url);
    // Back and forward do nothing when there is nowhere to go.
    void GoBack();
    void GoForward();
    void Stop();
    void Refresh();
    // Shows `url` again (reloaded when it is the page shown) and scrolls back to where the page was.
    void showKeepingScroll(const QUrl& url);
    void setOffline(bool offline);
    bool offline() const { return m_policy->offline(); }
    // The address of the page shown (or being loaded).
    QUrl LocationURL() const;
    QString statusText() const { return m_status; }

    QWebEngineView* view() const { return m_view; }
    BrowserPage* page() const { return m_page; }

signals:
    void StatusTextChange(const QString& text);
    void TitleChange(const QString& title);
    void DocumentComplete(const QUrl& url, bool ok);

private:
    void setStatus(const QString& text);

    QWebEngineView* m_view = nullptr;
    BrowserPage* m_page = nullptr;
    RequestPolicy* m_policy = nullptr;
    QString m_status;
    std::optional<QPointF> m_restoreScroll;
};
