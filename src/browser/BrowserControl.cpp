#include "browser/BrowserControl.h"

#include "browser/PreviewPages.h"
#include "platform/Log.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

QByteArray EngineFlags(const QByteArray& userFlags) {
    QList<QByteArray> flags = userFlags.simplified().split(' ');
    flags.removeAll(QByteArray());
    const QByteArray webRtc = "--force-webrtc-ip-handling-policy=";
    const QByteArray blinkOff = "--disable-blink-features=";
    bool blinkMerged = false;
    for (QByteArray& flag : flags) {
        if (flag.startsWith(blinkOff)) {
            flag += ",WebTransport";
            blinkMerged = true;
        }
    }
    // A policy the user set would let datagrams out: ours stands in its place.
    flags.erase(std::remove_if(flags.begin(), flags.end(),
                               [&](const QByteArray& flag) { return flag.startsWith(webRtc); }),
                flags.end());
    flags << webRtc + "disable_non_proxied_udp";
    if (!blinkMerged)
        flags << blinkOff + "WebTransport";
    return flags.join(' ');
}

QWebEngineProfile& BrowserProfile() {
    static QWebEngineProfile* profile = nullptr;
    if (profile)
        return *profile;
    // Read by the engine when it starts, which is when the first profile is made.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", EngineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
    PreviewPages::registerScheme();
    // A profile without a storage name keeps cookies, cache and history in memory only.
    profile = new QWebEngineProfile(qApp);
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    QWebEngineSettings* settings = profile->settings();
    const std::pair<QWebEngineSettings::WebAttribute, bool> attributes[] = {
        {QWebEngineSettings::JavascriptEnabled, true},
        {QWebEngineSettings::JavascriptCanOpenWindows, false},
        {QWebEngineSettings::JavascriptCanAccessClipboard, false},
        {QWebEngineSettings::JavascriptCanPaste, false},
        {QWebEngineSettings::LocalContentCanAccessFileUrls, false},
        {QWebEngineSettings::LocalContentCanAccessRemoteUrls, false},
        {QWebEngineSettings::AllowRunningInsecureContent, false},
        {QWebEngineSettings::PluginsEnabled, false},
        {QWebEngineSettings::DnsPrefetchEnabled, false},
        {QWebEngineSettings::HyperlinkAuditingEnabled, false},
        {QWebEngineSettings::FullScreenSupportEnabled, false},
        {QWebEngineSettings::WebRTCPublicInterfacesOnly, true},
    };
    for (const auto& [attribute, on] : attributes)
        settings->setAttribute(attribute, on);
    profile->installUrlSchemeHandler(PreviewPages::kScheme, &PreviewPages::instance());
    QObject::connect(profile, &QWebEngineProfile::downloadRequested,
                     [](QWebEngineDownloadRequest* download) { download->cancel(); });
    return *profile;
}

QUrl AddressFromTyped(const QString& typed, const QString& folder) {
    const QString address = typed.trimmed();
    if (address.isEmpty())
        return QUrl();
    static const QRegularExpression schemed(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):(.*)$"));
    static const QStringList known{"http", "https",  "file", "ftp", "about", "data",
                                   "blob", "mailto", "ws",   "wss", "qrc",   "view-source"};
    if (const QRegularExpressionMatch match = schemed.match(address);
        match.hasMatch() && (known.contains(match.captured(1).toLower()) ||
                             match.captured(1) == QLatin1String(PreviewPages::kScheme) ||
                             match.captured(2).startsWith(QLatin1String("//"))))
        return QUrl(address);
    if (address.startsWith(QLatin1String("~/")))
        return QUrl::fromLocalFile(QDir::homePath() + address.mid(1));
    if (address.startsWith(QLatin1Char('/')) || address.startsWith(QLatin1String("./")) ||
        address.startsWith(QLatin1String("../")) || QFileInfo::exists(QDir(folder).filePath(address)))
        return QUrl::fromLocalFile(QDir::cleanPath(QDir(folder).absoluteFilePath(address)));
    return QUrl(QStringLiteral("https://") + address, QUrl::TolerantMode);
}

bool IsRemoteScheme(const QString& scheme) {
    static const QStringList remote{"http", "https", "ws", "wss", "ftp"};
    return remote.contains(scheme.toLower());
}

bool IsLocalScheme(const QString& scheme) {
    return scheme == QLatin1String("file") || scheme == QLatin1String("qrc") ||
           scheme == QLatin1String(PreviewPages::kScheme);
}

