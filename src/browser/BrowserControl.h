#pragma once

#include <QPointF>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <QWidget>
#include <atomic>
#include <optional>

class QLabel;
class QPushButton;
class QWebEngineProfile;
class QWebEngineView;

// The engine profile every browser window shares: off the record (nothing is written below the
// home folder), JavaScript on but unable to open windows or read the clipboard, no local page
// reading files by itself (the preview pages decide what a page may load), downloads a page starts
// cancelled. Made at first use, after the engine's start-up flags are set (see EngineFlags).
QWebEngineProfile& BrowserProfile();

// The engine's start-up flags: `userFlags` (what QTWEBENGINE_CHROMIUM_FLAGS held) with peer
// connections never sending datagrams (WebRTC's UDP goes nowhere, online or offline) and the
// WebTransport interface, whose datagrams no request policy sees, left out.
QByteArray EngineFlags(const QByteArray& userFlags);

// Where an address typed in a browser window leads: an address with a scheme as it is; a path
// (absolute, "~/", "./", "../") or a name of an existing file or folder in `folder` to that file;
// anything else is a web address, reached by https.
QUrl AddressFromTyped(const QString& typed, const QString& folder);

// Schemes that reach the network, and schemes whose pages count as local.
bool IsRemoteScheme(const QString& scheme);
bool IsLocalScheme(const QString& scheme);

// Decides, per window, which requests the engine may make. While the window is offline nothing
// goes to the network (http, https, ws, wss, ftp); data, blob, qrc and the preview pages still
// load. Online, a local page still reaches no remote address, except by navigating to it. A local
// file shown is shown as a preview page of its folder; a preview page gets what its folder tree
// holds, and from outside it only its tags' resources; no page reads a file address itself.
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

// A page that opens no windows, is granted no permissions and holds nothing up: its alerts,
// questions and requests for text never open a box; they are answered at once (questions with
// Cancel, leaving a page with yes) and passed on as messages.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit BrowserPage(QObject* parent);
    // How often the page asked for a window of its own (each time refused).
    int refusedWindows() const { return m_refusedWindows; }

signals:
    // What the page wanted to say or ask, as one line for the window to show.
    void pageMessage(const QString& text);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;

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

    // Whether the page's messages are shown in the bar above it (one at a time; from the second
    // on, the bar offers to block the rest of the page's); when not, they are only counted.
    void setMessagesShown(bool shown) { m_messagesShown = shown; }
    int suppressedMessages() const { return m_suppressed; }

    QWidget* barPageMessage = nullptr;
    QLabel* lblPageMessage = nullptr;
    QPushButton *cmdBlockMessages = nullptr, *cmdCloseMessage = nullptr;

signals:
    void StatusTextChange(const QString& text);
    void TitleChange(const QString& title);
    void DocumentComplete(const QUrl& url, bool ok);
    // A message of the page was not shown; `count` of them so far.
    void MessagesSuppressed(int count);

private:
    void setStatus(const QString& text);
    void buildMessageBar();
    void showPageMessage(const QString& text);

    QWebEngineView* m_view = nullptr;
    BrowserPage* m_page = nullptr;
    RequestPolicy* m_policy = nullptr;
    QString m_status;
    std::optional<QPointF> m_restoreScroll;
    bool m_messagesShown = true;
    bool m_messagesBlocked = false; // by the user, for the page shown
    int m_pageMessages = 0;         // shown for the page shown
    int m_suppressed = 0;
};
