#include "platform/BrowserControl.h"

#include "platform/PreviewPages.h"

#include <QApplication>
#include <QDir>
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

QWebEngineProfile& BrowserProfile() {
    static QWebEngineProfile* profile = nullptr;
    if (profile)
        return *profile;
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
        {QWebEngineSettings::LocalContentCanAccessFileUrls, true},
        {QWebEngineSettings::LocalContentCanAccessRemoteUrls, false},
        {QWebEngineSettings::AllowRunningInsecureContent, false},
        {QWebEngineSettings::PluginsEnabled, false},
        {QWebEngineSettings::DnsPrefetchEnabled, false},
        {QWebEngineSettings::HyperlinkAuditingEnabled, false},
        {QWebEngineSettings::FullScreenSupportEnabled, false},
    };
    for (const auto& [attribute, on] : attributes)
        settings->setAttribute(attribute, on);
    profile->installUrlSchemeHandler(PreviewPages::kScheme, &PreviewPages::instance());
    QObject::connect(profile, &QWebEngineProfile::downloadRequested,
                     [](QWebEngineDownloadRequest* download) { download->cancel(); });
    return *profile;
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

void RequestPolicy::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const bool mainFrame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
    if (Blocks(info.requestUrl(), m_offline, mainFrame, info.firstPartyUrl()))
        info.block(true);
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

BrowserControl::BrowserControl(QWidget* parent) : QWidget(parent) {
    m_view = new QWebEngineView(this);
    m_page = new BrowserPage(m_view);
    m_policy = new RequestPolicy(this);
    m_page->setUrlRequestInterceptor(m_policy);
    m_view->setPage(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    connect(m_page, &QWebEnginePage::titleChanged, this, &BrowserControl::TitleChange);
    connect(m_page, &QWebEnginePage::linkHovered, this,
            [this](const QString& link) { emit StatusTextChange(link.isEmpty() ? m_status : link); });
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] { setStatus(tr("Loading...")); });
    connect(m_page, &QWebEnginePage::loadProgress, this,
            [this](int percent) { setStatus(tr("Loading... %1%").arg(percent)); });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        const QUrl url = m_page->url();
        if (ok)
            setStatus(tr("Done"));
        else if (offline() && IsRemoteScheme(url.scheme()))
            setStatus(tr("Offline: the page was not loaded"));
        else
            setStatus(tr("The page could not be loaded"));
        if (ok && m_restoreScroll)
            m_page->runJavaScript(
                QStringLiteral("window.scrollTo(%1, %2)").arg(m_restoreScroll->x()).arg(m_restoreScroll->y()),
                QWebEngineScript::ApplicationWorld);
        m_restoreScroll.reset();
        emit DocumentComplete(url, ok);
    });
}

void BrowserControl::setStatus(const QString& text) {
    m_status = text;
    emit StatusTextChange(text);
}

void BrowserControl::Navigate(const QString& address) {
    const QString trimmed = address.trimmed();
    if (!trimmed.isEmpty())
        load(QUrl::fromUserInput(trimmed, QDir::currentPath(), QUrl::AssumeLocalFile));
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