bool RequestPolicy::Blocks(const QUrl& url, bool offline, bool mainFrame, const QUrl& firstParty) {
    if (!IsRemoteScheme(url.scheme()))
        return false;
    return offline || (!mainFrame && IsLocalScheme(firstParty.scheme()));
}

namespace {
// What tags load: a page may take these from outside its folder tree (scripts' own reads, frames
// and workers it may not).
bool IsTagResource(QWebEngineUrlRequestInfo::ResourceType type) {
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
        return true;
    default:
        return false;
    }
}
} // namespace

void RequestPolicy::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const QUrl url = info.requestUrl();
    const QWebEngineUrlRequestInfo::ResourceType type = info.resourceType();
    const bool mainFrame = type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
    if (IsRemoteScheme(url.scheme())) {
        if (Blocks(url, m_offline, mainFrame, info.firstPartyUrl()))
            info.block(true);
        return;
    }
    PreviewPages& pages = PreviewPages::instance();
    if (url.isLocalFile()) {
        // A file is shown as a page of its folder (a folder as the engine lists it). A page loads a
        // file address only where the preview pages sent one of its tags.
        if (mainFrame) {
            if (!QFileInfo(url.toLocalFile()).isDir())
                info.redirect(pages.pageFor(url));
        } else if (!IsTagResource(type) || !pages.takeFileTicket(url)) {
            info.block(true);
        }
        return;
    }
    if (url.scheme() != QLatin1String(PreviewPages::kScheme))
        return;
    const QString tree = pages.treeOf(url);
    const QString path = PreviewPages::localPath(url);
    if (tree.isEmpty()) {
        info.block(true);
    } else if (mainFrame) {
        // Going to a page outside the tree makes it a page of its own folder, with that tree (a
        // folder is listed by the engine).
        if (!InFolderTree(path, tree)) {
            QUrl file = QUrl::fromLocalFile(path);
            file.setQuery(url.query(QUrl::FullyEncoded), QUrl::StrictMode);
            info.redirect(QFileInfo(path).isDir() ? file : pages.pageFor(file));
        }
    } else if (url.host() != info.firstPartyUrl().host() || HiddenBeyond(path, tree) ||
               (!InFolderTree(path, tree) && !IsTagResource(type))) {
        // A page asks only its own tree: another page's (another folder, a followed document's
        // unsaved text) is not its to read.
        info.block(true);
    }
}

BrowserPage::BrowserPage(QObject* parent) : QWebEnginePage(&BrowserProfile(), parent) {
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType) {
    ++m_refusedWindows;
    return nullptr;
}

void BrowserPage::javaScriptAlert(const QUrl&, const QString& msg) {
    emit pageMessage(tr("The page says: %1").arg(msg));
}

bool BrowserPage::javaScriptConfirm(const QUrl&, const QString& msg) {
    // Leaving a page that asks to be kept comes here too, with the engine's own question.
    // The engine's text in the engine's translation context: a variable, so that the program's
    // own catalogue never takes it (the engine and this line must read it through the same catalogues).
    static const char* const kLeaveQuestion =
        "Are you sure you want to leave this page? Changes that you made may not be saved.";
    if (msg == QCoreApplication::translate("QWebEnginePage", kLeaveQuestion)) {
        emit pageMessage(tr("The page asked to be kept open; it was left."));
        return true;
    }
    emit pageMessage(tr("The page asks: %1 (answered Cancel)").arg(msg));
    return false;
}

bool BrowserPage::javaScriptPrompt(const QUrl&, const QString& msg, const QString&, QString*) {
    emit pageMessage(tr("The page asks for text: %1 (answered Cancel)").arg(msg));
    return false;
}

BrowserControl::BrowserControl(QWidget* parent) : QWidget(parent) {
    BrowserProfile(); // before anything starts the engine: it sets the engine's flags
    m_view = new QWebEngineView(this);
    m_page = new BrowserPage(m_view);
    m_policy = new RequestPolicy(this);
    m_page->setUrlRequestInterceptor(m_policy);
    m_view->setPage(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMessageBar();
    layout->addWidget(barPageMessage);
    layout->addWidget(m_view, 1);
    setFocusProxy(m_view);
    connect(m_page, &BrowserPage::pageMessage, this, &BrowserControl::showPageMessage);

    connect(m_page, &QWebEnginePage::titleChanged, this, &BrowserControl::TitleChange);
    connect(m_page, &QWebEnginePage::linkHovered, this,
            [this](const QString& link) { emit StatusTextChange(link.isEmpty() ? m_status : link); });
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        setStatus(tr("Loading..."));
        // A new page: the last one's message and its blocking go with it.
        m_messagesBlocked = false;
        m_pageMessages = 0;
        barPageMessage->hide();
    });
    connect(m_page, &QWebEnginePage::loadProgress, this,
            [this](int percent) { setStatus(tr("Loading... %1%").arg(percent)); });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        const QUrl url = m_page->url();
        if (ok)
            setStatus(tr("Done"));
        else if (offline() && IsRemoteScheme(url.scheme()))
            setStatus(tr("Offline: the page was not loaded"));
        else {
            setStatus(tr("The page could not be loaded"));
            qCWarning(lcQuillora) << "page not loaded:" << m_page->requestedUrl().toString();
        }
        if (ok && m_restoreScroll)
            m_page->runJavaScript(
                QStringLiteral("window.scrollTo(%1, %2)").arg(m_restoreScroll->x()).arg(m_restoreScroll->y()),
                QWebEngineScript::ApplicationWorld);
        m_restoreScroll.reset();
        emit DocumentComplete(url, ok);
    });
}

