#include "platform/PreviewPages.h"

#include "platform/TextFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

const char* const PreviewPages::kScheme = "quillora-preview";

PreviewPages& PreviewPages::instance() {
    static PreviewPages* pages = new PreviewPages; // lives as long as the engine may ask
    return *pages;
}

void PreviewPages::registerScheme() {
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Local: pages from the network can neither show nor link to a preview.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

int PreviewPages::add(Source source) {
    m_sources[m_next] = std::move(source);
    return m_next++;
}

void PreviewPages::remove(int id) {
    m_sources.erase(id);
}

QUrl PreviewPages::urlFor(int id, const QString& path) {
    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setHost(QStringLiteral("p%1").arg(id));
    url.setPath(path, QUrl::DecodedMode); // "%", "#" and "?" are a file name's own
    return url;
}

QString PreviewPages::localPath(const QUrl& url) {
    if (url.isLocalFile())
        return url.toLocalFile();
    return url.scheme() == QLatin1String(kScheme) ? url.path(QUrl::FullyDecoded) : QString();
}

std::optional<PreviewPages::Page> PreviewPages::contents(const QUrl& url, QByteArray* contentType) const {
    bool number = false;
    const int id = url.host().mid(1).toInt(&number);
    const auto source = m_sources.find(id);
    if (url.scheme() != QLatin1String(kScheme) || !url.host().startsWith(QLatin1Char('p')) || !number ||
        source == m_sources.end())
        return std::nullopt;
    const QString path = url.path(QUrl::FullyDecoded);
    const QString mime = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    if (source->second.path() == path) {
        // Unsaved text comes as UTF-8, which the header says, whatever the page declares. Files of
        // the editor's other kinds are shown as HTML, as a browser shows a page a server sends.
        static const QStringList asThemselves{"text/css",        "text/plain",    "text/xml",
                                              "application/xml", "image/svg+xml", "application/xhtml+xml"};
        if (contentType)
            *contentType =
                (asThemselves.contains(mime) ? mime.toLatin1() : QByteArray("text/html")) + ";charset=utf-8";
        return Page{path, source->second.bytes()};
    }
    QByteArray bytes;
    QString reason;
    if (!ReadRegularFile(path, kMaxTextFileBytes, bytes, reason))
        return std::nullopt;
    if (contentType)
        *contentType = mime.toLatin1();
    return Page{path, bytes};
}

void PreviewPages::requestStarted(QWebEngineUrlRequestJob* job) {
    QByteArray contentType;
    std::optional<Page> page =
        job->requestMethod() == "GET" ? contents(job->requestUrl(), &contentType) : std::nullopt;
    if (!page) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* buffer = new QBuffer;
    buffer->setData(page->bytes);
    connect(job, &QObject::destroyed, buffer, &QObject::deleteLater);
    job->reply(contentType, buffer);
}