void BrowserControl::buildMessageBar() {
    barPageMessage = new QFrame(this);
    barPageMessage->setObjectName(QStringLiteral("barPageMessage"));
    static_cast<QFrame*>(barPageMessage)->setFrameShape(QFrame::StyledPanel);
    barPageMessage->setAutoFillBackground(true);
    barPageMessage->setBackgroundRole(QPalette::ToolTipBase);
    lblPageMessage = new QLabel(barPageMessage);
    lblPageMessage->setObjectName(QStringLiteral("lblPageMessage"));
    lblPageMessage->setTextFormat(Qt::PlainText); // the page's words, never markup
    lblPageMessage->setForegroundRole(QPalette::ToolTipText);
    lblPageMessage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    cmdBlockMessages = new QPushButton(tr("Block further messages from this page"), barPageMessage);
    cmdBlockMessages->setObjectName(QStringLiteral("cmdBlockMessages"));
    cmdCloseMessage = new QPushButton(tr("Close"), barPageMessage);
    cmdCloseMessage->setObjectName(QStringLiteral("cmdCloseMessage"));
    auto* row = new QHBoxLayout(barPageMessage);
    row->setContentsMargins(6, 2, 2, 2);
    row->addWidget(lblPageMessage, 1);
    row->addWidget(cmdBlockMessages);
    row->addWidget(cmdCloseMessage);
    barPageMessage->hide();
    connect(cmdBlockMessages, &QPushButton::clicked, this, [this] {
        m_messagesBlocked = true;
        barPageMessage->hide();
    });
    connect(cmdCloseMessage, &QPushButton::clicked, barPageMessage, &QWidget::hide);
}

void BrowserControl::showPageMessage(const QString& text) {
    if (!m_messagesShown || m_messagesBlocked) {
        emit MessagesSuppressed(++m_suppressed);
        return;
    }
    ++m_pageMessages;
    // One line of reasonable length: a page may say anything, at any length.
    constexpr int kShownCharacters = 300;
    QString line = text.simplified();
    if (line.size() > kShownCharacters)
        line = line.left(kShownCharacters) + QChar(0x2026);
    lblPageMessage->setText(line);
    lblPageMessage->setToolTip(line);
    cmdBlockMessages->setVisible(m_pageMessages >= 2);
    barPageMessage->show();
}

void BrowserControl::setStatus(const QString& text) {
    m_status = text;
    emit StatusTextChange(text);
}

void BrowserControl::Navigate(const QString& address) {
    const QUrl url = AddressFromTyped(address, QDir::currentPath());
    if (url.isValid())
        load(url);
}

void BrowserControl::load(const QUrl& url) {
    m_restoreScroll.reset();
    m_page->load(url);
}

void BrowserControl::GoBack() {
    if (m_page->history()->canGoBack())
        m_page->history()->back();
}

void BrowserControl::GoForward() {
    if (m_page->history()->canGoForward())
        m_page->history()->forward();
}

void BrowserControl::Stop() {
    m_page->triggerAction(QWebEnginePage::Stop);
}

void BrowserControl::Refresh() {
    m_page->triggerAction(QWebEnginePage::Reload);
}

void BrowserControl::showKeepingScroll(const QUrl& url) {
    const QPointF position = m_page->scrollPosition();
    // Read afresh: a preview's text has changed since, or the file was saved.
    if (url == m_page->url())
        m_page->triggerAction(QWebEnginePage::ReloadAndBypassCache);
    else
        m_page->load(url);
    m_restoreScroll = position;
}

void BrowserControl::setOffline(bool offline) {
    m_policy->setOffline(offline);
}

QUrl BrowserControl::LocationURL() const {
    return m_page->url();
}

#include "moc_BrowserControl.cpp"
